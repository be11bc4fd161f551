#include "ToneEqualiser.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

void BM_ToneEqualiserProcess(benchmark::State& state)
{
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<double> input(4096);
    for (double& x : input)
        x = sample(generator);

    ToneEqualiser eq;
    eq.setGains(7.2, -4.8, 3.6);
    double sum = 0.0;
    for (auto _ : state) {
        for (const double x : input)
            sum += eq.process(x);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}
BENCHMARK(BM_ToneEqualiserProcess);

}  // namespace
