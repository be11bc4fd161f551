#pragma once

#include <iterator>

// The eight parameters: indices, names, labels, defaults, value mappings and how each reads. The
// host's and the editor's texts are in ParameterText. Values 0..6 are normalised;
// index 7 carries the channel count itself.
namespace Parameters {

enum Index : int {
    kLoFreq = 0,
    kMidFreq,
    kHiFreq,
    kDrive,
    kBias,
    kVolume,
    kOversample,
    kChannelMode,
    kCount
};

// Where each parameter lies in a stored set of values (current values, program records):
// Drive, Bias, LoFreq, MidFreq, HiFreq, Volume, Oversample, channel mode.
constexpr int kStorageOrder[kCount] = {kDrive, kBias, kLoFreq, kMidFreq, kHiFreq, kVolume, kOversample, kChannelMode};
constexpr int storageSlot(int index) {
    for (int slot = 0; slot < kCount; ++slot)
        if (kStorageOrder[slot] == index) return slot;
    return -1;
}

constexpr bool isParameter(int index) { return index >= 0 && index < kCount; }

// How a value reads: decibels it produces, a plain amount, the oversampling factor, the channel mode.
enum class Display {
    kDecibels,
    kAmount,
    kFactor,
    kChannelMode
};

struct Definition {
    const char* name;  // null: the host is told no name
    const char* label;
    float defaultValue;  // of a fresh program record
    bool carriedByPrograms;  // a program change puts it in force
    Display display;
};

// Volume for 0 dB, and the +0.02 dB the factory programs (and so the edit slot) start with.
constexpr float kUnityVolume = 2.0f / 3.0f;
constexpr float kFactoryVolume = 0.667f;

constexpr Definition kDefinitions[kCount] = {
    {"LoFreq", "dB", 0.5f, true, Display::kDecibels},
    {"MidFreq", "dB", 0.5f, true, Display::kDecibels},
    {"HiFreq", "dB", 0.5f, true, Display::kDecibels},
    {"Drive", "amount", 0.0f, true, Display::kAmount},
    {"Bias", "amount", 0.7f, true, Display::kAmount},
    {"Volume", "dB", kUnityVolume, true, Display::kDecibels},
    {"Oversample", "", 0.6f, false, Display::kFactor},
    {nullptr, "", 2.0f, false, Display::kChannelMode},
};

// Name for 0..6; null for 7 and anything else (nothing is written for those).
constexpr const char* name(int index) { return isParameter(index) ? kDefinitions[index].name : nullptr; }
// "dB", "amount" or empty.
constexpr const char* label(int index) { return isParameter(index) ? kDefinitions[index].label : ""; }
constexpr bool carriedByPrograms(int index) { return isParameter(index) && kDefinitions[index].carriedByPrograms; }

// The oversampling factors and, for each, the Oversample value that selects it.
constexpr int kFactors[] = {1, 2, 4, 8, 12, 16};
constexpr float kFactorValues[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f};
constexpr int kFactorCount = static_cast<int>(std::size(kFactors));
static_assert(std::size(kFactorValues) == kFactorCount);
// Oversampling factor for an Oversample value: entry trunc(5 * value), kept within the table.
int oversamplingFactor(float value);

constexpr int kMaxChannels = 6;
struct ChannelMode {
    float value;  // the channel-mode value that selects it: its channel count
    const char* name;
};
constexpr ChannelMode kChannelModes[] = {{1.0f, "Mono"}, {2.0f, "Stereo"}, {4.0f, "Quadro"}, {6.0f, "5.1"}};
constexpr int kChannelModeCount = static_cast<int>(std::size(kChannelModes));
// Channel count for a channel-mode value as its display names it: 1, 2, 4 or 6, so that what the
// host shows is what plays.
constexpr int channelCount(float value) {
    if (value < 1.5f) return 1;
    if (value < 3.0f) return 2;
    if (value < 5.0f) return 4;
    return kMaxChannels;
}
// "Mono", "Stereo", "Quadro" or "5.1".
const char* channelModeName(float value);

// Decibels a tone band's value and a Volume value produce: 24 * value - 12 and 60 * value - 40.
inline double toneDecibels(float value) { return static_cast<double>(value) * 24.0 - 12.0; }
inline double volumeDecibels(float value) { return static_cast<double>(value) * 60.0 - 40.0; }
// Their inverses: the value for a tone band's decibels and for the Volume's decibels.
inline float toneValue(double decibels) { return static_cast<float>((decibels + 12.0) / 24.0); }
inline float volumeValue(double decibels) { return static_cast<float>((decibels + 40.0) / 60.0); }

// Linear output gain for a Volume value: 60 * value - 40 dB, and 0 for value <= 0.
float outputGain(float volume);
// The gain into the grid for a Drive value, 26 * value^3 + 0.1, and the grid's bias voltage for a
// Bias value, 1.6 V * value.
inline double driveGain(float drive) {
    const double d = drive;
    return 26.0 * (d * d * d) + 0.1;
}
inline double biasVolts(float bias) { return 1.6 * static_cast<double>(bias); }

}  // namespace Parameters
