#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace audiomix_render {

namespace {
constexpr int kWidth = 40;
constexpr auto kInterval = std::chrono::milliseconds(100);
}  // namespace

bool progress_possible(bool quiet) { return !quiet && isatty(STDERR_FILENO); }

bool progress_wanted(bool quiet, double audioSeconds) {
    return progress_possible(quiet) && audioSeconds > kProgressMinSeconds;
}

ProgressBar::ProgressBar(bool enabled, int64_t totalFrames, size_t files)
    : enabled_(enabled && totalFrames > 0),
      total_(totalFrames),
      files_(files),
      last_(std::chrono::steady_clock::now() - kInterval) {}

ProgressBar::~ProgressBar() { clear(); }

void ProgressBar::add_frames(int64_t frames) {
    if (!enabled_) return;
    done_ += frames;
    draw();
}

void ProgressBar::file_done() {
    if (!enabled_) return;
    ++filesDone_;
    draw();
}

void ProgressBar::draw() {
    std::unique_lock<std::mutex> lock(drawing_, std::try_to_lock);
    if (!lock) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    last_ = now;
    const double part = std::min(1.0, static_cast<double>(done_) / static_cast<double>(total_));
    std::string bar(static_cast<size_t>(part * kWidth), '#');
    bar.resize(kWidth, '.');
    if (files_ > 1)
        std::fprintf(stderr, "\r[%s] %3d%%  %zu of %zu files", bar.c_str(), static_cast<int>(part * 100.0),
                     filesDone_.load(), files_);
    else
        std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), static_cast<int>(part * 100.0));
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::clear() {
    std::lock_guard<std::mutex> lock(drawing_);
    if (!drawn_) return;
    std::fprintf(stderr, "\r%*s\r", kWidth + 32, "");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace audiomix_render
