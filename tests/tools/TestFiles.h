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

// Sound files are made and read by the platform's AudioFile unless another implementation is named.
using SoundFileCreator = Expected<std::unique_ptr<AudioFile>> (*)(const std::filesystem::path&, const AudioFileInfo&);
using SoundFileOpener = Expected<std::unique_ptr<AudioFile>> (*)(const std::filesystem::path&);
void writeSound(const std::filesystem::path& path, const Channels& channels, int sampleRate, int encoding = 0,
                SoundFileCreator create = AudioFile::create);
Sound readSound(const std::filesystem::path& path, SoundFileOpener open = AudioFile::openForReading);

// Every file below `folder` with its contents.
std::map<std::filesystem::path, std::string> snapshot(const std::filesystem::path& folder);

// A file the build made, named by a path the build gave, as an absolute path: it stays valid in a
// program that runs in another folder (on Windows, on another drive).
std::filesystem::path builtFile(const char* path);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs korvel-render with `arguments` in `scratch.work()`.
RunResult runRenderer(const ScratchFolder& scratch, const std::vector<std::string>& arguments);
