#pragma once

// An output file written under a temporary name in its target's folder and moved over the target only
// when commit() is called, so a failed render never damages an existing file. Unless committed, the
// temporary is removed when this object goes away.

#include <filesystem>

#include "Outcome.h"

class PendingOutput {
public:
    explicit PendingOutput(std::filesystem::path target);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporary() const { return temporary_; }

    // Renames the temporary over the target.
    Status commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};
