// Cost of the oversampling filters.
//
//   BM_IIRProcess/<design>: one cIIR::process call per sample over a 4096-sample block of noise.
//   BM_IIRProcessFloats/<design>: the resampler's form, processFloats over the same block.
//   BM_UpDownStereo512/<factor>: upsample + downsample of a 512-frame stereo block with a resampler
//     allocated (16, 6, 8192), as the effect sets it up; items = host frames (512 x 2 channels).
//
// Run: build/default/bench/korvel_bench --benchmark_filter='IIR|UpDown'

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "Resamplers.h"

namespace {

constexpr int kBlock = 4096;

// Cutoffs indexed by the benchmark argument: the five factors' designs and the unused c = 1/64.
constexpr double kCutoffs[] = {0.25, 0.125, 0.0625, 1.0 / 24.0, 0.03125, 0.015625};
const char* const kCutoffNames[] = {"c=0.25 (N=2, order 35)",      "c=0.125 (N=4, order 28)",
                                    "c=0.0625 (N=8, order 16)",    "c=1/24 (N=12, order 12)",
                                    "c=0.03125 (N=16, order 10)",  "c=0.015625 (order 8)"};

std::vector<double> noise(int n) {
    std::uint64_t s = 0x9E3779B97F4A7C15ull;
    std::vector<double> v(n);
    for (double& x : v) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        x = static_cast<double>(s >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
    return v;
}

void BM_IIRProcess(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    Resamplers::cIIR filter;
    filter.setCutoff(kCutoffs[index]);
    const std::vector<double> input = noise(kBlock);
    double sink = 0.0;
    for (auto _ : state) {
        for (double x : input) sink += filter.process(x);
        benchmark::DoNotOptimize(sink);
    }
    state.SetLabel(kCutoffNames[index]);
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_IIRProcess)->DenseRange(0, 5);

void BM_IIRProcessFloats(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    Resamplers::cIIR filter;
    filter.setCutoff(kCutoffs[index]);
    const std::vector<double> source = noise(kBlock);
    std::vector<float> input(source.begin(), source.end());
    std::vector<float> block(kBlock);
    for (auto _ : state) {
        block = input;
        filter.processFloats(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(kCutoffNames[index]);
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_IIRProcessFloats)->DenseRange(0, 5);

void BM_UpDownStereo512(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    constexpr int kFrames = 512;
    constexpr int kChannels = 2;
    Resamplers::cSimplestResampler resampler;
    if (!resampler.allocate(16, 6, 8192)) {
        state.SkipWithError("allocate failed");
        return;
    }
    resampler.setFactor(factor, kChannels);
    resampler.setBlockLength(kFrames);
    const std::vector<double> source = noise(kFrames * kChannels);
    std::vector<std::vector<float>> in(kChannels), work(kChannels), out(kChannels);
    std::vector<const float*> inPtr;
    std::vector<float*> workPtr, outPtr;
    for (int ch = 0; ch < kChannels; ++ch) {
        in[ch].assign(source.begin() + ch * kFrames, source.begin() + (ch + 1) * kFrames);
        work[ch].assign(16 * 8192 + 64, 0.0f);
        out[ch].assign(kFrames, 0.0f);
        inPtr.push_back(in[ch].data());
        workPtr.push_back(work[ch].data());
        outPtr.push_back(out[ch].data());
    }
    for (auto _ : state) {
        const int m = resampler.upsample(inPtr.data(), workPtr.data(), kFrames);
        benchmark::DoNotOptimize(resampler.downsample(workPtr.data(), outPtr.data(), m));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames * kChannels);
    state.counters["ns_per_oversampled_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames * kChannels * factor * 2,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpDownStereo512)->Arg(2)->Arg(4)->Arg(8)->Arg(12)->Arg(16);

}  // namespace
