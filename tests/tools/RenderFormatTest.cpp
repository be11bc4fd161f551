// The output format the renderer chooses from libsndfile's tables: the container the output's name
// says, the sample format asked for or the nearest to the input's. Built only where libsndfile is.

#include <gtest/gtest.h>
#include <sndfile.h>

#include "TestFiles.h"
#include "WavAudioFile.h"

namespace {

constexpr int kRate = 48000;

TEST(RenderFormatTest, AWavNamedOutputOfAFlacInputIsAWavFile) {
    const ScratchFolder scratch;
    const Channels input = testSignal(2, kRate / 4, kRate);
    writeSound(scratch.work() / "music.flac", input, kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);

    const RunResult run = runRenderer(scratch, {"music.flac", "-o", "music-k.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("music-k.wav  (WAV (Microsoft), Signed 24 bit PCM)"), std::string::npos) << run.out;
    // Our own WAV reader knows nothing but WAV: it reads the file only if it is one.
    const Sound wav = readSound(scratch.work() / "music-k.wav", openWavForReading);
    EXPECT_EQ(wav.info.encoding, WavEncoding::kPcm24);
    EXPECT_EQ(wav.info.frames, static_cast<std::int64_t>(input[0].size()));

    // The default name keeps the input's extension, and so its format.
    ASSERT_EQ(runRenderer(scratch, {"music.flac"}).exitCode, 0);
    EXPECT_EQ(readSound(scratch.work() / "music-korvel.flac").info.encoding, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

struct FormatCase {
    std::vector<std::string> arguments;
    int expected;
};

TEST(RenderFormatTest, WritesTheAskedSampleFormatElseTheInputsElseTheNearestTheContainerHolds) {
    const ScratchFolder scratch;
    writeSound(scratch.work() / "float.wav", testSignal(2, 2000, kRate), kRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeSound(scratch.work() / "pcm16.wav", testSignal(2, 2000, kRate), kRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeSound(scratch.work() / "wavex.wav", testSignal(2, 2000, kRate), kRate, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24);
    writeSound(scratch.work() / "pcm8.flac", testSignal(2, 2000, kRate), kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_S8);
    const std::vector<FormatCase> cases = {
        // FLAC holds no float: 24-bit PCM loses nothing of it; 16-bit PCM is kept.
        {{"float.wav", "-o", "out.flac"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {{"pcm16.wav", "-o", "out.flac"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        // WAV has no signed 8-bit samples: 16 bits hold them, where the largest format would waste space.
        {{"pcm8.flac", "-o", "out.wav"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        // Extensions in any case, and the common ones libsndfile's table names otherwise.
        {{"float.wav", "-o", "OUT.AIF"}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
        {{"pcm16.wav", "-o", "out.ogg"}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {{"float.wav", "-o", "out.w64", "--sample-format", "pcm16"}, SF_FORMAT_W64 | SF_FORMAT_PCM_16},
        {{"pcm16.wav", "-o", "out.caf", "--sample-format", "double"}, SF_FORMAT_CAF | SF_FORMAT_DOUBLE},
        // No extension keeps the input's format; a .wav name keeps the input's kind of WAV.
        {{"float.wav", "-o", "out"}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {{"wavex.wav", "-o", "out.wav"}, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
    };
    for (const FormatCase& format : cases) {
        const std::string output = format.arguments[2];
        SCOPED_TRACE(format.arguments[0] + " -o " + output);
        const RunResult run = runRenderer(scratch, format.arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(readSound(scratch.work() / output).info.encoding & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK),
                  format.expected);
    }
}

}  // namespace
