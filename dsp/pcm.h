// Sample conversions between 16-bit PCM and the stages' arithmetic.
#pragma once

#include <cstdint>

#include "dsp/float_bits.h"

namespace audiomix {

constexpr double kPcmToUnit = 3.0517578125e-5;  // 1/32768, exact

// v rounded to the nearest integer (ties to even) and saturated to 16 bits.
// Adding 1.98046875 x 2^23 in single precision leaves the rounded integer in
// the low mantissa bits for every |v| below 2^17; larger values, infinities
// and NaN move the exponent and fall outside the range, so they saturate.
inline int32_t float_to_pcm16(float v) {
    const uint32_t bits = bits_of(v + 16613376.0f);
    const int64_t r = static_cast<int64_t>(static_cast<int32_t>(bits)) - 0x4B7D8000ll;
    if (r > 32767) return 32767;
    if (r < -32768) return -32768;
    return static_cast<int32_t>(r);
}

// y limited to [-1, +1] inclusively; NaN becomes 0 so that the conversion
// after it is always defined.
inline double clamp_unit(double y) {
    if (y > 1.0) return 1.0;
    if (y < -1.0) return -1.0;
    return y == y ? y : 0.0;
}

// Reverb output: clamped, times 32767, rounded to single, truncated.
inline int16_t reverb_to_pcm16(double y) {
    return static_cast<int16_t>(static_cast<int32_t>(static_cast<float>(clamp_unit(y) * 32767.0)));
}

// Compressor output: clamped, times 32768, rounded to single, truncated. The
// gain never exceeds 1, so only a value of exactly +1 could reach 32768; it
// is held at 32767.
inline int16_t compressor_to_pcm16(double y) {
    const int32_t v = static_cast<int32_t>(static_cast<float>(clamp_unit(y) * 32768.0));
    return static_cast<int16_t>(v > 32767 ? 32767 : v);
}

// Equaliser output: the rounded sample scaled by 1.25, truncated, saturated.
inline int16_t equaliser_to_pcm16(float out) {
    const int32_t v = static_cast<int32_t>(1.25 * float_to_pcm16(out));
    return static_cast<int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

// A float sample of the usual [-1, 1) scale as 16 bits: times 32768 (exact),
// rounded to nearest (ties to even), saturated; NaN is silence.
inline int16_t pcm16_from_unit(float v) {
    if (v != v) return 0;
    return static_cast<int16_t>(float_to_pcm16(v * 32768.0f));
}

// A 16-bit sample as a float of the [-1, 1) scale, exactly.
inline float unit_from_pcm16(int16_t v) { return static_cast<float>(v) * (1.0f / 32768.0f); }

}  // namespace audiomix
