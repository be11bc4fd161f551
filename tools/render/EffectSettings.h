#pragma once

// What the user chose for the effect: a program, parameter values by name, the oversampling and the
// channel mode, applied to an instance in that order so that explicit values override the program's.

#include <optional>
#include <string>
#include <vector>

#include "Outcome.h"
#include "PluginInstance.h"

struct ParameterSetting {
    std::string name;
    float value = 0.0f;  // normalised, 0..1
};

struct EffectSettings {
    std::optional<std::string> program;  // a number 0..19 or a program name
    std::vector<ParameterSetting> parameters;
    std::optional<std::string> oversampling;  // display text, e.g. "8x"
    std::optional<std::string> channelMode;   // display text; by default chosen from the file's channels

    Status applyTo(PluginInstance& instance, int fileChannels) const;

    // "Mono" for 1 channel, "Stereo" for 2, "Quadro" for 3 or 4, "5.1" for 5 or 6.
    static std::string channelModeFor(int fileChannels);
};
