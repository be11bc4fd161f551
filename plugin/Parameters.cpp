#include "Parameters.h"

#include <cmath>

namespace Parameters {

const char* name(int index) {
    static const char* const names[] = {"LoFreq", "MidFreq", "HiFreq", "Drive", "Bias", "Volume", "Oversample"};
    return index >= 0 && index < kChannelMode ? names[index] : nullptr;
}

const char* label(int index) {
    switch (index) {
    case kLoFreq:
    case kMidFreq:
    case kHiFreq:
    case kVolume:
        return "dB";
    case kDrive:
    case kBias:
        return "amount";
    default:
        return "";
    }
}

int oversamplingFactor(float value) {
    const float position = value * 5.0f;  // single-precision product: 0.2, 0.4, 0.6, 0.8 land on their entries
    if (!(position >= 0.0f)) return kFactors[0];
    if (position >= static_cast<float>(kFactorCount - 1)) return kFactors[kFactorCount - 1];
    return kFactors[static_cast<int>(position)];
}

int channelCount(float value) {
    if (!(value >= 1.0f)) return 0;
    if (value >= static_cast<float>(kMaxChannels)) return kMaxChannels;
    return static_cast<int>(value);
}

const char* channelModeName(float value) {
    if (value < 1.5f) return "Mono";
    if (value < 3.0f) return "Stereo";
    if (value < 5.0f) return "Quadro";
    return "5.1";
}

float outputGain(float volume) {
    if (volume <= 0.0f) return 0.0f;
    return static_cast<float>(std::pow(10.0, (60.0 * volume - 40.0) * 0.05));
}

}  // namespace Parameters
