#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "ProgramRun.h"

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() / ("korvel-tools-test-" + std::to_string(random()));
    std::filesystem::create_directories(work());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

Channels testSignal(int channels, int frames, int sampleRate) {
    std::mt19937 generator(12345);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    Channels result(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames)));
    for (int channel = 0; channel < channels; ++channel)
        for (int frame = 0; frame < frames; ++frame)
            result[channel][frame] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi *
                                                                        (110.0 * (channel + 1)) * frame / sampleRate)) +
                                     noise(generator);
    return result;
}

void writeSound(const std::filesystem::path& path, const Channels& channels, int sampleRate, int encoding,
                SoundFileCreator create) {
    AudioFileInfo info;
    info.sampleRate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.encoding = encoding;
    Expected<std::unique_ptr<AudioFile>> file = create(path, info);
    ASSERT_TRUE(file) << file.message();
    std::vector<const float*> pointers;
    for (const std::vector<float>& channel : channels) pointers.push_back(channel.data());
    ASSERT_TRUE(file.value()->write(pointers.data(), static_cast<int>(channels.front().size())));
    ASSERT_TRUE(file.value()->close());
}

Sound readSound(const std::filesystem::path& path, SoundFileOpener open) {
    Sound sound;
    Expected<std::unique_ptr<AudioFile>> file = open(path);
    EXPECT_TRUE(file) << file.message();
    if (!file) return sound;
    sound.info = file.value()->info();
    sound.channels.assign(static_cast<std::size_t>(sound.info.channels),
                          std::vector<float>(static_cast<std::size_t>(sound.info.frames)));
    std::vector<float*> pointers;
    for (std::vector<float>& channel : sound.channels) pointers.push_back(channel.data());
    Expected<int> read = file.value()->read(pointers.data(), static_cast<int>(sound.info.frames));
    EXPECT_TRUE(read && read.value() == sound.info.frames);
    return sound;
}

std::map<std::filesystem::path, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::filesystem::path, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path()] = contents(entry.path());
    return files;
}

std::filesystem::path builtFile(const char* path) { return std::filesystem::absolute(path); }

RunResult runRenderer(const ScratchFolder& scratch, const std::vector<std::string>& arguments) {
    ProgramRun run;
    run.program = builtFile(KORVEL_RENDER_PATH);
    run.arguments = arguments;
    run.workingFolder = scratch.work();
    run.out = scratch.root() / "stdout.txt";
    run.err = scratch.root() / "stderr.txt";
    RunResult result;
    result.exitCode = runProgram(run);
    result.out = contents(run.out);
    result.err = contents(run.err);
    return result;
}
