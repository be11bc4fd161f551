#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "TestHost.h"

// What the tone section, channel-count changes, recovery and suspend do to the sound, measured on the
// plug-in's output through processReplacing.

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 4096;

// Mono at factor 1, so the tone section's corners sit at their nominal frequencies.
void makeMonoAtFactorOne(const HostedEffect& host) {
    host.setParameter(6, 0.0f);
    host.setParameter(7, 1.0f);
}

double rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float sample : samples) sum += static_cast<double>(sample) * sample;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

// Complex amplitude of channel 0's output for a quiet sine of `frequency`, after half a second of settling;
// the tone band `band` is set to `setting` after the first block, while the sine already plays.
std::complex<double> toneResponse(double frequency, int band, float setting) {
    HostedEffect host;
    makeMonoAtFactorOne(host);
    SixChannelBlock block(kBlock);
    const double w = 2.0 * std::numbers::pi * frequency / kRate;
    const int settleBlocks = 6;
    const int measureBlocks = 3;
    std::complex<double> sum = 0.0;
    long n = 0;
    for (int k = 0; k < settleBlocks + measureBlocks; ++k) {
        for (int i = 0; i < kBlock; ++i) block.input(0)[i] = static_cast<float>(0.02 * std::sin(w * static_cast<double>(n + i)));
        block.process(host);
        if (k == 0) host.setParameter(band, setting);
        if (k >= settleBlocks)
            for (int i = 0; i < kBlock; ++i) sum += static_cast<double>(block.output(0)[i]) * std::polar(1.0, -w * static_cast<double>(n + i));
        n += kBlock;
    }
    return sum * (2.0 / (measureBlocks * kBlock));
}

// The band's own response in dB at `frequency`: the chain divides the sum of the three bands by 3, so
// with the other two flat its gain relative to a flat chain is (H + 2) / 3.
double bandGainDb(double frequency, int band, float setting) {
    const std::complex<double> relative = toneResponse(frequency, band, setting) / toneResponse(frequency, band, 0.5f);
    return 20.0 * std::log10(std::abs(3.0 * relative - 2.0));
}

double chainLevelChangeDb(double frequency, int band, float setting) {
    return 20.0 * std::log10(std::abs(toneResponse(frequency, band, setting)) / std::abs(toneResponse(frequency, band, 0.5f)));
}

// The frequency between `low` and `high` at which the band's gain, monotonic there, crosses `levelDb`:
// bisection in log frequency down to a fifth of a percent.
double crossing(int band, float setting, double low, double high, double levelDb) {
    const bool risesAbove = bandGainDb(high, band, setting) > levelDb;
    while (high / low > 1.002) {
        const double middle = std::sqrt(low * high);
        if ((bandGainDb(middle, band, setting) > levelDb) == risesAbove)
            high = middle;
        else
            low = middle;
    }
    return std::sqrt(low * high);
}

// The frequency between `low` and `high` at which the band's gain, with one maximum there, is highest:
// golden-section search in log frequency.
double highestAt(int band, float setting, double low, double high) {
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = std::log(low), b = std::log(high);
    double c = b - ratio * (b - a), d = a + ratio * (b - a);
    double gainC = bandGainDb(std::exp(c), band, setting), gainD = bandGainDb(std::exp(d), band, setting);
    while (b - a > 0.004) {
        if (gainC > gainD) {
            b = d;
            d = c;
            gainD = gainC;
            c = b - ratio * (b - a);
            gainC = bandGainDb(std::exp(c), band, setting);
        } else {
            a = c;
            c = d;
            gainC = gainD;
            d = a + ratio * (b - a);
            gainD = bandGainDb(std::exp(d), band, setting);
        }
    }
    return std::exp((a + b) / 2.0);
}

TEST(SignalChain, EachToneBandChangesTheLevelOfATone) {
    // A full band alone raises the chain by (10^(12/20) + 2) / 3, +6.0 dB, and a full cut lowers it by
    // (10^(-12/20) + 2) / 3, -2.5 dB, where the band acts fully: low, centre and top frequencies.
    const double boost = 20.0 * std::log10((std::pow(10.0, 12.0 / 20.0) + 2.0) / 3.0);
    const double cut = 20.0 * std::log10((std::pow(10.0, -12.0 / 20.0) + 2.0) / 3.0);
    const struct {
        int band;
        double frequency;
    } bands[] = {{0, 20.0}, {1, 1440.0}, {2, 18000.0}};
    for (const auto& [band, frequency] : bands) {
        SCOPED_TRACE(band);
        EXPECT_NEAR(chainLevelChangeDb(frequency, band, 1.0f), boost, 0.1);
        EXPECT_NEAR(chainLevelChangeDb(frequency, band, 0.0f), cut, 0.1);
        EXPECT_NEAR(chainLevelChangeDb(frequency, band, 0.75f), 20.0 * std::log10((std::pow(10.0, 6.0 / 20.0) + 2.0) / 3.0), 0.1);
    }
}

TEST(SignalChain, ShelfCornersAndPeakCentreMeasuredAsFrequencies) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a single-threaded measurement of some hundred tones; ThreadSanitizer only slows it down";
#endif
    // A shelf reaches half its decibels at its corner; the peak is highest at its centre, at its full
    // gain. Each search spans four octaves around where the corner belongs.
    EXPECT_NEAR(crossing(0, 1.0f, 40.0, 640.0, 6.0), 160.0, 160.0 * 0.02);
    EXPECT_NEAR(crossing(2, 1.0f, 400.0, 6400.0, 6.0), 1600.0, 1600.0 * 0.02);
    const double centre = highestAt(1, 1.0f, 360.0, 5760.0);
    EXPECT_NEAR(centre, 1440.0, 1440.0 * 0.02);
    EXPECT_NEAR(bandGainDb(centre, 1, 1.0f), 12.0, 0.1);
}

// Lowering and raising the channel count between two blocks takes effect like the two changes made a
// block apart: the channels that come back are set up afresh.
TEST(SignalChain, ChannelCountLoweredAndRaisedBetweenBlocksActsLikeTheTwoChanges) {
    HostedEffect together;
    HostedEffect apart;
    SixChannelBlock first(kBlock);
    SixChannelBlock second(kBlock);
    for (int channel = 0; channel < 4; ++channel)
        for (int i = 0; i < kBlock; ++i) {
            first.input(channel)[i] = static_cast<float>(0.5 * std::sin(0.03 * (channel + 1) * i));
            second.input(channel)[i] = static_cast<float>(0.5 * std::sin(0.03 * (channel + 1) * (i + kBlock)));
        }
    for (const HostedEffect* host : {&together, &apart}) {
        host->setParameter(4, 0.8f);
        host->setParameter(7, 4.0f);
        first.process(*host);
    }
    together.setParameter(7, 1.0f);
    together.setParameter(7, 4.0f);
    second.process(together);
    const std::vector<float> channelOneTogether = second.output(1);

    apart.setParameter(7, 1.0f);
    SixChannelBlock empty(0);
    empty.process(apart);
    apart.setParameter(7, 4.0f);
    second.process(apart);
    EXPECT_EQ(channelOneTogether, second.output(1));
}

// Channel 0 playing a tone in the block after its state overflowed, and that of a plug-in that was
// suspended and resumed instead; `prepare` runs on both first.
struct RecoveryOutputs {
    std::vector<float> resumed;
    std::vector<float> recovered;
};
template <typename Prepare>
RecoveryOutputs toneAfterOverflow(Prepare prepare) {
    HostedEffect resumed;
    HostedEffect overflowed;
    prepare(resumed);
    prepare(overflowed);
    resumed.dispatch(effMainsChanged, 0, 0);
    resumed.dispatch(effMainsChanged, 0, 1);
    SixChannelBlock quiet(512);
    SixChannelBlock huge(512);
    huge.input(0) = std::vector<float>(512, 3e38f);  // overflows once multiplied by the oversampling factor
    quiet.process(resumed);
    huge.process(overflowed);

    SixChannelBlock resumedTone(kBlock);
    SixChannelBlock recoveredTone(kBlock);
    for (int i = 0; i < kBlock; ++i)
        resumedTone.input(0)[i] = recoveredTone.input(0)[i] = static_cast<float>(0.3 * std::sin(0.05 * i));
    resumedTone.process(resumed);
    recoveredTone.process(overflowed);
    return {resumedTone.output(0), recoveredTone.output(0)};
}

double peak(const std::vector<float>& samples) {
    double largest = 0.0;
    for (float sample : samples) largest = std::max(largest, std::abs(static_cast<double>(sample)));
    return largest;
}

// A channel whose state overflowed is set back to rest at the end of that block and plays the next
// block as one that starts from rest.
TEST(SignalChain, RecoveredChannelPlaysAtTheLevelOfACleanOne) {
    const RecoveryOutputs outputs = toneAfterOverflow([](const HostedEffect&) {});
    EXPECT_NEAR(20.0 * std::log10(rms(outputs.recovered)), 20.0 * std::log10(rms(outputs.resumed)), 0.5);
}

// The resting point is the one of the channel's present rate, also when Oversample changed while
// processing ran and no resume followed: the recovered channel starts without a thump.
TEST(SignalChain, RecoveryAfterAnOversampleChangeRestsAtTheNewRate) {
    for (const float oversample : {0.2f, 1.0f}) {  // 2x and 16x
        const RecoveryOutputs outputs = toneAfterOverflow([oversample](const HostedEffect& host) {
            host.setParameter(6, oversample);
            SixChannelBlock settle(256);
            settle.process(host);
        });
        EXPECT_NEAR(peak(outputs.recovered), peak(outputs.resumed), 0.05 * peak(outputs.resumed))
            << "Oversample " << oversample;
        EXPECT_NEAR(20.0 * std::log10(rms(outputs.recovered)), 20.0 * std::log10(rms(outputs.resumed)), 0.5)
            << "Oversample " << oversample;
    }
}

// Suspend clears the oversampling filters of the playing channels: what follows carries nothing of the
// sound before it in them.
TEST(SignalChain, SuspendClearsTheOversamplingFilters) {
    HostedEffect suspended;
    HostedEffect continued;
    SixChannelBlock tone(kBlock);
    for (int i = 0; i < kBlock; ++i) tone.input(0)[i] = tone.input(1)[i] = static_cast<float>(0.8 * std::sin(0.2 * i));
    for (const HostedEffect* host : {&suspended, &continued}) tone.process(*host);
    suspended.dispatch(effMainsChanged, 0, 0);

    auto remembersSound = [](const HostedEffect& host, int channel) {
        double inputs[Resamplers::cIIR::kMaxOrder];
        double outputs[Resamplers::cIIR::kMaxOrder];
        bool remembers = false;
        const Resamplers::cSimplestResampler& resampler = host.effect().processor().resampler();
        for (const Resamplers::cIIR* filter : {&resampler.upFilter(channel), &resampler.downFilter(channel)}) {
            filter->copyRecent(inputs, outputs);
            for (int i = 0; i < filter->order(); ++i) remembers = remembers || inputs[i] != 0.0 || outputs[i] != 0.0;
        }
        return remembers;
    };
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_FALSE(remembersSound(suspended, channel)) << "channel " << channel;
        EXPECT_TRUE(remembersSound(continued, channel)) << "channel " << channel;
    }
}

}  // namespace
