#pragma once

// The built-in demonstration material: a decaying chord of harmonic tones, whose falling level walks
// down the stage's curve, followed by a sine swept in level from -40 dBFS to 0 dBFS, which shows where
// the stage starts to saturate. Stereo at 44100 Hz, about seven seconds.

#include <vector>

class DemoSignal {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    DemoSignal();

    // kChannels planar channels of equal length.
    const std::vector<std::vector<float>>& channels() const { return channels_; }
    int frames() const { return static_cast<int>(channels_.front().size()); }

private:
    void addChord(int startFrame, int frames);
    void addLevelSweep(int startFrame, int frames);

    std::vector<std::vector<float>> channels_;
};
