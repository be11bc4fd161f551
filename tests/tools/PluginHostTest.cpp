#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "PluginInstance.h"
#include "PluginModule.h"
#include "TestFiles.h"

namespace {

std::string effectName(const PluginInstance& instance) {
    char name[kVstMaxEffectNameLen + 1] = {};
    instance.dispatch(effGetEffectName, 0, 0, name);
    return name;
}

TEST(PluginModuleTest, LoadsTheBuiltModuleAndCreatesAnEffectThroughItsEntry) {
    Expected<PluginModule> module = PluginModule::load(KORVEL_MODULE_PATH);
    ASSERT_TRUE(module) << module.message();
    Expected<std::unique_ptr<PluginInstance>> instance = PluginInstance::create(module.value());
    ASSERT_TRUE(instance) << instance.message();
    EXPECT_EQ(effectName(*instance.value()), "Korvel");
    EXPECT_EQ(instance.value()->parameterCount(), 8);
    EXPECT_EQ(instance.value()->programCount(), 20);
}

TEST(PluginModuleTest, FallsBackToMainAndRefusesAModuleThatCreatesNoEffect) {
    Expected<PluginModule> module = PluginModule::load(KORVEL_NULL_EFFECT_MODULE_PATH);
    ASSERT_TRUE(module) << module.message();
    Expected<std::unique_ptr<PluginInstance>> instance = PluginInstance::create(module.value());
    ASSERT_FALSE(instance);
    EXPECT_NE(instance.message().find("returned no effect"), std::string::npos) << instance.message();
}

TEST(PluginModuleTest, ReportsMissingFilesAndFilesThatAreNoModule) {
    const ScratchFolder scratch;
    const std::filesystem::path missing = scratch.work() / "missing.so";
    Expected<PluginModule> absent = PluginModule::load(missing);
    ASSERT_FALSE(absent);
    EXPECT_NE(absent.message().find(missing.string()), std::string::npos) << absent.message();

    const std::filesystem::path text = scratch.work() / "text.so";
    std::ofstream(text) << "not a module\n";
    Expected<PluginModule> invalid = PluginModule::load(text);
    ASSERT_FALSE(invalid);
    EXPECT_NE(invalid.message().find("cannot load"), std::string::npos) << invalid.message();
}

class PluginInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module_) << module_.message();
        Expected<std::unique_ptr<PluginInstance>> created = PluginInstance::create(module_.value());
        ASSERT_TRUE(created) << created.message();
        instance_ = std::move(created.value());
    }

    Expected<PluginModule> module_ = PluginModule::load(KORVEL_MODULE_PATH);
    std::unique_ptr<PluginInstance> instance_;
};

TEST_F(PluginInstanceTest, FindsParametersAndProgramsByNameIgnoringCase) {
    EXPECT_EQ(instance_->findParameter("drive").value(), 3);
    EXPECT_EQ(instance_->findParameter("VOLUME").value(), 5);
    Expected<int> unknown = instance_->findParameter("Fuzz");
    ASSERT_FALSE(unknown);
    EXPECT_NE(unknown.message().find("Oversample"), std::string::npos) << "lists the parameters: " << unknown.message();

    Expected<int> program = instance_->findProgram("med. drive 1");
    ASSERT_TRUE(program) << program.message();
    ASSERT_TRUE(instance_->selectProgram(program.value()));
    EXPECT_EQ(instance_->currentProgram(), 7);
    EXPECT_EQ(instance_->currentProgramName(), "Med. Drive 1");
    EXPECT_FLOAT_EQ(instance_->getParameter(3), 1.0f);

    EXPECT_FALSE(instance_->selectProgram(20));
    EXPECT_FALSE(instance_->selectProgram(-1));
    EXPECT_EQ(instance_->currentProgram(), 7);
    EXPECT_FALSE(instance_->findProgram("Loudest"));
}

TEST_F(PluginInstanceTest, ChoosesOversamplingAndChannelModeByTheirDisplayText) {
    ASSERT_TRUE(instance_->chooseOversampling("16x"));
    EXPECT_EQ(instance_->getParameter(PluginInstance::kOversampleParameter), 1.0f);
    ASSERT_TRUE(instance_->chooseOversampling("2X"));
    EXPECT_EQ(instance_->getParameter(PluginInstance::kOversampleParameter), 0.2f);
    ASSERT_TRUE(instance_->chooseChannelMode("mono"));
    EXPECT_EQ(instance_->getParameter(PluginInstance::kChannelModeParameter), 1.0f);
    ASSERT_TRUE(instance_->chooseChannelMode("5.1"));
    EXPECT_EQ(instance_->getParameter(PluginInstance::kChannelModeParameter), 6.0f);

    // A text that no value shows fails and leaves the value in force.
    Status unknown = instance_->chooseOversampling("3x");
    ASSERT_FALSE(unknown);
    EXPECT_NE(unknown.message().find("12x"), std::string::npos) << "lists the choices: " << unknown.message();
    EXPECT_EQ(instance_->getParameter(PluginInstance::kOversampleParameter), 0.2f);
    EXPECT_FALSE(instance_->chooseChannelMode("7.1"));
    EXPECT_EQ(instance_->getParameter(PluginInstance::kChannelModeParameter), 6.0f);
}

TEST_F(PluginInstanceTest, ProcessesEveryFrameAndSilencesTheOutputsOfInactiveChannels) {
    constexpr int kBlock = 64;
    constexpr int kFrames = 1000;  // not a whole number of blocks
    ASSERT_TRUE(instance_->start(44100.0f, kBlock));
    const Channels input = testSignal(2, kFrames, 44100);
    const float* inputs[] = {input[0].data(), input[1].data()};
    constexpr float kStale = 7.0f;
    Channels output(2, std::vector<float>(kFrames, kStale));
    float* outputs[] = {output[0].data(), output[1].data()};
    // Stereo first, so that a second channel's output has been written once before it goes quiet.
    ASSERT_TRUE(instance_->process(inputs, outputs, kFrames));
    ASSERT_TRUE(instance_->chooseChannelMode("mono"));
    ASSERT_TRUE(instance_->process(inputs, outputs, kFrames));  // the second channel fades out
    std::ranges::fill(output[0], kStale);
    std::ranges::fill(output[1], kStale);
    ASSERT_TRUE(instance_->process(inputs, outputs, kFrames));

    for (int frame = 0; frame < kFrames; ++frame) {
        ASSERT_TRUE(std::isfinite(output[0][frame]) && output[0][frame] != kStale) << "frame " << frame;
        ASSERT_EQ(output[1][frame], 0.0f) << "frame " << frame;
    }
    float tailPeak = 0.0f;
    for (int frame = kFrames - kBlock; frame < kFrames; ++frame)
        tailPeak = std::max(tailPeak, std::fabs(output[0][frame]));
    EXPECT_GT(tailPeak, 0.01f) << "the last, partial block is processed";
}

}  // namespace
