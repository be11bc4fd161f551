#include "Lv2Effect.h"

#include <algorithm>
#include <climits>
#include <cmath>

using namespace Parameters;

namespace {
// Blocks longer than this go through the chain in pieces (each ramping to the targets), so that any
// length a host passes fits the chain's frame counts.
constexpr std::uint32_t kLongestPiece = 1u << 20;
}  // namespace

Lv2Effect::Lv2Effect(const Lv2::Variant& variant, double sampleRate, int maxBlockLength) : variant_(variant) {
    for (int index = 0; index < kCount; ++index) settings_.values[index] = kDefinitions[index].defaultValue;
    settings_.values[kChannelMode] = static_cast<float>(variant.channels);
    // The stages are derived for the processing rate at this host rate when the chain first starts.
    settings_.factorSettings = 1;
    chain_.setHostRate(static_cast<float>(sampleRate));
    if (maxBlockLength > 0) chain_.setBlockSize(maxBlockLength);
}

void Lv2Effect::connectPort(std::uint32_t port, void* data) {
    const auto index = static_cast<int>(std::min<std::uint32_t>(port, INT_MAX));
    if (index < Lv2::kControlPorts) {
        controls_[index] = static_cast<const float*>(data);
    } else if (index < Lv2::outputPort(variant_, 0)) {
        inputs_[index - Lv2::inputPort(0)] = static_cast<const float*>(data);
    } else if (index < Lv2::portCount(variant_)) {
        outputs_[index - Lv2::outputPort(variant_, 0)] = static_cast<float*>(data);
    }
}

void Lv2Effect::readControls() {
    for (int index = 0; index < Lv2::kControlPorts; ++index) {
        if (!controls_[index]) continue;
        const float real = *controls_[index];
        if (!std::isfinite(real)) continue;
        const float value =
            Lv2::parameterValue(index, std::clamp(real, Lv2::portMinimum(index), Lv2::portMaximum(index)));
        if (value == settings_.values[index]) continue;
        settings_.values[index] = value;
        if (Lv2::isToneBand(index)) ++settings_.equaliserChanges;
        if (index == kOversample) ++settings_.factorSettings;
    }
}

void Lv2Effect::run(std::uint32_t frames) {
    readControls();
    if (restartPending_) {
        chain_.restart(settings_);
        restartPending_ = false;
    }
    const float* inputs[BlockProcessor::kChannelSlots] = {};
    float* outputs[BlockProcessor::kChannelSlots] = {};
    std::uint32_t done = 0;
    do {
        const std::uint32_t length = std::min(frames - done, kLongestPiece);
        for (int channel = 0; channel < variant_.channels; ++channel) {
            inputs[channel] = inputs_[channel] ? inputs_[channel] + done : nullptr;
            outputs[channel] = outputs_[channel] ? outputs_[channel] + done : nullptr;
        }
        chain_.process(inputs, outputs, static_cast<int>(length), settings_);
        done += length;
    } while (done < frames);
}
