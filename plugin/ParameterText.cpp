#include "ParameterText.h"

#include <cmath>
#include <cstdio>

#include "HostText.h"
#include "Parameters.h"
#include "TextLimits.h"

namespace ParameterText {

namespace {

// One decimal of a value worked out in double precision. Values outside the parameter's range are
// shown as they act as long as they fit; a text too long for the field, or no number at all, gets a
// fixed word instead of a truncated, misleading number.
void oneDecimal(double value, char* text) {
    if (std::isnan(value)) return copyText(text, "NaN", kMaxLength);
    char rendered[64];
    const int length = std::isfinite(value) ? std::snprintf(rendered, sizeof rendered, "%.1f", value) : -1;
    if (length < 0 || length > kMaxLength) return copyText(text, "Huge!", kMaxLength);
    copyText(text, rendered, kMaxLength);
}

}  // namespace

void toneGain(float value, char* text) { oneDecimal(Parameters::toneDecibels(value), text); }

void volumeLevel(float value, char* text) {
    if (value <= 0.0f) return copyText(text, "-oo", kMaxLength);
    oneDecimal(Parameters::volumeDecibels(value), text);
}

void amount(float value, char* text) { oneDecimal(value, text); }

bool format(int index, float value, char* text) {
    switch (index) {
    case Parameters::kLoFreq:
    case Parameters::kMidFreq:
    case Parameters::kHiFreq:
        toneGain(value, text);
        return true;
    case Parameters::kDrive:
    case Parameters::kBias:
        amount(value, text);
        return true;
    case Parameters::kVolume:
        volumeLevel(value, text);
        return true;
    default:
        return false;
    }
}

bool hostText(int index, float value, char* text) {
    if (!Parameters::isParameter(index)) return false;
    switch (Parameters::kDefinitions[index].display) {
    case Parameters::Display::kDecibels:
        return format(index, value, text);  // the decibels the parameter produces, as the editor shows them
    case Parameters::Display::kFactor: {
        char factor[16];
        factorText(Parameters::oversamplingFactor(value), factor);
        copyText(text, factor, kMaxLength);
        return true;
    }
    case Parameters::Display::kChannelMode:
        copyText(text, Parameters::channelModeName(value), kMaxLength);
        return true;
    case Parameters::Display::kAmount:
        numberToHost(value, text, kMaxLength);  // six decimals where the panel shows one
        return true;
    }
    return false;
}

void factorText(int factor, char* text) { std::snprintf(text, 16, "%dx", factor); }

void panelTone(float value, char* text) {
    std::snprintf(text, kPanelTextSize, "%.1f", Parameters::toneDecibels(value));
}
void panelAmount(float value, char* text) { std::snprintf(text, kPanelTextSize, "%.1f", static_cast<double>(value)); }
void panelVolume(float value, char* text) {
    if (value > 0.0f)
        std::snprintf(text, kPanelTextSize, "%.1f", Parameters::volumeDecibels(value));
    else
        std::snprintf(text, kPanelTextSize, "-oo");
}

PanelFormatter panelFormatter(int index) {
    if (!Parameters::isParameter(index) || index > Parameters::kVolume) return nullptr;
    if (Parameters::kDefinitions[index].display == Parameters::Display::kAmount) return panelAmount;
    return index == Parameters::kVolume ? panelVolume : panelTone;
}

}  // namespace ParameterText
