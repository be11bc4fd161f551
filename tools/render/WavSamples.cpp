#include "WavSamples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

std::uint64_t loadLittleEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int index = count - 1; index >= 0; --index) value = value << 8 | bytes[index];
    return value;
}

void storeLittleEndian(std::uint64_t value, unsigned char* bytes, int count) {
    for (int index = 0; index < count; ++index, value >>= 8) bytes[index] = static_cast<unsigned char>(value & 0xFF);
}

// A two's-complement integer of `bits` bits, scaled into [-1, 1).
float integerToFloat(std::uint64_t raw, int bits) {
    const std::int64_t half = std::int64_t{1} << (bits - 1);
    const std::int64_t value = static_cast<std::int64_t>(raw ^ static_cast<std::uint64_t>(half)) - half;
    return static_cast<float>(static_cast<double>(value) / static_cast<double>(half));
}

std::uint64_t floatToInteger(float sample, int bits) {
    const double half = std::ldexp(1.0, bits - 1);
    const double scaled = std::isnan(sample) ? 0.0 : std::clamp(sample * half, -half, half - 1.0);
    return static_cast<std::uint64_t>(std::llrint(scaled));
}

// Runs `convert(sample bytes, channel, frame)` for every sample of the interleaved frames.
template <class Convert>
void forEachSample(const WavFormat& format, int frames, Convert convert) {
    const int width = format.bitsPerSample() / 8;
    std::size_t offset = 0;
    for (int frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < format.channels; ++channel, offset += static_cast<std::size_t>(width))
            convert(offset, channel, frame);
}

}  // namespace

void decodeWavSamples(const WavFormat& format, const unsigned char* bytes, int frames, float* const* channels) {
    const int bits = format.bitsPerSample();
    const int width = bits / 8;
    forEachSample(format, frames, [&](std::size_t offset, int channel, int frame) {
        const std::uint64_t raw = loadLittleEndian(bytes + offset, width);
        float& sample = channels[channel][frame];
        if (format.sampleFormat == WavSampleFormat::Float32)
            sample = std::bit_cast<float>(static_cast<std::uint32_t>(raw));
        else if (format.sampleFormat == WavSampleFormat::Float64)
            sample = static_cast<float>(std::bit_cast<double>(raw));
        else
            sample = integerToFloat(raw, bits);
    });
}

void encodeWavSamples(const WavFormat& format, const float* const* channels, int frames, unsigned char* bytes) {
    const int bits = format.bitsPerSample();
    const int width = bits / 8;
    forEachSample(format, frames, [&](std::size_t offset, int channel, int frame) {
        const float sample = channels[channel][frame];
        std::uint64_t raw;
        if (format.sampleFormat == WavSampleFormat::Float32)
            raw = std::bit_cast<std::uint32_t>(sample);
        else if (format.sampleFormat == WavSampleFormat::Float64)
            raw = std::bit_cast<std::uint64_t>(static_cast<double>(sample));
        else
            raw = floatToInteger(sample, bits);
        storeLittleEndian(raw, bytes + offset, width);
    });
}
