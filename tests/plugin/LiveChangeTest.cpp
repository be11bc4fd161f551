#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "TestHost.h"

// Changes made while the host plays, as a user makes them on the panel or automation makes them:
// none may leave a burst. Stereo at 44.1 kHz in blocks of 256 frames; the change starts half a second
// in, and the 500 ms from its start are compared with the steady level before and after it.
namespace {

constexpr int kBlock = 256;
constexpr double kRate = 44100.0;
constexpr int kLeadBlocks = 86;    // 0.5 s
constexpr int kWindowBlocks = 87;  // 0.5 s
constexpr int kSteadyBlocks = 44;  // 0.25 s

int programNamed(const HostedEffect& host, const char* name) {
    for (int program = 0; program < 20; ++program)
        if (host.text(effGetProgramNameIndexed, program) == name) return program;
    ADD_FAILURE() << "no program " << name;
    return 0;
}

struct LiveChange {
    std::string name;
    std::function<void(const HostedEffect&)> setUp;
    // Called before each block of the change with the share of it done by the end of that block.
    std::function<void(const HostedEffect&, double share)> step;
    int blocks = 1;
};

LiveChange biasMove(float from, float to, int blocks) {
    return {"Bias " + std::to_string(from).substr(0, 3) + " -> " + std::to_string(to).substr(0, 3) + " over " +
                std::to_string(blocks) + " blocks",
            [from](const HostedEffect& host) { host.setParameter(4, from); },
            [from, to](const HostedEffect& host, double share) {
                host.setParameter(4, static_cast<float>(from + (to - from) * share));
            },
            blocks};
}

LiveChange driveMove(float bias, float from, float to, int blocks) {
    return {"Drive " + std::to_string(from).substr(0, 3) + " -> " + std::to_string(to).substr(0, 3) + " bias " +
                std::to_string(bias).substr(0, 3) + " over " + std::to_string(blocks),
            [bias, from](const HostedEffect& host) { host.setParameter(4, bias); host.setParameter(3, from); },
            [from, to](const HostedEffect& host, double share) {
                host.setParameter(3, static_cast<float>(from + (to - from) * share));
            },
            blocks};
}

LiveChange oversampleChange(float from, float to) {
    return {"Oversample " + std::to_string(from).substr(0, 3) + " -> " + std::to_string(to).substr(0, 3),
            [from](const HostedEffect& host) { host.setParameter(6, from); },
            [to](const HostedEffect& host, double) { host.setParameter(6, to); }};
}

LiveChange programChange(const char* from, const char* to) {
    return {std::string("program ") + from + " -> " + to,
            [from](const HostedEffect& host) { host.dispatch(effSetProgram, 0, programNamed(host, from)); },
            [to](const HostedEffect& host, double) { host.dispatch(effSetProgram, 0, programNamed(host, to)); }};
}

LiveChange channelChange(float from, float to) {
    return {"channel mode " + std::to_string(from).substr(0, 3) + " -> " + std::to_string(to).substr(0, 3),
            [from](const HostedEffect& host) { host.setParameter(7, from); },
            [to](const HostedEffect& host, double) { host.setParameter(7, to); }};
}

struct Levels {
    double before = 0.0;  // peak of the last 250 ms before the change
    double during = 0.0;  // peak of the 500 ms from the change's start
    double after = 0.0;   // peak of the 250 ms after those
};

double decibels(double peak) { return 20.0 * std::log10(std::max(peak, 1e-12)); }

// Plays the first two channels through the change and measures their peaks.
Levels play(const LiveChange& change, double amplitude) {
    HostedEffect host;
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    host.dispatch(effSetBlockSize, 0, kBlock);
    change.setUp(host);
    host.dispatch(effMainsChanged, 0, 1);

    SixChannelBlock block(kBlock);
    Levels levels;
    long frame = 0;
    for (int index = 0; index < kLeadBlocks + kWindowBlocks + kSteadyBlocks; ++index) {
        const int intoChange = index - kLeadBlocks;
        if (intoChange >= 0 && intoChange < change.blocks)
            change.step(host, static_cast<double>(intoChange + 1) / change.blocks);
        for (int i = 0; i < kBlock; ++i) {
            const auto sample =
                static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * 220.0 * (frame + i) / kRate));
            block.input(0)[i] = block.input(1)[i] = sample;
        }
        frame += kBlock;
        block.process(host);
        double peak = 0.0;
        for (int channel = 0; channel < 2; ++channel)
            for (float sample : block.output(channel)) peak = std::max(peak, std::abs(static_cast<double>(sample)));
        double& measured = intoChange < 0 ? levels.before : intoChange < kWindowBlocks ? levels.during : levels.after;
        if (intoChange >= -kSteadyBlocks) measured = std::max(measured, peak);
    }
    return levels;
}

TEST(LiveChange, NoChangeWhilePlayingBursts) {
    const std::vector<LiveChange> changes{
        biasMove(0.0f, 1.0f, 1),
        biasMove(1.0f, 0.0f, 1),
        biasMove(0.0f, 1.0f, 50),
        biasMove(0.7f, 0.2f, 50),
        oversampleChange(1.0f, 0.0f),  // 16x -> 1x
        oversampleChange(0.0f, 0.6f),  // 1x -> 8x
        oversampleChange(0.6f, 0.2f),  // 8x -> 2x
        oversampleChange(0.2f, 0.8f),  // 2x -> 12x
        programChange("Med. Drive 1", "Warm Start"),
        programChange("Med. Drive 3", "Low Warmed"),
        programChange("Warm bass", "Warm hiss"),
        channelChange(2.0f, 1.0f),
        channelChange(1.0f, 2.0f),
        driveMove(1.0f, 1.0f, 0.0f, 50),
        driveMove(1.0f, 1.0f, 0.0f, 1),  // automation's step, a typed value, UNDO of a drag
        driveMove(1.0f, 0.0f, 1.0f, 1),
    };
    const double sine = std::pow(10.0, -12.0 / 20.0);
    for (const LiveChange& change : changes) {
        const Levels silent = play(change, 0.0);
        const Levels tone = play(change, sine);
        std::printf("%-40s silence %7.1f dBFS   sine %6.1f dBFS (steady %6.1f, %6.1f)\n", change.name.c_str(),
                    decibels(silent.during), decibels(tone.during), decibels(tone.before), decibels(tone.after));
        EXPECT_LT(decibels(silent.during), -60.0) << change.name << ", silent input";
        EXPECT_LE(decibels(tone.during), decibels(std::max(tone.before, tone.after)) + 1.0)
            << change.name << ", -12 dBFS sine";
    }
}

}  // namespace
