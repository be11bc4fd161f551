#include "WavAudioFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "WavHeader.h"
#include "WavSamples.h"

namespace {

AudioFileInfo infoOf(const WavFormat& format, std::int64_t frames) {
    AudioFileInfo info;
    info.sampleRate = format.sampleRate;
    info.channels = format.channels;
    info.frames = frames;
    info.encoding = wavEncodingOf(format.sampleFormat);
    return info;
}

class WavReader final : public AudioFile {
public:
    WavReader(std::ifstream file, const WavLayout& layout)
        : file_(std::move(file)), format_(layout.format), info_(infoOf(layout.format, layout.frames)) {}

    const AudioFileInfo& info() const override { return info_; }

    Expected<int> read(float* const* channels, int frames) override {
        if (frames <= 0) return 0;
        const auto count = static_cast<int>(std::clamp<std::int64_t>(info_.frames - framesRead_, 0, frames));
        if (count == 0) return 0;
        bytes_.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(format_.bytesPerFrame()));
        if (!file_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size())))
            return Failure{"cannot read the audio: the file ends before its data chunk does"};
        decodeWavSamples(format_, bytes_.data(), count, channels);
        framesRead_ += count;
        return count;
    }

    Status write(const float* const*, int) override { return Failure{"a file opened for reading cannot be written"}; }

    Status close() override {
        file_.close();
        return {};
    }

    std::string encodingName() const override { return wavEncodingName(format_.sampleFormat); }

private:
    std::ifstream file_;
    WavFormat format_;
    AudioFileInfo info_;
    std::int64_t framesRead_ = 0;
    std::vector<unsigned char> bytes_;
};

// Writes a header for no frames at once and the final one when closed.
class WavWriter final : public AudioFile {
public:
    WavWriter(std::ofstream file, const WavFormat& format)
        : file_(std::move(file)), format_(format), info_(infoOf(format, 0)) {}

    const AudioFileInfo& info() const override { return info_; }

    Expected<int> read(float* const*, int) override { return Failure{"a file opened for writing cannot be read"}; }

    Status write(const float* const* channels, int frames) override {
        if (frames <= 0) return {};
        const std::uint64_t bytes =
            static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(format_.bytesPerFrame());
        if (dataBytes_ + bytes > largestWavDataBytes(format_))
            return Failure{"cannot write the audio: it would make the WAV file larger than 4 GiB"};
        bytes_.resize(bytes);
        encodeWavSamples(format_, channels, frames, bytes_.data());
        if (!file_.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes)))
            return Failure{"cannot write the audio to the file"};
        dataBytes_ += bytes;
        info_.frames += frames;
        return {};
    }

    Status close() override {
        if (!file_.is_open()) return Failure{"the file is already closed"};
        if (dataBytes_ % 2 != 0) file_.put('\0');
        const std::vector<unsigned char> header = makeWavHeader(format_, info_.frames);
        file_.seekp(0);
        file_.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        file_.close();
        if (!file_) return Failure{"cannot finish the file"};
        return {};
    }

    std::string encodingName() const override { return wavEncodingName(format_.sampleFormat); }

private:
    std::ofstream file_;
    WavFormat format_;
    AudioFileInfo info_;
    std::uint64_t dataBytes_ = 0;
    std::vector<unsigned char> bytes_;
};

std::string systemReason() { return std::strerror(errno); }

}  // namespace

Expected<std::unique_ptr<AudioFile>> openWavForReading(const std::filesystem::path& path) {
    if (Status checked = checkInputPath(path); !checked) return checked.failure();
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return Failure{"cannot read " + path.string() + ": " + systemReason()};
    const auto size = static_cast<std::uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
    Expected<WavLayout> layout = readWavLayout(file, size);
    if (!layout) return Failure{"cannot read " + path.string() + ": " + layout.message()};
    file.seekg(static_cast<std::streamoff>(layout.value().dataOffset));
    return std::unique_ptr<AudioFile>(new WavReader(std::move(file), layout.value()));
}

Expected<std::unique_ptr<AudioFile>> createWav(const std::filesystem::path& path, const AudioFileInfo& like) {
    const WavFormat format{wavSampleFormatOf(like.encoding).value_or(WavSampleFormat::Float32), like.channels,
                           like.sampleRate};
    if (Status valid = checkWavFormat(format); !valid)
        return Failure{"cannot create " + path.string() + ": " + valid.message()};
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return Failure{"cannot create " + path.string() + ": " + systemReason()};
    const std::vector<unsigned char> header = makeWavHeader(format, 0);
    if (!file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size())))
        return Failure{"cannot write to " + path.string()};
    return std::unique_ptr<AudioFile>(new WavWriter(std::move(file), format));
}
