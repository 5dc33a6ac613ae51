#include "level_history.h"

#include <algorithm>
#include <cmath>

#include "levels.h"

namespace audiomix_render {

LevelHistory::LevelHistory(int channels, int32_t rate, size_t maxWindows)
    : channels_(std::max(channels, 0)),
      rate_(rate),
      maxWindows_(std::max<size_t>(2, maxWindows + maxWindows % 2)),
      windowFrames_(static_cast<uint64_t>(std::max(1L, std::lround(kLevelWindowSeconds * rate)))),
      cells_(maxWindows_ * static_cast<size_t>(channels_)) {}

void LevelHistory::add(const int16_t* interleaved, size_t frames) {
    if (channels_ == 0 || interleaved == nullptr) return;
    for (size_t f = 0; f < frames; ++f) {
        Cell* row = &cells_[complete_ * channels_];
        for (int c = 0; c < channels_; ++c) {
            const int32_t s = interleaved[f * channels_ + c];
            const int32_t m = s < 0 ? -s : s;
            row[c].sumSquares += static_cast<uint64_t>(static_cast<int64_t>(s) * s);
            row[c].peak = std::max(row[c].peak, m);
        }
        if (++filled_ == windowFrames_) {
            filled_ = 0;
            // Merged at once, so the row being filled always exists.
            if (++complete_ == maxWindows_) merge_pairs();
        }
    }
    frames_ += frames;
}

void LevelHistory::merge_pairs() {
    // The full count is even, so the pairs are exact; the row being filled
    // starts empty at the new boundary.
    for (size_t w = 0; w < maxWindows_ / 2; ++w) {
        for (int c = 0; c < channels_; ++c) {
            const Cell& a = cell(2 * w, c);
            const Cell& b = cell(2 * w + 1, c);
            Cell merged{a.sumSquares + b.sumSquares, std::max(a.peak, b.peak)};
            cells_[w * channels_ + c] = merged;
        }
    }
    complete_ = maxWindows_ / 2;
    std::fill(cells_.begin() + static_cast<std::ptrdiff_t>(complete_ * channels_), cells_.end(), Cell{});
    windowFrames_ *= 2;
}

size_t LevelHistory::windows() const { return complete_ + (filled_ > 0 ? 1 : 0); }

uint64_t LevelHistory::frames_in(size_t window) const { return window < complete_ ? windowFrames_ : filled_; }

bool LevelHistory::holds(size_t window, int channel) const {
    return window < windows() && channel >= 0 && channel < channels_;
}

double LevelHistory::window_start_seconds(size_t window) const {
    return rate_ > 0 ? static_cast<double>(window) * static_cast<double>(windowFrames_) / rate_ : 0.0;
}

double LevelHistory::window_seconds(size_t window) const {
    return rate_ > 0 && window < windows() ? static_cast<double>(frames_in(window)) / rate_ : 0.0;
}

double LevelHistory::rms_dbfs(size_t window, int channel) const {
    if (!holds(window, channel)) return to_dbfs(0.0);
    const double meanSquare =
        static_cast<double>(cell(window, channel).sumSquares) / static_cast<double>(frames_in(window));
    return to_dbfs(std::sqrt(meanSquare));
}

double LevelHistory::peak_dbfs(size_t window, int channel) const {
    return holds(window, channel) ? to_dbfs(cell(window, channel).peak) : to_dbfs(0.0);
}

}  // namespace audiomix_render
