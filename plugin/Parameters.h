#pragma once

// The eight parameters: indices, names, labels and value mappings. Values 0..6 are normalised;
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

// Name for 0..6; null for 7 and anything else (nothing is written for those).
const char* name(int index);
// "dB", "amount" or empty.
const char* label(int index);

constexpr int kFactors[] = {1, 2, 4, 8, 12, 16};
constexpr int kFactorCount = 6;
// Oversampling factor for an Oversample value: entry trunc(5 * value), kept within the table.
int oversamplingFactor(float value);

constexpr int kMaxChannels = 6;
// Channel count for a channel-mode value as its display names it: 1, 2, 4 or 6.
int channelCount(float value);
// "Mono", "Stereo", "Quadro" or "5.1".
const char* channelModeName(float value);

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
