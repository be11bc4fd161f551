// The fixed low-pass designs : their stored form, and the response of each one measured
// through the actual cIIR recursion (impulse response -> FFT), against its row of the table.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "LowpassDesigns.h"
#include "Resamplers.h"

using Resamplers::cIIR;
using Resamplers::LowpassDesign;
using Resamplers::lowpassDesignFor;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Row {
    const char* name;
    double cutoff;        // normalised, of the filter's rate
    int order;
    double minStopbandDb;
    double point01;       // -0.1 dB point, fraction of the host rate
    double point3;        // -3 dB point, fraction of the host rate
};

// The design table. Host rate = 2c of the filter's rate, so a host fraction p is p * 2c of the filter's.
const Row kRows[] = {
    {"N=2", 0.25, 35, 98.5, 0.4749, 0.4810},
    {"N=4", 0.125, 28, 98.5, 0.4476, 0.4599},
    {"N=8", 0.0625, 16, 98.5, 0.3559, 0.3850},
    {"N=12 (default)", 1.0 / 24.0, 12, 89.5, 0.3060, 0.3446},
    {"N=16", 0.03125, 10, 89.5, 0.2557, 0.2989},
    {"c=1/64", 0.015625, 8, 89.5, 0.1905, 0.2363},
};

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    // Twiddles computed directly (no recurrence) to keep the -100 dB floor clean.
    std::vector<std::complex<double>> twiddle(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const double angle = -2.0 * kPi * static_cast<double>(k) / static_cast<double>(n);
        twiddle[k] = std::complex<double>(std::cos(angle), std::sin(angle));
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t stride = n / len;
        for (std::size_t i = 0; i < n; i += len) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * twiddle[k * stride];
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

struct Measured {
    std::vector<double> impulse;
    std::vector<double> gainDb;  // over bins 0 .. fftSize/2
    int fftSize = 0;
    double dcGain = 0.0;
    double stopbandDb = 0.0;     // minimum attenuation from the stopband edge to Nyquist
    double point01 = 0.0;        // host-rate fractions
    double point3 = 0.0;
    double passbandMaxDb = 0.0;
    double tailMax = 0.0;
};

double firstCrossing(const Measured& m, double levelDb) {
    for (std::size_t k = 1; k < m.gainDb.size(); ++k) {
        if (m.gainDb[k] < levelDb) {
            const double g0 = m.gainDb[k - 1], g1 = m.gainDb[k];
            const double t = (g0 - levelDb) / (g0 - g1);
            return (static_cast<double>(k - 1) + t) / m.fftSize;
        }
    }
    return 0.5;
}

// Impulse response through cIIR::process (crossing many history compactions), then a zero-padded FFT.
Measured measure(double cutoff) {
    constexpr int kImpulseLength = 32768;
    constexpr int kFftSize = 1 << 18;
    Measured m;
    m.fftSize = kFftSize;
    cIIR filter;
    filter.setCutoff(cutoff);
    m.impulse.resize(kImpulseLength);
    long double sum = 0.0L;
    for (int n = 0; n < kImpulseLength; ++n) {
        m.impulse[n] = filter.process(n == 0 ? 1.0 : 0.0);
        sum += m.impulse[n];
    }
    m.dcGain = static_cast<double>(sum);
    for (int n = kImpulseLength - 1000; n < kImpulseLength; ++n) {
        m.tailMax = std::max(m.tailMax, std::fabs(m.impulse[n]));
    }
    std::vector<std::complex<double>> spectrum(kFftSize);
    for (int n = 0; n < kImpulseLength; ++n) spectrum[n] = m.impulse[n];
    fft(spectrum);
    m.gainDb.resize(kFftSize / 2 + 1);
    for (int k = 0; k <= kFftSize / 2; ++k) {
        m.gainDb[k] = 20.0 * std::log10(std::abs(spectrum[k]) + 1e-300);
    }
    double worst = -1e300;
    for (int k = static_cast<int>(std::ceil(cutoff * kFftSize)); k <= kFftSize / 2; ++k) {
        worst = std::max(worst, m.gainDb[k]);
    }
    m.stopbandDb = -worst;
    const double hostRatio = 0.5 / cutoff;  // N
    m.point01 = firstCrossing(m, -0.1) * hostRatio;
    m.point3 = firstCrossing(m, -3.0) * hostRatio;
    m.passbandMaxDb = -1e300;
    for (int k = 0; k <= static_cast<int>(m.point01 / hostRatio * kFftSize); ++k) {
        m.passbandMaxDb = std::max(m.passbandMaxDb, m.gainDb[k]);
    }
    return m;
}

// Deterministic uniform noise in [-1, 1).
struct Noise {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    double next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
};

}  // namespace

TEST(LowpassDesigns, SelectionIsByExactComparisonWithTheDefaultOtherwise) {
    EXPECT_EQ(lowpassDesignFor(0.25).order, 35);
    EXPECT_EQ(lowpassDesignFor(0.125).order, 28);
    EXPECT_EQ(lowpassDesignFor(0.0625).order, 16);
    EXPECT_EQ(lowpassDesignFor(0.03125).order, 10);
    EXPECT_EQ(lowpassDesignFor(0.015625).order, 8);
    const LowpassDesign& fallback = lowpassDesignFor(1.0 / 24.0);
    EXPECT_EQ(fallback.order, 12);
    EXPECT_EQ(fallback.cutoff, 0.0);
    // Factor 1 passes 0.5; anything not exactly one of the five selects the default.
    for (double c : {0.5, 0.0, -0.25, 0.5 / 12.9, std::nextafter(0.25, 1.0), std::nextafter(0.125, 0.0), 0.03}) {
        EXPECT_EQ(&lowpassDesignFor(c), &fallback) << c;
    }
    EXPECT_EQ(lowpassDesignFor(0.5 / 2).cutoff, 0.25);
    EXPECT_EQ(lowpassDesignFor(0.5 / 16).cutoff, 0.03125);
}

TEST(LowpassDesigns, StoredFormIsNormalisedWithSymmetricNumerators) {
    for (const Row& row : kRows) {
        const LowpassDesign& d = lowpassDesignFor(row.cutoff);
        ASSERT_EQ(d.order, row.order) << row.name;
        EXPECT_EQ(d.a[0], 1.0) << row.name;
        double scale = 0.0;
        for (int i = 0; i <= d.order; ++i) scale = std::max(scale, std::fabs(d.b[i]));
        for (int i = 0; i <= d.order; ++i) {
            EXPECT_NEAR(d.b[i], d.b[d.order - i], 1e-13 * scale) << row.name << " b[" << i << "]";
        }
    }
}

TEST(LowpassDesigns, Factor16DesignKeepsItsReferenceCoefficients) {
    const double b[] = {3.2234820255224606e-05, -0.0002746701653783211, 0.0010829448201078128,
                        -0.002614560399701191, 0.004300652933375822, -0.005053203064569877,
                        0.004300652933375823, -0.0026145603997011916, 0.001082944820107813,
                        -0.0002746701653783211, 3.2234820255224606e-05};
    const double a[] = {1, -9.19671997077719, 38.091113406529075, -93.56352289300283, 150.93362709728663,
                        -167.08120183676624, 128.53392100899208, -67.85076002140502, 23.521091403352912,
                        -4.835107396222554, 0.4475592029658958};
    const LowpassDesign& d = lowpassDesignFor(0.03125);
    ASSERT_EQ(d.order, 10);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(d.b[i], b[i]) << i;
        EXPECT_EQ(d.a[i], a[i]) << i;
    }
}

TEST(LowpassDesigns, SetCutoffInstallsTheDesignWithNegatedFeedback) {
    for (const Row& row : kRows) {
        cIIR filter;
        filter.setCutoff(row.cutoff);
        const LowpassDesign& d = lowpassDesignFor(row.cutoff);
        ASSERT_EQ(filter.order(), d.order) << row.name;
        for (int i = 0; i <= d.order; ++i) {
            EXPECT_EQ(filter.feedForward()[i], d.b[i]) << row.name << " " << i;
            EXPECT_EQ(filter.feedBack()[i], -d.a[i]) << row.name << " " << i;
        }
        for (int i = d.order + 1; i <= cIIR::kMaxOrder; ++i) {
            EXPECT_EQ(filter.feedForward()[i], 0.0);
            EXPECT_EQ(filter.feedBack()[i], 0.0);
        }
    }
}

TEST(LowpassDesigns, EachRealisedDesignMeetsItsRowOfTheTable) {
    for (const Row& row : kRows) {
        const Measured m = measure(row.cutoff);
        std::printf("[ design   ] %-15s order %2d  stopband %7.2f dB  -0.1 dB %.4f fs (table %.4f)  "
                    "-3 dB %.4f fs (table %.4f)  DC %.9f  passband max %+.5f dB\n",
                    row.name, row.order, m.stopbandDb, m.point01, row.point01, m.point3, row.point3, m.dcGain,
                    m.passbandMaxDb);
        // The impulse response has died out, so the FFT sees the whole filter.
        EXPECT_LT(m.tailMax, 1e-14) << row.name;
        EXPECT_GE(m.stopbandDb, row.minStopbandDb) << row.name;
        EXPECT_NEAR(m.point01, row.point01, 0.002) << row.name;
        EXPECT_NEAR(m.point3, row.point3, 0.002) << row.name;
        EXPECT_NEAR(m.dcGain, 1.0, 1e-4) << row.name;
        // Passband ripple well below 0.1 dB: the gain never exceeds 0 dB noticeably before the -0.1 dB point.
        EXPECT_LT(m.passbandMaxDb, 0.01) << row.name;
    }
}

TEST(LowpassDesigns, DesignsAreStableOverALongNoiseRun) {
    constexpr int kSamples = 1000000;
    for (const Row& row : kRows) {
        const Measured m = measure(row.cutoff);
        double l1 = 0.0;  // |y| <= sum |h| for |x| <= 1
        for (double h : m.impulse) l1 += std::fabs(h);
        cIIR filter;
        filter.setCutoff(row.cutoff);
        Noise noise;
        std::vector<double> block(4096);
        double peak = 0.0, tailEnergy = 0.0;
        int tailSamples = 0;
        for (int done = 0; done < kSamples; done += static_cast<int>(block.size())) {
            for (double& s : block) s = noise.next();
            filter.processDoubles(block.data(), static_cast<int>(block.size()));
            const bool inTail = done >= kSamples - 100000;
            for (double y : block) {
                ASSERT_TRUE(std::isfinite(y)) << row.name;
                peak = std::max(peak, std::fabs(y));
                if (inTail) tailEnergy += y * y;
            }
            if (inTail) tailSamples += static_cast<int>(block.size());
        }
        EXPECT_LE(peak, l1 * 1.000001) << row.name;
        EXPECT_TRUE(filter.stateIsFinite()) << row.name;
        // Still an LTI filter at the end: white noise of power 1/3 comes out with power (1/3) * sum h^2.
        double noiseGain = 0.0;
        for (double h : m.impulse) noiseGain += h * h;
        const double meanPower = tailEnergy / tailSamples;
        EXPECT_NEAR(meanPower / (noiseGain / 3.0), 1.0, 0.1) << row.name;
    }
}

TEST(LowpassDesigns, ConstantInputSettlesToItself) {
    for (const Row& row : kRows) {
        cIIR filter;
        filter.setCutoff(row.cutoff);
        double y = 0.0;
        for (int n = 0; n < 20000; ++n) y = filter.process(0.5);
        EXPECT_NEAR(y, 0.5, 0.5e-4) << row.name;
    }
}
