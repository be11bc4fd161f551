// Where no sound file library is at hand, AudioFile reads and writes WAV files alone.

#include "AudioFile.h"
#include "WavAudioFile.h"

std::string readableAudioFormats() { return "WAV only: PCM of 16, 24 or 32 bits, float of 32 or 64 bits"; }

Expected<std::unique_ptr<AudioFile>> AudioFile::openForReading(const std::filesystem::path& path) {
    return openWavForReading(path);
}

Expected<std::unique_ptr<AudioFile>> AudioFile::create(const std::filesystem::path& path, const AudioFileInfo& like) {
    return createWav(path, like);
}
