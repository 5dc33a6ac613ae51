// One progress bar on stderr for a whole batch, fed by every render thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace audiomix_render {

// Batches shorter than this finish before a bar would be worth reading.
constexpr double kProgressMinSeconds = 10.0;

// Whether a bar could show: not quiet and stderr is a terminal (a redirected
// stderr would fill a log with carriage returns).
bool progress_possible(bool quiet);

// Whether to show one: possible, and the audio is long.
bool progress_wanted(bool quiet, double audioSeconds);

class ProgressBar {
public:
    ProgressBar(bool enabled, int64_t totalFrames, size_t files);
    ~ProgressBar();  // clears the line

    // From any thread; redraws at most ten times a second.
    void add_frames(int64_t frames);
    void file_done();
    void clear();

private:
    void draw();

    const bool enabled_;
    const int64_t total_;
    const size_t files_;
    std::atomic<int64_t> done_{0};
    std::atomic<size_t> filesDone_{0};
    std::mutex drawing_;  // whoever holds it draws; the others skip a frame
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace audiomix_render
