#pragma once

// AudioFile on WAV files alone, without a sound file library: the reader takes PCM of 16, 24 or 32
// bits and float of 32 or 64 bits (plain or extensible format); the writer writes the encoding asked
// for when it is one of these and 32-bit float otherwise. The Windows build's AudioFile is this; it is
// portable and built everywhere.

#include <filesystem>
#include <memory>

#include "AudioFile.h"

Expected<std::unique_ptr<AudioFile>> openWavForReading(const std::filesystem::path& path);
Expected<std::unique_ptr<AudioFile>> createWav(const std::filesystem::path& path, const AudioFileInfo& like);
