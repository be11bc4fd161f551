#pragma once

// What a WAV file's samples look like: their format, the number of channels and the sample rate.

#include <optional>
#include <string>

#include "Outcome.h"

enum class WavSampleFormat { Pcm16, Pcm24, Pcm32, Float32, Float64 };

struct WavFormat {
    WavSampleFormat sampleFormat = WavSampleFormat::Float32;
    int channels = 0;
    int sampleRate = 0;

    int bitsPerSample() const;
    bool isFloat() const;
    int bytesPerFrame() const { return channels * (bitsPerSample() / 8); }
};

// Every format a WAV file can state in its header: at least one channel, a frame of at most 65535
// bytes and a sample rate from 1 Hz to kHighestWavSampleRate.
Status checkWavFormat(const WavFormat& format);
// Far above any audio rate; a larger rate comes from a damaged header.
constexpr int kHighestWavSampleRate = 1'000'000;

// The AudioFileInfo::encoding code of a sample format, and back; nothing for codes of other encodings.
int wavEncodingOf(WavSampleFormat format);
std::optional<WavSampleFormat> wavSampleFormatOf(int encoding);
// E.g. "WAV, 24-bit PCM".
std::string wavEncodingName(WavSampleFormat format);
