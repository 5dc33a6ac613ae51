// The bits of a float or double and back, and the constants of the portable
// exponential and logarithm (portable_math.h for one value, pow_lanes.h for
// lanes), which must agree to the last bit.
#pragma once

#include <cstdint>
#include <cstring>

namespace audiomix {

inline uint64_t bits_of(double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

inline uint32_t bits_of(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

inline double double_from_bits(uint64_t u) {
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

namespace exp_log {

// ln 2 split so that k x kLn2Hi is exact for every k the reductions meet.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

// e^x overflows above and is 0 below.
constexpr double kOverflow = 7.09782712893383973096e+02;
constexpr double kUnderflow = -7.45133219101941108420e+02;

// Minimax coefficients of the rational approximation of e^r.
constexpr double P1 = 1.66666666666666019037e-01;
constexpr double P2 = -2.77777777770155933842e-03;
constexpr double P3 = 6.61375632143793436117e-05;
constexpr double P4 = -1.65339022054652515390e-06;
constexpr double P5 = 4.13813679705723846039e-08;

// Coefficients of the series of log(1 + f) in s = f / (2 + f).
constexpr double Lg1 = 6.666666666666735130e-01;
constexpr double Lg2 = 3.999999999940941908e-01;
constexpr double Lg3 = 2.857142874366239149e-01;
constexpr double Lg4 = 2.222219843214978396e-01;
constexpr double Lg5 = 1.818357216161805012e-01;
constexpr double Lg6 = 1.531383769920937332e-01;
constexpr double Lg7 = 1.479819860511658591e-01;

}  // namespace exp_log

}  // namespace audiomix
