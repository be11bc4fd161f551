#pragma once

// Sound files read and written as planar 32-bit float channels. The Linux implementation is built on
// libsndfile (SndfileAudioFile.cpp); the Windows build reads and writes WAV files alone with the
// reader and writer of WavAudioFile.h (AudioFileWav.cpp).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "Outcome.h"

// WAV encodings for AudioFileInfo::encoding that every implementation understands. They are
// libsndfile's codes (container | sample format), so the Linux implementation takes them as they are.
namespace WavEncoding {
constexpr int kPcm16 = 0x010002;
constexpr int kPcm24 = 0x010003;
constexpr int kPcm32 = 0x010004;
constexpr int kFloat32 = 0x010006;
constexpr int kFloat64 = 0x010007;
}  // namespace WavEncoding

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

// What openForReading takes, for help texts.
std::string readableAudioFormats();

// The first check of every openForReading: `path` names a file that exists and is no folder.
Status checkInputPath(const std::filesystem::path& path);
