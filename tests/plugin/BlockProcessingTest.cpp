#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "DenormalGuard.h"
#include "TestHost.h"
#include "ToneEqualiser.h"
#include "TriodeStage.h"

namespace {

std::vector<float> testSignal(int frames, double frequency = 441.0, double amplitude = 0.5) {
    std::vector<float> signal(frames);
    for (int i = 0; i < frames; ++i)
        signal[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / 44100.0));
    return signal;
}

// The chain at factor 1 computed from its parts: equaliser sum / 3, drive, bias, stage, which starts at
// rest at the Bias set before the first block; Drive and output gain ramp linearly over the block from
// the previous block's values.
std::vector<float> referenceAtFactorOne(const std::vector<float>& input, float drive0, float drive1, float bias,
                                        float gain0, float gain1) {
    DenormalGuard denormalsOff;
    ToneEqualiser equaliser;
    equaliser.setGains(0.0, 0.0, 0.0);
    TriodeStage stage;
    const double l = 1.6 * static_cast<double>(bias);
    stage.rest(l);
    const int count = static_cast<int>(input.size());
    const double d0 = drive0, d1 = drive1;
    double h = 26.0 * (d0 * d0 * d0) + 0.1;
    const double stepH = (26.0 * (d1 * d1 * d1) + 0.1 - h) / count;
    double m = gain0;
    const float stepM = (gain1 - gain0) / static_cast<float>(count);
    std::vector<float> output(count);
    for (int i = 0; i < count; ++i) {
        const double grid = (equaliser.process(input[i]) / 3.0) * h + l;
        output[i] = static_cast<float>(stage.tick(grid, h, l, m));
        h += stepH;
        m += stepM;
    }
    return output;
}

// A mono effect at factor 1 with the edit slot's tone settings.
void makeMonoAtFactorOne(const HostedEffect& host) {
    host.setParameter(6, 0.0f);
    host.setParameter(7, 1.0f);
}

TEST(BlockProcessing, FactorOneMatchesTheChainWithRampedDrive) {
    HostedEffect host;
    makeMonoAtFactorOne(host);
    const float gain = host.effect().outputGain();
    host.setParameter(3, 1.0f);  // Drive from 0.1 to 1 across the block
    host.setParameter(4, 0.5f);  // Bias 0.5 from the first sample: nothing was played before
    SixChannelBlock block(512);
    block.input(0) = testSignal(512);
    block.process(host);
    const std::vector<float> expected = referenceAtFactorOne(block.input(0), 0.1f, 1.0f, 0.5f, gain, gain);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(block.output(0)[i], expected[i]) << "sample " << i;
}

TEST(BlockProcessing, EmptyBlockWritesNothingAndAdoptsTheTargets) {
    HostedEffect host;
    makeMonoAtFactorOne(host);
    const float gain = host.effect().outputGain();
    host.setParameter(3, 0.8f);
    SixChannelBlock empty(0);
    empty.process(host);
    SixChannelBlock block(256, 7.0f);
    block.input(0) = testSignal(256);
    block.process(host);
    // No ramp any more: the block runs at the new Drive from its first sample.
    const std::vector<float> expected = referenceAtFactorOne(block.input(0), 0.8f, 0.8f, 0.0f, gain, gain);
    EXPECT_EQ(block.output(0), expected);
}

// What the host shows is what plays, for any channel-mode value a generic slider or a project may
// send: the display names the channels that carry processed sound, and every output above them is
// silence, also where the host processes in place, never whatever the buffer held before.
TEST(BlockProcessing, ChannelModeDisplayNamesThePlayingChannelsAndTheRestAreSilent) {
    const struct {
        float value;
        const char* display;
        int channels;
    } sweep[] = {{-1.0f, "Mono", 1},  {0.0f, "Mono", 1},   {0.5f, "Mono", 1},    {1.0f, "Mono", 1},  {1.49f, "Mono", 1},
                 {1.5f, "Stereo", 2}, {2.0f, "Stereo", 2}, {3.0f, "Quadro", 4},  {4.0f, "Quadro", 4}, {5.0f, "5.1", 6},
                 {6.0f, "5.1", 6},    {7.0f, "5.1", 6},    {1e30f, "5.1", 6}};
    for (const auto& mode : sweep) {
        for (const bool inPlace : {false, true}) {
            HostedEffect host;
            host.setParameter(7, mode.value);
            EXPECT_EQ(host.text(effGetParamDisplay, 7), mode.display) << mode.value;
            SixChannelBlock block(256, 7.0f);
            for (int channel = 0; channel < 6; ++channel) block.input(channel) = testSignal(256, 220.0 * (channel + 1));
            if (inPlace)
                for (int channel = 0; channel < 6; ++channel) block.output(channel) = block.input(channel);
            float* inputs[6];
            float* outputs[6];
            for (int channel = 0; channel < 6; ++channel) {
                outputs[channel] = block.output(channel).data();
                inputs[channel] = inPlace ? outputs[channel] : block.input(channel).data();
            }
            host.record()->processReplacing(host.record(), inputs, outputs, 256);
            for (int channel = 0; channel < 6; ++channel) {
                const std::vector<float>& output = block.output(channel);
                const bool silent = std::ranges::all_of(output, [](float sample) { return sample == 0.0f; });
                const bool processed =
                    std::ranges::all_of(output, [](float sample) { return std::isfinite(sample) && sample != 7.0f; }) &&
                    output != testSignal(256, 220.0 * (channel + 1)) && !silent;
                EXPECT_EQ(channel < mode.channels ? processed : silent, true)
                    << "value " << mode.value << (inPlace ? " in place" : "") << ", channel " << channel;
            }
        }
    }
}

TEST(BlockProcessing, EveryModeAndFactorGivesFiniteSoundOnItsChannels) {
    for (float mode : {1.0f, 2.0f, 4.0f, 6.0f}) {
        for (float oversample : {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}) {
            HostedEffect host;
            host.setParameter(7, mode);
            host.setParameter(6, oversample);
            host.setParameter(3, 0.7f);
            SixChannelBlock block(1024, 7.0f);
            for (int channel = 0; channel < 6; ++channel) block.input(channel) = testSignal(1024, 220.0 * (channel + 1));
            for (int repeat = 0; repeat < 4; ++repeat) block.process(host);
            const int active = static_cast<int>(mode);
            for (int channel = 0; channel < 6; ++channel) {
                double energy = 0.0;
                for (float sample : block.output(channel)) {
                    ASSERT_TRUE(std::isfinite(sample));
                    energy += sample * sample;
                }
                if (channel < active)
                    EXPECT_GT(energy, 1.0) << "mode " << mode << " oversample " << oversample << " channel " << channel;
                else
                    EXPECT_EQ(block.output(channel), std::vector<float>(1024, 0.0f));
            }
        }
    }
}

TEST(BlockProcessing, BlockAboveCapacityEqualsTheSameAudioInSmallerBlocks) {
    const int frames = 3 * BlockProcessor::kInitialCapacity - 1000;
    std::vector<float> signal = testSignal(frames, 330.0, 0.8);
    HostedEffect whole;
    HostedEffect pieces;
    SixChannelBlock wholeBlock(frames);
    wholeBlock.input(0) = signal;
    wholeBlock.input(1) = signal;
    wholeBlock.process(whole);

    std::vector<float> joined;
    for (int start = 0; start < frames; start += BlockProcessor::kInitialCapacity) {
        const int length = std::min(BlockProcessor::kInitialCapacity, frames - start);
        SixChannelBlock piece(length);
        std::copy_n(signal.begin() + start, length, piece.input(0).begin());
        std::copy_n(signal.begin() + start, length, piece.input(1).begin());
        piece.process(pieces);
        joined.insert(joined.end(), piece.output(0).begin(), piece.output(0).end());
    }
    EXPECT_EQ(wholeBlock.output(0), joined);
}

TEST(BlockProcessing, VolumeZeroLeavesMinus80Decibels) {
    auto level = [](float volume) {
        HostedEffect host;
        makeMonoAtFactorOne(host);
        host.setParameter(5, volume);
        SixChannelBlock block(2048);
        block.input(0) = testSignal(2048);
        block.process(host);  // the gain ramps to its target over this block
        block.process(host);
        double peak = 0.0;
        for (float sample : block.output(0)) peak = std::max(peak, std::abs(static_cast<double>(sample)));
        return peak;
    };
    const double unity = level(2.0f / 3.0f);
    const double silent = level(0.0f);
    EXPECT_GT(silent, 0.0);
    EXPECT_NEAR(20.0 * std::log10(silent / unity), 20.0 * std::log10(0.0001 / 1.0001001), 0.01);
}

TEST(BlockProcessing, StartsFromTheRestingPointOfTheBiasSetBeforeResume) {
    HostedEffect host;
    host.setParameter(3, 1.0f);
    host.setParameter(4, 1.0f);
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    SixChannelBlock silence(512);
    double peak = 0.0;
    for (int block = 0; block < 40; ++block) {
        silence.process(host);
        for (float sample : silence.output(0)) peak = std::max(peak, std::abs(static_cast<double>(sample)));
    }
    // An empty circuit would charge its output capacitor through the load: a thump far above full scale.
    EXPECT_LT(peak, 1e-3);
}

}  // namespace
