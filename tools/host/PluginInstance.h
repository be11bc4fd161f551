#pragma once

// One effect instance made from a loaded module, driven the way a host drives it: the start-up and
// shutdown sequences, parameters and programs looked up by their names, and block processing of
// planar float audio through processReplacing.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Outcome.h"
#include "PluginModule.h"
#include "VstInterface.h"

class PluginInstance {
public:
    static constexpr int kOversampleParameter = 6;
    static constexpr int kChannelModeParameter = 7;
    // The host always passes this many input and output pointers (more if the effect declares more).
    static constexpr int kChannelSlots = 6;

    // Calls the module's entry with this host's callback and sends effOpen.
    static Expected<std::unique_ptr<PluginInstance>> create(const PluginModule& module);

    // Sends effMainsChanged 0 if started, then effClose, which destroys the effect.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // effSetSampleRate, effSetBlockSize and effMainsChanged 1. Blocks passed to process() longer
    // than maxBlockSize are processed in pieces of at most that many frames.
    Status start(float sampleRate, int maxBlockSize);

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    int parameterCount() const { return effect_->numParams; }
    int programCount() const { return effect_->numPrograms; }
    float getParameter(int index) const;
    void setParameter(int index, float value);
    std::string parameterName(int index) const;
    std::string parameterDisplay(int index) const;

    // The index of the parameter called `name` (case-insensitive).
    Expected<int> findParameter(std::string_view name) const;

    int currentProgram() const;
    std::string currentProgramName() const;
    std::string programName(int number) const;
    // The number of the program called `name` (case-insensitive).
    Expected<int> findProgram(std::string_view name) const;
    Status selectProgram(int number);

    // Set the Oversample / channel-mode parameter to the value whose display text is `text`
    // (case-insensitive, e.g. "8x", "stereo"). On failure the value in force stays.
    Status chooseOversampling(std::string_view text);
    Status chooseChannelMode(std::string_view text);

    // Processes `frames` frames of planar audio; inputs.size() == outputs.size() channels, at most
    // the number of slots. Unused inputs get silence; every output is cleared before each block.
    Status process(std::span<const float* const> inputs, std::span<float* const> outputs, int frames);

private:
    PluginInstance(std::shared_ptr<const SharedLibrary> library, AEffect* effect);

    Status chooseByDisplay(int index, std::span<const float> candidates, std::string_view text, std::string_view what);
    void processBlock(std::span<const float* const> inputs, std::span<float* const> outputs, int offset, int frames);

    std::shared_ptr<const SharedLibrary> library_;
    AEffect* effect_;
    bool started_ = false;
    int maxBlockSize_ = 0;
    // One buffer of maxBlockSize_ frames per input and output slot, and the pointers handed over.
    std::vector<std::vector<float>> inputBuffers_, outputBuffers_;
    std::vector<float*> inputPointers_, outputPointers_;
};
