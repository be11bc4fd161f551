#pragma once

#include <cmath>
#include <iterator>
#include <string>

#include "Parameters.h"

// The LV2 plug-ins: one for each channel mode, each with the same control ports, in real units, and
// then its audio inputs and outputs. The plug-in binary and the generator of its Turtle description
// both read this table, so what a host is told is what the binary does.
namespace Lv2 {

struct Variant {
    const char* uri;
    const char* name;
    int channels;
};
// Project-owned names; they need not resolve.
constexpr Variant kVariants[] = {
    {"urn:korvel:mono", "Korvel Mono", 1},
    {"urn:korvel:stereo", "Korvel Stereo", 2},
    {"urn:korvel:quadro", "Korvel Quadro", 4},
    {"urn:korvel:5.1", "Korvel 5.1", 6},
};
constexpr int kVariantCount = static_cast<int>(std::size(kVariants));
static_assert(kVariantCount == Parameters::kChannelModeCount);

// Control ports come first, at the index of the parameter they set: every parameter but the channel
// mode, which is the plug-in's own. The audio inputs follow, then the outputs.
constexpr int kControlPorts = Parameters::kChannelMode;
constexpr int inputPort(int channel) { return kControlPorts + channel; }
constexpr int outputPort(const Variant& variant, int channel) { return kControlPorts + variant.channels + channel; }
constexpr int portCount(const Variant& variant) { return kControlPorts + 2 * variant.channels; }

constexpr bool isToneBand(int index) {
    return index == Parameters::kLoFreq || index == Parameters::kMidFreq || index == Parameters::kHiFreq;
}

// What a control port carries for a parameter value: decibels for the tone bands and Volume, the
// oversampling factor for Oversample, the value itself for Drive and Bias.
inline float portValue(int index, float value) {
    if (isToneBand(index)) return static_cast<float>(Parameters::toneDecibels(value));
    if (index == Parameters::kVolume) return static_cast<float>(Parameters::volumeDecibels(value));
    if (index == Parameters::kOversample) return static_cast<float>(Parameters::oversamplingFactor(value));
    return value;
}
inline float portMinimum(int index) { return portValue(index, 0.0f); }
inline float portMaximum(int index) { return portValue(index, 1.0f); }
inline float portDefault(int index) { return portValue(index, Parameters::kDefinitions[index].defaultValue); }

// The parameter value for what a control port carries, which must be finite and within the port's
// range: the inverse of portValue, and for Oversample the value of the nearest factor.
inline float parameterValue(int index, float real) {
    if (isToneBand(index)) return Parameters::toneValue(real);
    if (index == Parameters::kVolume) return Parameters::volumeValue(real);
    if (index == Parameters::kOversample) {
        int nearest = 0;
        for (int entry = 1; entry < Parameters::kFactorCount; ++entry)
            if (std::abs(Parameters::kFactors[entry] - real) < std::abs(Parameters::kFactors[nearest] - real))
                nearest = entry;
        return Parameters::kFactorValues[nearest];
    }
    return real;
}

// Symbol and name of an audio port: "in_1" / "In 1", ...
inline std::string audioSymbol(bool input, int channel) {
    return (input ? "in_" : "out_") + std::to_string(channel + 1);
}
inline std::string audioName(bool input, int channel) { return (input ? "In " : "Out ") + std::to_string(channel + 1); }

}  // namespace Lv2
