// Cost of the whole effect through its processing entry, and the memory one instance holds.
//
//   BM_ProcessReplacing/<oversample index>/<channels>: 512-frame blocks at 44.1 kHz; items are
//     channel-frames, so items_per_second inverts to the cost of one channel-frame.
//   BM_BlockAfterSilence / BM_BlockOnNoise /<oversample index>/<channels>: one block after 30 s of
//     silence that followed loud input, when the chain has come to rest and silence is not run
//     through it, against a block of noise.
//   BM_InstanceResidentMemory/<oversample index>/<channels>: resident memory and address space added
//     by one instance after 60 s of noise (Stereo at 8x, 5.1 at 16x). Run it on its own, so that
//     memory freed by earlier benchmarks does not hide what the instance takes.
//   BM_BlockStartingAChange/<oversample index>/<channels>: the block in which a Bias change starts the
//     crossfade into a chain rebuilt at rest, on noise: the costliest block a change makes (compare
//     BM_ProcessReplacing with the same arguments). The blocks that finish the crossfade are untimed.
//   BM_BlockUnderAutomation/<oversample index>/<channels>: blocks on noise in which the host moves
//     Drive, LoFreq and Bias every block, as automation curves do: Drive ramps, the tone section is
//     recomputed and Bias keeps the chain crossfading (each change waits for the fade before it).
//   BM_Resume/<oversample index>/<channels>: one suspend and resume, as a host stopping and starting
//     playback does, with a Bias change in between so that no cached state can simply be reused.
//
// Run: build/default/bench/korvel_bench --benchmark_filter='Process|Silence|Noise|Resume'
//      build/default/bench/korvel_bench --benchmark_filter='Resident'

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <unistd.h>
#include <vector>

#include "Parameters.h"
#include "VstInterface.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace {

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr int kFrames = 512;

class BenchEffect {
public:
    BenchEffect(float oversample, float channels) : effect_(VSTPluginMain(host)) {
        effect_->dispatcher(effect_, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect_->dispatcher(effect_, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
        effect_->setParameter(effect_, 6, oversample);
        effect_->setParameter(effect_, 7, channels);
        effect_->setParameter(effect_, 3, 0.6f);
        effect_->dispatcher(effect_, effMainsChanged, 0, 1, nullptr, 0.0f);
        for (int channel = 0; channel < 6; ++channel) {
            input_[channel].assign(kFrames, 0.0f);
            output_[channel].assign(kFrames, 0.0f);
            inputs_[channel] = input_[channel].data();
            outputs_[channel] = output_[channel].data();
        }
    }
    ~BenchEffect() { effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f); }

    void fillNoise(float level) {
        for (auto& channel : input_)
            for (float& sample : channel) sample = level * (2.0f * unit_(random_) - 1.0f);
    }
    void fillSilence() {
        for (auto& channel : input_) std::fill(channel.begin(), channel.end(), 0.0f);
    }
    void process() { effect_->processReplacing(effect_, inputs_, outputs_, kFrames); }
    void setParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    void setRunning(bool running) {
        effect_->dispatcher(effect_, effMainsChanged, 0, running ? 1 : 0, nullptr, 0.0f);
    }
    float firstOutput() const { return output_[0][0]; }

private:
    AEffect* effect_;
    std::vector<float> input_[6];
    std::vector<float> output_[6];
    float* inputs_[6];
    float* outputs_[6];
    std::mt19937 random_{7u};
    std::uniform_real_distribution<float> unit_{0.0f, 1.0f};
};

void BM_ProcessReplacing(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(0.3f);
    effect.process();
    for (auto _ : state) {
        effect.process();
        benchmark::DoNotOptimize(effect.firstOutput());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * channels);
}
BENCHMARK(BM_ProcessReplacing)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {2, 6}})
    ->ArgNames({"oversample", "channels"})
    ->Unit(benchmark::kMicrosecond);

constexpr int kBlocksPerSecond = 44100 / kFrames;

// Times one block per iteration on the input the effect holds; items are channel-frames.
void timeBlocks(benchmark::State& state, BenchEffect& effect, int channels) {
    for (auto _ : state) {
        effect.process();
        benchmark::DoNotOptimize(effect.firstOutput());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * channels);
}

void BM_BlockAfterSilence(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(1.0f);
    for (int block = 0; block < kBlocksPerSecond; ++block) effect.process();
    effect.fillSilence();
    for (int block = 0; block < 30 * kBlocksPerSecond; ++block) effect.process();
    timeBlocks(state, effect, channels);
}
BENCHMARK(BM_BlockAfterSilence)->Args({3, 2})->Args({5, 6})->ArgNames({"oversample", "channels"})->Unit(benchmark::kMicrosecond);

void BM_BlockOnNoise(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(0.3f);
    for (int block = 0; block < kBlocksPerSecond; ++block) effect.process();
    timeBlocks(state, effect, channels);
}
BENCHMARK(BM_BlockOnNoise)->Args({3, 2})->Args({5, 6})->ArgNames({"oversample", "channels"})->Unit(benchmark::kMicrosecond);

void BM_BlockStartingAChange(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(0.3f);
    effect.process();
    float bias = 0.25f;
    for (auto _ : state) {
        bias = bias == 0.25f ? 0.75f : 0.25f;
        effect.setParameter(4, bias);
        effect.process();
        benchmark::DoNotOptimize(effect.firstOutput());
        state.PauseTiming();
        for (int block = 0; block < 2; ++block) effect.process();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFrames * channels);
}
void BM_BlockUnderAutomation(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(0.3f);
    effect.process();
    int block = 0;
    for (auto _ : state) {
        const float position = static_cast<float>(block++ % 64) / 64.0f;  // a slow sweep
        effect.setParameter(3, 0.3f + 0.2f * position);
        effect.setParameter(0, 0.4f + 0.2f * position);
        effect.setParameter(4, 0.6f + 0.2f * position);
        effect.process();
        benchmark::DoNotOptimize(effect.firstOutput());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * channels);
}
BENCHMARK(BM_BlockUnderAutomation)
    ->Args({3, 2})
    ->Args({5, 6})
    ->ArgNames({"oversample", "channels"})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_BlockStartingAChange)
    ->Args({3, 2})
    ->Args({5, 6})
    ->ArgNames({"oversample", "channels"})
    ->Unit(benchmark::kMicrosecond);

struct ProcessMemory {
    long addressSpace = 0;
    long resident = 0;
};

ProcessMemory processMemory() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) pages = resident = 0;
        std::fclose(statm);
    }
    const long page = sysconf(_SC_PAGESIZE);
    return {pages * page, resident * page};
}

void BM_InstanceResidentMemory(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const ProcessMemory before = processMemory();
        BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
        effect.fillNoise(0.3f);
        for (int block = 0; block < 60 * kBlocksPerSecond; ++block) effect.process();
        const ProcessMemory after = processMemory();
        constexpr double kMiB = 1024.0 * 1024.0;
        state.counters["resident_MiB"] = static_cast<double>(after.resident - before.resident) / kMiB;
        state.counters["address_space_MiB"] = static_cast<double>(after.addressSpace - before.addressSpace) / kMiB;
    }
}
BENCHMARK(BM_InstanceResidentMemory)
    ->Args({3, 2})
    ->Args({5, 6})
    ->ArgNames({"oversample", "channels"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_Resume(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(1));
    BenchEffect effect(Parameters::kFactorValues[state.range(0)], static_cast<float>(channels));
    effect.fillNoise(0.3f);
    effect.process();
    float bias = 0.25f;
    for (auto _ : state) {
        effect.setRunning(false);
        bias = bias == 0.25f ? 0.75f : 0.25f;
        effect.setParameter(4, bias);
        effect.setRunning(true);
    }
}
BENCHMARK(BM_Resume)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1, 2, 6}})
    ->ArgNames({"oversample", "channels"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
