#include "RenderLoop.h"

#include <vector>

namespace {

// Planar buffers and the pointer array that addresses them.
struct PlanarBlock {
    PlanarBlock(int channels, int frames)
        : data(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames))) {
        for (std::vector<float>& channel : data) pointers.push_back(channel.data());
    }
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

}  // namespace

Expected<RenderLevels> RenderLoop::run(AudioFile& source, AudioFile& target, ProgressBar& progress) {
    const int channels = source.info().channels;
    PlanarBlock input(channels, blockSize_);
    PlanarBlock output(channels, blockSize_);
    const std::vector<const float*> inputPointers(input.pointers.begin(), input.pointers.end());
    RenderLevels levels;
    for (;;) {
        Expected<int> read = source.read(input.pointers.data(), blockSize_);
        if (!read) return read.failure();
        const int frames = read.value();
        if (frames == 0) break;
        levels.input.add(inputPointers.data(), channels, frames);
        if (Status processed = instance_.process(inputPointers, output.pointers, frames); !processed)
            return processed.failure();
        levels.output.add(output.pointers.data(), channels, frames);
        levels.beyondFullScale.add(output.pointers.data(), channels, frames);
        if (Status written = target.write(output.pointers.data(), frames); !written) return written.failure();
        levels.frames += frames;
        progress.advanceTo(levels.frames);
    }
    return levels;
}
