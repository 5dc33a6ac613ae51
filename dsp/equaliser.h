// The graphic equaliser: parallel second-order band-pass filters whose
// weighted outputs are added to an attenuated copy of the input, with
// pre-gain, dither and an optional second pass over the running sum.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"

namespace audiomix {

class RandomSource;

// The rates the coefficient tables cover; at any other the stage stays off.
bool is_equaliser_rate(int32_t rate);

// A value of the equaliser page's scale as a band's linear factor: -20 ... +20
// covers the sliders, 0 gives no band contribution, +20 about unity.
float eq_band_factor(float value);

// A pre-gain value as a linear factor, doubling every 10 units.
float eq_pregain_factor(float value);

// A new dither table: 256 draws of (r % 4 - 2).
void eq_draw_dither(RandomSource& random, double (&dither)[kDitherSize]);

// Whether the stage runs for this buffer.
bool eq_stage_enabled(const ChainParams& params, int32_t lengthBytes);

// Filters frames interleaved frames of params.channelCount channels in place,
// with the kernel set dsp/kernels.h chose. Does nothing without a table, for
// a channel count outside 1 ... 2, or when the slot indices are not the
// rotation the frame loop always leaves (prev1 = cur - 1, prev2 = cur - 2,
// mod 3): only a record written by hand can break that, and then nothing
// sensible is left to compute.
void eq_process(const ChainParams& params, ChainSignal& signal, int16_t* samples, int32_t frames);

}  // namespace audiomix
