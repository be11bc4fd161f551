#pragma once

// One render from a sound file into another through the effect, from the checks of the request to the
// finished output file; and the demo, which first synthesises its own input.

#include <filesystem>
#include <string>

#include "AudioFile.h"
#include "EffectSettings.h"
#include "Outcome.h"
#include "OutputFormat.h"
#include "RenderLoop.h"

struct RenderRequest {
    std::filesystem::path input;
    std::filesystem::path output;
    std::filesystem::path module;
    EffectSettings effect;
    std::optional<SampleFormat> sampleFormat;  // by default the input's, or the nearest the output holds
    int blockSize = 512;
};

struct RenderReport {
    std::filesystem::path input;
    std::filesystem::path output;
    AudioFileInfo inputInfo;
    std::string inputEncoding;
    std::string outputEncoding;
    OutputFormat outputFormat;
    std::string program;
    std::string oversampling;
    std::string channelMode;
    std::optional<float> volume;  // the Volume value the render ran with
    RenderLevels levels;
    double seconds = 0.0;  // wall-clock time of reading, processing and writing
};

// The output file is replaced only when the whole render succeeded. A request for an output format
// that cannot be written fails before the module is loaded.
Expected<RenderReport> renderFile(const RenderRequest& request);

// Writes the demo material to `dry` and renders it to `wet` as renderFile does (request.input is
// ignored, request.output is the wet file); both files appear only if both succeed.
Expected<RenderReport> renderDemo(const std::filesystem::path& dry, const RenderRequest& request);
