#pragma once

// A one-line progress bar on stderr, redrawn in place. It shows only when stderr is a terminal and the
// work is long enough to be worth watching; otherwise every call does nothing.

#include <cstdint>

class ProgressBar {
public:
    ProgressBar(std::int64_t total, bool worthShowing);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void advanceTo(std::int64_t done);

private:
    std::int64_t total_;
    bool visible_;
    int shownPercent_ = -1;
};
