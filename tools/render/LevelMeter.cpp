#include "LevelMeter.h"

#include <cmath>
#include <limits>

namespace {

double amplitudeToDb(double amplitude) {
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

}  // namespace

void LevelMeter::add(const float* const* channels, int channelCount, int frames) {
    for (int channel = 0; channel < channelCount; ++channel) {
        for (int frame = 0; frame < frames; ++frame) {
            const double sample = channels[channel][frame];
            peak_ = std::fmax(peak_, std::fabs(sample));
            sumOfSquares_ += sample * sample;
        }
    }
    samples_ += static_cast<std::int64_t>(channelCount) * frames;
}

double LevelMeter::peakDbfs() const { return amplitudeToDb(peak_); }

double LevelMeter::rmsDbfs() const {
    return amplitudeToDb(samples_ > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(samples_)) : 0.0);
}
