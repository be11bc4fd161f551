#include "TriodeStage.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

// A plucked-string-like grid signal: a few decaying harmonics of 110 Hz at the 8x rate, scaled by a
// mid drive gain and riding on a mid bias, as block processing would feed the stage.
std::vector<double> gridSignal(double rate, int count, double drive, double bias)
{
    std::vector<double> grid(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        const double t = n / rate;
        double x = 0.0;
        for (int k = 1; k <= 5; ++k)
            x += std::sin(2.0 * std::numbers::pi * 110.0 * k * t) * std::exp(-3.0 * k * t) / k;
        grid[static_cast<std::size_t>(n)] = 0.3 * x * drive + bias;
    }
    return grid;
}

void BM_TriodeStageTick(benchmark::State& state)
{
    constexpr double kRate = 8.0 * 44100.0;
    constexpr double kDrive = 26.0 * 0.125 + 0.1;  // Drive 0.5
    constexpr double kBias = 0.8;                    // Bias 0.5
    const auto grid = gridSignal(kRate, 8 * 4096, kDrive, kBias);

    TriodeStage stage;
    stage.derive(StageComponents{}, kRate);
    double sum = 0.0;
    for (auto _ : state) {
        for (const double g : grid)
            sum += stage.tick(g, kDrive, kBias, 1.0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(grid.size()));
}
BENCHMARK(BM_TriodeStageTick);

}  // namespace
