#include "levels.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace audiomix_render {

LevelMeter::LevelMeter(int channels) : channel_(channels > 0 ? channels : 0) {}

void LevelMeter::add(const int16_t* interleaved, size_t frames) {
    const size_t n = channel_.size();
    for (size_t f = 0; f < frames; ++f) {
        for (size_t c = 0; c < n; ++c) {
            const int32_t s = interleaved[f * n + c];
            const int32_t m = s < 0 ? -s : s;
            Channel& ch = channel_[c];
            if (m > ch.peak) ch.peak = m;
            ch.sumSquares += static_cast<uint64_t>(static_cast<int64_t>(s) * s);
        }
    }
    frames_ += frames;
}

double LevelMeter::rms(int channel) const {
    if (frames_ == 0) return 0.0;
    return std::sqrt(static_cast<double>(channel_[channel].sumSquares) / static_cast<double>(frames_));
}

double LevelMeter::peak_dbfs(int channel) const { return to_dbfs(peak(channel)); }

double LevelMeter::rms_dbfs(int channel) const { return to_dbfs(rms(channel)); }

double to_dbfs(double magnitude) {
    if (!(magnitude > 0.0)) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(magnitude / 32768.0);
}

std::string format_db(double db) {
    if (std::isinf(db) && db < 0) return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", db);
    return text;
}

}  // namespace audiomix_render
