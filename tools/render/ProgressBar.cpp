#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "Terminal.h"

namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::int64_t total, bool worthShowing)
    : total_(total), visible_(worthShowing && total > 0 && standardErrorIsTerminal()) {}

ProgressBar::~ProgressBar() {
    // Clear the line so that the summary starts on a clean one.
    if (visible_ && shownPercent_ >= 0) std::fprintf(stderr, "\r%*s\r", kBarWidth + 8, "");
}

void ProgressBar::advanceTo(std::int64_t done) {
    if (!visible_) return;
    const int percent = static_cast<int>(std::clamp<std::int64_t>(done * 100 / total_, 0, 100));
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}
