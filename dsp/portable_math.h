// Exponential, logarithm and power in plain IEEE double arithmetic.
//
// The Windows runtime and glibc give different last bits for exp and pow, so
// the two builds would draw different tap gains and compressor curves. These
// routines use only +, -, *, / and bit manipulation, so with contraction off
// (-ffp-contract=off) every build computes the same bits. Accuracy: exp and
// log below one unit in the last place; pow(x, y) = exp(y log x) with the
// error of log scaled by |y log x|, far below single precision, which is
// where every caller stores its result.
#pragma once

#include <cstdint>

#include "dsp/float_bits.h"

namespace audiomix {

namespace portable_math_detail {

// 2^k for k in the normal range, built from the exponent field.
inline double pow2i(int k) { return double_from_bits(static_cast<uint64_t>(k + 1023) << 52); }

}  // namespace portable_math_detail

// e^x. Reduction x = k ln2 + r with |r| <= ln2/2, then a rational
// approximation of e^r whose polynomial part has minimax coefficients.
inline double portable_exp(double x) {
    using namespace portable_math_detail;
    using namespace exp_log;

    if (x != x) return x;
    if (x > kOverflow) return double_from_bits(0x7ff0000000000000ull);
    if (x < kUnderflow) return 0.0;
    if (x < 3.7252902984e-09 && x > -3.7252902984e-09) return 1.0 + x;

    const double kd = x * kInvLn2 + (x < 0 ? -0.5 : 0.5);
    const int k = static_cast<int>(kd);
    const double hi = x - k * kLn2Hi;
    const double lo = k * kLn2Lo;
    const double r = hi - lo;
    const double t = r * r;
    const double c = r - t * (P1 + t * (P2 + t * (P3 + t * (P4 + t * P5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    if (k >= -1021) {
        if (k == 1024) return y * 2.0 * pow2i(1023);
        return y * pow2i(k);
    }
    return y * pow2i(k + 1000) * pow2i(-1000);
}

// Natural logarithm for x > 0 (0 gives -inf, negatives and NaN give NaN).
// x = 2^k (1 + f) with sqrt(2)/2 <= 1 + f < sqrt(2); log(1 + f) from the
// series in s = f / (2 + f).
inline double portable_log(double x) {
    using namespace portable_math_detail;
    using namespace exp_log;

    if (x != x || x < 0) return double_from_bits(0x7ff8000000000000ull);
    if (x == 0) return -double_from_bits(0x7ff0000000000000ull);
    uint64_t u = bits_of(x);
    int k = 0;
    if (u < 0x0010000000000000ull) {  // subnormal: scale into the normal range
        x *= 18014398509481984.0;     // 2^54
        u = bits_of(x);
        k -= 54;
    }
    if (u >= 0x7ff0000000000000ull) return x;  // +inf
    int e = static_cast<int>(u >> 52) - 1023;
    uint64_t m = u & 0x000fffffffffffffull;
    // Put the mantissa in [sqrt(2)/2, sqrt(2)).
    if (m > 0x6a09e667f3bcdull) {
        m |= 0x3fe0000000000000ull;
        e += 1;
    } else {
        m |= 0x3ff0000000000000ull;
    }
    k += e;
    const double f = double_from_bits(m) - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    const double R = t2 + t1;
    const double hfsq = 0.5 * f * f;
    const double dk = k;
    return dk * kLn2Hi - ((hfsq - (s * (hfsq + R) + dk * kLn2Lo)) - f);
}

// x^y for x > 0; x = 0 gives 0 for y > 0 and +inf for y < 0; x^0 = 1.
inline double portable_pow(double x, double y) {
    if (y == 0) return 1.0;
    if (x == 1.0) return 1.0;
    return portable_exp(y * portable_log(x));
}

// 10^x, the dB law's exponential.
inline double portable_exp10(double x) {
    constexpr double kLn10 = 2.302585092994045684;
    return portable_exp(x * kLn10);
}

}  // namespace audiomix
