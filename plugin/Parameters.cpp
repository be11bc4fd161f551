#include "Parameters.h"

#include <cmath>

namespace Parameters {

int oversamplingFactor(float value) {
    const float position = value * 5.0f;  // single-precision product: 0.2, 0.4, 0.6, 0.8 land on their entries
    if (!(position >= 0.0f)) return kFactors[0];
    if (position >= static_cast<float>(kFactorCount - 1)) return kFactors[kFactorCount - 1];
    return kFactors[static_cast<int>(position)];
}

const char* channelModeName(float value) {
    const int count = channelCount(value);
    for (const ChannelMode& mode : kChannelModes)
        if (static_cast<int>(mode.value) == count) return mode.name;
    return kChannelModes[kChannelModeCount - 1].name;
}

float outputGain(float volume) {
    if (volume <= 0.0f) return 0.0f;
    return static_cast<float>(std::pow(10.0, volumeDecibels(volume) * 0.05));
}

}  // namespace Parameters
