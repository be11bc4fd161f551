#pragma once

// Streams a sound file through an effect into another file, block by block, measuring the levels
// of what goes in and what comes out, and what of the output lies beyond full scale.

#include "AudioFile.h"
#include "ClipMeter.h"
#include "LevelMeter.h"
#include "Outcome.h"
#include "PluginInstance.h"
#include "ProgressBar.h"

struct RenderLevels {
    LevelMeter input;
    LevelMeter output;
    ClipMeter beyondFullScale;
    std::int64_t frames = 0;
};

class RenderLoop {
public:
    // `instance` must be started with a block size of at least `blockSize` frames.
    RenderLoop(PluginInstance& instance, int blockSize) : instance_(instance), blockSize_(blockSize) {}

    // Reads `source` to its end; `target` has the source's channel count.
    Expected<RenderLevels> run(AudioFile& source, AudioFile& target, ProgressBar& progress);

private:
    PluginInstance& instance_;
    int blockSize_;
};
