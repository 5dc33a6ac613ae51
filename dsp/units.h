// The unit conversions the stages' derived values are made with. Their
// rounding points are part of the output: both builds must agree bit for bit.
#pragma once

#include <cstdint>

namespace audiomix {

// 10^(dB x 0.05) with 0.05 in single precision, the product and the power in
// double precision.
double db_to_linear(int16_t dB);

// One-pole smoothing coefficient 1 - 1 / (rate x ms x 0.001), with 0.001 in
// single precision.
double ms_to_coef(int32_t sampleRate, float ms);

}  // namespace audiomix
