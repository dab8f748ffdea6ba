#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace tessvane::host {
namespace {

constexpr int bar_width = 40;

}  // namespace

progress_bar::progress_bar(std::int64_t total)
    : total_(std::max<std::int64_t>(total, 1)), shown_(isatty(STDERR_FILENO) == 1) {}

progress_bar::~progress_bar() { finish(); }

void progress_bar::update(std::int64_t done) {
    if (!shown_) return;
    const int percent = static_cast<int>(std::clamp<std::int64_t>(done * 100 / total_, 0, 100));
    if (percent == drawn_percent_) return;
    drawn_percent_ = percent;
    const int filled = percent * bar_width / 100;
    const std::string bar = std::string(filled, '#') + std::string(bar_width - filled, '-');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

void progress_bar::finish() {
    if (!shown_ || drawn_percent_ < 0) return;
    std::fprintf(stderr, "\r%*s\r", bar_width + 8, "");
    std::fflush(stderr);
    drawn_percent_ = -1;
}

}  // namespace tessvane::host
