#pragma once

#include <cstdint>

#include "EffectChain.h"
#include "Lv2Ports.h"

// One instance of an LV2 plug-in: reads its control ports once per block, keeps the last good value
// of each, and plays its audio ports through the signal chain. The host serialises every call.
class Lv2Effect {
public:
    // Throws std::bad_alloc. `maxBlockLength` is the host's announced largest block, or 0.
    Lv2Effect(const Lv2::Variant& variant, double sampleRate, int maxBlockLength);

    void connectPort(std::uint32_t port, void* data);
    // Processing starts from rest with the values the ports hold at the first block after it.
    void activate() { restartPending_ = true; }
    void deactivate() { chain_.suspend(); }
    void run(std::uint32_t frames);

    // Sample rates the chain is made for.
    static bool acceptsRate(double rate) { return rate >= 1000.0 && rate <= 10000000.0; }

private:
    // Takes the control ports' values: a value that is not finite is ignored, one out of range clamped.
    void readControls();

    const Lv2::Variant& variant_;
    EffectChain chain_;
    EffectChain::Settings settings_;
    const float* controls_[Lv2::kControlPorts] = {};
    const float* inputs_[BlockProcessor::kChannelSlots] = {};
    float* outputs_[BlockProcessor::kChannelSlots] = {};
    bool restartPending_ = true;
};
