#pragma once

// The oversampled chain of several channels at once, one channel per SIMD lane: zero-stuffing and
// the up-filter, tone equaliser, grid signal, triode stage with output scaling, down-filter and
// decimation, fused into one pass per host frame. Every lane performs the operations of the scalar
// chain in the same order, so it gives what the scalar chain gives except where xsimd's vector exp
// and log round differently from the standard library's (the two-lane kernel calls the latter).
//
// The state is laid out lane by lane (structure of arrays). The owner copies channel states in
// before a block and out after it; the kernels themselves know nothing of the channel objects.

#include <cstdint>

struct LaneChainState {
    static constexpr int kLanes = 8;
    static constexpr int kMaxOrder = 128;
    // Filter history rows; the last `order` rows are moved to the front when the end is reached.
    static constexpr int kHistoryRows = 256;

    using Row = double[kLanes];

    struct Band {
        alignas(64) Row b0, b1, b2, a1, a2, x1, x2, y1, y2;
    };
    struct Filter {
        alignas(64) Row x[kHistoryRows];
        alignas(64) Row y[kHistoryRows];
        int writeRow = 0;
    };

    Band bands[3];  // low shelf, peak, high shelf

    // Triode stage: coefficients, then state, then the observations of the last tick.
    alignas(64) Row gammaRk, gammaCk, sCk, gammaRp, supply, gammaCoupling, rPlate, rCathode;
    alignas(64) Row gamma2S1, gamma2Ro, gamma1Coupling, gamma1Co;
    alignas(64) Row rT, sCo, wCouplingToPlate, wPlateToCoupling, vgkPrev;
    alignas(64) Row lastPlateVoltage, lastPlateCurrent, lastCathodePortVoltage;

    // One low-pass design shared by every lane's up- and down-filter.
    int order = 0;
    double b[kMaxOrder + 1] = {};
    double f[kMaxOrder + 1] = {};
    Filter up, down;
};

// One pass over `frames` host frames for lanes [firstLane, firstLane + lane count of the kernel).
struct LaneChainJob {
    const float* in[LaneChainState::kLanes];
    float* out[LaneChainState::kLanes];
    int frames;
    int factor;  // 1: no filters, the chain runs at the host rate
    // Ramps per oversampled sample: drive gain h, bias voltage l, output gain m.
    double h, l, m;
    double stepH, stepL;
    float stepM;
};

// The ramp values for the sample after the pass.
struct LaneRampEnd {
    double h, l, m;
};

enum class SimdLevel { Scalar, Sse2, Avx2 };

// The widest level this processor and operating system support.
SimdLevel bestSimdLevel();

// One kernel: how many lanes a call processes, and the call.
struct LaneKernel {
    int lanes = 0;
    LaneRampEnd (*run)(LaneChainState& state, const LaneChainJob& job, int firstLane) = nullptr;
};
// The kernel for `channels` channels at `level`: the narrowest one that holds them all, else the
// widest (called once per group of lanes). No kernel (0 lanes) for Scalar.
LaneKernel laneKernelFor(SimdLevel level, int channels);
