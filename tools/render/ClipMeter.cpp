#include "ClipMeter.h"

#include <cmath>
#include <cstddef>

void ClipMeter::add(const float* const* channels, int channelCount, int frames) {
    if (channels_.size() < static_cast<std::size_t>(channelCount))
        channels_.resize(static_cast<std::size_t>(channelCount));
    for (int channel = 0; channel < channelCount; ++channel) {
        const float* samples = channels[channel];
        // Branch-free, so that the loop vectorises.
        std::int64_t beyond = 0;
        float peak = channels_[static_cast<std::size_t>(channel)].peak;
        for (int frame = 0; frame < frames; ++frame) {
            const float magnitude = std::fabs(samples[frame]);
            beyond += magnitude > 1.0f;
            peak = magnitude > peak ? magnitude : peak;
        }
        channels_[static_cast<std::size_t>(channel)].samples += beyond;
        channels_[static_cast<std::size_t>(channel)].peak = peak;
    }
}

std::int64_t ClipMeter::samples() const {
    std::int64_t total = 0;
    for (const Channel& channel : channels_) total += channel.samples;
    return total;
}
