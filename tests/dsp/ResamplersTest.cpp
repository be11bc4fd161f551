// cIIR and cSimplestResampler: the recursion, its history handling, and the resampler's
// zero-stuffing, filtering and decimation.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "LowpassDesigns.h"
#include "Resamplers.h"

using Resamplers::cIIR;
using Resamplers::cResampler;
using Resamplers::cSimplestResampler;
using Resamplers::lowpassDesignFor;

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kCutoffs[] = {0.25, 0.125, 0.0625, 1.0 / 24.0, 0.03125, 0.015625};
const int kFactors[] = {2, 4, 8, 12, 16};

struct Noise {
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    double next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
};

std::vector<double> noiseVector(int n, std::uint64_t start = 0x2545F4914F6CDD1Dull) {
    Noise noise;
    noise.state = start;
    std::vector<double> v(n);
    for (double& s : v) s = noise.next();
    return v;
}

// Bit-exact equality, so that -0.0 vs 0.0 or NaN payloads would also show.
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The recursion over histories that only ever grow: no compaction at all.
class NaiveIIR {
public:
    explicit NaiveIIR(double cutoff) {
        const auto& d = lowpassDesignFor(cutoff);
        order_ = d.order;
        for (int i = 0; i <= order_; ++i) {
            b_.push_back(d.b[i]);
            f_.push_back(-d.a[i]);
        }
        x_.assign(order_, 0.0);
        y_.assign(order_, 0.0);
    }
    NaiveIIR() : order_(cIIR::kMaxOrder), b_(cIIR::kMaxOrder + 1, 0.0), f_(cIIR::kMaxOrder + 1, 0.0) {
        b_[0] = 1.0;
        x_.assign(order_, 0.0);
        y_.assign(order_, 0.0);
    }
    double process(double in) {
        x_.push_back(in);
        const std::size_t w = x_.size() - 1;
        double acc = b_[0] * in;
        for (int i = 1; i <= order_; ++i) acc += b_[i] * x_[w - i] + f_[i] * y_[w - i];
        y_.push_back(acc);
        return acc;
    }

private:
    int order_;
    std::vector<double> b_, f_, x_, y_;
};

// Amplitude of the component at exactly `cycles` cycles over the window (coherent, rectangular).
double amplitude(const float* x, int length, int cycles) {
    long double re = 0.0L, im = 0.0L;
    for (int n = 0; n < length; ++n) {
        const long long phase = (static_cast<long long>(cycles) * n) % length;
        const long double angle = 2.0L * kPi * static_cast<long double>(phase) / length;
        re += x[n] * std::cos(angle);
        im += x[n] * std::sin(angle);
    }
    return static_cast<double>(2.0L * std::sqrt(re * re + im * im) / length);
}

double toDb(double ratio) { return 20.0 * std::log10(ratio); }

// A resampler for tests: one factor, `channels` channels, in and out buffers of `frames` frames.
struct Rig {
    cSimplestResampler resampler;
    std::vector<std::vector<float>> in, work, out;
    std::vector<const float*> inPtr;
    std::vector<float*> workPtr, outPtr;

    Rig(int maxFactor, int channels, int frames) {
        EXPECT_TRUE(resampler.allocate(maxFactor, channels, frames));
        in.assign(channels, std::vector<float>(frames, 0.0f));
        work.assign(channels, std::vector<float>(static_cast<std::size_t>(frames) * maxFactor + 64, 0.0f));
        out.assign(channels, std::vector<float>(frames + 16, 12345.0f));
        for (int ch = 0; ch < channels; ++ch) {
            inPtr.push_back(in[ch].data());
            workPtr.push_back(work[ch].data());
            outPtr.push_back(out[ch].data());
        }
    }
};

class PlainResampler : public cResampler {
public:
    void setFactor(double factor, int channels) override {
        factor_ = static_cast<int>(factor);
        channelCount_ = channels;
    }
    void reset() override {}
    int upsample(const float* const*, float* const*, int) override { return 0; }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// cIIR

TEST(cIIR, FreshFilterIsTheIdentity) {
    cIIR filter;
    EXPECT_EQ(filter.order(), 128);
    EXPECT_EQ(filter.historyLength(), 1152);
    EXPECT_EQ(filter.feedForward()[0], 1.0);
    const std::vector<double> x = noiseVector(5000);  // crosses several compactions
    for (double v : x) ASSERT_EQ(filter.process(v), v);
    cIIR floats;
    std::vector<float> f(3000);
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<float>(x[i]);
    std::vector<float> g = f;
    floats.processFloats(g.data(), static_cast<int>(g.size()));
    EXPECT_EQ(g, f);
    EXPECT_TRUE(filter.stateIsFinite());
}

TEST(cIIR, ResetClearsTheMemoryButKeepsTheDesign) {
    for (double c : kCutoffs) {
        cIIR used, fresh;
        used.setCutoff(c);
        fresh.setCutoff(c);
        for (double v : noiseVector(3000)) used.process(v);  // dirty the whole history, past a compaction
        used.reset();
        ASSERT_EQ(used.order(), fresh.order());
        for (int i = 0; i <= cIIR::kMaxOrder; ++i) {
            ASSERT_EQ(used.feedForward()[i], fresh.feedForward()[i]);
            ASSERT_EQ(used.feedBack()[i], fresh.feedBack()[i]);
        }
        // Same output, bit for bit, as a filter that never saw anything: over longer than a history.
        const std::vector<double> x = noiseVector(2500, 77);
        for (int n = 0; n < 2500; ++n) {
            ASSERT_TRUE(sameBits(used.process(x[n]), fresh.process(x[n]))) << c << " sample " << n;
        }
    }
}

TEST(cIIR, ResetAfterANonFiniteInputRecovers) {
    cIIR filter, fresh;
    filter.setCutoff(0.125);
    fresh.setCutoff(0.125);
    filter.process(1.0);
    filter.process(std::nan(""));
    EXPECT_FALSE(filter.stateIsFinite());
    filter.reset();
    EXPECT_TRUE(filter.stateIsFinite());
    for (double v : noiseVector(500)) ASSERT_TRUE(sameBits(filter.process(v), fresh.process(v)));
}

TEST(cIIR, HistoryCompactionIsSeamless) {
    // Runs much longer than the history against a recursion that never compacts; lengths include one
    // where the moved block overlaps its destination (order 128, L = 200).
    for (double c : kCutoffs) {
        for (int length : {129, 200, 1152}) {
            cIIR filter;
            ASSERT_TRUE(filter.setHistoryLength(length));
            filter.setCutoff(c);
            NaiveIIR reference(c);
            const std::vector<double> x = noiseVector(20000);
            for (int n = 0; n < 20000; ++n) {
                ASSERT_TRUE(sameBits(filter.process(x[n]), reference.process(x[n])))
                    << "c " << c << " L " << length << " sample " << n;
            }
        }
    }
    cIIR identity;
    ASSERT_TRUE(identity.setHistoryLength(200));
    NaiveIIR reference;
    for (double v : noiseVector(5000)) ASSERT_TRUE(sameBits(identity.process(v), reference.process(v)));
}

TEST(cIIR, SetHistoryLengthZeroesAndRejectsLengthsThatCannotHoldTheOrder) {
    cIIR filter;
    filter.setCutoff(0.25);
    EXPECT_FALSE(filter.setHistoryLength(128));
    EXPECT_FALSE(filter.setHistoryLength(0));
    EXPECT_EQ(filter.historyLength(), 1152);
    for (double v : noiseVector(100)) filter.process(v);
    ASSERT_TRUE(filter.setHistoryLength(4000));
    EXPECT_EQ(filter.historyLength(), 4000);
    EXPECT_EQ(filter.order(), 35);
    NaiveIIR reference(0.25);
    for (double v : noiseVector(9000, 5)) ASSERT_TRUE(sameBits(filter.process(v), reference.process(v)));
}

TEST(cIIR, BufferedFormsEqualThePerSampleFormsAcrossCompactions) {
    const int blockSizes[] = {1, 7, 300, 1000, 64, 1117, 513, 2};  // at most L - order = 1152 - 35
    for (double c : kCutoffs) {
        cIIR perSample, buffered, perSampleF, bufferedF;
        for (cIIR* f : {&perSample, &buffered, &perSampleF, &bufferedF}) f->setCutoff(c);
        const std::vector<double> x = noiseVector(12000, 99);
        std::vector<double> a = x, b = x;
        std::vector<float> af(x.size()), bf(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) af[i] = bf[i] = static_cast<float>(x[i]);
        std::size_t pos = 0;
        for (int k = 0; pos < x.size(); ++k) {
            const int n = static_cast<int>(std::min<std::size_t>(blockSizes[k % 8], x.size() - pos));
            for (int i = 0; i < n; ++i) a[pos + i] = perSample.process(a[pos + i]);
            buffered.processDoublesBuffered(b.data() + pos, n);
            perSampleF.processFloats(af.data() + pos, n);
            bufferedF.processFloatsBuffered(bf.data() + pos, n);
            pos += static_cast<std::size_t>(n);
        }
        for (std::size_t i = 0; i < x.size(); ++i) {
            ASSERT_TRUE(sameBits(a[i], b[i])) << c << " sample " << i;
            ASSERT_TRUE(sameBits(af[i], bf[i])) << c << " sample " << i;
        }
    }
}

TEST(cIIR, CascadeAppliesTheNextFilterAndResetsIt) {
    cIIR cascade, first, second;
    cascade.setCutoff(0.125);
    auto next = std::make_unique<cIIR>();
    next->setCutoff(0.0625);
    cascade.setNext(std::move(next));
    first.setCutoff(0.125);
    second.setCutoff(0.0625);
    const std::vector<double> x = noiseVector(3000);
    for (double v : x) ASSERT_TRUE(sameBits(cascade.process(v), second.process(first.process(v))));
    cascade.reset();
    first.reset();
    second.reset();
    for (double v : x) ASSERT_TRUE(sameBits(cascade.process(v), second.process(first.process(v))));
}

// ---------------------------------------------------------------------------------------------
// cResampler base

TEST(cResampler, BaseDownsampleIsPlainDecimation) {
    PlainResampler r;
    EXPECT_EQ(r.factor(), 1);
    EXPECT_EQ(r.channelCount(), 1);
    EXPECT_TRUE(r.allocate(16, 6, 8192));
    EXPECT_TRUE(r.setBlockLength(100));
    r.setFactor(3, 2);
    std::vector<float> w0(10), w1(10), o0(8, -1.0f), o1(8, -1.0f);
    for (int i = 0; i < 10; ++i) {
        w0[i] = static_cast<float>(i);
        w1[i] = static_cast<float>(100 + i);
    }
    float* work[] = {w0.data(), w1.data()};
    float* out[] = {o0.data(), o1.data()};
    EXPECT_EQ(r.downsample(work, out, 10), 3);
    EXPECT_EQ(o0, (std::vector<float>{0, 3, 6, -1, -1, -1, -1, -1}));
    EXPECT_EQ(o1, (std::vector<float>{100, 103, 106, -1, -1, -1, -1, -1}));
}

// ---------------------------------------------------------------------------------------------
// cSimplestResampler

TEST(cSimplestResampler, AllocateKeepsShortHistoriesAndLeavesIdentityFilters) {
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(16, 6, 8192));
    EXPECT_EQ(r.allocatedChannels(), 6);
    EXPECT_EQ(r.blockCapacity(), 8192);
    for (int ch = 0; ch < 6; ++ch) {
        // Bounded whatever the capacity: the recursion only reads the last `order` samples.
        EXPECT_EQ(r.upFilter(ch).historyLength(), cSimplestResampler::kHistoryLength);
        EXPECT_EQ(r.downFilter(ch).historyLength(), cSimplestResampler::kHistoryLength);
        EXPECT_EQ(r.upFilter(ch).order(), 128);
        EXPECT_EQ(r.upFilter(ch).feedForward()[0], 1.0);
    }
}

TEST(cSimplestResampler, SetFactorDesignsTheServedChannelsOnly) {
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(16, 6, 64));
    r.setFactor(8, 2);
    EXPECT_EQ(r.factor(), 8);
    EXPECT_EQ(r.channelCount(), 2);
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(r.upFilter(ch).order(), 16);
        EXPECT_EQ(r.downFilter(ch).order(), 16);
    }
    for (int ch = 2; ch < 6; ++ch) EXPECT_EQ(r.upFilter(ch).order(), 128);
    r.setFactor(12.9, 99);  // truncated factor; channels clamped to what was allocated
    EXPECT_EQ(r.factor(), 12);
    EXPECT_EQ(r.channelCount(), 6);
    for (int ch = 0; ch < 6; ++ch) EXPECT_EQ(r.downFilter(ch).order(), 12);
    r.setFactor(1, 2);  // 0.5 selects the default design
    EXPECT_EQ(r.factor(), 1);
    EXPECT_EQ(r.upFilter(0).order(), 12);
    for (int factor : kFactors) {
        r.setFactor(factor, 6);
        EXPECT_EQ(r.upFilter(5).order(), lowpassDesignFor(0.5 / factor).order) << factor;
    }
}

TEST(cSimplestResampler, UpsampleOfAnImpulseIsNTimesTheFilterImpulseResponse) {
    constexpr int kFrames = 256;
    for (int factor : kFactors) {
        Rig rig(16, 1, kFrames);
        rig.resampler.setFactor(factor, 1);
        rig.in[0][0] = 1.0f;
        ASSERT_EQ(rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), kFrames), kFrames * factor);
        cIIR stuffed, unit;
        stuffed.setCutoff(0.5 / factor);
        unit.setCutoff(0.5 / factor);
        double peak = 0.0;
        for (int n = 0; n < kFrames * factor; ++n) {
            // Exactly what filtering N, 0, 0, ... gives ...
            const double y = stuffed.process(n == 0 ? factor : 0.0);
            ASSERT_TRUE(sameBits(rig.work[0][n], static_cast<float>(y))) << factor << " " << n;
            // ... which is N times the unit impulse response.
            const double h = unit.process(n == 0 ? 1.0 : 0.0);
            peak = std::max(peak, std::fabs(h));
            ASSERT_NEAR(rig.work[0][n], factor * h, 1e-6 * factor) << factor << " " << n;
        }
        EXPECT_GT(peak, 0.01);
        // Past the filtered length nothing was written.
        EXPECT_EQ(rig.work[0][kFrames * factor], 0.0f);
    }
}

TEST(cSimplestResampler, UpsampleStuffsZerosAndScalesByN) {
    // out[k*N] = N*in[k], zeros between, then the up-filter over all F*N samples in place.
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(4, 2, 16));
    r.setFactor(4, 2);
    std::vector<float> in0 = {1.0f, -2.0f, 0.5f}, in1 = {0.25f, 0.0f, 3.0f};
    std::vector<float> w0(12, 9.0f), w1(12, 9.0f);
    const float* in[] = {in0.data(), in1.data()};
    float* work[] = {w0.data(), w1.data()};
    ASSERT_EQ(r.upsample(in, work, 3), 12);
    cIIR reference;
    reference.setCutoff(0.125);
    std::vector<float> expected = {4.0f, 0, 0, 0, -8.0f, 0, 0, 0, 2.0f, 0, 0, 0};
    reference.processFloats(expected.data(), 12);
    EXPECT_EQ(w0, expected);
    EXPECT_EQ(r.upsample(in, work, 0), 0);
    EXPECT_EQ(w0, expected);  // nothing written for 0 frames
}

TEST(cSimplestResampler, DownsampleFiltersInPlaceAndTakesTheFirstOfEachGroup) {
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(16, 2, 512));
    r.setFactor(4, 2);
    const std::vector<double> x = noiseVector(1001);
    std::vector<float> w0(1001), w1(1001), o0(260, -7.0f), o1(260, -7.0f);
    for (int i = 0; i < 1001; ++i) {
        w0[i] = static_cast<float>(x[i]);
        w1[i] = static_cast<float>(-x[i]);
    }
    std::vector<float> e0 = w0, e1 = w1;
    cIIR r0, r1;
    r0.setCutoff(0.125);
    r1.setCutoff(0.125);
    r0.processFloats(e0.data(), 1001);
    r1.processFloats(e1.data(), 1001);
    float* work[] = {w0.data(), w1.data()};
    float* out[] = {o0.data(), o1.data()};
    ASSERT_EQ(r.downsample(work, out, 1001), 250);
    EXPECT_EQ(w0, e0);
    EXPECT_EQ(w1, e1);
    for (int j = 0; j < 250; ++j) {
        ASSERT_EQ(o0[j], e0[j * 4]) << j;
        ASSERT_EQ(o1[j], e1[j * 4]) << j;
    }
    EXPECT_EQ(o0[250], -7.0f);
    EXPECT_EQ(r.downsample(work, out, 0), 0);
}

TEST(cSimplestResampler, DoublePathMatchesTheSameArithmetic) {
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(16, 1, 256));
    r.setFactor(12, 1);
    const std::vector<double> x = noiseVector(256);
    std::vector<double> work(256 * 12), out(256 / 1, -1.0);
    const double* in[] = {x.data()};
    double* w[] = {work.data()};
    double* o[] = {out.data()};
    ASSERT_EQ(r.upsampleDoubles(in, w, 256), 256 * 12);
    cIIR up;
    up.setCutoff(0.5 / 12);
    for (int n = 0; n < 256 * 12; ++n) {
        const double y = up.process(n % 12 == 0 ? 12.0 * x[n / 12] : 0.0);
        ASSERT_TRUE(sameBits(work[n], y)) << n;
    }
    std::vector<double> expected = work;
    cIIR down;
    down.setCutoff(0.5 / 12);
    down.processDoubles(expected.data(), 256 * 12);
    ASSERT_EQ(r.downsampleDoubles(w, o, 256 * 12), 256);
    for (int j = 0; j < 256; ++j) ASSERT_TRUE(sameBits(out[j], expected[j * 12])) << j;
}

TEST(cSimplestResampler, SineNearNyquistSurvivesTwoTimesOversamplingAndItsImageDoesNot) {
    // 0.45 fs, N = 2: the upsampled signal has the tone at 0.225 and the zero-stuffing image at 0.275 of
    // the oversampled rate (0.55 fs). Coherent windows (whole cycles), measured after the transient.
    constexpr int kFrames = 12000;
    Rig rig(2, 1, kFrames);
    rig.resampler.setFactor(2, 1);
    const double level = 0.5;
    for (int n = 0; n < kFrames; ++n) {
        rig.in[0][n] = static_cast<float>(level * std::sin(2.0 * kPi * 0.45 * n));
    }
    ASSERT_EQ(rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), kFrames), 2 * kFrames);
    const float* steady = rig.work[0].data() + 8000;
    constexpr int kWindow = 16000;  // 3600 cycles of the tone, 4400 of the image
    const double tone = amplitude(steady, kWindow, 3600);
    const double image = amplitude(steady, kWindow, 4400);
    const double imageDb = toDb(image / tone);
    std::printf("[ 2x sine  ] upsampled tone %+.4f dB, image at 0.55 fs %.1f dB below it\n", toDb(tone / level),
                -imageDb);
    EXPECT_NEAR(toDb(tone / level), 0.0, 0.1);
    EXPECT_LT(imageDb, -98.5);

    ASSERT_EQ(rig.resampler.downsample(rig.workPtr.data(), rig.outPtr.data(), 2 * kFrames), kFrames);
    const double back = amplitude(rig.out[0].data() + 4000, 8000, 3600);
    std::printf("[ 2x sine  ] after up and down %+.4f dB\n", toDb(back / level));
    EXPECT_NEAR(toDb(back / level), 0.0, 0.3);
}

TEST(cSimplestResampler, PassbandToneRoundTripsAtEveryFactor) {
    constexpr int kFrames = 4000;
    for (int factor : kFactors) {
        Rig rig(16, 2, kFrames);
        rig.resampler.setFactor(factor, 2);
        for (int n = 0; n < kFrames; ++n) {
            rig.in[0][n] = static_cast<float>(0.5 * std::sin(2.0 * kPi * 0.1 * n));
            rig.in[1][n] = static_cast<float>(0.25 * std::cos(2.0 * kPi * 0.2 * n));
        }
        const int m = rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), kFrames);
        ASSERT_EQ(m, kFrames * factor);
        ASSERT_EQ(rig.resampler.downsample(rig.workPtr.data(), rig.outPtr.data(), m), kFrames);
        const double a0 = amplitude(rig.out[0].data() + 2000, 2000, 200);
        const double a1 = amplitude(rig.out[1].data() + 2000, 2000, 400);
        EXPECT_NEAR(toDb(a0 / 0.5), 0.0, 0.2) << factor;
        EXPECT_NEAR(toDb(a1 / 0.25), 0.0, 0.2) << factor;
        EXPECT_EQ(rig.out[0][kFrames], 12345.0f);  // nothing written past M/N
    }
}

TEST(cSimplestResampler, ResetClearsTheServedFiltersAndKeepsTheirDesigns) {
    Rig rig(4, 3, 300);
    rig.resampler.setFactor(4, 2);
    for (int ch = 0; ch < 3; ++ch) {
        const std::vector<double> x = noiseVector(300, 11 + ch);
        for (int n = 0; n < 300; ++n) rig.in[ch][n] = static_cast<float>(x[n]);
    }
    rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), 300);
    rig.resampler.downsample(rig.workPtr.data(), rig.outPtr.data(), 1200);
    rig.resampler.reset();
    for (int ch = 0; ch < 2; ++ch) EXPECT_EQ(rig.resampler.upFilter(ch).order(), 28);
    // A fresh resampler gives the same block afterwards.
    Rig fresh(4, 2, 300);
    fresh.resampler.setFactor(4, 2);
    fresh.in = {rig.in[0], rig.in[1]};
    rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), 300);
    fresh.resampler.upsample(fresh.inPtr.data(), fresh.workPtr.data(), 300);
    for (int ch = 0; ch < 2; ++ch) {
        for (int n = 0; n < 1200; ++n) ASSERT_TRUE(sameBits(rig.work[ch][n], fresh.work[ch][n])) << ch << " " << n;
    }
}

TEST(cSimplestResampler, ResetChannelRecoversFromANonFiniteSignal) {
    Rig rig(2, 2, 64);
    rig.resampler.setFactor(2, 2);
    rig.in[0][3] = std::numeric_limits<float>::infinity();
    rig.in[1][3] = 1.0f;
    rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), 64);
    EXPECT_FALSE(rig.resampler.channelIsFinite(0));
    EXPECT_TRUE(rig.resampler.channelIsFinite(1));
    rig.resampler.resetChannel(0);
    EXPECT_TRUE(rig.resampler.channelIsFinite(0));
    EXPECT_TRUE(rig.resampler.channelIsFinite(7));  // out of range: nothing to report
    rig.resampler.resetChannel(-1);                  // ignored
}

TEST(cSimplestResampler, SetBlockLengthGrowsTheCapacityAndKeepsHistoriesAndDesigns) {
    Rig rig(4, 2, 64);
    EXPECT_EQ(rig.resampler.upFilter(0).historyLength(), cSimplestResampler::kHistoryLength);
    rig.resampler.setFactor(4, 2);
    for (int n = 0; n < 64; ++n) rig.in[0][n] = rig.in[1][n] = static_cast<float>(std::sin(0.3 * n));
    rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), 64);

    // No growth: nothing changes, and the filters carry on where they were.
    ASSERT_TRUE(rig.resampler.setBlockLength(32));
    EXPECT_EQ(rig.resampler.blockLength(), 32);
    EXPECT_EQ(rig.resampler.blockCapacity(), 64);

    // Growth: the histories stay short and the designs stay.
    ASSERT_TRUE(rig.resampler.setBlockLength(1000));
    EXPECT_EQ(rig.resampler.blockLength(), 1000);
    EXPECT_EQ(rig.resampler.blockCapacity(), 1000);
    const auto& design = lowpassDesignFor(0.125);
    for (int ch = 0; ch < 2; ++ch) {
        for (const cIIR* f : {&rig.resampler.upFilter(ch), &rig.resampler.downFilter(ch)}) {
            EXPECT_EQ(f->historyLength(), cSimplestResampler::kHistoryLength);
            ASSERT_EQ(f->order(), 28);
            for (int i = 0; i <= 28; ++i) {
                ASSERT_EQ(f->feedForward()[i], design.b[i]);
                ASSERT_EQ(f->feedBack()[i], -design.a[i]);
            }
        }
    }
    // After a reset, a block of the new capacity, many times the history long, equals a recursion
    // that never compacts.
    rig.resampler.reset();
    rig.in.assign(2, std::vector<float>(1000, 0.0f));
    rig.work.assign(2, std::vector<float>(4000, 0.0f));
    for (int ch = 0; ch < 2; ++ch) {
        rig.inPtr[ch] = rig.in[ch].data();
        rig.workPtr[ch] = rig.work[ch].data();
    }
    rig.in[0][0] = 1.0f;
    ASSERT_EQ(rig.resampler.upsample(rig.inPtr.data(), rig.workPtr.data(), 1000), 4000);
    NaiveIIR fresh(0.125);
    for (int n = 0; n < 4000; ++n) {
        ASSERT_TRUE(sameBits(rig.work[0][n], static_cast<float>(fresh.process(n == 0 ? 4.0 : 0.0)))) << n;
    }
}

TEST(cSimplestResampler, ReallocatingKeepsTheServedChannelsWithinTheNewArrays) {
    cSimplestResampler r;
    ASSERT_TRUE(r.allocate(8, 6, 32));
    r.setFactor(8, 6);
    ASSERT_TRUE(r.allocate(8, 2, 32));
    EXPECT_EQ(r.allocatedChannels(), 2);
    EXPECT_LE(r.channelCount(), 2);
    EXPECT_EQ(r.upFilter(1).order(), 128);  // constructed state again
    EXPECT_FALSE(r.allocate(0, 2, 32));
    EXPECT_EQ(r.allocatedChannels(), 2);  // a failed allocate keeps the old state
}
