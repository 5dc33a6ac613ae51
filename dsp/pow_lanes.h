// portable_exp, portable_log and portable_pow (dsp/portable_math.h) on every
// lane of a vector at once, for the compressor's gain curve.
//
// Why the results are the scalar routines' bits, for every input: each lane
// performs the scalar routine's operations in the same order on the same
// values; each is a correctly rounded IEEE-754 operation (+, -, *, /) or an
// exact step (integer-valued conversions, bit-field moves of a power of two
// or a mantissa), and the vector and scalar instructions run under the same
// MXCSR mode. The scalar routines' early returns become selections, applied
// last in reverse order of the scalar tests so that a lane gets the value of
// the first test it meets. The tests themselves are floating-point
// comparisons, as in the scalar source, so flushing denormals (DAZ) moves a
// lane to the same branch in both. Lanes that leave by an early return run
// the main path on a harmless stand-in (1 for the logarithm, 0 for the
// exponential), so they raise no floating-point exception the scalar code
// would not. tests/native/chain_equivalence_test.cpp compares the two over
// every branch and over the compressor's input range.
//
// Internal linkage: see dsp/simd.h.
#pragma once

namespace audiomix {
namespace {

// kGeneral false: every lane is known to be a normal positive finite number,
// so the early returns cannot happen and their tests are left out.
template <bool kGeneral, class V>
V log_lanes(V x) {
    using namespace exp_log;
    constexpr double kInf = __builtin_huge_val();
    const V one = V::splat(1.0);

    // The scalar tests, in order: NaN or negative, zero, (subnormal: scaled
    // below), +infinity.
    V xm = x, clean = x, k_sub = V::zero();
    decltype(is_nan(x)) nan{}, negative{}, zero{}, infinite{};
    if constexpr (kGeneral) {
        nan = is_nan(x);
        clean = select(nan, one, x);
        negative = clean < V::zero();
        zero = clean == V::zero();
        infinite = clean == V::splat(kInf);
        xm = select(negative | zero | infinite, one, clean);

        // Subnormal: scaled into the normal range, 54 taken off the exponent.
        const auto subnormal = xm < V::splat(0x1p-1022);
        xm = select(subnormal, xm * V::splat(0x1p54), xm);
        k_sub = select(subnormal, V::splat(-54.0), V::zero());
    }

    // x = 2^k (1 + f) with the mantissa in [sqrt(2)/2, sqrt(2)): the scalar
    // code compares the mantissa bits with 0x6a09e667f3bcd and halves the
    // mantissa above it; comparing 1.m with the double 0x3ff6a09e667f3bcd is
    // the same test, and halving 1.m is exact.
    const V m1 = mantissa_one(xm);
    const auto big = m1 > V::splat(0x1.6a09e667f3bcdp0);
    const V mant = select(big, m1 * V::splat(0.5), m1);
    // k = (field - 1023) + (big ? 1 : 0) + (subnormal ? -54 : 0): small
    // integers, so every sum is exact in any order (and adding 0 for a
    // normal lane changes nothing).
    V dk = (exponent_field(xm) - V::splat(1023.0)) + select(big, one, V::zero());
    if constexpr (kGeneral) dk = k_sub + dk;

    const V f = mant - one;
    const V s = f / (V::splat(2.0) + f);
    const V z = s * s;
    const V w = z * z;
    const V t1 = w * (V::splat(Lg2) + w * (V::splat(Lg4) + w * V::splat(Lg6)));
    const V t2 = z * (V::splat(Lg1) + w * (V::splat(Lg3) + w * (V::splat(Lg5) + w * V::splat(Lg7))));
    const V R = t2 + t1;
    const V hfsq = V::splat(0.5) * f * f;
    V r = dk * V::splat(kLn2Hi) - ((hfsq - (s * (hfsq + R) + dk * V::splat(kLn2Lo))) - f);

    if constexpr (kGeneral) {
        r = select(infinite, clean, r);
        r = select(zero, V::splat(-kInf), r);
        r = select(nan | negative, V::splat(__builtin_nan("")), r);
    }
    return r;
}

// kGeneral false: every lane is known to lie within +-700, so only the
// small-argument return remains, and the scaling by 2^k is the plain one.
template <bool kGeneral, class V>
V exp_lanes(V x) {
    using namespace exp_log;
    constexpr double kTiny = 3.7252902984e-09;
    constexpr double kInf = __builtin_huge_val();
    const V one = V::splat(1.0);

    // The scalar tests, in order: NaN, overflow, underflow, |x| tiny.
    V clean = x;
    decltype(is_nan(x)) nan{}, over{}, under{};
    if constexpr (kGeneral) {
        nan = is_nan(x);
        clean = select(nan, V::zero(), x);
        over = clean > V::splat(kOverflow);
        under = clean < V::splat(kUnderflow);
    }
    const auto tiny = (clean < V::splat(kTiny)) & (clean > V::splat(-kTiny));
    const V xm = select(kGeneral ? over | under | tiny : tiny, V::zero(), clean);

    const V kd = xm * V::splat(kInvLn2) + select(xm < V::zero(), V::splat(-0.5), V::splat(0.5));
    const V k = trunc_int(kd);
    const V hi = xm - k * V::splat(kLn2Hi);
    const V lo = k * V::splat(kLn2Lo);
    const V r = hi - lo;
    const V t = r * r;
    const V c =
        r - t * (V::splat(P1) + t * (V::splat(P2) + t * (V::splat(P3) + t * (V::splat(P4) + t * V::splat(P5)))));
    const V y = one - ((lo - (r * c) / (V::splat(2.0) - c)) - hi);

    // Scaling by 2^k in the three ways the scalar code has (within +-700,
    // k lies in -1010 ... 1010: only the first).
    V e = y * pow2_int(k);
    if constexpr (kGeneral) {
        const V top = y * V::splat(2.0) * V::splat(0x1p1023);
        const V low = y * pow2_int(k + V::splat(1000.0)) * V::splat(0x1p-1000);
        e = select(k == V::splat(1024.0), top, e);
        e = select(k < V::splat(-1021.0), low, e);
    }

    e = select(tiny, one + clean, e);
    if constexpr (kGeneral) {
        e = select(under, V::zero(), e);
        e = select(over, V::splat(kInf), e);
        e = select(nan, x, e);
    }
    return e;
}

// x^y as portable_pow computes it.
//
// When every lane's x is a normal number of at least 1 and y log x stays
// within +-700, which is all the compressor ever meets (x = m / T^2 >= 1,
// -0.5 <= y <= 0), the general routines would take no early return and
// select nothing but their main results: the lean versions compute exactly
// those. Anything else takes the general routines.
template <class V>
V pow_lanes(V x, V y) {
    const V one = V::splat(1.0);
    const auto trivial = (y == V::zero()) | (x == one);
    const V xs = select(trivial, one, x);
    const V ys = select(trivial, V::zero(), y);
    if (all(((one < xs) | (one == xs)) & (xs < V::splat(0x1p1000)))) {
        const V v = ys * log_lanes<false>(xs);
        if (all((V::splat(-700.0) < v) & (v < V::splat(700.0)))) return select(trivial, one, exp_lanes<false>(v));
    }
    return select(trivial, one, exp_lanes<true>(ys * log_lanes<true>(xs)));
}

}  // namespace
}  // namespace audiomix
