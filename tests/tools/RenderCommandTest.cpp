// Runs the korvel-render executable itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>

#include "PluginInstance.h"
#include "PluginModule.h"
#include "TestFiles.h"

namespace {

constexpr int kRate = 44100;

float largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

float peak(const std::vector<float>& samples) { return largestDifference(samples, std::vector<float>(samples.size())); }

TEST(RenderDemoTest, WritesADryAndADifferentProcessedStereoFileOfTheSameLength) {
    const ScratchFolder scratch;
    const RunResult run = runRenderer(scratch, {});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Sound dry = readSound(scratch.work() / "korvel-demo-dry.wav");
    const Sound wet = readSound(scratch.work() / "korvel-demo-wet.wav");
    ASSERT_EQ(dry.info.channels, 2);
    ASSERT_EQ(wet.info.channels, 2);
    EXPECT_EQ(wet.info.sampleRate, kRate);
    EXPECT_EQ(wet.info.frames, dry.info.frames);
    EXPECT_GE(dry.info.frames, 6 * kRate);
    EXPECT_LE(dry.info.frames, 8 * kRate);
    EXPECT_GT(peak(dry.channels[0]), 0.5f);
    EXPECT_GT(largestDifference(dry.channels[0], wet.channels[0]), 0.1f);
    EXPECT_GT(largestDifference(dry.channels[1], wet.channels[1]), 0.1f);
    EXPECT_NE(run.out.find("Med. Drive 1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("realtime"), std::string::npos) << run.out;
}

TEST(RenderDemoTest, WritesBothFilesIntoTheFolderOfTheNamedOutput) {
    const ScratchFolder scratch;
    std::filesystem::create_directory(scratch.work() / "demo");
    const RunResult run = runRenderer(scratch, {"-o", "demo/processed.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(scratch.work() / "demo" / "processed.wav"));
    EXPECT_TRUE(std::filesystem::exists(scratch.work() / "demo" / "korvel-demo-dry.wav"));
    EXPECT_FALSE(std::filesystem::exists(scratch.work() / "korvel-demo-dry.wav"));
}

TEST(RenderFileTest, GivesTheSameResultAsProcessingTheFileBlockByBlock) {
    constexpr int kBlock = 300;
    const ScratchFolder scratch;
    const Channels input = testSignal(2, kRate * 3 / 2, kRate);
    writeSound(scratch.work() / "in.wav", input, kRate);
    const RunResult run = runRenderer(scratch, {"in.wav", "-o", "out.wav", "--program", "Med. Drive 2", "--set",
                                                "Bias=0.3", "--oversample", "4x", "--block-size", "300"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Sound rendered = readSound(scratch.work() / "out.wav");

    Expected<PluginModule> module = PluginModule::load(KORVEL_MODULE_PATH);
    ASSERT_TRUE(module) << module.message();
    Expected<std::unique_ptr<PluginInstance>> created = PluginInstance::create(module.value());
    ASSERT_TRUE(created) << created.message();
    PluginInstance& instance = *created.value();
    ASSERT_TRUE(instance.selectProgram(9));
    instance.setParameter(4, 0.3f);
    ASSERT_TRUE(instance.chooseOversampling("4x"));
    ASSERT_TRUE(instance.chooseChannelMode("Stereo"));
    ASSERT_TRUE(instance.start(kRate, kBlock));
    Channels expected(2, std::vector<float>(input[0].size()));
    for (std::size_t offset = 0; offset < input[0].size(); offset += kBlock) {
        const int frames = static_cast<int>(std::min<std::size_t>(kBlock, input[0].size() - offset));
        const float* inputs[] = {input[0].data() + offset, input[1].data() + offset};
        float* outputs[] = {expected[0].data() + offset, expected[1].data() + offset};
        ASSERT_TRUE(instance.process(inputs, outputs, frames));
    }

    ASSERT_EQ(rendered.info.channels, 2);
    ASSERT_EQ(rendered.info.frames, static_cast<std::int64_t>(input[0].size()));
    EXPECT_EQ(rendered.channels, expected);
    EXPECT_GT(largestDifference(rendered.channels[0], input[0]), 0.1f);
}

TEST(RenderFileTest, KeepsTheEncodingAndChoosesTheChannelModeFromTheChannelCount) {
    const ScratchFolder scratch;
    writeSound(scratch.work() / "three.wav", testSignal(3, kRate / 2, kRate), kRate, WavEncoding::kPcm16);

    // Three channels select Quadro, so the third channel is processed.
    ASSERT_EQ(runRenderer(scratch, {"three.wav", "-o", "quadro.wav"}).exitCode, 0);
    const Sound quadro = readSound(scratch.work() / "quadro.wav");
    ASSERT_EQ(quadro.info.channels, 3);
    EXPECT_EQ(quadro.info.encoding, WavEncoding::kPcm16);
    EXPECT_GT(peak(quadro.channels[2]), 0.01f);

    ASSERT_EQ(runRenderer(scratch, {"three.wav", "-o", "mono.wav", "--channels", "mono"}).exitCode, 0);
    const Sound mono = readSound(scratch.work() / "mono.wav");
    EXPECT_GT(peak(mono.channels[0]), 0.01f);
    EXPECT_EQ(peak(mono.channels[1]), 0.0f);
    EXPECT_EQ(peak(mono.channels[2]), 0.0f);

    const RunResult asked = runRenderer(scratch, {"three.wav", "-o", "double.wav", "--sample-format", "Double"});
    ASSERT_EQ(asked.exitCode, 0) << asked.err;
    EXPECT_EQ(readSound(scratch.work() / "double.wav").info.encoding, WavEncoding::kFloat64);
}

std::string formatted(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// The count and the largest magnitude of the samples beyond full scale, channel by channel, as the
// clipping report states them.
std::string beyondFullScale(const Channels& channels) {
    std::string text;
    long long total = 0;
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
        const long long count = std::ranges::count_if(channels[channel], [](float x) { return std::fabs(x) > 1.0f; });
        if (count == 0) continue;
        total += count;
        text += formatted("%schannel %zu: %lld, up to %+.2f dBFS", text.empty() ? "" : "; ", channel + 1, count,
                          20.0 * std::log10(static_cast<double>(peak(channels[channel]))));
    }
    return formatted("%lld samples beyond full scale were clipped: ", total) + text;
}

// Volume at its top (+20 dB) takes the test signal well beyond full scale.
TEST(RenderClippingTest, AnIntegerOutputReportsTheClippedSamplesAndAFloatOutputKeepsThem) {
    const ScratchFolder scratch;
    writeSound(scratch.work() / "in.wav", testSignal(2, kRate / 2, kRate), kRate, WavEncoding::kPcm24);

    const RunResult floatRun =
        runRenderer(scratch, {"in.wav", "-o", "float.wav", "--set", "Volume=1", "--sample-format", "float"});
    ASSERT_EQ(floatRun.exitCode, 0) << floatRun.err;
    EXPECT_EQ(floatRun.out.find("clipp"), std::string::npos) << floatRun.out;
    const Sound kept = readSound(scratch.work() / "float.wav");
    EXPECT_EQ(kept.info.encoding, WavEncoding::kFloat32);
    ASSERT_EQ(kept.channels.size(), 2u);
    EXPECT_GT(peak(kept.channels[0]), 1.5f);
    EXPECT_GT(peak(kept.channels[1]), 1.5f);

    // The input's 24-bit PCM is kept, and the report tells what the float output held beyond full scale.
    const RunResult pcmRun = runRenderer(scratch, {"in.wav", "-o", "pcm.wav", "--set", "Volume=1"});
    ASSERT_EQ(pcmRun.exitCode, 0) << pcmRun.err;
    const Sound clipped = readSound(scratch.work() / "pcm.wav");
    EXPECT_EQ(clipped.info.encoding, WavEncoding::kPcm24);
    EXPECT_LE(peak(clipped.channels[0]), 1.0f);
    const std::string expected = "clipping  " + beyondFullScale(kept.channels);
    const std::size_t report = pcmRun.out.find(expected);
    ASSERT_NE(report, std::string::npos) << pcmRun.out << "expected: " << expected;
    EXPECT_EQ(pcmRun.out.find_first_of("\r\n", report), report + expected.size()) << "no further channels";
    EXPECT_NE(pcmRun.out.find("write float samples (--sample-format float)"), std::string::npos) << pcmRun.out;

    // The Volume the report suggests keeps the whole output within full scale.
    std::smatch volume;
    ASSERT_TRUE(std::regex_search(pcmRun.out, volume, std::regex("lower the Volume by [0-9.]+ dB or more "
                                                                 "\\(--set (Volume=0\\.[0-9]+)\\)")))
        << pcmRun.out;
    const RunResult quieter = runRenderer(scratch, {"in.wav", "-o", "quieter.wav", "--set", volume[1].str()});
    ASSERT_EQ(quieter.exitCode, 0) << quieter.err;
    EXPECT_EQ(quieter.out.find("clipp"), std::string::npos) << quieter.out;
    const Sound within = readSound(scratch.work() / "quieter.wav");
    const float loudest = std::max(peak(within.channels[0]), peak(within.channels[1]));
    EXPECT_LE(loudest, 1.0f);
    EXPECT_GT(loudest, 0.98f) << "not much lower than needed";
}

struct BadInput {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

class RenderFailureTest : public testing::TestWithParam<BadInput> {};

// Every bad request exits non-zero with a message and leaves the folder exactly as it was: the
// existing output untouched, no temporary file and no demo file behind.
TEST_P(RenderFailureTest, ExitsWithAMessageAndLeavesEveryFileAsItWas) {
    const ScratchFolder scratch;
    writeSound(scratch.work() / "in.wav", testSignal(2, 4000, kRate), kRate);
    writeSound(scratch.work() / "out.wav", testSignal(1, 100, kRate), kRate);
    writeSound(scratch.work() / "seven.wav", testSignal(7, 1000, kRate), kRate);
    std::ofstream(scratch.work() / "text.wav") << "no sound in here\n";
    const auto before = snapshot(scratch.work());

    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments)
        if (argument == "NULL_MODULE") argument = builtFile(KORVEL_NULL_EFFECT_MODULE_PATH).string();
        else if (argument == "MODULE_AS_GIVEN") argument = KORVEL_MODULE_PATH;
    const RunResult run = runRenderer(scratch, arguments);

    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_TRUE(snapshot(scratch.work()) == before) << "files were added or changed";
}

INSTANTIATE_TEST_SUITE_P(
    BadRequests, RenderFailureTest,
    testing::Values(
        BadInput{"MissingInput", {"missing.wav", "-o", "out.wav"}, "no such file"},
        BadInput{"NotASoundFile", {"text.wav", "-o", "out.wav"}, "cannot read"},
        // The build's path starts with a slash (Wine finds such a path in the Linux file system): it must
        // be read as the input, on Windows too, not taken for an option.
        BadInput{"InputPathStartingWithASlash", {"MODULE_AS_GIVEN", "-o", "out.wav"}, "cannot read /"},
        BadInput{"SevenChannels", {"seven.wav", "-o", "out.wav"}, "7 channels"},
        BadInput{"OutputIsTheInput", {"out.wav", "-o", "./../work/out.wav"}, "is the input file"},
        BadInput{"MissingOutputFolder", {"in.wav", "-o", "nowhere/out.wav"}, "does not exist"},
        BadInput{"MissingModule", {"in.wav", "-o", "out.wav", "--module", "none.so"}, "no module file"},
        BadInput{"ModuleWithoutEffect", {"in.wav", "-o", "out.wav", "--module", "NULL_MODULE"}, "no effect"},
        BadInput{"UnknownParameter", {"in.wav", "-o", "out.wav", "--set", "Fuzz=0.5"}, "unknown parameter"},
        BadInput{"ValueNotANumber", {"in.wav", "-o", "out.wav", "--set", "Drive=loud"}, "not a number"},
        BadInput{"UnknownProgram", {"in.wav", "-o", "out.wav", "--program", "Loudest"}, "unknown program"},
        BadInput{"ProgramNumberTooHigh", {"in.wav", "-o", "out.wav", "--program", "20"}, "outside 0..19"},
        BadInput{"UnknownOversampling", {"in.wav", "-o", "out.wav", "--oversample", "3x"}, "unknown oversampling"},
        BadInput{"UnknownChannelMode", {"in.wav", "-o", "out.wav", "--channels", "7.1"}, "unknown channel mode"},
        BadInput{"DemoWithUnknownParameter", {"-o", "out.wav", "--set", "Fuzz=1"}, "unknown parameter"},
        // The output's format is checked before the module is loaded, let alone any audio processed.
        BadInput{"UnknownExtension", {"in.wav", "-o", "out.xyz", "--module", "NULL_MODULE"}, "names no format"},
#ifdef _WIN32
        BadInput{"FlacOnWindows", {"in.wav", "-o", "out.flac", "--module", "NULL_MODULE"}, "writes WAV files only"},
#else
        BadInput{"FloatIntoFlac",
                 {"in.wav", "-o", "out.flac", "--sample-format", "float", "--module", "NULL_MODULE"},
                 "cannot hold float samples; choose one of pcm16, pcm24"},
        BadInput{"SampleFormatIntoOgg", {"in.wav", "-o", "out.ogg", "--sample-format", "pcm16"}, "cannot hold pcm16"},
#endif
        BadInput{"UnknownSampleFormat", {"in.wav", "-o", "out.wav", "--sample-format", "pcm8"}, "pcm8 not in"}),
    [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

}  // namespace
