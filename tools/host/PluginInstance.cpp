#include "PluginInstance.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "Parameters.h"

namespace {

// The host's side of the callback: it tells its version and supports nothing else.
VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Effects write texts of nominally 8 or 24 characters; a generous, zeroed buffer absorbs overlong ones.
using TextBuffer = std::array<char, 256>;

std::string joined(const std::vector<std::string>& texts) {
    std::string list;
    for (const std::string& text : texts) list += (list.empty() ? "" : ", ") + text;
    return list;
}

// Values worth trying are Korvel's own; a module that reads them otherwise is still probed by its texts.
constexpr auto kChannelModeCandidates = [] {
    std::array<float, Parameters::kChannelModeCount> values{};
    for (int mode = 0; mode < Parameters::kChannelModeCount; ++mode)
        values[mode] = Parameters::kChannelModes[mode].value;
    return values;
}();

}  // namespace

Expected<std::unique_ptr<PluginInstance>> PluginInstance::create(const PluginModule& module) {
    AEffect* effect = module.entry()(hostCallback);
    if (!effect) return Failure{"module " + module.path().string() + " returned no effect"};
    if (effect->magic != kEffectMagic)
        return Failure{"module " + module.path().string() + " returned a record that is not an effect"};
    std::unique_ptr<PluginInstance> instance(new PluginInstance(module.library(), effect));
    instance->dispatch(effOpen);
    return instance;
}

PluginInstance::PluginInstance(std::shared_ptr<const SharedLibrary> library, AEffect* effect)
    : library_(std::move(library)), effect_(effect) {}

PluginInstance::~PluginInstance() {
    if (started_) dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
}

Status PluginInstance::start(float sampleRate, int maxBlockSize) {
    if (maxBlockSize <= 0) return Failure{"the block size must be at least 1 frame"};
    if (started_) dispatch(effMainsChanged, 0, 0);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, maxBlockSize);
    dispatch(effMainsChanged, 0, 1);
    started_ = true;

    maxBlockSize_ = maxBlockSize;
    const auto slots = static_cast<std::size_t>(std::max({kChannelSlots, effect_->numInputs, effect_->numOutputs}));
    const std::vector<float> silence(static_cast<std::size_t>(maxBlockSize), 0.0f);
    inputBuffers_.assign(slots, silence);
    outputBuffers_.assign(slots, silence);
    inputPointers_.resize(slots);
    outputPointers_.resize(slots);
    for (std::size_t slot = 0; slot < slots; ++slot) {
        inputPointers_[slot] = inputBuffers_[slot].data();
        outputPointers_[slot] = outputBuffers_[slot].data();
    }
    return {};
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

float PluginInstance::getParameter(int index) const { return effect_->getParameter(effect_, index); }

void PluginInstance::setParameter(int index, float value) { effect_->setParameter(effect_, index, value); }

std::string PluginInstance::parameterName(int index) const {
    TextBuffer text{};
    dispatch(effGetParamName, index, 0, text.data());
    return text.data();
}

std::string PluginInstance::parameterDisplay(int index) const {
    TextBuffer text{};
    dispatch(effGetParamDisplay, index, 0, text.data());
    return text.data();
}

Expected<int> PluginInstance::findParameter(std::string_view name) const {
    std::vector<std::string> names;
    for (int index = 0; index < parameterCount(); ++index) {
        std::string candidate = parameterName(index);
        if (candidate.empty()) continue;
        if (equalIgnoringCase(candidate, name)) return index;
        names.push_back(std::move(candidate));
    }
    return Failure{"unknown parameter \"" + std::string(name) + "\" (parameters: " + joined(names) + ")"};
}

int PluginInstance::currentProgram() const { return static_cast<int>(dispatch(effGetProgram)); }

std::string PluginInstance::currentProgramName() const {
    TextBuffer text{};
    dispatch(effGetProgramName, 0, 0, text.data());
    return text.data();
}

std::string PluginInstance::programName(int number) const {
    TextBuffer text{};
    dispatch(effGetProgramNameIndexed, number, -1, text.data());
    return text.data();
}

Expected<int> PluginInstance::findProgram(std::string_view name) const {
    std::vector<std::string> names;
    for (int number = 0; number < programCount(); ++number) {
        std::string candidate = programName(number);
        if (equalIgnoringCase(candidate, name)) return number;
        names.push_back(std::move(candidate));
    }
    return Failure{"unknown program \"" + std::string(name) + "\" (programs: " + joined(names) + ")"};
}

Status PluginInstance::selectProgram(int number) {
    if (number < 0 || number >= programCount())
        return Failure{"program number " + std::to_string(number) + " is outside 0.." +
                       std::to_string(programCount() - 1)};
    dispatch(effSetProgram, 0, number);
    return {};
}

Status PluginInstance::chooseOversampling(std::string_view text) {
    return chooseByDisplay(kOversampleParameter, Parameters::kFactorValues, text, "oversampling");
}

Status PluginInstance::chooseChannelMode(std::string_view text) {
    return chooseByDisplay(kChannelModeParameter, kChannelModeCandidates, text, "channel mode");
}

Status PluginInstance::chooseByDisplay(int index, std::span<const float> candidates, std::string_view text,
                                       std::string_view what) {
    const float previous = getParameter(index);
    std::vector<std::string> offered;
    for (float candidate : candidates) {
        setParameter(index, candidate);
        std::string display = parameterDisplay(index);
        if (equalIgnoringCase(display, text)) return {};
        offered.push_back(std::move(display));
    }
    setParameter(index, previous);
    return Failure{"unknown " + std::string(what) + " \"" + std::string(text) + "\" (choices: " + joined(offered) +
                   ")"};
}

Status PluginInstance::process(std::span<const float* const> inputs, std::span<float* const> outputs, int frames) {
    if (!started_) return Failure{"the effect was not started before processing"};
    if (inputs.size() != outputs.size() || inputs.size() > inputBuffers_.size())
        return Failure{"cannot process " + std::to_string(inputs.size()) + " input and " +
                       std::to_string(outputs.size()) + " output channels"};
    for (int offset = 0; offset < frames; offset += maxBlockSize_)
        processBlock(inputs, outputs, offset, std::min(maxBlockSize_, frames - offset));
    return {};
}

void PluginInstance::processBlock(std::span<const float* const> inputs, std::span<float* const> outputs, int offset,
                                  int frames) {
    // Inputs are copied so that the effect never sees (or could change) the caller's memory.
    for (std::size_t slot = 0; slot < inputBuffers_.size(); ++slot) {
        float* input = inputBuffers_[slot].data();
        if (slot < inputs.size())
            std::copy_n(inputs[slot] + offset, frames, input);
        else
            std::fill_n(input, frames, 0.0f);
        std::fill_n(outputBuffers_[slot].data(), frames, 0.0f);
    }
    effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(), frames);
    for (std::size_t channel = 0; channel < outputs.size(); ++channel)
        std::copy_n(outputBuffers_[channel].data(), frames, outputs[channel] + offset);
}
