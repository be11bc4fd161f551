#include "CommandLine.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "ClippingReport.h"
#include "ModuleLocator.h"
#include "RenderJob.h"

namespace {

constexpr const char* kProgramName = "korvel-render";
constexpr const char* kDemoDryName = "korvel-demo-dry.wav";
constexpr const char* kDemoWetName = "korvel-demo-wet.wav";
// The demo shows the effect with a program that drives the stage hard enough to hear.
constexpr const char* kDemoProgram = "Med. Drive 1";
constexpr int kLargestBlockSize = 65536;

struct Options {
    std::string input, output, module, program, oversample, channels;
    std::vector<std::string> settings;
    std::optional<SampleFormat> sampleFormat;
    int blockSize = 512;
};

// "NAME=VALUE" with VALUE a number from 0 to 1.
Expected<ParameterSetting> parseSetting(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return Failure{"--set " + text + ": expected NAME=VALUE, e.g. Drive=0.5"};
    ParameterSetting setting{text.substr(0, equals), 0.0f};
    const std::string value = text.substr(equals + 1);
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, setting.value);
    if (value.empty() || error != std::errc() || stop != end || !std::isfinite(setting.value))
        return Failure{"--set " + text + ": \"" + value + "\" is not a number"};
    if (setting.value < 0.0f || setting.value > 1.0f)
        return Failure{"--set " + text + ": the value must lie between 0 and 1"};
    return setting;
}

Expected<RenderRequest> makeRequest(const Options& options) {
    RenderRequest request;
    request.blockSize = options.blockSize;
    request.sampleFormat = options.sampleFormat;
    if (!options.program.empty()) request.effect.program = options.program;
    if (!options.oversample.empty()) request.effect.oversampling = options.oversample;
    if (!options.channels.empty()) request.effect.channelMode = options.channels;
    for (const std::string& text : options.settings) {
        Expected<ParameterSetting> setting = parseSetting(text);
        if (!setting) return setting.failure();
        request.effect.parameters.push_back(setting.value());
    }
    if (options.module.empty()) {
        Expected<std::filesystem::path> found = defaultModulePath();
        if (!found) return found.failure();
        request.module = found.value();
    } else {
        request.module = options.module;
    }
    return request;
}

// An existing folder given as --output receives the file under its default name.
std::filesystem::path outputPath(const std::string& given, const std::filesystem::path& defaultName) {
    std::error_code error;
    if (given.empty()) return defaultName;
    if (std::filesystem::is_directory(given, error)) return std::filesystem::path(given) / defaultName.filename();
    return given;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string formatted(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string decibels(double value) { return std::isinf(value) ? "-inf" : formatted("%.1f", value); }

void printSummary(std::ostream& out, const RenderReport& report) {
    const AudioFileInfo& info = report.inputInfo;
    const double audioSeconds = static_cast<double>(report.levels.frames) / info.sampleRate;
    out << "program   " << report.program << ", oversampling " << report.oversampling << ", " << report.channelMode
        << "\n"
        << "input     " << report.input.string() << "  (" << report.inputEncoding << ", " << info.channels << " ch, "
        << info.sampleRate << " Hz, " << formatted("%.2f s", audioSeconds) << ")\n"
        << "output    " << report.output.string() << "  (" << report.outputEncoding << ")\n"
        << "levels    peak " << decibels(report.levels.input.peakDbfs()) << " dBFS, RMS "
        << decibels(report.levels.input.rmsDbfs()) << " dBFS in; peak " << decibels(report.levels.output.peakDbfs())
        << " dBFS, RMS " << decibels(report.levels.output.rmsDbfs()) << " dBFS out\n";
    if (const std::string clipping = clippingReport(report.levels.beyondFullScale, report.outputFormat, report.volume);
        !clipping.empty())
        out << "clipping  " << clipping << "\n";
    out << "time      "
        << formatted("%.3f s for %.2f s of audio (%.1fx realtime)", report.seconds, audioSeconds,
                     audioSeconds / std::max(report.seconds, 1e-9))
        << "\n";
}

// Renders the input file, or the demo when there is none.
Expected<RenderReport> render(const Options& options, RenderRequest request) {
    if (options.input.empty()) {
        request.output = outputPath(options.output, kDemoWetName);
        if (!request.effect.program) request.effect.program = kDemoProgram;
        return renderDemo(request.output.parent_path() / kDemoDryName, request);
    }
    request.input = options.input;
    const std::filesystem::path defaultName =
        request.input.parent_path() / (request.input.stem().string() + "-korvel" + request.input.extension().string());
    request.output = outputPath(options.output, defaultName);
    return renderFile(request);
}

}  // namespace

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Renders a sound file through the Korvel valve preamp plug-in. Without an input file it renders "
        "a built-in demo and writes both the dry and the processed file.",
        kProgramName};
    // Arguments read alike everywhere: on Windows too, an argument that starts with a slash is a path.
    app.allow_windows_style_options(false);
    Options options;
    app.add_option("input", options.input, "Sound file to process (" + readableAudioFormats() + ")");
    app.add_option("-o,--output", options.output,
                   "Output file or existing folder; its extension chooses the format (none keeps the input's); "
                   "default: INPUT-korvel beside the input, or " +
                       std::string(kDemoWetName) + " for the demo (the dry file goes to the same folder)");
    app.add_option("--module", options.module, "Plug-in module to load; default: the one built beside this program");
    app.add_option("--program", options.program, "Program number 0..19 or name, e.g. \"Med. Drive 1\"");
    app.add_option("--set", options.settings, "NAME=VALUE: set a parameter by name, value 0..1 (repeatable)")
        ->allow_extra_args(false);
    app.add_option("--oversample", options.oversample, "Oversampling: 1x, 2x, 4x, 8x, 12x or 16x");
    app.add_option("--channels", options.channels,
                   "Channel mode: mono, stereo, quadro or 5.1; default: from the file's channel count");
    app.add_option("--block-size", options.blockSize, "Frames per processing block")
        ->check(CLI::Range(1, kLargestBlockSize));
    std::string sampleFormat;
    std::vector<std::string> sampleFormatNames;
    for (const auto& [name, format] : sampleFormatsByName()) sampleFormatNames.push_back(name);
    app.add_option("--sample-format", sampleFormat,
                   "Output samples: pcm16, pcm24, pcm32, float or double, as the output's container allows; "
                   "default: the input's, or the nearest the container holds")
        ->check(CLI::IsMember(sampleFormatNames, CLI::ignore_case));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err);
    }
    if (!sampleFormat.empty()) options.sampleFormat = sampleFormatsByName().at(lowerCase(sampleFormat));

    Expected<RenderRequest> request = makeRequest(options);
    if (!request) {
        err << kProgramName << ": " << request.message() << "\n";
        return 1;
    }
    Expected<RenderReport> report = render(options, std::move(request.value()));
    if (!report) {
        err << kProgramName << ": " << report.message() << "\n";
        return 1;
    }
    printSummary(out, report.value());
    return 0;
}
