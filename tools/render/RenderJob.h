#pragma once

// One render from a sound file into another through the effect, from the checks of the request to the
// finished output file; and the demo, which first synthesises its own input.

#include <filesystem>
#include <string>

#include "AudioFile.h"
#include "EffectSettings.h"
#include "Outcome.h"
#include "RenderLoop.h"

struct RenderRequest {
    std::filesystem::path input;
    std::filesystem::path output;
    std::filesystem::path module;
    EffectSettings effect;
    int blockSize = 512;
};

struct RenderReport {
    std::filesystem::path input;
    std::filesystem::path output;
    AudioFileInfo inputInfo;
    std::string inputEncoding;
    std::string outputEncoding;
    std::string program;
    std::string oversampling;
    std::string channelMode;
    RenderLevels levels;
    double seconds = 0.0;  // wall-clock time of reading, processing and writing
};

// The output file is replaced only when the whole render succeeded.
Expected<RenderReport> renderFile(const RenderRequest& request);

// Writes the demo material to `dry` and renders it to `wet` as renderFile does (request.input is
// ignored, request.output is the wet file); both files appear only if both succeed.
Expected<RenderReport> renderDemo(const std::filesystem::path& dry, const RenderRequest& request);
