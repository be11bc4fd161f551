#pragma once

// How far apart two sound files of the same shape are: the largest absolute difference between the
// samples of the same channel at the same frame.

#include <cstdint>
#include <filesystem>

#include "Outcome.h"

struct SoundDifference {
    double largest = 0.0;
    std::int64_t frame = 0;  // where the largest difference lies
    int channel = 0;
    std::int64_t frames = 0;  // how many frames were compared
};

// Fails when a file cannot be read, or when the two differ in channels, sample rate or length.
Expected<SoundDifference> compareSoundFiles(const std::filesystem::path& first, const std::filesystem::path& second);
