#include "ParameterText.h"

#include <cmath>
#include <cstdio>

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

void toneGain(float value, char* text) { oneDecimal(static_cast<double>(value) * 24.0 - 12.0, text); }

void volumeLevel(float value, char* text) {
    if (value <= 0.0f) return copyText(text, "-oo", kMaxLength);
    oneDecimal(static_cast<double>(value) * 60.0 - 40.0, text);
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

}  // namespace ParameterText
