#include "EffectSettings.h"

#include <algorithm>
#include <cctype>

#include "Parameters.h"

namespace {

bool isNumber(const std::string& text) {
    return !text.empty() &&
           std::ranges::all_of(text, [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

Status selectProgram(PluginInstance& instance, const std::string& program) {
    // A number too long for int is no program number either.
    if (isNumber(program) && program.size() < 9) return instance.selectProgram(std::stoi(program));
    Expected<int> number = instance.findProgram(program);
    if (!number) return number.failure();
    return instance.selectProgram(number.value());
}

}  // namespace

Status EffectSettings::applyTo(PluginInstance& instance, int fileChannels) const {
    if (program)
        if (Status selected = selectProgram(instance, *program); !selected) return selected;
    for (const ParameterSetting& setting : parameters) {
        Expected<int> index = instance.findParameter(setting.name);
        if (!index) return index.failure();
        instance.setParameter(index.value(), setting.value);
    }
    if (oversampling)
        if (Status chosen = instance.chooseOversampling(*oversampling); !chosen) return chosen;
    return instance.chooseChannelMode(channelMode.value_or(channelModeFor(fileChannels)));
}

std::string EffectSettings::channelModeFor(int fileChannels) {
    // The smallest mode that takes every channel of the file; the widest for more.
    for (const Parameters::ChannelMode& mode : Parameters::kChannelModes)
        if (static_cast<float>(fileChannels) <= mode.value) return mode.name;
    return Parameters::kChannelModes[Parameters::kChannelModeCount - 1].name;
}
