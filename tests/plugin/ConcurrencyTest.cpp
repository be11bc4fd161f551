#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <utility>
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

    // At least 3000 blocks, and on until the other thread has made its calls: on a loaded machine it
    // may start only after the first thousands of blocks are through.
    SixChannelBlock block(kFrames);
    int firstNonFiniteBlock = -1;
    for (int k = 0; k < 3000 || calls.load(std::memory_order_relaxed) < 200; ++k) {
        fillBlock(block, k);
        block.process(host);
        for (int channel = 0; channel < 6; ++channel)
            for (float sample : block.output(channel))
                if (!std::isfinite(sample) && firstNonFiniteBlock < 0) firstNonFiniteBlock = k;
    }
    done.store(true, std::memory_order_release);
    userInterface.join();
    EXPECT_EQ(firstNonFiniteBlock, -1);
}

// An effect on which automation of all eight parameters arrives at the midpoint of its next program change.
class AutomatedMidChange : public Korvel {
public:
    using Korvel::Korvel;
    static constexpr float kAutomated[8] = {0.05f, 0.06f, 0.07f, 0.08f, 0.09f, 0.1f, 0.11f, 4.0f};  // no program holds these
    bool armed = false;

protected:
    void whileProgramChangeHeld() override {
        if (std::exchange(armed, false))
            for (int index = 0; index < 8; ++index) setParameter(index, kAutomated[index]);
    }
};

// Automation arriving during a program change belongs to the program left: the program switched to
// plays as stored and its record stays as stored (re-selecting the same program drops the value), while
// Oversample and channel mode, which a program change leaves alone, take the value at once.
TEST(Concurrency, AutomationDuringAProgramChangeStaysWithTheProgramLeft) {
    for (auto [from, to] : {std::pair{4, 9}, {9, 9}}) {
        SCOPED_TRACE(testing::Message() << from << " to " << to);
        AutomatedMidChange effect(RecordingHost::callback);
        AEffect* record = effect.getAeffect();
        record->dispatcher(record, effSetProgram, 0, from, nullptr, 0.0f);
        const ProgramContents left = effect.programBank()[from].contents();
        const ProgramContents stored = effect.programBank()[to].contents();
        effect.armed = true;
        record->dispatcher(record, effSetProgram, 0, to, nullptr, 0.0f);
        for (int index = 0; index < 8; ++index) {
            SCOPED_TRACE(index);
            const bool withProgram = index < 6;
            const float automated = AutomatedMidChange::kAutomated[index];
            EXPECT_EQ(effect.getParameter(index), withProgram ? stored.value(index) : automated);
            EXPECT_EQ(effect.programBank()[from].value(index), withProgram && from == to ? left.value(index) : automated);
        }
        EXPECT_TRUE(from == to || effect.programBank()[to].contents() == stored);
    }
}

// Waits until the value is no longer the given one. A plain yielding loop: with the standard library's
// atomic wait, the Windows build under Wine once left both threads asleep for good.
template <typename T>
void awaitChange(const std::atomic<T>& value, T old) {
    while (value.load(std::memory_order_acquire) == old) std::this_thread::yield();
}

// A host playing automation of every parameter on its audio thread, with a block now and then, while
// the user picks, renames and copies programs on the user-interface thread. After each program change
// the user-interface thread parks the audio thread and checks that the values in force are those of
// the current program's record; now and then it changes the program once more with nothing automated
// and checks that the new program's values are in force exactly as stored.
TEST(Concurrency, AutomationRacingProgramChangesNeverLandsInTheProgramSwitchedTo) {
    enum Phase { kRun, kPark, kStop };
    HostedEffect host;
    Korvel& effect = host.effect();
    std::atomic<int> phase{kRun};
    std::atomic<bool> parked{false};
    std::atomic<long> automated{0};

    std::thread audio([&] {
        SixChannelBlock block(32);
        for (long k = 0;; ++k) {
            const int request = phase.load(std::memory_order_acquire);
            if (request == kStop) break;
            if (request == kPark) {
                parked.store(true, std::memory_order_release);
                awaitChange(phase, static_cast<int>(kPark));
                parked.store(false, std::memory_order_release);
                continue;
            }
            const int index = static_cast<int>(k % 8);
            float value = 0.05f + 0.001f * static_cast<float>(k % 9);  // no program holds these
            if (index == 6) value = 0.2f * static_cast<float>(k / 8 % 4);
            if (index == 7) value = static_cast<float>(1 + k / 8 % 2);
            host.setParameter(index, value);
            if (k % 256 == 255) {
                fillBlock(block, static_cast<int>(k / 256));
                block.process(host);
            }
            automated.fetch_add(1, std::memory_order_release);
        }
    });

    std::mt19937 random(7u);
    char text[256];
    for (int round = 0; round < 500; ++round) {
        const long before = automated.load(std::memory_order_acquire);
        phase.store(kRun, std::memory_order_release);
        while (automated.load(std::memory_order_acquire) < before + 8) std::this_thread::yield();

        const int program = static_cast<int>(random() % 20);
        host.dispatch(effSetProgram, 0, program);
        if (round % 3 == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "Take %d", round);
            host.dispatch(effSetProgramName, 0, 0, name);
            host.dispatch(effGetProgramName, 0, 0, text);
        }
        if (round % 5 == 0) {  // what the editor does for its program menu and A/B comparison
            effect.editSlot() = effect.programBank()[program];
            effect.compareSlotA = effect.editSlot();
            effect.setProgram(20);
        }

        phase.store(kPark, std::memory_order_release);
        awaitChange(parked, false);
        const int current = static_cast<int>(host.dispatch(effGetProgram));
        bool consistent = true;
        for (int index = 0; index < 6; ++index) {
            EXPECT_EQ(host.getParameter(index), effect.programBank()[current].value(index))
                << "parameter " << index << ", round " << round;
            consistent = consistent && host.getParameter(index) == effect.programBank()[current].value(index);
        }
        if (!consistent) break;
        if (round % 10 == 0) {
            const int next = (current + 1 + round) % 20;
            const ProgramContents stored = effect.programBank()[next].contents();
            host.dispatch(effSetProgram, 0, next);
            for (int index = 0; index < 6; ++index) EXPECT_EQ(host.getParameter(index), stored.value(index));
            EXPECT_TRUE(effect.programBank()[next].contents() == stored);
        }
    }
    phase.store(kStop, std::memory_order_release);
    audio.join();
}

// Automation aimed at one program, then a change to another with nothing automated after it: the new
// program plays exactly as stored, and the automated values stay with the program they were made in.
TEST(Concurrency, ProgramChangeAfterAutomationPlaysTheNewProgramAsStored) {
    HostedEffect automatedHost;
    HostedEffect plainHost;
    Korvel& effect = automatedHost.effect();
    const ProgramContents stored = effect.programBank()[5].contents();
    automatedHost.dispatch(effSetProgram, 0, 4);
    std::thread audio([&] {
        for (int k = 0; k < 2000; ++k)
            for (int index = 0; index < 6; ++index) automatedHost.setParameter(index, 0.001f * static_cast<float>(k % 997));
    });
    audio.join();
    automatedHost.dispatch(effSetProgram, 0, 5);
    plainHost.dispatch(effSetProgram, 0, 5);
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(automatedHost.getParameter(index), stored.value(index));
        EXPECT_EQ(effect.programBank()[4].value(index), 0.001f * static_cast<float>(1999 % 997));
    }
    EXPECT_TRUE(effect.programBank()[5].contents() == stored);

    SixChannelBlock automatedBlock(512);
    SixChannelBlock plainBlock(512);
    fillBlock(automatedBlock, 3);
    fillBlock(plainBlock, 3);
    automatedBlock.process(automatedHost);
    plainBlock.process(plainHost);
    EXPECT_EQ(automatedBlock.output(0), plainBlock.output(0));
    EXPECT_EQ(automatedBlock.output(1), plainBlock.output(1));
}

}  // namespace
