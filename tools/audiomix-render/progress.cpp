#include "progress.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace audiomix_render {

namespace {
constexpr int kWidth = 40;
constexpr auto kInterval = std::chrono::milliseconds(100);
}  // namespace

bool progress_wanted(bool quiet, double audioSeconds) {
    return !quiet && isatty(STDERR_FILENO) && audioSeconds > kProgressMinSeconds;
}

ProgressBar::ProgressBar(bool enabled, int64_t totalFrames, int32_t rate)
    : enabled_(enabled && totalFrames > 0 && rate > 0),
      total_(totalFrames),
      rate_(rate),
      last_(std::chrono::steady_clock::now() - kInterval) {}

ProgressBar::~ProgressBar() { clear(); }

void ProgressBar::update(int64_t doneFrames) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    last_ = now;
    const double part = static_cast<double>(doneFrames) / static_cast<double>(total_);
    const int filled = static_cast<int>(part * kWidth);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f / %.1f s", bar.c_str(), static_cast<int>(part * 100.0),
                 static_cast<double>(doneFrames) / rate_, static_cast<double>(total_) / rate_);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::clear() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r%*s\r", kWidth + 32, "");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace audiomix_render
