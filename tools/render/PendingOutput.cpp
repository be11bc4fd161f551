#include "PendingOutput.h"

#include <random>
#include <string>

namespace {

// ".name.wav.partial-1f3a9c..." beside the target: hidden, and unique among concurrent renders.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::random_device random;
    const std::filesystem::path folder = target.parent_path();
    for (;;) {
        const unsigned long long token = (static_cast<unsigned long long>(random()) << 32) ^ random();
        std::filesystem::path candidate =
            folder / ("." + target.filename().string() + ".partial-" + std::to_string(token));
        std::error_code error;
        if (!std::filesystem::exists(candidate, error)) return candidate;
    }
}

}  // namespace

PendingOutput::PendingOutput(std::filesystem::path target)
    : target_(std::move(target)), temporary_(temporaryBeside(target_)) {}

PendingOutput::~PendingOutput() {
    if (committed_) return;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

Status PendingOutput::commit() {
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) return Failure{"cannot move the finished file to " + target_.string() + ": " + error.message()};
    committed_ = true;
    return {};
}
