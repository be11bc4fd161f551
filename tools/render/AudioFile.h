#pragma once

// Sound files read and written as planar 32-bit float channels. The Linux implementation is built on
// libsndfile (SndfileAudioFile.cpp); a Windows build can provide these operations for WAV files
// alone in a file of its own.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "Outcome.h"

struct AudioFileInfo {
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    // The implementation's own code for container and sample format; 0 asks for 32-bit float WAV.
    int encoding = 0;
};

class AudioFile {
public:
    static Expected<std::unique_ptr<AudioFile>> openForReading(const std::filesystem::path& path);
    // Creates (or replaces) `path` with like.sampleRate, like.channels and like.encoding, falling back
    // to 32-bit float WAV when that encoding cannot be written with these properties.
    static Expected<std::unique_ptr<AudioFile>> create(const std::filesystem::path& path, const AudioFileInfo& like);

    virtual ~AudioFile() = default;

    // For a created file, `frames` counts the frames written so far.
    virtual const AudioFileInfo& info() const = 0;
    // Reads up to `frames` frames into info().channels buffers; answers the frames read, 0 at the end.
    virtual Expected<int> read(float* const* channels, int frames) = 0;
    // Appends `frames` frames from info().channels buffers.
    virtual Status write(const float* const* channels, int frames) = 0;
    // Finishes the file; a created file is complete only when this succeeded.
    virtual Status close() = 0;
    // A short description of the encoding, e.g. "WAV 16-bit PCM".
    virtual std::string encodingName() const = 0;
};
