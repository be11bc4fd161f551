#pragma once

#include <string>
#include <vector>

#include "Korvel.h"
#include "VstInterface.h"

// A host callback that records what the effect calls and answers the version query.
struct RecordingHost {
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
    };
    static inline std::vector<Call> calls;
    static inline VstIntPtr versionAnswer = 2400;

    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
        calls.push_back({opcode, index, value, opt});
        return opcode == audioMasterVersion ? versionAnswer : 0;
    }
    static void clear() {
        calls.clear();
        versionAnswer = 2400;
    }
};

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

// An effect created through the module entry, closed through the dispatcher.
class HostedEffect {
public:
    HostedEffect() : record_(VSTPluginMain(RecordingHost::callback)) {}
    ~HostedEffect() {
        if (record_) record_->dispatcher(record_, effClose, 0, 0, nullptr, 0.0f);
    }
    HostedEffect(const HostedEffect&) = delete;
    HostedEffect& operator=(const HostedEffect&) = delete;

    AEffect* record() const { return record_; }
    Korvel& effect() const { return *static_cast<Korvel*>(record_->object); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const {
        return record_->dispatcher(record_, opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0) const {
        char buffer[256];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        buffer[255] = 0;
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    void setParameter(VstInt32 index, float value) const { record_->setParameter(record_, index, value); }
    float getParameter(VstInt32 index) const { return record_->getParameter(record_, index); }

private:
    AEffect* record_;
};

// Planar six-channel audio for processReplacing.
class SixChannelBlock {
public:
    explicit SixChannelBlock(int frames, float fill = 0.0f)
        : frames_(frames), inputs_(6, std::vector<float>(frames, 0.0f)), outputs_(6, std::vector<float>(frames, fill)) {}
    std::vector<float>& input(int channel) { return inputs_[channel]; }
    std::vector<float>& output(int channel) { return outputs_[channel]; }
    void process(const HostedEffect& host) { process(host.record()); }
    // Channels may have been replaced since the last block, so the pointers are taken afresh.
    void process(AEffect* record) {
        float* inputPointers[6];
        float* outputPointers[6];
        for (int channel = 0; channel < 6; ++channel) {
            inputPointers[channel] = inputs_[channel].data();
            outputPointers[channel] = outputs_[channel].data();
        }
        record->processReplacing(record, inputPointers, outputPointers, frames_);
    }
    int frames() const { return frames_; }

private:
    int frames_;
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
};
