// The WAV reader and writer on their own, whichever AudioFile the platform uses.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string_view>

#include "TestFiles.h"
#include "WavAudioFile.h"

namespace {

constexpr int kRate = 48000;

// Little-endian fields for files made by hand.
class Bytes {
public:
    Bytes& tag(std::string_view text) {
        data_.insert(data_.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& u8(unsigned value) {
        data_.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    Bytes& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8 & 0xFF); }
    Bytes& u24(unsigned value) { return u16(value & 0xFFFF).u8(value >> 16 & 0xFF); }
    Bytes& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    Bytes& append(const Bytes& other) {
        data_.insert(data_.end(), other.data_.begin(), other.data_.end());
        return *this;
    }
    const std::vector<unsigned char>& data() const { return data_; }

private:
    std::vector<unsigned char> data_;
};

// A chunk with its header and the pad byte that follows an odd-sized body; `size` overrides the
// size written in its header.
Bytes chunk(std::string_view tag, const Bytes& body, std::optional<std::uint32_t> size = std::nullopt) {
    const auto length = static_cast<std::uint32_t>(body.data().size());
    Bytes result;
    result.tag(tag).u32(size.value_or(length)).append(body);
    if (length % 2 != 0) result.u8(0);
    return result;
}

Bytes riffWave(std::initializer_list<Bytes> chunks) {
    Bytes body;
    body.tag("WAVE");
    for (const Bytes& part : chunks) body.append(part);
    Bytes result;
    return result.tag("RIFF").u32(static_cast<std::uint32_t>(body.data().size())).append(body);
}

// A format chunk's body; blockAlign is channels * bits / 8 unless given.
Bytes plainFormat(unsigned tag = 1, unsigned channels = 1, unsigned bits = 16, std::uint32_t rate = kRate,
                  std::optional<unsigned> blockAlign = std::nullopt) {
    const unsigned frameBytes = blockAlign.value_or(channels * bits / 8);
    Bytes body;
    return body.u16(tag).u16(channels).u32(rate).u32(rate * frameBytes).u16(frameBytes).u16(bits);
}

// The extensible format of one channel with sub-format `tag`; `guidLastByte` replaces the standard one.
Bytes extensibleFormat(unsigned tag, unsigned bits, unsigned validBits, unsigned guidLastByte = 0x71) {
    Bytes body = plainFormat(0xFFFE, 1, bits);
    body.u16(22).u16(validBits).u32(0x4).u16(tag);
    body.u32(0x00000000).u16(0x0010).u16(0x0080).u8(0x00).u8(0xAA).u8(0x00).u8(0x38).u8(0x9B).u8(guidLastByte);
    return body;
}

void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data().data()), static_cast<std::streamsize>(bytes.data().size()));
}

std::vector<unsigned char> fileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t load32(const std::vector<unsigned char>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// ---- Round trips through the writer and the reader ----

struct Encoding {
    const char* name;
    int code;
    int bits;  // 0 for float
};

void PrintTo(const Encoding& encoding, std::ostream* out) { *out << encoding.name; }

class WavRoundTripTest : public testing::TestWithParam<Encoding> {};

TEST_P(WavRoundTripTest, ReadsBackWhatWasWrittenWithinOneHalfStep) {
    const ScratchFolder scratch;
    // Three channels take the extensible format; an odd number of frames gives 24-bit files a pad byte.
    constexpr int kFrames = 1001;
    const Channels written = testSignal(3, kFrames, kRate);
    const std::filesystem::path path = scratch.work() / "round.wav";
    writeSound(path, written, kRate, GetParam().code, createWav);

    const Sound read = readSound(path, openWavForReading);
    EXPECT_EQ(read.info.encoding, GetParam().code);
    EXPECT_EQ(read.info.sampleRate, kRate);
    ASSERT_EQ(read.info.channels, 3);
    ASSERT_EQ(read.info.frames, kFrames);
    const double step = GetParam().bits ? std::ldexp(1.0, 1 - GetParam().bits) : 0.0;
    for (int channel = 0; channel < 3; ++channel)
        for (int frame = 0; frame < kFrames; ++frame)
            ASSERT_LE(std::fabs(read.channels[channel][frame] - written[channel][frame]), step / 2 + 1e-9)
                << "channel " << channel << ", frame " << frame;

    const std::vector<unsigned char> bytes = fileBytes(path);
    EXPECT_EQ(bytes.size() % 2, 0u) << "RIFF chunks have even sizes";
    EXPECT_EQ(load32(bytes, 4), bytes.size() - 8) << "the RIFF size covers the whole file";
}

TEST_P(WavRoundTripTest, ClipsIntegerSamplesAtFullScaleAndKeepsFloatSamplesAsTheyAre) {
    const ScratchFolder scratch;
    const Channels written = {{1.0f, -1.0f, 1.5f, -3.0f, 0.25f, std::nanf("")}};
    const std::filesystem::path path = scratch.work() / "loud.wav";
    writeSound(path, written, kRate, GetParam().code, createWav);
    const Sound read = readSound(path, openWavForReading);
    ASSERT_EQ(read.info.frames, 6);
    const std::vector<float>& samples = read.channels[0];
    if (GetParam().bits == 0) {
        EXPECT_EQ(std::vector<float>(samples.begin(), samples.end() - 1),
                  std::vector<float>(written[0].begin(), written[0].end() - 1));
        EXPECT_TRUE(std::isnan(samples.back()));
        return;
    }
    const auto largest = static_cast<float>(1.0 - std::ldexp(1.0, 1 - GetParam().bits));
    EXPECT_EQ(samples, (std::vector<float>{largest, -1.0f, largest, -1.0f, 0.25f, 0.0f}));
}

INSTANTIATE_TEST_SUITE_P(Encodings, WavRoundTripTest,
                         testing::Values(Encoding{"Pcm16", WavEncoding::kPcm16, 16},
                                         Encoding{"Pcm24", WavEncoding::kPcm24, 24},
                                         Encoding{"Pcm32", WavEncoding::kPcm32, 32},
                                         Encoding{"Float32", WavEncoding::kFloat32, 0},
                                         Encoding{"Float64", WavEncoding::kFloat64, 0}),
                         [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

TEST(WavWriterTest, WritesThirtyTwoBitFloatForEncodingsOtherThanWav) {
    const ScratchFolder scratch;
    constexpr int kAiffPcm16 = 0x020002;
    for (int encoding : {0, kAiffPcm16}) {
        writeSound(scratch.work() / "out.wav", testSignal(2, 10, kRate), kRate, encoding, createWav);
        EXPECT_EQ(readSound(scratch.work() / "out.wav", openWavForReading).info.encoding, WavEncoding::kFloat32);
    }
}

TEST(WavWriterTest, WritesPlainHeadersForStereoAndTheFrameCountOfFloatFiles) {
    const ScratchFolder scratch;
    const std::filesystem::path path = scratch.work() / "float.wav";
    writeSound(path, testSignal(2, 100, kRate), kRate, WavEncoding::kFloat32, createWav);
    const std::vector<unsigned char> bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 12u + 8 + 18 + 8 + 4 + 8 + 800);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "fmt ");
    EXPECT_EQ(load32(bytes, 20) & 0xFFFF, 3u) << "float format tag";
    EXPECT_EQ(load32(bytes, 28), 48000u * 8) << "bytes per second";
    EXPECT_EQ(std::string(bytes.begin() + 38, bytes.begin() + 42), "fact");
    EXPECT_EQ(load32(bytes, 46), 100u) << "frames in the fact chunk";
    EXPECT_EQ(std::string(bytes.begin() + 50, bytes.begin() + 54), "data");
    EXPECT_EQ(load32(bytes, 54), 800u);
}

TEST(WavWriterTest, RefusesFormatsAWavFileCannotState) {
    const ScratchFolder scratch;
    AudioFileInfo info;
    info.channels = 0;
    info.sampleRate = kRate;
    Expected<std::unique_ptr<AudioFile>> noChannels = createWav(scratch.work() / "none.wav", info);
    ASSERT_FALSE(noChannels);
    EXPECT_NE(noChannels.message().find("no channels"), std::string::npos) << noChannels.message();
    info.channels = 2;
    info.sampleRate = 0;
    EXPECT_FALSE(createWav(scratch.work() / "none.wav", info));
}

// ---- Files made by hand ----

TEST(WavReaderTest, ReadsKnownSamplesOfPlainAndExtensibleFilesAndSkipsUnknownChunks) {
    const ScratchFolder scratch;
    Bytes pcm16;
    pcm16.u16(0x7FFF).u16(0x8000).u16(0x0001).u16(0xFFFF);
    Bytes list;
    list.tag("INFOname");  // odd-sized with the byte below: a pad byte must follow
    list.u8('x');
    writeBytes(scratch.work() / "plain.wav",
               riffWave({chunk("LIST", list), chunk("fmt ", plainFormat(1, 2)), chunk("JUNK", Bytes().u32(0)),
                         chunk("data", pcm16), chunk("LIST", list)}));
    const Sound plain = readSound(scratch.work() / "plain.wav", openWavForReading);
    EXPECT_EQ(plain.info.encoding, WavEncoding::kPcm16);
    EXPECT_EQ(plain.channels, (Channels{{32767 / 32768.0f, 1 / 32768.0f}, {-1.0f, -1 / 32768.0f}}));

    Bytes pcm24;
    pcm24.u24(0x7FFFFF).u24(0x800000).u24(0x000001).u24(0xFFFFFF).u24(0x400000);
    writeBytes(scratch.work() / "extensible.wav",
               riffWave({chunk("fmt ", extensibleFormat(1, 24, 20)), chunk("data", pcm24)}));
    const Sound extensible = readSound(scratch.work() / "extensible.wav", openWavForReading);
    EXPECT_EQ(extensible.info.encoding, WavEncoding::kPcm24);
    EXPECT_EQ(extensible.channels, (Channels{{8388607 / 8388608.0f, -1.0f, 1 / 8388608.0f, -1 / 8388608.0f, 0.5f}}));

    Bytes float64;
    float64.u32(0).u32(0x3FD00000).u32(0).u32(0xC0000000);  // 0.25, -2.0
    writeBytes(scratch.work() / "double.wav", riffWave({chunk("fmt ", extensibleFormat(3, 64, 64)),
                                                        chunk("fact", Bytes().u32(2)), chunk("data", float64)}));
    const Sound doubles = readSound(scratch.work() / "double.wav", openWavForReading);
    EXPECT_EQ(doubles.info.encoding, WavEncoding::kFloat64);
    EXPECT_EQ(doubles.channels, (Channels{{0.25f, -2.0f}}));
}

TEST(WavReaderTest, ReadsInBlocksUpToTheEndOfTheDataChunk) {
    const ScratchFolder scratch;
    Bytes samples;
    for (unsigned value = 0; value < 10; ++value) samples.u16(value * 100);
    // Another chunk after the samples must not be read as samples.
    writeBytes(scratch.work() / "ten.wav", riffWave({chunk("fmt ", plainFormat()), chunk("data", samples),
                                                     chunk("JUNK", Bytes().u32(0x7FFF7FFF))}));
    Expected<std::unique_ptr<AudioFile>> file = openWavForReading(scratch.work() / "ten.wav");
    ASSERT_TRUE(file) << file.message();
    std::vector<float> block(4, -1.0f);
    float* channels[] = {block.data()};
    std::vector<float> all;
    for (int count : {4, 4, 2, 0}) {
        Expected<int> read = file.value()->read(channels, 4);
        ASSERT_TRUE(read) << read.message();
        ASSERT_EQ(read.value(), count);
        all.insert(all.end(), block.begin(), block.begin() + count);
    }
    for (unsigned value = 0; value < 10; ++value) EXPECT_EQ(all[value], static_cast<float>(value * 100) / 32768.0f);
    EXPECT_FALSE(file.value()->write(nullptr, 1)) << "a file that is read cannot be written";
}

struct DamagedFile {
    const char* name;
    Bytes bytes;
    const char* message;
};

void PrintTo(const DamagedFile& file, std::ostream* out) { *out << file.name; }

Bytes fourFrames() { return Bytes().u32(1).u32(2).u32(3).u32(4); }

Bytes cut(const Bytes& bytes, std::size_t length) {
    Bytes result;
    for (std::size_t index = 0; index < length; ++index) result.u8(bytes.data()[index]);
    return result;
}

class WavRejectionTest : public testing::TestWithParam<DamagedFile> {};

TEST_P(WavRejectionTest, RefusesTheFileAndSaysWhy) {
    const ScratchFolder scratch;
    const std::filesystem::path path = scratch.work() / "damaged.wav";
    writeBytes(path, GetParam().bytes);
    Expected<std::unique_ptr<AudioFile>> file = openWavForReading(path);
    ASSERT_FALSE(file);
    EXPECT_EQ(file.message().rfind("cannot read " + path.string() + ": ", 0), 0u) << file.message();
    EXPECT_NE(file.message().find(GetParam().message), std::string::npos) << file.message();
}

const Bytes kGood = riffWave({chunk("fmt ", plainFormat()), chunk("data", fourFrames())});

INSTANTIATE_TEST_SUITE_P(
    DamagedFiles, WavRejectionTest,
    testing::Values(
        DamagedFile{"Empty", Bytes(), "too short"},
        DamagedFile{"NotRiff", Bytes().tag("RIFX").u32(4).tag("WAVE"), "not a WAV file"},
        DamagedFile{"NotWave", Bytes().tag("RIFF").u32(4).tag("AVI "), "not a WAV file"},
        DamagedFile{"CutInsideTheFormatChunk", cut(kGood, 12 + 8 + 10), "truncated inside its format chunk"},
        DamagedFile{"CutBeforeAnyChunk", cut(kGood, 12 + 4), "no format chunk"},
        DamagedFile{"CutInsideTheSamples", cut(kGood, kGood.data().size() - 3), "truncated"},
        DamagedFile{"DataSizeBeyondTheFile",
                    riffWave({chunk("fmt ", plainFormat()), chunk("data", fourFrames(), 0xFFFFFFF0)}),
                    "claims 4294967280 bytes"},
        DamagedFile{"FormatChunkOfAbsurdSize",
                    riffWave({chunk("fmt ", plainFormat(), 0x7FFFFFFF), chunk("data", fourFrames())}), "far more"},
        DamagedFile{"FormatChunkTooShort", riffWave({chunk("fmt ", Bytes().u32(1)), chunk("data", fourFrames())}),
                    "too short"},
        DamagedFile{"NoDataChunk", riffWave({chunk("fmt ", plainFormat()), chunk("JUNK", fourFrames())}),
                    "no data chunk"},
        DamagedFile{"DataBeforeFormat", riffWave({chunk("data", fourFrames()), chunk("fmt ", plainFormat())}),
                    "before any format chunk"},
        DamagedFile{"Compressed", riffWave({chunk("fmt ", plainFormat(2)), chunk("data", fourFrames())}),
                    "compressed or in an unknown encoding (format tag 0x0002)"},
        DamagedFile{"EightBitPcm", riffWave({chunk("fmt ", plainFormat(1, 1, 8)), chunk("data", fourFrames())}),
                    "8-bit PCM"},
        DamagedFile{"SixteenBitFloat", riffWave({chunk("fmt ", plainFormat(3, 1, 16)), chunk("data", fourFrames())}),
                    "16-bit float"},
        DamagedFile{"UnknownSubFormat",
                    riffWave({chunk("fmt ", extensibleFormat(1, 16, 16, 0x72)), chunk("data", fourFrames())}),
                    "sub-format"},
        DamagedFile{"MoreValidBitsThanBits",
                    riffWave({chunk("fmt ", extensibleFormat(1, 16, 17)), chunk("data", fourFrames())}),
                    "17 valid bits"},
        DamagedFile{"ExtensibleChunkTooShort",
                    riffWave({chunk("fmt ", plainFormat(0xFFFE).u16(0)), chunk("data", fourFrames())}), "too short"},
        DamagedFile{"NoChannels", riffWave({chunk("fmt ", plainFormat(1, 0)), chunk("data", fourFrames())}),
                    "no channels"},
        DamagedFile{"NoSampleRate", riffWave({chunk("fmt ", plainFormat(1, 1, 16, 0)), chunk("data", fourFrames())}),
                    "sample rate of 0 Hz"},
        DamagedFile{"AbsurdSampleRate",
                    riffWave({chunk("fmt ", plainFormat(1, 1, 16, 0xFFFFFFFF)), chunk("data", fourFrames())}),
                    "out of range"},
        DamagedFile{"FrameSizeNotFittingTheChannels",
                    riffWave({chunk("fmt ", plainFormat(1, 2, 16, kRate, 2)), chunk("data", fourFrames())}),
                    "frame size of 2 bytes"},
        DamagedFile{"PartialFrame", riffWave({chunk("fmt ", plainFormat(1, 3)), chunk("data", fourFrames())}),
                    "no whole number of 6-byte frames"}),
    [](const testing::TestParamInfo<DamagedFile>& info) { return std::string(info.param.name); });

}  // namespace
