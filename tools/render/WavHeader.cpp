#include "WavHeader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace {

constexpr std::uint16_t kFormatTagPcm = 0x0001;
constexpr std::uint16_t kFormatTagFloat = 0x0003;
constexpr std::uint16_t kFormatTagExtensible = 0xFFFE;
// The sub-format GUID of the extensible format is the plain format tag followed by these bytes.
constexpr std::array<unsigned char, 14> kSubFormatGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint32_t kPlainFormatBytes = 16;
constexpr std::uint32_t kFloatFormatBytes = 18;
constexpr std::uint32_t kExtensibleFormatBytes = 40;
constexpr std::uint16_t kExtensionBytes = kExtensibleFormatBytes - kFloatFormatBytes;
// A format chunk holds at most a few dozen bytes; one beyond this size is damaged.
constexpr std::uint32_t kLargestFormatBytes = 1024;
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kRiffHeaderBytes = 12;
constexpr std::uint64_t kLargestRiffSize = 0xFFFFFFFF;

std::uint16_t load16(const unsigned char* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

std::uint32_t load32(const unsigned char* bytes) {
    return load16(bytes) | static_cast<std::uint32_t>(load16(bytes + 2)) << 16;
}

bool hasTag(const unsigned char* bytes, std::string_view tag) { return std::equal(tag.begin(), tag.end(), bytes); }

bool readBytes(std::istream& file, std::uint64_t position, unsigned char* bytes, std::size_t count) {
    file.seekg(static_cast<std::streamoff>(position));
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count)));
}

std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

constexpr const char* kSupported = "only PCM of 16, 24 or 32 bits and float of 32 or 64 bits are supported";

Expected<WavSampleFormat> sampleFormatFor(std::uint16_t tag, unsigned bits) {
    if (tag == kFormatTagPcm) {
        if (bits == 16) return WavSampleFormat::Pcm16;
        if (bits == 24) return WavSampleFormat::Pcm24;
        if (bits == 32) return WavSampleFormat::Pcm32;
        return Failure{"it holds " + std::to_string(bits) + "-bit PCM; " + kSupported};
    }
    if (tag == kFormatTagFloat) {
        if (bits == 32) return WavSampleFormat::Float32;
        if (bits == 64) return WavSampleFormat::Float64;
        return Failure{"it holds " + std::to_string(bits) + "-bit float; " + kSupported};
    }
    return Failure{"it is compressed or in an unknown encoding (format tag " + hex(tag) + "); " + kSupported};
}

Expected<WavFormat> parseFormatChunk(const std::vector<unsigned char>& chunk) {
    if (chunk.size() < kPlainFormatBytes)
        return Failure{"its format chunk of " + std::to_string(chunk.size()) + " bytes is too short"};
    std::uint16_t tag = load16(&chunk[0]);
    const unsigned channels = load16(&chunk[2]);
    const std::uint32_t sampleRate = load32(&chunk[4]);
    const unsigned blockAlign = load16(&chunk[12]);
    const unsigned bits = load16(&chunk[14]);
    if (tag == kFormatTagExtensible) {
        if (chunk.size() < kExtensibleFormatBytes)
            return Failure{"its extensible format chunk of " + std::to_string(chunk.size()) + " bytes is too short"};
        if (!std::ranges::equal(kSubFormatGuidTail, std::span(chunk).subspan(26, kSubFormatGuidTail.size())))
            return Failure{"its extensible format names a sub-format that is not PCM or float"};
        const unsigned validBits = load16(&chunk[18]);
        if (validBits > bits)
            return Failure{"it claims " + std::to_string(validBits) + " valid bits in " + std::to_string(bits) +
                           "-bit samples"};
        tag = load16(&chunk[24]);
    }
    Expected<WavSampleFormat> sampleFormat = sampleFormatFor(tag, bits);
    if (!sampleFormat) return sampleFormat.failure();
    if (sampleRate > static_cast<std::uint32_t>(kHighestWavSampleRate))
        return Failure{"its sample rate of " + std::to_string(sampleRate) + " Hz is out of range"};
    const WavFormat format{sampleFormat.value(), static_cast<int>(channels), static_cast<int>(sampleRate)};
    if (Status valid = checkWavFormat(format); !valid) return valid.failure();
    if (blockAlign != static_cast<unsigned>(format.bytesPerFrame()))
        return Failure{"its frame size of " + std::to_string(blockAlign) + " bytes does not fit " +
                       std::to_string(channels) + " channels of " + std::to_string(bits) + " bits"};
    return format;
}

// Little-endian fields appended one after the other.
class ByteWriter {
public:
    void tag(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void u16(std::uint16_t value) { append(value, 2); }
    void u32(std::uint32_t value) { append(value, 4); }
    void raw(std::span<const unsigned char> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    void patch32(std::size_t offset, std::uint32_t value) {
        for (std::size_t index = 0; index < 4; ++index, value >>= 8)
            bytes_[offset + index] = static_cast<unsigned char>(value & 0xFF);
    }
    std::size_t size() const { return bytes_.size(); }
    std::vector<unsigned char> take() { return std::move(bytes_); }

private:
    void append(std::uint32_t value, int count) {
        for (int index = 0; index < count; ++index, value >>= 8)
            bytes_.push_back(static_cast<unsigned char>(value & 0xFF));
    }
    std::vector<unsigned char> bytes_;
};

}  // namespace

Expected<WavLayout> readWavLayout(std::istream& file, std::uint64_t fileSize) {
    unsigned char riff[kRiffHeaderBytes];
    if (fileSize < kRiffHeaderBytes || !readBytes(file, 0, riff, sizeof riff))
        return Failure{"it is too short to be a WAV file"};
    if (!hasTag(riff, "RIFF") || !hasTag(riff + 8, "WAVE"))
        return Failure{"it is not a WAV file (no RIFF/WAVE header)"};

    std::optional<WavFormat> format;
    std::uint64_t position = kRiffHeaderBytes;
    while (position + kChunkHeaderBytes <= fileSize) {
        unsigned char header[kChunkHeaderBytes];
        if (!readBytes(file, position, header, sizeof header))
            return Failure{"it cannot be read at byte " + std::to_string(position)};
        const std::uint32_t size = load32(header + 4);
        const std::uint64_t body = position + kChunkHeaderBytes;
        const std::uint64_t available = fileSize - body;
        if (hasTag(header, "fmt ")) {
            if (size > kLargestFormatBytes)
                return Failure{"its format chunk claims " + std::to_string(size) +
                               " bytes, far more than a format needs"};
            if (size > available) return Failure{"it is truncated inside its format chunk"};
            std::vector<unsigned char> chunk(size);
            if (!readBytes(file, body, chunk.data(), chunk.size()))
                return Failure{"it cannot be read at byte " + std::to_string(body)};
            Expected<WavFormat> parsed = parseFormatChunk(chunk);
            if (!parsed) return parsed.failure();
            format = parsed.value();
        } else if (hasTag(header, "data")) {
            if (!format) return Failure{"its data chunk comes before any format chunk"};
            if (size > available)
                return Failure{"it is truncated: its data chunk claims " + std::to_string(size) + " bytes, but only " +
                               std::to_string(available) + " follow"};
            const auto frameBytes = static_cast<std::uint32_t>(format->bytesPerFrame());
            if (size % frameBytes != 0)
                return Failure{"its data chunk of " + std::to_string(size) + " bytes is no whole number of " +
                               std::to_string(frameBytes) + "-byte frames"};
            return WavLayout{*format, body, static_cast<std::int64_t>(size / frameBytes)};
        }
        // Chunk bodies of odd size are followed by a pad byte.
        position = body + size + (size & 1);
    }
    return Failure{format ? "it has no data chunk" : "it has no format chunk"};
}

std::vector<unsigned char> makeWavHeader(const WavFormat& format, std::int64_t frames) {
    const bool extensible = format.channels > 2 || (!format.isFloat() && format.bitsPerSample() > 16);
    const std::uint16_t tag = format.isFloat() ? kFormatTagFloat : kFormatTagPcm;
    const auto frameBytes = static_cast<std::uint16_t>(format.bytesPerFrame());
    const auto bits = static_cast<std::uint16_t>(format.bitsPerSample());
    const auto dataBytes = static_cast<std::uint32_t>(frames * frameBytes);

    ByteWriter header;
    header.tag("RIFF");
    header.u32(0);  // patched below, once the header's own length is known
    header.tag("WAVE");
    header.tag("fmt ");
    header.u32(extensible ? kExtensibleFormatBytes : format.isFloat() ? kFloatFormatBytes : kPlainFormatBytes);
    header.u16(extensible ? kFormatTagExtensible : tag);
    header.u16(static_cast<std::uint16_t>(format.channels));
    header.u32(static_cast<std::uint32_t>(format.sampleRate));
    header.u32(static_cast<std::uint32_t>(format.sampleRate) * frameBytes);
    header.u16(frameBytes);
    header.u16(bits);
    if (extensible) {
        header.u16(kExtensionBytes);
        header.u16(bits);  // all bits are valid
        header.u32(0);     // no speaker assignment: the channels' meaning is not known here
        header.u16(tag);
        header.raw(kSubFormatGuidTail);
    } else if (format.isFloat()) {
        header.u16(0);
    }
    // Formats other than PCM state their length in frames in a fact chunk.
    if (format.isFloat()) {
        header.tag("fact");
        header.u32(4);
        header.u32(static_cast<std::uint32_t>(frames));
    }
    header.tag("data");
    header.u32(dataBytes);
    header.patch32(4, static_cast<std::uint32_t>(header.size() - kChunkHeaderBytes + dataBytes + (dataBytes & 1)));
    return header.take();
}

std::uint64_t largestWavDataBytes(const WavFormat& format) {
    const std::uint64_t overhead = makeWavHeader(format, 0).size() - kChunkHeaderBytes + 1;  // + a pad byte
    const std::uint64_t largest = kLargestRiffSize - overhead;
    return largest - largest % static_cast<std::uint64_t>(format.bytesPerFrame());
}
