#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TestHost.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::vector<float> sine(int frames, double amplitude = 0.5) {
    std::vector<float> signal(frames);
    for (int i = 0; i < frames; ++i) signal[i] = static_cast<float>(amplitude * std::sin(0.05 * i));
    return signal;
}

bool allFinite(const std::vector<float>& samples) {
    for (float sample : samples)
        if (!std::isfinite(sample)) return false;
    return true;
}

TEST(HostileHost, EveryOpcodeWithNullPointersAndOddArguments) {
    HostedEffect host;
    for (VstInt32 opcode = 0; opcode < 90; ++opcode) {
        if (opcode == effClose) continue;
        // The speaker-arrangement query takes a pointer in value: only a null one can be recognised.
        const bool valueIsPointer = opcode == effGetSpeakerArrangement;
        for (VstIntPtr value : {VstIntPtr(0), VstIntPtr(-1), VstIntPtr(1) << 40}) {
            if (valueIsPointer && value != 0) continue;
            for (VstInt32 index : {0, -1, 1 << 30}) host.dispatch(opcode, index, value, nullptr, kNaN);
        }
    }
    // The effect still works afterwards.
    SixChannelBlock block(256);
    block.input(0) = sine(256);
    block.process(host);
    EXPECT_TRUE(allFinite(block.output(0)));
}

TEST(HostileHost, ImpossibleSampleRatesAreIgnored) {
    HostedEffect host;
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    for (float rate : {0.0f, -44100.0f, kNaN, kInfinity, -kInfinity, 1e-30f, 1e30f}) {
        host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(host.effect().getSampleRate(), 48000.0f) << rate;
    }
    EXPECT_EQ(host.effect().processor().equaliser(0).sampleRate(), 48000.0);
}

TEST(HostileHost, OddBlockSizesKeepProcessingWorking) {
    HostedEffect host;
    host.dispatch(effSetBlockSize, 0, 512);
    for (VstIntPtr size : {VstIntPtr(0), VstIntPtr(-5), VstIntPtr(1) << 40}) {
        host.dispatch(effSetBlockSize, 0, size);
        EXPECT_GT(host.effect().getBlockSize(), 0);
    }
    host.dispatch(effSetBlockSize, 0, 1 << 30);  // far beyond any capacity: longer blocks go in pieces
    EXPECT_LE(host.effect().processor().capacity(), BlockProcessor::kMaxCapacity);
    SixChannelBlock block(BlockProcessor::kMaxCapacity + 300);
    block.input(0) = sine(block.frames());
    block.input(1) = sine(block.frames());
    block.process(host);
    EXPECT_TRUE(allFinite(block.output(0)));
}

TEST(HostileHost, ProcessingWithoutFramesOrBuffers) {
    HostedEffect host;
    AEffect* record = host.record();
    std::vector<float> output(64, 7.0f);
    std::vector<float> input = sine(64);
    float* inputs[6] = {input.data(), input.data(), nullptr, nullptr, nullptr, nullptr};
    float* outputs[6] = {output.data(), nullptr, nullptr, nullptr, nullptr, nullptr};
    record->processReplacing(record, inputs, outputs, -10);
    record->processReplacing(record, nullptr, nullptr, 64);
    record->processReplacing(record, inputs, outputs, 64);  // an active output is missing
    EXPECT_EQ(output, std::vector<float>(64, 7.0f));
    float* silentInputs[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    outputs[1] = output.data();
    record->processReplacing(record, silentInputs, outputs, 64);  // missing inputs play as silence
    EXPECT_TRUE(allFinite(output));
}

TEST(HostileHost, NonFiniteParameterValuesAreIgnored) {
    HostedEffect host;
    for (int index = 0; index < 8; ++index) {
        const float before = host.getParameter(index);
        for (float value : {kNaN, kInfinity, -kInfinity}) {
            host.setParameter(index, value);
            EXPECT_EQ(host.getParameter(index), before) << index;
        }
    }
    EXPECT_TRUE(std::isfinite(host.effect().outputGain()));
}

TEST(HostileHost, ProgramIndicesOutOfRangeThroughEveryPath) {
    HostedEffect host;
    for (VstInt32 program : {-1, 21, 1000, -1000000}) {
        host.effect().setProgram(program);
        host.dispatch(effSetProgram, 0, program);
        EXPECT_EQ(host.dispatch(effGetProgram), 20);
        char text[64] = "kept";
        EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, program, 0, text), 0);
        EXPECT_STREQ(text, "kept");
    }
}

TEST(HostileHost, NonFiniteInputPlaysAsSilence) {
    for (float oversample : {0.0f, 0.6f}) {
        HostedEffect clean;
        HostedEffect dirty;
        clean.setParameter(6, oversample);
        dirty.setParameter(6, oversample);
        SixChannelBlock silent(512);
        SixChannelBlock poisoned(512);
        poisoned.input(0) = std::vector<float>(512, kNaN);
        poisoned.input(1) = std::vector<float>(512, kInfinity);
        silent.process(clean);
        poisoned.process(dirty);
        EXPECT_EQ(poisoned.output(0), silent.output(0));
        EXPECT_EQ(poisoned.output(1), silent.output(1));
    }
}

TEST(HostileHost, ExtremeInputAtMaximumDriveStaysFiniteAtEveryFactor) {
    for (float oversample : {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}) {
        HostedEffect host;
        host.setParameter(6, oversample);
        host.setParameter(3, 1.0f);
        host.setParameter(4, 1.0f);
        for (float level : {1.0f, 1000.0f}) {
            SixChannelBlock block(1024);
            for (int i = 0; i < 1024; ++i) block.input(0)[i] = block.input(1)[i] = (i / 32) % 2 ? level : -level;
            for (int repeat = 0; repeat < 3; ++repeat) {
                block.process(host);
                EXPECT_TRUE(allFinite(block.output(0))) << oversample << " " << level;
                EXPECT_TRUE(allFinite(block.output(1))) << oversample << " " << level;
            }
        }
    }
}

TEST(HostileHost, ChannelRecoversWithinOneBlockAfterItsStateOverflows) {
    HostedEffect host;
    SixChannelBlock block(512);
    // Finite input near the float limit overflows once multiplied by the oversampling factor.
    block.input(0) = std::vector<float>(512, 3e38f);
    block.process(host);
    EXPECT_TRUE(allFinite(block.output(0)));
    block.input(0) = sine(512);
    block.process(host);
    EXPECT_TRUE(allFinite(block.output(0)));
    double energy = 0.0;
    for (float sample : block.output(0)) energy += sample * sample;
    EXPECT_GT(energy, 0.0);
    EXPECT_TRUE(host.effect().processor().stage(0).stateIsFinite());
}

#if defined(__SSE2__)
TEST(HostileHost, ProcessingRestoresTheHostsFloatingPointControlState) {
    HostedEffect host;
    SixChannelBlock block(256);
    block.input(0) = sine(256);
    const unsigned saved = _mm_getcsr();
    // A host running with round-toward-zero and no flushing gets exactly that state back.
    const unsigned hostState = (saved & ~0xE040u) | 0x6000u;
    _mm_setcsr(hostState);
    block.process(host);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(saved);
    EXPECT_EQ(after & ~0x3Fu, hostState & ~0x3Fu);  // exception flags aside
}
#endif

}  // namespace
