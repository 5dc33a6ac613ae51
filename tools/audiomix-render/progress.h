// A one-line progress bar on stderr for long renders.
#pragma once

#include <chrono>
#include <cstdint>

namespace audiomix_render {

// Renders shorter than this finish before a bar would be worth reading.
constexpr double kProgressMinSeconds = 10.0;

// Whether to show a bar: not quiet, stderr is a terminal (a redirected
// stderr would fill a log with carriage returns) and the audio is long.
bool progress_wanted(bool quiet, double audioSeconds);

class ProgressBar {
public:
    ProgressBar(bool enabled, int64_t totalFrames, int32_t rate);
    ~ProgressBar();  // clears the line

    // Redraws at most ten times a second.
    void update(int64_t doneFrames);
    void clear();

private:
    bool enabled_;
    bool drawn_ = false;
    int64_t total_;
    int32_t rate_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace audiomix_render
