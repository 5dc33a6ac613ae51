#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace audiomix::testing {

// Each channel a random succession of segments of different character, so
// that one signal drives the filters, the reverb tail and the compressor's
// detector through quiet, loud, clipped and static stretches.
std::vector<int16_t> make_signal(uint32_t seed, int32_t channels, int32_t frames) {
    std::mt19937 rng(seed);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t f = 0; f < frames;) {
            const int32_t len = 40 + rng() % 2460, kind = rng() % 6, half = 1 + rng() % 200;
            const double amp = uniform(0.0, 40000.0);  // sometimes driven past full scale
            const double w = 2.0 * M_PI * std::exp(uniform(std::log(20.0 / 44100), std::log(0.45)));
            const int16_t dc = half < 10 ? (half % 2 ? -32768 : 32767) : static_cast<int16_t>(rng());
            for (int32_t i = 0; i < len && f < frames; ++i, ++f) {
                const double v = kind == 0   ? amp * std::sin(w * i)
                                 : kind == 1 ? uniform(-amp, amp)                 // noise
                                 : kind == 2 ? ((i / half) % 2 ? -32768 : 32767)  // square
                                 : kind == 3 ? 0                                  // memories decay towards zero
                                 : kind == 4 ? dc
                                             : static_cast<int>(rng() % 5) - 2;  // a few LSBs: the dither dominates
                out[static_cast<size_t>(f) * channels + c] =
                    static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
            }
        }
    }
    return out;
}

}  // namespace audiomix::testing
