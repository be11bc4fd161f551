#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "TestHost.h"

namespace {

// One block's worth of parameter and program changes, made from a deterministic random stream.
struct ChangeSet {
    std::vector<std::pair<int, float>> parameters;
    int program = -1;
};

std::vector<ChangeSet> makeChanges(int blocks, unsigned streamStart) {
    std::mt19937 random(streamStart);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<ChangeSet> changes(blocks);
    for (ChangeSet& set : changes) {
        const int count = static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            const int index = static_cast<int>(random() % 8);
            const float value = index == 7 ? static_cast<float>(1 + random() % 6) : unit(random);
            set.parameters.emplace_back(index, value);
        }
        if (random() % 16 == 0) set.program = static_cast<int>(random() % 20);
    }
    return changes;
}

void apply(const HostedEffect& host, const ChangeSet& set) {
    if (set.program >= 0) host.dispatch(effSetProgram, 0, set.program);
    for (auto [index, value] : set.parameters) host.setParameter(index, value);
}

void fillBlock(SixChannelBlock& block, int blockIndex) {
    for (int channel = 0; channel < 6; ++channel)
        for (int i = 0; i < block.frames(); ++i)
            block.input(channel)[i] =
                0.4f * static_cast<float>(std::sin(0.01 * (channel + 1) * (blockIndex * block.frames() + i)));
}

constexpr int kBlocks = 400;
constexpr int kFrames = 64;

std::vector<float> runSingleThreaded(const std::vector<ChangeSet>& changes) {
    HostedEffect host;
    SixChannelBlock block(kFrames);
    std::vector<float> output;
    for (int k = 0; k < kBlocks; ++k) {
        apply(host, changes[k]);
        fillBlock(block, k);
        block.process(host);
        for (int channel = 0; channel < 6; ++channel)
            output.insert(output.end(), block.output(channel).begin(), block.output(channel).end());
    }
    return output;
}

// The same changes published by another thread between the audio thread's blocks.
std::vector<float> runWithChangesFromAnotherThread(const std::vector<ChangeSet>& changes) {
    HostedEffect host;
    std::atomic<int> published{-1};
    std::atomic<int> processed{-1};
    std::thread userInterface([&] {
        for (int k = 0; k < kBlocks; ++k) {
            while (processed.load(std::memory_order_acquire) != k - 1) std::this_thread::yield();
            apply(host, changes[k]);
            published.store(k, std::memory_order_release);
        }
    });
    SixChannelBlock block(kFrames);
    std::vector<float> output;
    for (int k = 0; k < kBlocks; ++k) {
        while (published.load(std::memory_order_acquire) != k) std::this_thread::yield();
        fillBlock(block, k);
        block.process(host);
        for (int channel = 0; channel < 6; ++channel)
            output.insert(output.end(), block.output(channel).begin(), block.output(channel).end());
        processed.store(k, std::memory_order_release);
    }
    userInterface.join();
    return output;
}

TEST(Concurrency, ChangesPublishedBetweenBlocksGiveTheSameOutputAsMadeBeforeEachBlock) {
    const std::vector<ChangeSet> changes = makeChanges(kBlocks, 1234u);
    const std::vector<float> reference = runSingleThreaded(changes);
    EXPECT_EQ(runWithChangesFromAnotherThread(changes), reference);
}

TEST(Concurrency, HostCallsDuringProcessingNeitherCrashNorPoisonTheOutput) {
    HostedEffect host;
    std::atomic<bool> done{false};
    std::atomic<long> calls{0};
    std::thread userInterface([&] {
        std::mt19937 random(99u);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        char text[256];
        while (!done.load(std::memory_order_acquire)) {
            const int index = static_cast<int>(random() % 9);
            host.setParameter(index, index == 7 ? static_cast<float>(random() % 7) : unit(random));
            host.getParameter(index);
            host.dispatch(effGetParamDisplay, index, 0, text);
            switch (random() % 8) {
            case 0:
                host.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(random() % 20));
                break;
            case 1: {
                char name[] = "Stress";
                host.dispatch(effSetProgramName, 0, 0, name);
                break;
            }
            case 2:
                host.dispatch(effGetProgramName, 0, 0, text);
                host.dispatch(effGetProgramNameIndexed, static_cast<VstInt32>(random() % 20), 0, text);
                break;
            default:
                break;
            }
            calls.fetch_add(1, std::memory_order_relaxed);
        }
    });

    SixChannelBlock block(kFrames);
    bool finite = true;
    for (int k = 0; k < 3000; ++k) {
        fillBlock(block, k);
        block.process(host);
        for (int channel = 0; channel < 6; ++channel)
            for (float sample : block.output(channel)) finite = finite && std::isfinite(sample);
    }
    done.store(true, std::memory_order_release);
    userInterface.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(calls.load(), 0);
}

}  // namespace
