#include "WavFormat.h"

#include <algorithm>
#include <array>

#include "AudioFile.h"

namespace {

struct SampleFormatFacts {
    WavSampleFormat format;
    int bits;
    bool isFloat;
    int encoding;
};

constexpr std::array<SampleFormatFacts, 5> kSampleFormats = {{
    {WavSampleFormat::Pcm16, 16, false, WavEncoding::kPcm16},
    {WavSampleFormat::Pcm24, 24, false, WavEncoding::kPcm24},
    {WavSampleFormat::Pcm32, 32, false, WavEncoding::kPcm32},
    {WavSampleFormat::Float32, 32, true, WavEncoding::kFloat32},
    {WavSampleFormat::Float64, 64, true, WavEncoding::kFloat64},
}};

const SampleFormatFacts& factsOf(WavSampleFormat format) {
    return *std::ranges::find(kSampleFormats, format, &SampleFormatFacts::format);
}

constexpr int kLargestFrameBytes = 0xFFFF;

}  // namespace

int WavFormat::bitsPerSample() const { return factsOf(sampleFormat).bits; }

bool WavFormat::isFloat() const { return factsOf(sampleFormat).isFloat; }

Status checkWavFormat(const WavFormat& format) {
    if (format.channels < 1) return Failure{"it has no channels"};
    if (format.channels > kLargestFrameBytes / (format.bitsPerSample() / 8))
        return Failure{"its " + std::to_string(format.channels) + " channels do not fit in a WAV file"};
    if (format.sampleRate < 1 || format.sampleRate > kHighestWavSampleRate)
        return Failure{"its sample rate of " + std::to_string(format.sampleRate) + " Hz is out of range"};
    return {};
}

int wavEncodingOf(WavSampleFormat format) { return factsOf(format).encoding; }

std::optional<WavSampleFormat> wavSampleFormatOf(int encoding) {
    const auto found = std::ranges::find(kSampleFormats, encoding, &SampleFormatFacts::encoding);
    if (found == kSampleFormats.end()) return std::nullopt;
    return found->format;
}

std::string wavEncodingName(WavSampleFormat format) {
    const SampleFormatFacts& facts = factsOf(format);
    return "WAV, " + std::to_string(facts.bits) + (facts.isFloat ? "-bit float" : "-bit PCM");
}
