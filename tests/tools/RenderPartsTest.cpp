#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

#include "LevelMeter.h"
#include "PendingOutput.h"
#include "SoundComparison.h"
#include "TestFiles.h"

namespace {

TEST(LevelMeterTest, MeasuresPeakAndRmsOverAllChannelsInDbfs) {
    std::vector<float> sine(4410), quiet(4410);
    for (std::size_t i = 0; i < sine.size(); ++i) {
        sine[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * 441.0 * static_cast<double>(i) / 44100.0));
        quiet[i] = 0.1f * sine[i];
    }
    const float* channels[] = {sine.data(), quiet.data()};
    LevelMeter meter;
    meter.add(channels, 2, static_cast<int>(sine.size()));
    EXPECT_NEAR(meter.peakDbfs(), 0.0, 0.01);
    // Mean square over both channels: (0.5 + 0.005) / 2.
    EXPECT_NEAR(meter.rmsDbfs(), 10.0 * std::log10(0.2525), 0.01);

    const LevelMeter silent;
    EXPECT_TRUE(std::isinf(silent.peakDbfs()) && silent.peakDbfs() < 0.0);
    EXPECT_TRUE(std::isinf(silent.rmsDbfs()) && silent.rmsDbfs() < 0.0);
}

TEST(PendingOutputTest, ReplacesTheTargetOnlyOnCommitAndOtherwiseRemovesTheTemporary) {
    const ScratchFolder scratch;
    const std::filesystem::path target = scratch.work() / "out.wav";
    std::ofstream(target) << "old";
    {
        PendingOutput abandoned(target);
        EXPECT_EQ(abandoned.temporary().parent_path(), scratch.work());
        std::ofstream(abandoned.temporary()) << "partial";
    }
    EXPECT_EQ(snapshot(scratch.work()), (std::map<std::filesystem::path, std::string>{{target, "old"}}));

    PendingOutput finished(target);
    std::ofstream(finished.temporary()) << "new";
    ASSERT_TRUE(finished.commit());
    EXPECT_EQ(snapshot(scratch.work()), (std::map<std::filesystem::path, std::string>{{target, "new"}}));
}

TEST(SoundComparisonTest, FindsTheLargestDifferenceAndWhereItLies) {
    const ScratchFolder scratch;
    const Channels original = testSignal(2, 5000, 44100);
    Channels changed = original;
    changed[0][10] += 1e-3f;
    changed[1][4321] -= 0.25f;  // beyond the comparison's first block
    writeSound(scratch.work() / "a.wav", original, 44100);
    writeSound(scratch.work() / "b.wav", changed, 44100);

    Expected<SoundDifference> difference = compareSoundFiles(scratch.work() / "a.wav", scratch.work() / "b.wav");
    ASSERT_TRUE(difference) << difference.message();
    EXPECT_NEAR(difference.value().largest, 0.25, 1e-6);
    EXPECT_EQ(difference.value().frame, 4321);
    EXPECT_EQ(difference.value().channel, 1);
    EXPECT_EQ(difference.value().frames, 5000);
    EXPECT_EQ(compareSoundFiles(scratch.work() / "a.wav", scratch.work() / "a.wav").value().largest, 0.0);
}

TEST(SoundComparisonTest, RefusesFilesOfDifferentShape) {
    const ScratchFolder scratch;
    writeSound(scratch.work() / "long.wav", testSignal(2, 5000, 44100), 44100);
    writeSound(scratch.work() / "short.wav", testSignal(2, 4999, 44100), 44100);
    writeSound(scratch.work() / "mono.wav", testSignal(1, 5000, 44100), 44100);
    for (const char* other : {"short.wav", "mono.wav"}) {
        Expected<SoundDifference> difference = compareSoundFiles(scratch.work() / "long.wav", scratch.work() / other);
        ASSERT_FALSE(difference) << other;
        EXPECT_NE(difference.message().find("differ in shape"), std::string::npos) << difference.message();
    }
}

}  // namespace
