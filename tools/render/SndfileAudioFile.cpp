#include <sndfile.h>

#include <vector>

#include "AudioFile.h"

namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
static_assert(WavEncoding::kPcm16 == (SF_FORMAT_WAV | SF_FORMAT_PCM_16));
static_assert(WavEncoding::kPcm24 == (SF_FORMAT_WAV | SF_FORMAT_PCM_24));
static_assert(WavEncoding::kPcm32 == (SF_FORMAT_WAV | SF_FORMAT_PCM_32));
static_assert(WavEncoding::kFloat32 == kFloatWav);
static_assert(WavEncoding::kFloat64 == (SF_FORMAT_WAV | SF_FORMAT_DOUBLE));

std::string formatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) return "unknown";
    return info.name;
}

class SndfileAudioFile final : public AudioFile {
public:
    SndfileAudioFile(SNDFILE* file, const SF_INFO& sfInfo, bool created) : file_(file) {
        info_.sampleRate = sfInfo.samplerate;
        info_.channels = sfInfo.channels;
        info_.frames = created ? 0 : sfInfo.frames;
        info_.encoding = sfInfo.format;
    }
    ~SndfileAudioFile() override {
        if (file_) sf_close(file_);
    }

    const AudioFileInfo& info() const override { return info_; }

    Expected<int> read(float* const* channels, int frames) override {
        prepare(frames);
        const sf_count_t got = sf_readf_float(file_, interleaved_.data(), frames);
        if (got < frames && sf_error(file_) != SF_ERR_NO_ERROR)
            return Failure{std::string("cannot read the audio: ") + sf_strerror(file_)};
        const int count = static_cast<int>(got);
        const std::size_t stride = static_cast<std::size_t>(info_.channels);
        for (std::size_t channel = 0; channel < stride; ++channel)
            for (std::size_t frame = 0; frame < static_cast<std::size_t>(count); ++frame)
                channels[channel][frame] = interleaved_[frame * stride + channel];
        return count;
    }

    Status write(const float* const* channels, int frames) override {
        prepare(frames);
        const std::size_t stride = static_cast<std::size_t>(info_.channels);
        for (std::size_t channel = 0; channel < stride; ++channel)
            for (std::size_t frame = 0; frame < static_cast<std::size_t>(frames); ++frame)
                interleaved_[frame * stride + channel] = channels[channel][frame];
        if (sf_writef_float(file_, interleaved_.data(), frames) != frames)
            return Failure{std::string("cannot write the audio: ") + sf_strerror(file_)};
        info_.frames += frames;
        return {};
    }

    Status close() override {
        const int error = sf_close(file_);
        file_ = nullptr;
        if (error != SF_ERR_NO_ERROR) return Failure{std::string("cannot finish the file: ") + sf_error_number(error)};
        return {};
    }

    std::string encodingName() const override {
        return formatName(info_.encoding & SF_FORMAT_TYPEMASK) + ", " + formatName(info_.encoding & SF_FORMAT_SUBMASK);
    }

private:
    void prepare(int frames) {
        interleaved_.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(info_.channels));
    }

    SNDFILE* file_;
    AudioFileInfo info_;
    std::vector<float> interleaved_;
};

}  // namespace

std::string readableAudioFormats() { return "any format libsndfile reads"; }

Expected<std::unique_ptr<AudioFile>> AudioFile::openForReading(const std::filesystem::path& path) {
    if (Status checked = checkInputPath(path); !checked) return checked.failure();
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return Failure{"cannot read " + path.string() + ": " + sf_strerror(nullptr)};
    return std::unique_ptr<AudioFile>(new SndfileAudioFile(file, info, false));
}

Expected<std::unique_ptr<AudioFile>> AudioFile::create(const std::filesystem::path& path, const AudioFileInfo& like) {
    SF_INFO info{};
    info.samplerate = like.sampleRate;
    info.channels = like.channels;
    info.format = like.encoding;
    if (info.format == 0 || !sf_format_check(&info)) info.format = kFloatWav;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return Failure{"cannot create " + path.string() + ": " + sf_strerror(nullptr)};
    // Integer formats clip what lies beyond full scale instead of wrapping around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return std::unique_ptr<AudioFile>(new SndfileAudioFile(file, info, true));
}
