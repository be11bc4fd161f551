#pragma once

// Peak and RMS level of all samples of all channels passed to it, in dB relative to full scale.

#include <cstdint>

class LevelMeter {
public:
    void add(const float* const* channels, int channelCount, int frames);

    // Both answer -infinity for silence or when nothing was added.
    double peakDbfs() const;
    double rmsDbfs() const;

private:
    double peak_ = 0.0;
    double sumOfSquares_ = 0.0;
    std::int64_t samples_ = 0;
};
