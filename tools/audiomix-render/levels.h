// Peak and RMS level per channel of interleaved 16-bit audio, accumulated
// buffer by buffer so that a file never has to be held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audiomix_render {

// Levels are in dB relative to 32768: a sample of -32768 peaks at 0 dBFS,
// and a full-scale square wave has an RMS of 0 dBFS (a sine about -3).
class LevelMeter {
public:
    explicit LevelMeter(int channels);

    void add(const int16_t* interleaved, size_t frames);

    int channels() const { return static_cast<int>(channel_.size()); }
    uint64_t frames() const { return frames_; }
    int32_t peak(int channel) const { return channel_[channel].peak; }
    double rms(int channel) const;  // in sample units
    double peak_dbfs(int channel) const;
    double rms_dbfs(int channel) const;  // -infinity for silence or no frames

private:
    struct Channel {
        int32_t peak = 0;
        // Exact: a square of at most 2^30 per sample leaves room for 2^34
        // samples, over 100 hours at 48 kHz.
        uint64_t sumSquares = 0;
    };
    std::vector<Channel> channel_;
    uint64_t frames_ = 0;
};

// Sample magnitude in dBFS (relative to 32768); -infinity for 0.
double to_dbfs(double magnitude);

// "-3.02" or "-inf".
std::string format_db(double db);

}  // namespace audiomix_render
