// The process-wide random source of the reverb taps and the equaliser dither.
//
// A linear congruential generator with the constants and the output bits of
// the classic C runtime of the target platform, never seeded (its state
// starts at 1), so every process draws the same sequence and the native and
// Windows builds draw identical taps and dither. Never use the C library's
// rand: its sequence differs between platforms.
#pragma once

#include <cstdint>

namespace audiomix {

constexpr int32_t kRandomMax = 32767;

// Next value, 0 ... 32767.
int32_t random_next();

// Back to the unseeded start; for tests that need the load-time sequence.
void random_restart();

}  // namespace audiomix
