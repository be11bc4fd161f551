#include "AudioFile.h"

Status checkInputPath(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return Failure{"no such file: " + path.string()};
    if (std::filesystem::is_directory(path, error)) return Failure{path.string() + " is a folder, not a sound file"};
    return {};
}
