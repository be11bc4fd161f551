#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ChainSwitcher.h"
#include "DemoSignal.h"

// Silence at rest is written as zeros instead of being run through the chain. Nothing may sound
// different for it, at every factor and channel mode, also with settings changed during the silence:
// the whole demo with silences inserted comes out within 1e-9 of the same chain playing the silence;
// and the demo's tail and the silence after it come out within 1e-9 of a chain that never rests, so
// nothing of the tail is cut.
namespace {

constexpr int kBlock = 512;

// Demo sound, a long silence, demo sound from block kSecondSound, a short silence.
std::vector<std::vector<float>> demoWithSilences(int channels) {
    static const DemoSignal demo;
    const int sound = 13 * kBlock, longSilence = 200 * kBlock, shortSilence = 20 * kBlock;
    std::vector<std::vector<float>> signal(static_cast<std::size_t>(channels));
    for (int channel = 0; channel < channels; ++channel) {
        const std::vector<float>& source = demo.channels()[static_cast<std::size_t>(channel % 2)];
        std::vector<float>& out = signal[static_cast<std::size_t>(channel)];
        out.insert(out.end(), source.begin(), source.begin() + sound);
        out.insert(out.end(), longSilence, 0.0f);
        out.insert(out.end(), source.end() - sound, source.end());
        out.insert(out.end(), shortSilence, 0.0f);
    }
    return signal;
}

constexpr int kFirstChange = 150;  // the block in which a setting first changes during the silence
constexpr int kSecondSound = 213;  // the block in which the sound returns

struct Played {
    std::vector<std::vector<float>> output;
    int restingBlocks = 0;  // blocks that started with the chain at rest
};

Played play(const std::vector<std::vector<float>>& input, int factor, ChainSwitcher::Silence silence) {
    ChainSwitcher chain;
    chain.setSilence(silence);
    chain.setEqualiserGains({2.4, 0.0, 4.8});
    const int channels = static_cast<int>(input.size());
    ChainSwitcher::Setup setup{factor, channels, 0.64, 0, 0};
    BlockProcessor::Targets targets{9.0, 0.64, 2.0f};
    chain.restart(setup, targets);

    const int frames = static_cast<int>(input.front().size());
    Played run;
    run.output.assign(input.size(), std::vector<float>(static_cast<std::size_t>(frames)));
    for (int block = 0; block * kBlock < frames; ++block) {
        // Settings changed while the silence is skipped take effect as they would have.
        if (block == kFirstChange) targets.driveGain = 1.8;
        if (block == 160) setup.biasVolts = targets.biasVolts = 0.96;
        const float* in[ChainSwitcher::kChannelSlots] = {};
        float* out[ChainSwitcher::kChannelSlots] = {};
        for (int channel = 0; channel < channels; ++channel) {
            in[channel] = input[channel].data() + block * kBlock;
            out[channel] = run.output[channel].data() + block * kBlock;
        }
        run.restingBlocks += chain.resting();
        chain.process(in, out, kBlock, setup, targets);
    }
    return run;
}

class SilenceSkipping : public ::testing::TestWithParam<int> {};

// The largest difference between two runs over blocks [first, last) of every channel.
double largestDifference(const Played& one, const Played& other, int first, int last) {
    double largest = 0.0;
    for (std::size_t channel = 0; channel < one.output.size(); ++channel)
        for (int i = first * kBlock; i < last * kBlock; ++i) {
            const double difference = std::abs(static_cast<double>(one.output[channel][i]) - other.output[channel][i]);
            largest = std::isnan(difference) ? INFINITY : std::max(largest, difference);
        }
    return largest;
}

TEST_P(SilenceSkipping, SoundsLikeEveryBlockPlayedAndKeepsTheTail) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "arithmetic of minutes under the sanitizers; the chain's memory use is covered elsewhere";
#endif
    using Silence = ChainSwitcher::Silence;
    const int factor = GetParam();
    for (int channels : {1, 2, 4, 6}) {
        const std::vector<std::vector<float>> input = demoWithSilences(channels);
        const int blocks = static_cast<int>(input[0].size()) / kBlock;
        const Played skipped = play(input, factor, Silence::Skip);
        EXPECT_GT(skipped.restingBlocks, 10) << channels << " channels: the silence was never skipped";
        EXPECT_LE(largestDifference(skipped, play(input, factor, Silence::Play), 0, blocks), 1e-9)
            << channels << " channels: skipping the silence changed the sound";
        EXPECT_LE(largestDifference(skipped, play(input, factor, Silence::Ignore), 0, kFirstChange), 1e-9)
            << channels << " channels: the tail or the silence differs from a chain that never rests";
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, SilenceSkipping, ::testing::Values(1, 2, 4, 8, 12, 16),
                         [](const ::testing::TestParamInfo<int>& info) { return "x" + std::to_string(info.param); });

}  // namespace
