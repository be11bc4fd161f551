// BlockProcessor against the plain chain it replaces: whole blocks zero-stuffed and filtered by a
// direct-form recursion over ever-growing histories, then sample-outer, channel-inner through the
// equaliser and the scalar stage, then filtered and decimated. Every channel mode and factor, every
// instruction set the machine has, on the demo material and on noise, with Drive, Bias and Volume
// ramping between blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "BlockProcessor.h"
#include "DemoSignal.h"
#include "DenormalGuard.h"
#include "LowpassDesigns.h"

namespace {

// The recursion without any history handling: y = b0 x + sum (b[i] x[n-i] + f[i] y[n-i]).
class GrowingIIR {
public:
    explicit GrowingIIR(double cutoff) {
        const Resamplers::LowpassDesign& design = Resamplers::lowpassDesignFor(cutoff);
        order_ = design.order;
        for (int i = 0; i <= order_; ++i) {
            b_.push_back(design.b[i]);
            f_.push_back(-design.a[i]);
        }
        x_.assign(static_cast<std::size_t>(order_), 0.0);
        y_.assign(static_cast<std::size_t>(order_), 0.0);
    }
    float process(float sample) {
        const double in = sample;
        x_.push_back(in);
        const std::size_t w = x_.size() - 1;
        double y = b_[0] * in;
        for (int i = 1; i <= order_; ++i) y += b_[i] * x_[w - i] + f_[i] * y_[w - i];
        y_.push_back(y);
        return static_cast<float>(y);
    }

private:
    int order_ = 0;
    std::vector<double> b_, f_, x_, y_;
};

// Drive and Bias as parameter values, decoded by the reference itself.
struct Targets {
    float drive, bias, gain;
};

BlockProcessor::Targets physical(const Targets& targets) {
    const double d = targets.drive;
    return {26.0 * (d * d * d) + 0.1, 1.6 * static_cast<double>(targets.bias), targets.gain};
}

// The chain as one pass per block over whole oversampled arrays.
class ReferenceChain {
public:
    ReferenceChain(const BlockProcessor& processor, int channels, int factor, Targets start)
        : channels_(channels), factor_(factor), start_(start) {
        for (int channel = 0; channel < channels; ++channel) {
            equalisers_.push_back(processor.equaliser(channel));
            stages_.push_back(processor.stage(channel));
            up_.emplace_back(0.5 / factor);
            down_.emplace_back(0.5 / factor);
        }
    }

    void process(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out, int offset,
                 int frames, Targets targets) {
        DenormalGuard denormalsOff;
        const int count = frames * factor_;
        std::vector<std::vector<float>> work(static_cast<std::size_t>(channels_), std::vector<float>(count));
        for (int channel = 0; channel < channels_; ++channel) {
            for (int i = 0; i < count; ++i) {
                const float x = i % factor_ == 0 ? in[channel][offset + i / factor_] : 0.0f;
                work[channel][i] = factor_ > 1 ? up_[channel].process(static_cast<float>(factor_) * x) : x;
            }
        }
        const double d0 = start_.drive, d1 = targets.drive;
        double h = 26.0 * (d0 * d0 * d0) + 0.1;
        const double stepH = (26.0 * (d1 * d1 * d1) + 0.1 - h) / count;
        double l = 1.6 * static_cast<double>(start_.bias);
        const double stepL = (1.6 * static_cast<double>(targets.bias) - l) / count;
        double m = start_.gain;
        const float stepM = (targets.gain - start_.gain) / static_cast<float>(count);
        for (int i = 0; i < count; ++i) {
            for (int channel = 0; channel < channels_; ++channel) {
                const double grid = (equalisers_[channel].process(work[channel][i]) / 3.0) * h + l;
                work[channel][i] = static_cast<float>(stages_[channel].tick(grid, h, l, m));
            }
            h += stepH;
            l += stepL;
            m += stepM;
        }
        for (int channel = 0; channel < channels_; ++channel) {
            for (int i = 0; i < count; ++i) {
                const float y = factor_ > 1 ? down_[channel].process(work[channel][i]) : work[channel][i];
                if (i % factor_ == 0) out[channel][offset + i / factor_] = y;
            }
        }
        start_ = targets;
    }

private:
    int channels_;
    int factor_;
    Targets start_;
    std::vector<ToneEqualiser> equalisers_;
    std::vector<TriodeStage> stages_;
    std::vector<GrowingIIR> up_, down_;
};

std::vector<std::vector<float>> noise(int channels, int frames) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::vector<std::vector<float>> signal(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (auto& channel : signal) {
        for (float& sample : channel) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            sample = 0.5f * (static_cast<float>(state >> 40) / 16777216.0f * 2.0f - 1.0f);
        }
    }
    return signal;
}

// The loud start of the demo's chord and the loud end of its level sweep, on every channel (the
// right-hand demo channel on odd channels, a little quieter on each further pair).
std::vector<std::vector<float>> demo(int channels, int frames) {
    static const DemoSignal signal;
    std::vector<std::vector<float>> material(static_cast<std::size_t>(channels));
    for (int channel = 0; channel < channels; ++channel) {
        const std::vector<float>& source = signal.channels()[static_cast<std::size_t>(channel % 2)];
        const float scale = 1.0f - 0.15f * static_cast<float>(channel / 2);
        for (int i = 0; i < frames; ++i) {
            const int frame = i < frames / 2 ? i : signal.frames() - frames + i;
            material[channel].push_back(scale * source[static_cast<std::size_t>(frame)]);
        }
    }
    return material;
}

// Largest difference between BlockProcessor and the reference over the material, in blocks of
// varying length with the parameters moving between blocks.
double largestDifference(SimdLevel level, int channels, int factor, const std::vector<std::vector<float>>& input) {
    BlockProcessor processor;
    processor.setSimdLevel(level);
    processor.setHostRate(44100.0f);
    processor.setChannelCount(channels, 0, factor, BlockProcessor::EqualiserGains{4.8, -2.4, 2.4});
    processor.setOversampling(factor);
    processor.settleStages(0.8);
    Targets start{0.6f, 0.5f, 1.0f};
    processor.setRampStart(physical(start));
    ReferenceChain reference(processor, channels, factor, start);

    const int frames = static_cast<int>(input.front().size());
    std::vector<std::vector<float>> expected(input.size(), std::vector<float>(frames));
    std::vector<std::vector<float>> actual = expected;
    const int blockLengths[] = {512, 37, 1500, 1, 256, 4096, 700};
    int done = 0;
    for (int block = 0; done < frames; ++block) {
        const int length = std::min(blockLengths[block % 7], frames - done);
        const Targets targets{0.3f + 0.1f * static_cast<float>(block % 6), 0.2f * static_cast<float>(block % 5),
                              0.5f + 0.25f * static_cast<float>(block % 3)};
        const float* in[BlockProcessor::kChannelSlots] = {};
        float* out[BlockProcessor::kChannelSlots] = {};
        for (int channel = 0; channel < channels; ++channel) {
            in[channel] = input[channel].data() + done;
            out[channel] = actual[channel].data() + done;
        }
        processor.process(in, out, length, physical(targets));
        reference.process(input, expected, done, length, targets);
        done += length;
    }
    double largest = 0.0;
    for (int channel = 0; channel < channels; ++channel) {
        for (int i = 0; i < frames; ++i) {
            const double difference = std::fabs(static_cast<double>(actual[channel][i]) - expected[channel][i]);
            // A NaN anywhere must fail the comparison.
            largest = std::isnan(difference) ? INFINITY : std::max(largest, difference);
        }
    }
    return largest;
}

class BlockProcessorReference : public ::testing::TestWithParam<int> {};

TEST_P(BlockProcessorReference, EveryChannelModeMatchesThePlainChainOnDemoAndNoise) {
    // The scalar chain gives the very same samples. The lanes differ only by the rounding of the
    // vector exp and log, which the direct-form filters amplify at high factors.
    const int factor = GetParam();
    std::vector<SimdLevel> levels{SimdLevel::Scalar};
    for (SimdLevel level : {SimdLevel::Sse2, SimdLevel::Avx2})
        if (static_cast<int>(level) <= static_cast<int>(bestSimdLevel())) levels.push_back(level);
    for (SimdLevel level : levels) {
        const double tolerance = level == SimdLevel::Scalar ? 0.0 : factor <= 8 ? 1e-6 : 1e-5;
        for (int channels : {1, 2, 4, 6}) {
            EXPECT_LE(largestDifference(level, channels, factor, demo(channels, 2400)), tolerance)
                << "level " << static_cast<int>(level) << ", " << channels << " channels, demo";
            EXPECT_LE(largestDifference(level, channels, factor, noise(channels, 1200)), tolerance)
                << "level " << static_cast<int>(level) << ", " << channels << " channels, noise";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, BlockProcessorReference, ::testing::Values(1, 2, 4, 8, 12, 16),
                         [](const ::testing::TestParamInfo<int>& info) { return "x" + std::to_string(info.param); });

}  // namespace
