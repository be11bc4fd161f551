#include "ToneEqualiser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::vector<double> noise(int count, unsigned generatorState = 1)
{
    std::mt19937 generator(generatorState);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);  // host samples are floats
    std::vector<double> out(static_cast<std::size_t>(count));
    for (double& x : out)
        x = sample(generator);
    return out;
}

// Gain of the sum divided by 3 at DC (turn +1) or at the Nyquist frequency (turn -1): the settled
// output for the input turn^n, signed, so a phase flip shows as a negative gain.
double edgeGain(ToneEqualiser& eq, double turn)
{
    double x = 1.0;
    double y = 0.0;
    for (int n = 0; n < 20000; ++n, x *= turn)
        y = eq.process(x) / 3.0 * x;
    return y;
}

// Amplitude of the sum divided by 3 for a unit sine of frequency f at rate fs, by correlation
// over whole periods after the filters have settled.
double sineGain(ToneEqualiser& eq, double f, double fs, int periods = 200)
{
    const double w = 2.0 * std::numbers::pi * f / fs;
    const auto count = static_cast<long>(std::lround(periods * fs / f));
    double re = 0.0;
    double im = 0.0;
    for (long n = 0; n < 2 * count; ++n) {
        const double y = eq.process(std::sin(w * n)) / 3.0;
        if (n >= count) {
            re += y * std::cos(w * n);
            im += y * std::sin(w * n);
        }
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(count);
}

}  // namespace

TEST(ToneEqualiser, NeutralSettingsAreTheIdentity)
{
    // Every band's coefficients cancel exactly, so an impulse passes bit for bit.
    ToneEqualiser eq;
    EXPECT_EQ(eq.process(0.75), 3.0 * 0.75);
    for (int n = 0; n < 100; ++n)
        ASSERT_EQ(eq.process(0.0), 0.0) << "sample " << n;

    // For an arbitrary signal the pole-zero cancellation leaves only rounding noise.
    ToneEqualiser fresh;
    for (const double x : noise(50000))
        ASSERT_NEAR(fresh.process(x) / 3.0, x, 1e-13);
}

// Each band boosts or cuts by its own setting where it acts (the low shelf below its corner, the peak
// at its centre, the high shelf above its corner) and leaves the other end of the spectrum alone. The
// other two bands are neutral, that is exact identities, so the sum is the band's gain plus 2.
TEST(ToneEqualiser, EachBandActsWithItsOwnSignAndSizeWhereItActs)
{
    enum Probe { kDc, kPeakCentre, kNyquist };
    const struct {
        const char* name;
        double low, mid, high;
        Probe probe;
        double bandDb;
    } cases[] = {
        {"low shelf full", 12.0, 0.0, 0.0, kDc, 12.0},          {"low shelf off", -12.0, 0.0, 0.0, kDc, -12.0},
        {"low shelf quarter", -6.0, 0.0, 0.0, kDc, -6.0},       {"low shelf, top", -12.0, 0.0, 0.0, kNyquist, 0.0},
        {"peak full", 0.0, 12.0, 0.0, kPeakCentre, 12.0},       {"peak off", 0.0, -12.0, 0.0, kPeakCentre, -12.0},
        {"peak quarter", 0.0, -6.0, 0.0, kPeakCentre, -6.0},    {"peak, DC", 0.0, -12.0, 0.0, kDc, 0.0},
        {"peak, top", 0.0, 12.0, 0.0, kNyquist, 0.0},           {"high shelf full", 0.0, 0.0, 12.0, kNyquist, 12.0},
        {"high shelf off", 0.0, 0.0, -12.0, kNyquist, -12.0},   {"high shelf quarter", 0.0, 0.0, -6.0, kNyquist, -6.0},
        {"high shelf, DC", 0.0, 0.0, 12.0, kDc, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ToneEqualiser eq;
        eq.setGains(c.low, c.mid, c.high);
        const double gain = c.probe == kPeakCentre ? sineGain(eq, 1440.0, 44100.0) : edgeGain(eq, c.probe == kDc ? 1.0 : -1.0);
        EXPECT_NEAR(gain, (std::pow(10.0, c.bandDb / 20.0) + 2.0) / 3.0, 1e-6);
    }
}

TEST(ToneEqualiser, RecomputingGainsKeepsTheHistories)
{
    const auto input = noise(4000);
    ToneEqualiser steady;
    steady.setGains(7.2, -4.8, 3.6);
    ToneEqualiser recomputed = steady;

    for (std::size_t n = 0; n < input.size(); ++n) {
        if (n == input.size() / 2)
            recomputed.setGains(7.2, -4.8, 3.6);
        ASSERT_EQ(recomputed.process(input[n]), steady.process(input[n])) << "sample " << n;
    }
}

TEST(ToneEqualiser, RateChangeClearsHistoriesAndMovesTheCorners)
{
    const auto input = noise(4000);
    ToneEqualiser used;
    used.setGains(9.6, -7.2, 4.8);
    for (const double x : input)
        used.process(x);
    used.setSampleRate(48000.0);
    used.setGains(9.6, -7.2, 4.8);
    EXPECT_EQ(used.sampleRate(), 48000.0);

    ToneEqualiser fresh;
    fresh.setSampleRate(48000.0);
    fresh.setGains(9.6, -7.2, 4.8);
    for (const double x : noise(1000, 2))
        ASSERT_EQ(used.process(x), fresh.process(x));

    // Coefficients follow the stored rate: the response at a given frequency in hertz barely changes
    // with the rate, while filters left at the old rate would answer as if the tone were an octave lower.
    ToneEqualiser atHostRate;
    atHostRate.setGains(9.6, -7.2, 4.8);
    ToneEqualiser atDoubleRate;
    atDoubleRate.setSampleRate(88200.0);
    atDoubleRate.setGains(9.6, -7.2, 4.8);
    ToneEqualiser leftAtHostRate;
    leftAtHostRate.setGains(9.6, -7.2, 4.8);
    for (const double f : {100.0, 1440.0}) {
        SCOPED_TRACE(f);
        const double gain = sineGain(atHostRate, f, 44100.0);
        EXPECT_NEAR(sineGain(atDoubleRate, f, 88200.0), gain, 1e-3 * gain);
        EXPECT_GT(std::fabs(sineGain(leftAtHostRate, f, 88200.0) - gain), 0.01);
    }
}

TEST(ToneEqualiser, NonFiniteInputIsDetectedAndCleared)
{
    ToneEqualiser eq;
    eq.setGains(4.8, 0.0, 0.0);
    eq.process(std::nan(""));
    EXPECT_FALSE(eq.stateIsFinite());
    eq.clearHistories();
    EXPECT_TRUE(eq.stateIsFinite());
    EXPECT_TRUE(std::isfinite(eq.process(1.0)));
}
