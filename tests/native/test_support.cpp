#include "test_support.h"

#include <cmath>

namespace audiomix::testing {

std::vector<int16_t> make_signal(int32_t frames, int32_t channels, double amplitude, uint32_t seed) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
    uint32_t state = seed;
    for (int32_t f = 0; f < frames; ++f) {
        for (int32_t c = 0; c < channels; ++c) {
            state = state * 1664525u + 1013904223u;
            const double noise = ((state >> 8) & 0xffff) / 32768.0 - 1.0;
            const double tone = std::sin(f * 0.031 * (c + 1)) + 0.5 * std::sin(f * 0.173 + c);
            double v = amplitude * (0.6 * tone + 0.1 * noise);
            if (v > 32767) v = 32767;
            if (v < -32768) v = -32768;
            out[static_cast<size_t>(f) * channels + c] = static_cast<int16_t>(v);
        }
    }
    return out;
}

}  // namespace audiomix::testing
