#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

#include "LevelMeter.h"
#include "PendingOutput.h"
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

}  // namespace
