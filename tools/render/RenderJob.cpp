#include "RenderJob.h"

#include <chrono>

#include "DemoSignal.h"
#include "PendingOutput.h"
#include "PluginInstance.h"
#include "PluginModule.h"
#include "ProgressBar.h"

namespace {

// Files shorter than this render too quickly for a progress bar to help.
constexpr double kProgressWorthyInputSeconds = 10.0;
// The parameter that lowers the output level, which the summary suggests when the output clipped.
constexpr const char* kVolumeParameter = "Volume";

// The path with links and dot segments resolved as far as the file system allows.
std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path result = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::absolute(path, error).lexically_normal() : result;
}

// The output's folder exists and the output itself is no folder.
Status checkOutputPlace(const std::filesystem::path& output) {
    std::error_code error;
    const std::filesystem::path folder = output.parent_path().empty() ? "." : output.parent_path();
    if (!std::filesystem::is_directory(folder, error))
        return Failure{"the output folder " + folder.string() + " does not exist"};
    if (std::filesystem::is_directory(output, error)) return Failure{"the output " + output.string() + " is a folder"};
    return {};
}

Status checkOutputPath(const std::filesystem::path& input, const std::filesystem::path& output) {
    if (Status place = checkOutputPlace(output); !place) return place;
    std::error_code error;
    if (std::filesystem::exists(output, error) && std::filesystem::equivalent(input, output, error))
        return Failure{"the output " + output.string() + " is the input file itself; choose another output"};
    return {};
}

Status checkInput(const AudioFileInfo& info, const std::filesystem::path& input) {
    if (info.channels < 1 || info.channels > PluginInstance::kChannelSlots)
        return Failure{input.string() + " has " + std::to_string(info.channels) + " channels; the effect takes 1 to " +
                       std::to_string(PluginInstance::kChannelSlots)};
    if (info.sampleRate <= 0) return Failure{input.string() + " has no valid sample rate"};
    return {};
}

Status writeDemo(const std::filesystem::path& path) {
    const DemoSignal demo;
    AudioFileInfo info;
    info.sampleRate = DemoSignal::kSampleRate;
    info.channels = DemoSignal::kChannels;
    Expected<std::unique_ptr<AudioFile>> file = AudioFile::create(path, info);
    if (!file) return file.failure();
    std::vector<const float*> channels;
    for (const std::vector<float>& channel : demo.channels()) channels.push_back(channel.data());
    if (Status written = file.value()->write(channels.data(), demo.frames()); !written) return written;
    return file.value()->close();
}

}  // namespace

Expected<RenderReport> renderFile(const RenderRequest& request) {
    Expected<std::unique_ptr<AudioFile>> source = AudioFile::openForReading(request.input);
    if (!source) return source.failure();
    const AudioFileInfo inputInfo = source.value()->info();
    if (Status valid = checkInput(inputInfo, request.input); !valid) return valid.failure();
    if (Status valid = checkOutputPath(request.input, request.output); !valid) return valid.failure();
    Expected<OutputFormat> outputFormat =
        chooseOutputFormat({request.output, request.input, inputInfo, request.sampleFormat});
    if (!outputFormat) return Failure{"cannot write " + request.output.string() + ": " + outputFormat.message()};

    Expected<PluginModule> module = PluginModule::load(request.module);
    if (!module) return module.failure();
    Expected<std::unique_ptr<PluginInstance>> created = PluginInstance::create(module.value());
    if (!created) return created.failure();
    PluginInstance& instance = *created.value();
    // Settings first, so that the effect starts processing from its resting point for them.
    if (Status applied = request.effect.applyTo(instance, inputInfo.channels); !applied) return applied.failure();
    if (Status started = instance.start(static_cast<float>(inputInfo.sampleRate), request.blockSize); !started)
        return started.failure();

    PendingOutput pending(request.output);
    AudioFileInfo outputInfo = inputInfo;
    outputInfo.encoding = outputFormat.value().encoding;
    Expected<std::unique_ptr<AudioFile>> target = AudioFile::create(pending.temporary(), outputInfo);
    if (!target) return target.failure();

    const double inputSeconds = static_cast<double>(inputInfo.frames) / inputInfo.sampleRate;
    ProgressBar progress(inputInfo.frames, inputSeconds > kProgressWorthyInputSeconds);
    const auto begin = std::chrono::steady_clock::now();
    Expected<RenderLevels> levels =
        RenderLoop(instance, request.blockSize).run(*source.value(), *target.value(), progress);
    if (!levels) return levels.failure();
    const std::string outputEncoding = target.value()->encodingName();
    if (Status closed = target.value()->close(); !closed) return closed.failure();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    if (Status committed = pending.commit(); !committed) return committed.failure();

    RenderReport report;
    report.input = request.input;
    report.output = request.output;
    report.inputInfo = inputInfo;
    report.inputEncoding = source.value()->encodingName();
    report.outputEncoding = outputEncoding;
    report.outputFormat = outputFormat.value();
    if (Expected<int> volume = instance.findParameter(kVolumeParameter))
        report.volume = instance.getParameter(volume.value());
    report.program = instance.currentProgramName();
    report.oversampling = instance.parameterDisplay(PluginInstance::kOversampleParameter);
    report.channelMode = instance.parameterDisplay(PluginInstance::kChannelModeParameter);
    report.levels = levels.value();
    report.seconds = elapsed.count();
    return report;
}

Expected<RenderReport> renderDemo(const std::filesystem::path& dry, const RenderRequest& request) {
    if (resolved(dry) == resolved(request.output))
        return Failure{"the processed demo file " + request.output.string() + " cannot also be the dry file"};
    if (Status valid = checkOutputPlace(dry); !valid) return valid.failure();

    PendingOutput pendingDry(dry);
    if (Status written = writeDemo(pendingDry.temporary()); !written) return written.failure();
    RenderRequest wet = request;
    wet.input = pendingDry.temporary();
    Expected<RenderReport> report = renderFile(wet);
    if (!report) return report;
    if (Status committed = pendingDry.commit(); !committed) return committed.failure();
    report.value().input = dry;
    return report;
}
