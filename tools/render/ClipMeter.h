#pragma once

// Counts, channel by channel, the samples that lie beyond full scale (magnitude above 1) and the
// largest magnitude among them: what an integer output clips. Cheap enough to run on every block.

#include <cstdint>
#include <vector>

class ClipMeter {
public:
    struct Channel {
        std::int64_t samples = 0;  // beyond full scale
        float peak = 0.0f;         // the largest magnitude, beyond full scale or not
    };

    void add(const float* const* channels, int channelCount, int frames);

    const std::vector<Channel>& channels() const { return channels_; }
    std::int64_t samples() const;

private:
    std::vector<Channel> channels_;
};
