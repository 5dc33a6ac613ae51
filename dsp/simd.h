// F64x2: two doubles side by side, the vector type of the baseline kernels.
//
// Every x86-64 processor has SSE2, so the baseline build works two lanes wide
// without a run-time check; other targets get a plain two-element stand-in
// with the same operations. dsp/simd_avx2.h (F64x4) and dsp/simd_avx512.h
// (F64x8) give wider types the same interface, and Twin (below) puts two
// vectors side by side, so one kernel template serves every width.
//
// Each operation is one IEEE-754 basic operation per lane (no fused
// multiply-add, no reassociation) in the caller's MXCSR mode, so a lane
// computes exactly the bits the scalar code computes, denormal flushing
// included. The few bit manipulations are exact and documented where they
// are defined.
//
// Everything has internal linkage on purpose: the same kernel templates are
// also compiled for AVX2 and AVX-512 (dsp/kernels_avx*.cpp), and an inline
// function compiled once with and once without VEX encoding must never be
// merged by the linker into one copy.
#pragma once

#include <cstdint>

#include "dsp/float_bits.h"

#if defined(__SSE2__) || defined(_M_X64) || defined(__x86_64__)
#include <emmintrin.h>
#define AUDIOMIX_SIMD_SSE2 1
#endif

namespace audiomix {
namespace {

#ifdef AUDIOMIX_SIMD_SSE2

struct F64x2 {
    static constexpr int kLanes = 2;
    __m128d v;

    static F64x2 splat(double a) { return {_mm_set1_pd(a)}; }
    static F64x2 of(double lane0, double lane1) { return {_mm_set_pd(lane1, lane0)}; }
    static F64x2 zero() { return {_mm_setzero_pd()}; }
    static F64x2 pairs(F64x2 pair) { return pair; }  // the pair in every lane pair
    static F64x2 load(const double* p) { return {_mm_loadu_pd(p)}; }
    // Two consecutive floats, widened (exactly). Loaded through __m128i,
    // which may alias anything; a double* would break strict aliasing.
    static F64x2 load_floats(const float* p) {
        return {_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))))};
    }
};

// A per-lane condition: all bits set where it holds.
struct Mask2 {
    __m128d v;
};

inline void store(double* p, F64x2 a) { _mm_storeu_pd(p, a.v); }

inline F64x2 operator+(F64x2 a, F64x2 b) { return {_mm_add_pd(a.v, b.v)}; }
inline F64x2 operator-(F64x2 a, F64x2 b) { return {_mm_sub_pd(a.v, b.v)}; }
inline F64x2 operator*(F64x2 a, F64x2 b) { return {_mm_mul_pd(a.v, b.v)}; }
inline F64x2 operator/(F64x2 a, F64x2 b) { return {_mm_div_pd(a.v, b.v)}; }

// Each lane rounded to single precision and widened back: the value a float
// variable would hold.
inline F64x2 round_to_float(F64x2 a) { return {_mm_cvtps_pd(_mm_cvtpd_ps(a.v))}; }

inline Mask2 operator<(F64x2 a, F64x2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline Mask2 operator>(F64x2 a, F64x2 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
inline Mask2 operator==(F64x2 a, F64x2 b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
inline Mask2 is_nan(F64x2 a) { return {_mm_cmpunord_pd(a.v, a.v)}; }
inline Mask2 operator|(Mask2 a, Mask2 b) { return {_mm_or_pd(a.v, b.v)}; }
inline Mask2 operator&(Mask2 a, Mask2 b) { return {_mm_and_pd(a.v, b.v)}; }
inline bool all(Mask2 m) { return _mm_movemask_pd(m.v) == 3; }

// where ? a : b, lane by lane.
inline F64x2 select(Mask2 where, F64x2 a, F64x2 b) {
    return {_mm_or_pd(_mm_and_pd(where.v, a.v), _mm_andnot_pd(where.v, b.v))};
}

// The integer part, as (double)(int32_t)a does it: exact for |a| < 2^31.
inline F64x2 trunc_int(F64x2 a) { return {_mm_cvtepi32_pd(_mm_cvttpd_epi32(a.v))}; }

// For a >= 0: the biased exponent field (bits 52...62) as a double. The
// field, or'ed into the mantissa of 2^52, gives 2^52 + field exactly.
inline F64x2 exponent_field(F64x2 a) {
    const __m128d two52 = _mm_set1_pd(4503599627370496.0);
    const __m128i field = _mm_srli_epi64(_mm_castpd_si128(a.v), 52);
    return {_mm_sub_pd(_mm_or_pd(_mm_castsi128_pd(field), two52), two52)};
}

// For a > 0: 1.m, the value with a's mantissa and a zero exponent.
inline F64x2 mantissa_one(F64x2 a) {
    const __m128d mantissa = _mm_castsi128_pd(_mm_set1_epi64x(0x000fffffffffffffll));
    const __m128d one = _mm_set1_pd(1.0);
    return {_mm_or_pd(_mm_and_pd(a.v, mantissa), one)};
}

// 2^k for integer-valued k with 1 <= k + 1023 <= 2046. Adding 2^52 + 1023
// leaves k + 1023 in the low mantissa bits; shifted into the exponent field
// it is the bit pattern of 2^k (other lanes get some power of two or
// infinity, never a NaN).
inline F64x2 pow2_int(F64x2 k) {
    const __m128d biased = _mm_add_pd(k.v, _mm_set1_pd(4503599627371519.0));
    return {_mm_castsi128_pd(_mm_slli_epi64(_mm_castpd_si128(biased), 52))};
}

// Each lane rounded to single precision (as static_cast<float>), stored as
// consecutive floats (through __m128i, which may alias anything).
inline void store_floats(float* p, F64x2 a) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(a.v)));
}

// Each lane truncated toward zero to a 32-bit integer (cvttsd2si), stored.
inline void store_int32(int32_t* p, F64x2 a) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_cvttpd_epi32(a.v)); }

// The equaliser's stage shift (dsp/equaliser_kernel.h): a vector holds one
// stage, so the next stage's input is simply the previous vector.
inline F64x2 shift_in_stage(F64x2 previous, F64x2) { return previous; }
// Lane pair j (of the only one).
inline F64x2 lane_pair(F64x2 a, int32_t) { return a; }

inline double lane(F64x2 a, int i) { return i == 0 ? _mm_cvtsd_f64(a.v) : _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }

#else  // a plain stand-in with the same meaning

struct F64x2 {
    static constexpr int kLanes = 2;
    double v[2];

    static F64x2 splat(double a) { return {{a, a}}; }
    static F64x2 of(double lane0, double lane1) { return {{lane0, lane1}}; }
    static F64x2 zero() { return {{0.0, 0.0}}; }
    static F64x2 pairs(F64x2 pair) { return pair; }
    static F64x2 load(const double* p) { return {{p[0], p[1]}}; }
    static F64x2 load_floats(const float* p) { return {{p[0], p[1]}}; }
};
struct Mask2 {
    bool v[2];
};

inline void store(double* p, F64x2 a) { p[0] = a.v[0], p[1] = a.v[1]; }
#define AUDIOMIX_LANEWISE(op) \
    inline F64x2 operator op(F64x2 a, F64x2 b) { return {{a.v[0] op b.v[0], a.v[1] op b.v[1]}}; }
AUDIOMIX_LANEWISE(+)
AUDIOMIX_LANEWISE(-)
AUDIOMIX_LANEWISE(*)
AUDIOMIX_LANEWISE(/)
#undef AUDIOMIX_LANEWISE
inline F64x2 round_to_float(F64x2 a) { return {{static_cast<float>(a.v[0]), static_cast<float>(a.v[1])}}; }
inline Mask2 operator<(F64x2 a, F64x2 b) { return {{a.v[0] < b.v[0], a.v[1] < b.v[1]}}; }
inline Mask2 operator>(F64x2 a, F64x2 b) { return {{a.v[0] > b.v[0], a.v[1] > b.v[1]}}; }
inline Mask2 operator==(F64x2 a, F64x2 b) { return {{a.v[0] == b.v[0], a.v[1] == b.v[1]}}; }
inline Mask2 is_nan(F64x2 a) { return {{a.v[0] != a.v[0], a.v[1] != a.v[1]}}; }
inline Mask2 operator|(Mask2 a, Mask2 b) { return {{a.v[0] || b.v[0], a.v[1] || b.v[1]}}; }
inline Mask2 operator&(Mask2 a, Mask2 b) { return {{a.v[0] && b.v[0], a.v[1] && b.v[1]}}; }
inline bool all(Mask2 m) { return m.v[0] && m.v[1]; }
inline F64x2 select(Mask2 where, F64x2 a, F64x2 b) {
    return {{where.v[0] ? a.v[0] : b.v[0], where.v[1] ? a.v[1] : b.v[1]}};
}
inline double trunc_lane(double a) { return static_cast<double>(static_cast<int32_t>(a)); }
inline F64x2 trunc_int(F64x2 a) { return {{trunc_lane(a.v[0]), trunc_lane(a.v[1])}}; }
inline F64x2 exponent_field(F64x2 a) {
    return {{static_cast<double>(bits_of(a.v[0]) >> 52), static_cast<double>(bits_of(a.v[1]) >> 52)}};
}
inline F64x2 mantissa_one(F64x2 a) {
    auto one = [](double x) { return double_from_bits((bits_of(x) & 0x000fffffffffffffull) | 0x3ff0000000000000ull); };
    return {{one(a.v[0]), one(a.v[1])}};
}
inline F64x2 pow2_int(F64x2 k) {
    auto p = [](double x) { return double_from_bits(static_cast<uint64_t>(static_cast<int64_t>(x) + 1023) << 52); };
    return {{p(k.v[0]), p(k.v[1])}};
}
inline void store_floats(float* p, F64x2 a) {
    p[0] = static_cast<float>(a.v[0]);
    p[1] = static_cast<float>(a.v[1]);
}
inline void store_int32(int32_t* p, F64x2 a) {
    p[0] = static_cast<int32_t>(a.v[0]);
    p[1] = static_cast<int32_t>(a.v[1]);
}
inline F64x2 shift_in_stage(F64x2 previous, F64x2) { return previous; }
inline F64x2 lane_pair(F64x2 a, int32_t) { return a; }
inline double lane(F64x2 a, int i) { return a.v[i]; }

#endif

// Two vectors handled as one twice as wide: every operation is issued for
// both halves side by side. For a long chain of dependent operations (the
// power law's) this keeps two independent chains in flight at once, where
// one vector at a time would leave the processor waiting.
template <class V>
struct Twin {
    static constexpr int kLanes = 2 * V::kLanes;
    V a, b;

    static Twin splat(double x) { return {V::splat(x), V::splat(x)}; }
    static Twin zero() { return {V::zero(), V::zero()}; }
    static Twin load(const double* p) { return {V::load(p), V::load(p + V::kLanes)}; }
    static Twin load_floats(const float* p) { return {V::load_floats(p), V::load_floats(p + V::kLanes)}; }
};

template <class M>
struct TwinMask {
    M a, b;
};

template <class V>
void store(double* p, Twin<V> x) {
    store(p, x.a);
    store(p + V::kLanes, x.b);
}
template <class V>
Twin<V> operator+(Twin<V> x, Twin<V> y) {
    return {x.a + y.a, x.b + y.b};
}
template <class V>
Twin<V> operator-(Twin<V> x, Twin<V> y) {
    return {x.a - y.a, x.b - y.b};
}
template <class V>
Twin<V> operator*(Twin<V> x, Twin<V> y) {
    return {x.a * y.a, x.b * y.b};
}
template <class V>
Twin<V> operator/(Twin<V> x, Twin<V> y) {
    return {x.a / y.a, x.b / y.b};
}
template <class V>
auto operator<(Twin<V> x, Twin<V> y) {
    return TwinMask<decltype(x.a < y.a)>{x.a < y.a, x.b < y.b};
}
template <class V>
auto operator>(Twin<V> x, Twin<V> y) {
    return TwinMask<decltype(x.a > y.a)>{x.a > y.a, x.b > y.b};
}
template <class V>
auto operator==(Twin<V> x, Twin<V> y) {
    return TwinMask<decltype(x.a == y.a)>{x.a == y.a, x.b == y.b};
}
template <class V>
auto is_nan(Twin<V> x) {
    return TwinMask<decltype(is_nan(x.a))>{is_nan(x.a), is_nan(x.b)};
}
template <class M>
TwinMask<M> operator|(TwinMask<M> x, TwinMask<M> y) {
    return {x.a | y.a, x.b | y.b};
}
template <class M>
TwinMask<M> operator&(TwinMask<M> x, TwinMask<M> y) {
    return {x.a & y.a, x.b & y.b};
}
template <class M>
bool all(TwinMask<M> m) {
    return all(m.a) && all(m.b);
}
template <class M, class V>
Twin<V> select(TwinMask<M> m, Twin<V> x, Twin<V> y) {
    return {select(m.a, x.a, y.a), select(m.b, x.b, y.b)};
}
template <class V>
Twin<V> round_to_float(Twin<V> x) {
    return {round_to_float(x.a), round_to_float(x.b)};
}
template <class V>
Twin<V> trunc_int(Twin<V> x) {
    return {trunc_int(x.a), trunc_int(x.b)};
}
template <class V>
Twin<V> exponent_field(Twin<V> x) {
    return {exponent_field(x.a), exponent_field(x.b)};
}
template <class V>
Twin<V> mantissa_one(Twin<V> x) {
    return {mantissa_one(x.a), mantissa_one(x.b)};
}
template <class V>
Twin<V> pow2_int(Twin<V> x) {
    return {pow2_int(x.a), pow2_int(x.b)};
}
template <class V>
void store_floats(float* p, Twin<V> x) {
    store_floats(p, x.a);
    store_floats(p + V::kLanes, x.b);
}
template <class V>
void store_int32(int32_t* p, Twin<V> x) {
    store_int32(p, x.a);
    store_int32(p + V::kLanes, x.b);
}

}  // namespace
}  // namespace audiomix
