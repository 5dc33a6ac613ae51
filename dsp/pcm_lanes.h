// The stages' output conversions (dsp/pcm.h) on several samples at once.
//
// The equaliser's, four samples at a time:
//
// equaliser_to_pcm16_lanes(v) is equaliser_to_pcm16(v) for every float v:
// - The biased sum is the same single-precision addition.
// - Its bit pattern, read as a signed 32-bit b, saturates in the scalar code
//   when b - 0x4B7D8000 leaves -32768 ... 32767, i.e. when b < 0x4B7D0000 or
//   b > 0x4B7E7FFF; clamping b to those bounds first (signed comparisons of
//   32-bit values, no overflow) and then subtracting gives the same r.
// - 1.25 r is exact in double precision and truncates as cvttsd2si does.
// - |1.25 r| <= 40960, and packing to 16 bits with signed saturation is the
//   final clamp to -32768 ... 32767.
// tests/native/chain_equivalence_test.cpp checks it against the scalar
// function over every float of the range the equaliser produces and a wide
// sample of the rest, NaN and infinities included.
//
// Internal linkage: see dsp/simd.h.
#pragma once

#include <cstdint>

#include "dsp/pcm.h"
#include "dsp/simd.h"

namespace audiomix {
namespace {

#ifdef AUDIOMIX_SIMD_SSE2

inline void equaliser_to_pcm16_x4(const float* in, int16_t* out) {
    const __m128 biased = _mm_add_ps(_mm_loadu_ps(in), _mm_set1_ps(16613376.0f));
    __m128i b = _mm_castps_si128(biased);
    const __m128i lowest = _mm_set1_epi32(0x4B7D0000);
    const __m128i highest = _mm_set1_epi32(0x4B7E7FFF);
    const __m128i below = _mm_cmplt_epi32(b, lowest);
    b = _mm_or_si128(_mm_and_si128(below, lowest), _mm_andnot_si128(below, b));
    const __m128i above = _mm_cmpgt_epi32(b, highest);
    b = _mm_or_si128(_mm_and_si128(above, highest), _mm_andnot_si128(above, b));
    const __m128i r = _mm_sub_epi32(b, _mm_set1_epi32(0x4B7D8000));
    const __m128d scale = _mm_set1_pd(1.25);
    const __m128i low = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(r), scale));
    const __m128i high = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(r, 0xEE)), scale));
    const __m128i v = _mm_unpacklo_epi64(low, high);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(v, v));
}

#else

inline void equaliser_to_pcm16_x4(const float* in, int16_t* out) {
    for (int i = 0; i < 4; ++i) out[i] = equaliser_to_pcm16(in[i]);
}

#endif

// n consecutive samples.
inline void equaliser_to_pcm16_lanes(const float* in, int32_t n, int16_t* out) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) equaliser_to_pcm16_x4(in + i, out + i);
    for (; i < n; ++i) out[i] = equaliser_to_pcm16(in[i]);
}

// reverb_to_pcm16 and compressor_to_pcm16 (dsp/pcm.h) on every lane: the
// same clamp (+1 and -1 kept, NaN to 0), the same product in double
// precision, the same rounding to single precision; the float's value
// widened back is exact, so truncating it as a double gives the integer
// cvttss2si gives. Results land in ints, one per lane.
template <class V>
V clamp_unit_lanes(V y) {
    const V one = V::splat(1.0);
    V c = select(is_nan(y), V::zero(), y);
    c = select(y < V::zero() - one, V::zero() - one, c);
    return select(y > one, one, c);
}

template <class V>
void reverb_to_pcm16_lanes(V y, int32_t* ints) {
    store_int32(ints, round_to_float(clamp_unit_lanes(y) * V::splat(32767.0)));
}

// The caller still holds each result at 32767 (only +1 reaches 32768).
template <class V>
void compressor_to_pcm16_lanes(V y, int32_t* ints) {
    store_int32(ints, round_to_float(clamp_unit_lanes(y) * V::splat(32768.0)));
}

}  // namespace
}  // namespace audiomix
