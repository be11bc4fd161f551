// The WAV reader and writer agree with libsndfile, the Linux build's AudioFile: each reads the other's
// files sample for sample as the other does. Built only where libsndfile is.

#include <gtest/gtest.h>

#include <cctype>

#include "TestFiles.h"
#include "WavAudioFile.h"
#include "WavFormat.h"

namespace {

constexpr int kRate = 44100;

// The test signal with full scale and beyond in both directions at its start, where the two
// implementations' scaling and clipping conventions show.
Channels loudSignal(int channels) {
    Channels signal = testSignal(channels, 2000, kRate);
    for (std::vector<float>& channel : signal) {
        channel[0] = 1.0f;
        channel[1] = -1.0f;
        channel[2] = 1.25f;
        channel[3] = -1.25f;
    }
    return signal;
}

void expectSameReading(const std::filesystem::path& path, int encoding) {
    const Sound byLibrary = readSound(path);
    const Sound byWavReader = readSound(path, openWavForReading);
    EXPECT_EQ(byWavReader.info.encoding, encoding);
    EXPECT_EQ(byLibrary.info.encoding & 0xFFFF, encoding & 0xFFFF) << "the same sample format";
    EXPECT_EQ(byWavReader.info.channels, byLibrary.info.channels);
    EXPECT_EQ(byWavReader.info.sampleRate, byLibrary.info.sampleRate);
    EXPECT_EQ(byWavReader.info.frames, byLibrary.info.frames);
    EXPECT_EQ(byWavReader.channels, byLibrary.channels);
}

class WavSndfileInteropTest : public testing::TestWithParam<int> {};

TEST_P(WavSndfileInteropTest, BothReadTheWavWritersFilesAlike) {
    const ScratchFolder scratch;
    // One and two channels take the plain format (for PCM of 16 bits), three the extensible one.
    for (int channels : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const std::filesystem::path path = scratch.work() / "written-by-wav-writer.wav";
        writeSound(path, loudSignal(channels), kRate, GetParam(), createWav);
        expectSameReading(path, GetParam());
    }
}

TEST_P(WavSndfileInteropTest, BothReadLibsndfilesFilesAlike) {
    const ScratchFolder scratch;
    for (int channels : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const std::filesystem::path path = scratch.work() / "written-by-libsndfile.wav";
        writeSound(path, loudSignal(channels), kRate, GetParam());
        expectSameReading(path, GetParam());
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, WavSndfileInteropTest,
                         testing::Values(WavEncoding::kPcm16, WavEncoding::kPcm24, WavEncoding::kPcm32,
                                         WavEncoding::kFloat32, WavEncoding::kFloat64),
                         [](const testing::TestParamInfo<int>& info) {
                             std::string name = wavEncodingName(*wavSampleFormatOf(info.param));
                             std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                             return name;
                         });

}  // namespace
