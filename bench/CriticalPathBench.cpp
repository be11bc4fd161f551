// The floor of the serial chain: what one oversampled sample of the valve stage has to wait for.
//
// The triode resistance R_t of a sample is computed from the previous sample's through a chain of
// dependent operations, which no processor can overlap with each other:
//   R_t -> J = (R_P + R_t + R_K) / 2          add, add, mul
//   -> g_P = R_P / J                           div
//   -> d_P = b_P - g_P * S                     mul, sub
//   -> V = (b_P + d_P) / 2                     add, mul
//   -> sqrt(Kvb + V * V)                       mul, add, sqrt
//   -> Kp * (1/mu + vgk / sqrt)                div, add, mul
//   -> E1 = (V / Kp) * log(1 + exp(...))       exp, add, log, mul (V / Kp runs beside)
//   -> I_p = E1 * cheap(E1^0.4) / Kg           shift, or, sub, sub, mul, add, truncate, mul, div
//   -> R_t = V / I_p                           div
// Everything else a sample computes (the output network, the grid voltage, the equaliser, the
// oversampling filters, whose own recursions are shorter) can run beside this chain. BM_CriticalPath
// runs this chain and nothing else: its time per sample is the floor for one channel. The lanes of a
// register run their chains side by side, so at stereo 8x the floor per channel-frame is
// 8 x floor / 2. BM_Latency/<op> gives the latency of each kind of operation for the sum.
//
// Run: build/default/bench/korvel_bench --benchmark_filter='CriticalPath|Latency|TriodeStageTick'

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kChain = 1000;

// A resting stage at 8 x 44.1 kHz: port resistances, the plate junction's upward wave, the sum of
// the main junction's incident waves and the grid-to-cathode voltage the chain works with.
constexpr double kPlateResistance = 90909.09090909091;
constexpr double kCathodeResistance = 1319.9;
constexpr double kPlateWave = 300.0 * 0.9090909090909091 + 0.09090909090909091 * 59.0;
constexpr double kJunctionSum = kPlateWave - 0.5;
constexpr double kGridToCathode = -0.9;

double cheapPower14(double base) {
    const auto upper = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(base) >> 32));
    const auto scaled = static_cast<std::int32_t>(0.4 * (static_cast<double>(upper) - 1072632447.0) + 1072632447.0);
    return base * std::bit_cast<double>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(scaled)) << 32);
}

void BM_CriticalPath(benchmark::State& state) {
    double rT = 60000.0;
    for (auto _ : state) {
        for (int i = 0; i < kChain; ++i) {
            const double halfSum = (kPlateResistance + rT + kCathodeResistance) / 2.0;
            const double gammaPlate = kPlateResistance / halfSum;
            const double dP = kPlateWave - gammaPlate * kJunctionSum;
            const double v = (kPlateWave + dP) / 2.0;
            const double e1 = (v / 600.0) * std::log(1.0 + std::exp(600.0 * (1.0 / 100.0 + kGridToCathode / std::sqrt(300.0 + v * v))));
            const double ip = cheapPower14(e1) / 530.0;
            rT = v / ip;
        }
        benchmark::DoNotOptimize(rT);
    }
    state.SetItemsProcessed(state.iterations() * kChain);
}
BENCHMARK(BM_CriticalPath);

// Latency of one operation: each result is the next one's operand.
template <class Operation>
void latency(benchmark::State& state, double start, Operation operation) {
    double x = start;
    for (auto _ : state) {
        for (int i = 0; i < kChain; ++i) x = operation(x);
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations() * kChain);
}
void BM_LatencyAdd(benchmark::State& state) { latency(state, 1.0, [](double x) { return x + 1e-9; }); }
void BM_LatencyMul(benchmark::State& state) { latency(state, 1.0, [](double x) { return x * 1.0000001; }); }
void BM_LatencyDiv(benchmark::State& state) { latency(state, 1.5, [](double x) { return 2.25 / x; }); }
void BM_LatencySqrt(benchmark::State& state) { latency(state, 2.0, [](double x) { return std::sqrt(x + 2.0); }); }
void BM_LatencyExp(benchmark::State& state) { latency(state, 0.5, [](double x) { return std::exp(-x); }); }
void BM_LatencyLog(benchmark::State& state) { latency(state, 2.0, [](double x) { return std::log(x + 2.0); }); }
BENCHMARK(BM_LatencyAdd);
BENCHMARK(BM_LatencyMul);
BENCHMARK(BM_LatencyDiv);
BENCHMARK(BM_LatencySqrt);
BENCHMARK(BM_LatencyExp);
BENCHMARK(BM_LatencyLog);

}  // namespace
