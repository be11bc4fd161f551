#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kChordSeconds = 3.5;
constexpr double kSweepSeconds = 3.5;
constexpr double kChordDecaySeconds = 0.8;
constexpr double kChordPeak = 0.7;
// An open A major chord: A2, E3, A3, C#4, E4.
constexpr double kChordNotes[] = {110.0, 164.814, 220.0, 277.183, 329.628};
constexpr int kHarmonics = 6;
constexpr double kSweepFrequency = 220.0;
constexpr double kSweepStartDb = -40.0;
constexpr double kSweepEndDb = 0.0;
// Fades at the ends of the sweep keep it free of clicks.
constexpr double kFadeSeconds = 0.01;

double phaseAt(double frequency, int frame) {
    return 2.0 * std::numbers::pi * frequency * frame / DemoSignal::kSampleRate;
}

}  // namespace

DemoSignal::DemoSignal() {
    const int chordFrames = static_cast<int>(kChordSeconds * kSampleRate);
    const int sweepFrames = static_cast<int>(kSweepSeconds * kSampleRate);
    channels_.assign(kChannels, std::vector<float>(static_cast<std::size_t>(chordFrames + sweepFrames), 0.0f));
    addChord(0, chordFrames);
    addLevelSweep(chordFrames, sweepFrames);
}

void DemoSignal::addChord(int startFrame, int frames) {
    // Harmonic k has amplitude 1/k; the notes alternate between a left-leaning and a right-leaning pan.
    double harmonicSum = 0.0;
    for (int k = 1; k <= kHarmonics; ++k) harmonicSum += 1.0 / k;
    const double noteCount = static_cast<double>(std::size(kChordNotes));
    const double scale = kChordPeak / (noteCount * harmonicSum);
    for (int frame = 0; frame < frames; ++frame) {
        const double envelope = std::exp(-frame / (kChordDecaySeconds * kSampleRate));
        double left = 0.0, right = 0.0;
        for (std::size_t note = 0; note < std::size(kChordNotes); ++note) {
            double tone = 0.0;
            for (int k = 1; k <= kHarmonics; ++k) tone += std::sin(phaseAt(kChordNotes[note] * k, frame)) / k;
            const double pan = note % 2 == 0 ? 0.7 : 0.3;
            left += tone * (1.0 - pan) * 2.0;
            right += tone * pan * 2.0;
        }
        const auto index = static_cast<std::size_t>(startFrame + frame);
        channels_[0][index] = static_cast<float>(scale * envelope * left);
        channels_[1][index] = static_cast<float>(scale * envelope * right);
    }
}

void DemoSignal::addLevelSweep(int startFrame, int frames) {
    const int fadeFrames = static_cast<int>(kFadeSeconds * kSampleRate);
    for (int frame = 0; frame < frames; ++frame) {
        const double position = static_cast<double>(frame) / (frames - 1);
        const double levelDb = kSweepStartDb + (kSweepEndDb - kSweepStartDb) * position;
        const double fade = std::min(
            {1.0, static_cast<double>(frame) / fadeFrames, static_cast<double>(frames - 1 - frame) / fadeFrames});
        const double sample = fade * std::pow(10.0, levelDb / 20.0) * std::sin(phaseAt(kSweepFrequency, frame));
        for (std::vector<float>& channel : channels_)
            channel[static_cast<std::size_t>(startFrame + frame)] = static_cast<float>(sample);
    }
}
