#pragma once

// How a render's output is stored. The container follows the output name's extension (none, or the
// input's own, keeps the input's container); the sample format is the one asked for, or else the
// input's where the container holds it and otherwise the nearest one it holds. Linux chooses among
// everything libsndfile writes (SndfileOutputFormat.cpp), Windows writes WAV alone (WavOutputFormat.cpp).

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "AudioFile.h"
#include "Outcome.h"

// The sample formats a user can ask for.
enum class SampleFormat { Pcm16, Pcm24, Pcm32, Float, Double };

// Their names as typed: "pcm16", "pcm24", "pcm32", "float", "double".
const std::map<std::string, SampleFormat>& sampleFormatsByName();
std::string sampleFormatName(SampleFormat format);

struct OutputFormatRequest {
    std::filesystem::path output;
    std::filesystem::path input;
    AudioFileInfo inputInfo;
    std::optional<SampleFormat> sampleFormat;
};

struct OutputFormat {
    int encoding = 0;  // for AudioFileInfo::encoding
    // Integer sample formats cut samples beyond full scale off; float formats and float codecs keep them.
    bool clipsBeyondFullScale = true;
    // Whether float samples in the same container would have been accepted.
    bool containerHoldsFloat = false;
};

// Fails, saying why and what would do, when the extension names no format this build writes or the
// container cannot hold the sample format or the input's channels and rate.
Expected<OutputFormat> chooseOutputFormat(const OutputFormatRequest& request);

// The extension of `path` in lower case with its dot (".wav"), or empty.
std::string lowerCaseExtension(const std::filesystem::path& path);
