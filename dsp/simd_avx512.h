// F64x8: eight doubles side by side, for the AVX-512 kernels only
// (dsp/kernels_avx512.cpp). Same interface and the same per-lane arithmetic
// as F64x2 in dsp/simd.h; read that file first. Only AVX-512F instructions.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "dsp/simd.h"

namespace audiomix {
namespace {

struct F64x8 {
    static constexpr int kLanes = 8;
    __m512d v;

    static F64x8 splat(double a) { return {_mm512_set1_pd(a)}; }
    static F64x8 zero() { return {_mm512_setzero_pd()}; }
    static F64x8 pairs(F64x2 pair) { return {_mm512_castps_pd(_mm512_broadcast_f32x4(_mm_castpd_ps(pair.v)))}; }
    static F64x8 load(const double* p) { return {_mm512_loadu_pd(p)}; }
    static F64x8 load_floats(const float* p) { return {_mm512_cvtps_pd(_mm256_loadu_ps(p))}; }
};

struct Mask8 {
    __mmask8 m;
};

inline void store(double* p, F64x8 a) { _mm512_storeu_pd(p, a.v); }

inline F64x8 operator+(F64x8 a, F64x8 b) { return {_mm512_add_pd(a.v, b.v)}; }
inline F64x8 operator-(F64x8 a, F64x8 b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline F64x8 operator*(F64x8 a, F64x8 b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline F64x8 operator/(F64x8 a, F64x8 b) { return {_mm512_div_pd(a.v, b.v)}; }

inline F64x8 round_to_float(F64x8 a) { return {_mm512_cvtps_pd(_mm512_cvtpd_ps(a.v))}; }

inline Mask8 operator<(F64x8 a, F64x8 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OS)}; }
inline Mask8 operator>(F64x8 a, F64x8 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OS)}; }
inline Mask8 operator==(F64x8 a, F64x8 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask8 is_nan(F64x8 a) { return {_mm512_cmp_pd_mask(a.v, a.v, _CMP_UNORD_Q)}; }
inline Mask8 operator|(Mask8 a, Mask8 b) { return {static_cast<__mmask8>(a.m | b.m)}; }
inline Mask8 operator&(Mask8 a, Mask8 b) { return {static_cast<__mmask8>(a.m & b.m)}; }
inline bool all(Mask8 m) { return m.m == 0xff; }

inline F64x8 select(Mask8 where, F64x8 a, F64x8 b) { return {_mm512_mask_blend_pd(where.m, b.v, a.v)}; }

inline F64x8 trunc_int(F64x8 a) { return {_mm512_cvtepi32_pd(_mm512_cvttpd_epi32(a.v))}; }

inline F64x8 exponent_field(F64x8 a) {
    const __m512i field = _mm512_srli_epi64(_mm512_castpd_si512(a.v), 52);
    const __m512i two52 = _mm512_set1_epi64(0x4330000000000000ll);
    return {_mm512_sub_pd(_mm512_castsi512_pd(_mm512_or_si512(field, two52)), _mm512_set1_pd(4503599627370496.0))};
}

inline F64x8 mantissa_one(F64x8 a) {
    const __m512i bits = _mm512_and_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(0x000fffffffffffffll));
    return {_mm512_castsi512_pd(_mm512_or_si512(bits, _mm512_set1_epi64(0x3ff0000000000000ll)))};
}

inline F64x8 pow2_int(F64x8 k) {
    const __m512d biased = _mm512_add_pd(k.v, _mm512_set1_pd(4503599627371519.0));
    return {_mm512_castsi512_pd(_mm512_slli_epi64(_mm512_castpd_si512(biased), 52))};
}

inline void store_floats(float* p, F64x8 a) { _mm256_storeu_ps(p, _mm512_cvtpd_ps(a.v)); }

inline void store_int32(int32_t* p, F64x8 a) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_cvttpd_epi32(a.v));
}

// The equaliser's stage shift (dsp/equaliser_kernel.h): a vector holds four
// stages as lane pairs; the result holds previous's last stage, then
// current's first three.
inline F64x8 shift_in_stage(F64x8 previous, F64x8 current) {
    return {
        _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(current.v), _mm512_castpd_si512(previous.v), 6))};
}

// Lane pair j (0 ... 3), without going through memory.
inline F64x2 lane_pair(F64x8 a, int32_t j) {
    const __m512i from = _mm512_set_epi64(0, 0, 0, 0, 0, 0, 2 * j + 1, 2 * j);
    return {_mm512_castpd512_pd128(_mm512_permutexvar_pd(from, a.v))};
}

}  // namespace
}  // namespace audiomix
