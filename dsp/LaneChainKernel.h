#pragma once

// The lane kernel, instantiated once per instruction set in its own translation unit (compiled
// with that set enabled). Included only by those units. Everything here has internal linkage, so
// that no function compiled for a wider set can stand in for one of the baseline unit.

#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <xsimd/xsimd.hpp>

#include "LaneChain.h"
#include "StageMath.h"

namespace lanechain {
namespace {

// Per instruction set: rounding through single precision, and the two integer steps of the cheap
// power (the upper word of each double as a number, and a truncated number as an upper word).
template <class Arch>
struct Ops;

template <>
struct Ops<xsimd::sse2> {
    static __m128d throughFloat(__m128d x) { return _mm_cvtps_pd(_mm_cvtpd_ps(x)); }
    static __m128d truncatedUpperWord(__m128d x) {
        const __m128i words = _mm_cvttpd_epi32(x);  // two int32 in the low half
        return _mm_castsi128_pd(_mm_unpacklo_epi32(_mm_setzero_si128(), words));
    }
};

#ifdef __AVX2__
template <>
struct Ops<xsimd::avx2> {
    static __m256d throughFloat(__m256d x) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(x)); }
    static __m256d truncatedUpperWord(__m256d x) {
        const __m128i words = _mm256_cvttpd_epi32(x);
        const __m128i low = _mm_unpacklo_epi32(_mm_setzero_si128(), words);
        const __m128i high = _mm_unpackhi_epi32(_mm_setzero_si128(), words);
        return _mm256_castsi256_pd(_mm256_set_m128i(high, low));
    }
};
#endif

using stagemath::kExponent;
using stagemath::kOneUpperBits;

// The operations of the kernel on one register of lanes. exp and log come either from xsimd, or,
// lane by lane, from the standard library: with only two lanes its shorter latency wins, since the
// stage's recursion waits for them every sample.
template <class Arch, bool kLaneByLaneMath>
struct Lanes {
    using V = xsimd::batch<double, Arch>;
    static constexpr int kCount = static_cast<int>(V::size);

    static V load(const double* p) { return V::load_aligned(p); }
    static void store(double* p, const V& x) { x.store_aligned(p); }
    // Lane values just written one by one: with two lanes they are joined in registers, since the
    // wide load could not be served from the two narrow stores.
    static V fromLanes(const double* p) {
        if constexpr (kCount == 2) {
            return V(_mm_set_pd(p[1], p[0]));
        } else {
            return load(p);
        }
    }
    static V throughFloat(const V& x) { return V(Ops<Arch>::throughFloat(x)); }
    static V exp(const V& x) {
        if constexpr (kLaneByLaneMath) {
            return eachLane(x, [](double e) { return std::exp(e); });
        } else {
            // xsimd turns the exponent into an integer in plain C++ code on this target, which is
            // undefined for NaN and huge arguments: only lanes within range reach it. The others get
            // what exp gives them anyway: +inf above, 0 below, NaN for NaN.
            const auto inRange = xsimd::abs(x) <= V(800.0);
            const V inside = xsimd::exp(xsimd::select(inRange, x, V(0.0)));
            const V outside = xsimd::select(x != x, x, xsimd::select(x > V(0.0), V(HUGE_VAL), V(0.0)));
            return xsimd::select(inRange, inside, outside);
        }
    }
    static V log(const V& x) {
        if constexpr (kLaneByLaneMath) {
            return eachLane(x, [](double e) { return std::log(e); });
        } else {
            return xsimd::log(x);
        }
    }
    static V sqrt(const V& x) { return xsimd::sqrt(x); }
    // The scalar library function applied to each lane in turn. With two lanes the lanes move
    // between registers directly: a round trip through memory would make the wide load wait for two
    // narrow stores, which the processor cannot forward, on every sample's critical path.
    template <class Function>
    static V eachLane(const V& x, Function function) {
        if constexpr (kCount == 2) {
            const __m128d v = x;
            const double low = function(_mm_cvtsd_f64(v));
            const double high = function(_mm_cvtsd_f64(_mm_unpackhi_pd(v, v)));
            return V(_mm_set_pd(high, low));
        } else {
            alignas(64) double v[kCount];
            x.store_aligned(v);
            for (double& e : v) e = function(e);
            return V::load_aligned(v);
        }
    }
    // The plate current for the characteristic's E1: the cheap power above zero, the floor below.
    static V currentFor(const V& e1) {
        return xsimd::select(e1 > V(0.0), cheapPower(e1) / V(stagemath::kKg), V(stagemath::kCutOffCurrent));
    }

    // base^1.4 for positive base: base times the upper-word interpolation of base^0.4.
    static V cheapPower(const V& base) {
        using U = xsimd::batch<std::uint64_t, Arch>;
        const double fraction = kExponent - std::trunc(kExponent);
        // The upper word as a number: put it under the exponent of 2^52 and take 2^52 away.
        const V twoTo52(4503599627370496.0);
        const U upperBits = (xsimd::bitwise_cast<U>(base) >> 32) | U(0x4330000000000000ull);
        const V upper = xsimd::bitwise_cast<V>(upperBits) - twoTo52;
        const V scaled = V(fraction) * (upper - V(kOneUpperBits)) + V(kOneUpperBits);
        const V approximate = V(Ops<Arch>::truncatedUpperWord(scaled));
        return (V(1.0) * base) * approximate;
    }
};

// Two registers of lanes side by side: two independent chains that the processor can overlap.
template <class B>
struct Twin {
    B a, b;
    Twin() = default;
    explicit Twin(double v) : a(v), b(v) {}
    Twin(const B& first, const B& second) : a(first), b(second) {}
    friend Twin operator+(const Twin& x, const Twin& y) { return {x.a + y.a, x.b + y.b}; }
    friend Twin operator-(const Twin& x, const Twin& y) { return {x.a - y.a, x.b - y.b}; }
    friend Twin operator*(const Twin& x, const Twin& y) { return {x.a * y.a, x.b * y.b}; }
    friend Twin operator/(const Twin& x, const Twin& y) { return {x.a / y.a, x.b / y.b}; }
    friend Twin operator-(const Twin& x) { return {-x.a, -x.b}; }
};

template <class Arch>
struct TwinLanes {
    using One = Lanes<Arch, false>;
    using V = Twin<typename One::V>;
    static constexpr int kCount = 2 * One::kCount;

    static V load(const double* p) { return {One::load(p), One::load(p + One::kCount)}; }
    static V fromLanes(const double* p) { return {One::fromLanes(p), One::fromLanes(p + One::kCount)}; }
    static void store(double* p, const V& x) {
        One::store(p, x.a);
        One::store(p + One::kCount, x.b);
    }
    static V throughFloat(const V& x) { return {One::throughFloat(x.a), One::throughFloat(x.b)}; }
    static V exp(const V& x) { return {One::exp(x.a), One::exp(x.b)}; }
    static V log(const V& x) { return {One::log(x.a), One::log(x.b)}; }
    static V sqrt(const V& x) { return {One::sqrt(x.a), One::sqrt(x.b)}; }
    static V currentFor(const V& e1) { return {One::currentFor(e1.a), One::currentFor(e1.b)}; }
};

template <class L>
class Kernel {
public:
    using V = typename L::V;
    static constexpr int W = L::kCount;

    static LaneRampEnd run(LaneChainState& s, const LaneChainJob& job, int firstLane) {
        Kernel kernel(s, firstLane);
        return kernel.process(job);
    }

private:
    Kernel(LaneChainState& s, int firstLane) : s_(s), lane_(firstLane) {}

    V load(const LaneChainState::Row& row) const { return L::load(row + lane_); }
    void store(LaneChainState::Row& row, const V& value) const { L::store(row + lane_, value); }

    LaneRampEnd process(const LaneChainJob& job) {
        stagemath::Biquad<V> bands[3];
        for (int band = 0; band < 3; ++band) {
            const LaneChainState::Band& from = s_.bands[band];
            bands[band] = {load(from.b0), load(from.b1), load(from.b2), load(from.a1), load(from.a2),
                           load(from.x1), load(from.x2), load(from.y1), load(from.y2)};
        }
        const stagemath::StageCoefficients<V> coefficients{
            load(s_.gammaRk), load(s_.gammaCk),      load(s_.gammaRp),        load(s_.supply),
            load(s_.gammaCoupling), load(s_.rPlate), load(s_.rCathode),       load(s_.gamma2S1),
            load(s_.gamma2Ro), load(s_.gamma1Coupling), load(s_.gamma1Co)};
        stagemath::StageState<V> stage{load(s_.rT),
                                       load(s_.sCo),
                                       load(s_.sCk),
                                       load(s_.wCouplingToPlate),
                                       load(s_.wPlateToCoupling),
                                       load(s_.vgkPrev),
                                       load(s_.lastPlateVoltage),
                                       load(s_.lastPlateCurrent),
                                       load(s_.lastCathodePortVoltage)};

        const int n = job.factor;
        const float gain = static_cast<float>(n);
        double h = job.h, l = job.l, m = job.m;
        alignas(64) double in[W];
        alignas(64) double out[W];

        for (int frame = 0; frame < job.frames; ++frame) {
            for (int j = 0; j < W; ++j) {
                const float x = job.in[lane_ + j][frame];
                in[j] = n > 1 ? static_cast<double>(gain * x) : static_cast<double>(x);
            }
            const V frameInput = L::fromLanes(in);
            for (int phase = 0; phase < n; ++phase) {
                V x = phase == 0 ? frameInput : V(0.0);
                if (n > 1) x = L::throughFloat(filter(s_.up, x, phase, n));

                // Tone equaliser: three biquads on the same input, summed.
                V sum(0.0);
                for (int band = 0; band < 3; ++band) {
                    const V y = stagemath::step(bands[band], x);
                    sum = band == 0 ? y : sum + y;
                }
                const V grid = (sum / V(3.0)) * V(h) + V(l);
                const V y = stagemath::outputSample(stagemath::tick<L>(coefficients, stage, grid), h, l, m);
                const V narrowed = L::throughFloat(y);

                if (n > 1) {
                    const V down = filter(s_.down, narrowed, 0, 1);
                    if (phase == 0) L::store(out, L::throughFloat(down));
                } else {
                    L::store(out, narrowed);
                }
                h += job.stepH;
                l += job.stepL;
                m += job.stepM;
            }
            for (int j = 0; j < W; ++j) job.out[lane_ + j][frame] = static_cast<float>(out[j]);
        }

        for (int band = 0; band < 3; ++band) {
            LaneChainState::Band& to = s_.bands[band];
            store(to.x1, bands[band].x1);
            store(to.x2, bands[band].x2);
            store(to.y1, bands[band].y1);
            store(to.y2, bands[band].y2);
        }
        store(s_.rT, stage.rT);
        store(s_.sCo, stage.sCo);
        store(s_.wCouplingToPlate, stage.wCouplingToPlate);
        store(s_.wPlateToCoupling, stage.wPlateToCoupling);
        store(s_.vgkPrev, stage.vgkPrev);
        store(s_.lastPlateVoltage, stage.lastPlateVoltage);
        store(s_.lastPlateCurrent, stage.lastPlateCurrent);
        store(s_.lastCathodePortVoltage, stage.lastCathodePortVoltage);
        return {h, l, m};
    }

    // One step of the direct-form recursion: y = b0 x, then y += b[i] x[-i] + f[i] y[-i], in this order.
    // The input is zero except every `spacing`-th sample, and this one is sample `phase` after the
    // last non-zero one: the two-lane kernel leaves out the products with the zeros, which changes no
    // sum (b[i] x[-i] is then a zero added to f[i] y[-i]). Wider kernels are held up by the test more
    // than by the products (measured: 5.1 at 16x 4 % slower with it), so they keep them.
    V filter(LaneChainState::Filter& f, const V& x, int phase, int spacing) {
        constexpr bool kSkipZeros = W == 2;
        const int order = s_.order;
        int w = f.writeRow;
        store(f.x[w], x);
        V y = phase == 0 || !kSkipZeros ? V(s_.b[0]) * x : V(0.0);
        int nonZero = phase == 0 ? spacing : phase;  // the next i at which x[-i] may be non-zero
        for (int i = 1; i <= order; ++i) {
            if (!kSkipZeros || i == nonZero) {
                y = y + (V(s_.b[i]) * load(f.x[w - i]) + V(s_.f[i]) * load(f.y[w - i]));
                nonZero += spacing;
            } else {
                y = y + V(s_.f[i]) * load(f.y[w - i]);
            }
        }
        store(f.y[w], y);
        if (++w == LaneChainState::kHistoryRows) {
            for (int row = 0; row < order; ++row) {
                store(f.x[row], load(f.x[LaneChainState::kHistoryRows - order + row]));
                store(f.y[row], load(f.y[LaneChainState::kHistoryRows - order + row]));
            }
            w = order;
        }
        f.writeRow = w;
        return y;
    }

    LaneChainState& s_;
    int lane_;
};

}  // namespace
}  // namespace lanechain
