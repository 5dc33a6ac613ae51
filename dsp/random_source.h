// The random source of the reverb taps and the equaliser dither.
//
// A linear congruential generator with the constants and the output bits of
// the classic C runtime of the target platform, never seeded (its state
// starts at 1), so every engine draws the same sequence and the native and
// Windows builds draw identical taps and dither. Never use the C library's
// rand: its sequence differs between platforms, and it is shared by the
// whole process. Each engine owns one source; it is not synchronised.
#pragma once

#include <cstdint>

namespace audiomix {

constexpr int32_t kRandomMax = 32767;

class RandomSource {
public:
    // Next value, 0 ... 32767.
    int32_t next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int32_t>((state_ >> 16) & 0x7fffu);
    }

private:
    uint32_t state_ = 1;
};

}  // namespace audiomix
