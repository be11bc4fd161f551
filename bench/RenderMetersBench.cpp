// Cost of the renderer's measurements of every processed block, to set against the effect's own
// cost per channel-frame (BM_ProcessReplacing): the levels, and the count of samples beyond full scale.
//
//   BM_RenderMeters/meters:<n>: 512-frame stereo blocks of noise reaching 2x full scale; meters 1 is the
//     level meter alone, 2 adds the clip meter. Items are channel-frames.
//
// Run: build/default/bench/korvel_bench --benchmark_filter='RenderMeters|ProcessReplacing/oversample:0/channels:2'

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "ClipMeter.h"
#include "LevelMeter.h"

namespace {

constexpr int kFrames = 512;
constexpr int kChannels = 2;

void BM_RenderMeters(benchmark::State& state) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-2.0f, 2.0f);
    std::vector<std::vector<float>> block(kChannels, std::vector<float>(kFrames));
    for (std::vector<float>& channel : block)
        for (float& sample : channel) sample = noise(random);
    const float* channels[] = {block[0].data(), block[1].data()};
    LevelMeter levels;
    ClipMeter clips;
    for (auto _ : state) {
        levels.add(channels, kChannels, kFrames);
        if (state.range(0) > 1) clips.add(channels, kChannels, kFrames);
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(levels.peakDbfs());
    benchmark::DoNotOptimize(clips.samples());
    state.SetItemsProcessed(state.iterations() * kFrames * kChannels);
}
BENCHMARK(BM_RenderMeters)->ArgName("meters")->Arg(1)->Arg(2);

}  // namespace
