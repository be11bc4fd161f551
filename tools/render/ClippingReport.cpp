#include "ClippingReport.h"

#include <cmath>
#include <cstdio>

namespace {

// The effect's Volume sets its output level linearly in dB: -40 dB at 0 to +20 dB at 1.
constexpr double kVolumeDecibelsPerUnit = 60.0;
// Covers the rounding of the gain to single precision.
constexpr double kVolumeMarginDecibels = 0.01;

std::string formatted(const char* format, auto... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

double decibels(float amplitude) { return 20.0 * std::log10(static_cast<double>(amplitude)); }

}  // namespace

std::optional<float> volumeLoweredBy(float volume, double decibels) {
    const double lowered = volume - (decibels + kVolumeMarginDecibels) / kVolumeDecibelsPerUnit;
    const double thousandths = std::floor(lowered * 1000.0);
    if (!(thousandths >= 1.0)) return std::nullopt;
    return static_cast<float>(thousandths) / 1000.0f;
}

std::string clippingReport(const ClipMeter& meter, const OutputFormat& format, std::optional<float> volume) {
    const std::int64_t total = meter.samples();
    if (!format.clipsBeyondFullScale || total == 0) return {};
    std::string perChannel;
    float peak = 0.0f;
    for (std::size_t index = 0; index < meter.channels().size(); ++index) {
        const ClipMeter::Channel& channel = meter.channels()[index];
        if (channel.samples == 0) continue;
        perChannel += formatted("%schannel %zu: %lld, up to %+.2f dBFS", perChannel.empty() ? "" : "; ", index + 1,
                                static_cast<long long>(channel.samples), decibels(channel.peak));
        peak = std::fmax(peak, channel.peak);
    }
    const double overshoot = decibels(peak);
    const std::string floatOutput = format.containerHoldsFloat
                                        ? "write float samples (--sample-format float)"
                                        : "write float samples to a format that holds them (e.g. .wav with "
                                          "--sample-format float)";
    std::string lowerVolume = formatted("lower the Volume by %.2f dB or more", overshoot);
    if (volume)
        if (const std::optional<float> lowered = volumeLoweredBy(*volume, overshoot))
            lowerVolume += formatted(" (--set Volume=%.3f)", *lowered);
    return formatted("%lld samples beyond full scale were clipped: ", static_cast<long long>(total)) + perChannel +
           "\n          to keep them, " + floatOutput + "\n          or " + lowerVolume;
}
