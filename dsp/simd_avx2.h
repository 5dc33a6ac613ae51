// F64x4: four doubles side by side, for the AVX2 kernels only
// (dsp/kernels_avx2.cpp). Same interface and the same per-lane arithmetic as
// F64x2 in dsp/simd.h; read that file first.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "dsp/simd.h"

namespace audiomix {
namespace {

struct F64x4 {
    static constexpr int kLanes = 4;
    __m256d v;

    static F64x4 splat(double a) { return {_mm256_set1_pd(a)}; }
    static F64x4 zero() { return {_mm256_setzero_pd()}; }
    static F64x4 pairs(F64x2 pair) { return {_mm256_insertf128_pd(_mm256_castpd128_pd256(pair.v), pair.v, 1)}; }
    static F64x4 load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static F64x4 load_floats(const float* p) { return {_mm256_cvtps_pd(_mm_loadu_ps(p))}; }
};

struct Mask4 {
    __m256d v;
};

inline void store(double* p, F64x4 a) { _mm256_storeu_pd(p, a.v); }

inline F64x4 operator+(F64x4 a, F64x4 b) { return {_mm256_add_pd(a.v, b.v)}; }
inline F64x4 operator-(F64x4 a, F64x4 b) { return {_mm256_sub_pd(a.v, b.v)}; }
inline F64x4 operator*(F64x4 a, F64x4 b) { return {_mm256_mul_pd(a.v, b.v)}; }
inline F64x4 operator/(F64x4 a, F64x4 b) { return {_mm256_div_pd(a.v, b.v)}; }

inline F64x4 round_to_float(F64x4 a) { return {_mm256_cvtps_pd(_mm256_cvtpd_ps(a.v))}; }

// The predicates of the SSE2 comparisons: ordered and signalling for < and
// >, quiet for == and the NaN test.
inline Mask4 operator<(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OS)}; }
inline Mask4 operator>(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OS)}; }
inline Mask4 operator==(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask4 is_nan(F64x4 a) { return {_mm256_cmp_pd(a.v, a.v, _CMP_UNORD_Q)}; }
inline Mask4 operator|(Mask4 a, Mask4 b) { return {_mm256_or_pd(a.v, b.v)}; }
inline Mask4 operator&(Mask4 a, Mask4 b) { return {_mm256_and_pd(a.v, b.v)}; }
inline bool all(Mask4 m) { return _mm256_movemask_pd(m.v) == 15; }

inline F64x4 select(Mask4 where, F64x4 a, F64x4 b) { return {_mm256_blendv_pd(b.v, a.v, where.v)}; }

inline F64x4 trunc_int(F64x4 a) { return {_mm256_cvtepi32_pd(_mm256_cvttpd_epi32(a.v))}; }

inline F64x4 exponent_field(F64x4 a) {
    const __m256d two52 = _mm256_set1_pd(4503599627370496.0);
    const __m256i field = _mm256_srli_epi64(_mm256_castpd_si256(a.v), 52);
    return {_mm256_sub_pd(_mm256_or_pd(_mm256_castsi256_pd(field), two52), two52)};
}

inline F64x4 mantissa_one(F64x4 a) {
    const __m256d mantissa = _mm256_castsi256_pd(_mm256_set1_epi64x(0x000fffffffffffffll));
    return {_mm256_or_pd(_mm256_and_pd(a.v, mantissa), _mm256_set1_pd(1.0))};
}

inline F64x4 pow2_int(F64x4 k) {
    const __m256d biased = _mm256_add_pd(k.v, _mm256_set1_pd(4503599627371519.0));
    return {_mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(biased), 52))};
}

inline void store_floats(float* p, F64x4 a) { _mm_storeu_ps(p, _mm256_cvtpd_ps(a.v)); }

inline void store_int32(int32_t* p, F64x4 a) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_cvttpd_epi32(a.v));
}

// The equaliser's stage shift (dsp/equaliser_kernel.h): a vector holds two
// stages as lane pairs; the result holds previous's second stage, then
// current's first.
inline F64x4 shift_in_stage(F64x4 previous, F64x4 current) {
    return {_mm256_permute2f128_pd(previous.v, current.v, 0x21)};
}

// Lane pair j (0 or 1), without going through memory.
inline F64x2 lane_pair(F64x4 a, int32_t j) {
    return {j == 0 ? _mm256_castpd256_pd128(a.v) : _mm256_extractf128_pd(a.v, 1)};
}

}  // namespace
}  // namespace audiomix
