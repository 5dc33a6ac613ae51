// Level over time: per channel RMS and peak in consecutive windows, fed
// buffer by buffer. Memory is fixed at construction whatever the length:
// windows start at 10 ms and merge in pairs whenever the count reaches the
// limit, so a long file ends with between half the limit and the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audiomix_render {

constexpr double kLevelWindowSeconds = 0.01;  // the first window length
constexpr size_t kMaxLevelWindows = 2000;

class LevelHistory {
public:
    // maxWindows is rounded up to an even count of at least 2.
    LevelHistory(int channels, int32_t rate, size_t maxWindows = kMaxLevelWindows);

    // Never allocates.
    void add(const int16_t* interleaved, size_t frames);

    int channels() const { return channels_; }
    int32_t rate() const { return rate_; }
    uint64_t frames() const { return frames_; }
    uint64_t window_frames() const { return windowFrames_; }  // all but possibly the last

    // The windows so far; the last may be shorter (the end of the input).
    size_t windows() const;
    double window_start_seconds(size_t window) const;
    double window_seconds(size_t window) const;
    // dBFS as levels.h: -infinity for silence, and for a window or channel
    // that does not exist.
    double rms_dbfs(size_t window, int channel) const;
    double peak_dbfs(size_t window, int channel) const;

private:
    struct Cell {
        uint64_t sumSquares = 0;
        int32_t peak = 0;
    };
    const Cell& cell(size_t window, int channel) const { return cells_[window * channels_ + channel]; }
    uint64_t frames_in(size_t window) const;
    bool holds(size_t window, int channel) const;
    void merge_pairs();

    int channels_;
    int32_t rate_;
    size_t maxWindows_;
    uint64_t windowFrames_;
    std::vector<Cell> cells_;  // maxWindows_ x channels_, allocated once
    size_t complete_ = 0;      // windows filled; the one after is being filled
    uint64_t filled_ = 0;      // frames in the window being filled
    uint64_t frames_ = 0;
};

}  // namespace audiomix_render
