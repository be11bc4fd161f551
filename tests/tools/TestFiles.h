#pragma once

// Helpers for the renderer's tests: a scratch folder, sound files written and read back, and a run of
// the korvel-render executable with its output captured.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "AudioFile.h"

using Channels = std::vector<std::vector<float>>;

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
// work() is where the files under test go; run captures are kept outside it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path work() const { return root_ / "work"; }

private:
    std::filesystem::path root_;
};

struct Sound {
    AudioFileInfo info;
    Channels channels;
};

// Sines of a different frequency on every channel with a little deterministic noise, below full scale.
Channels testSignal(int channels, int frames, int sampleRate);
void writeSound(const std::filesystem::path& path, const Channels& channels, int sampleRate, int encoding = 0);
Sound readSound(const std::filesystem::path& path);

// Every file below `folder` with its contents.
std::map<std::filesystem::path, std::string> snapshot(const std::filesystem::path& folder);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs korvel-render with `arguments` in `scratch.work()`.
RunResult runRenderer(const ScratchFolder& scratch, const std::vector<std::string>& arguments);
