// The graphic equaliser: parallel second-order band-pass filters whose
// weighted outputs are added to an attenuated copy of the input, with
// pre-gain, dither and an optional second pass over the running sum.
#pragma once

#include <cstdint>

namespace audiomix {

struct EngineState;

// Maps a value of the equaliser page's scale to a linear factor: band >= 0
// sets that band's gain (-20 ... +20 covers the sliders), band < 0 the
// pre-gain (doubling every 10 units). Also remembers the value applied.
void eq_set_gain(EngineState& state, float value, int32_t band, int32_t channel);

// Switches the band layout: selects the table, puts every gain of every
// channel at its 0 value and clears the filter memories.
void eq_set_band_count(EngineState& state, int32_t count);

// Zeroes both banks of filter memories and draws a new dither table.
void eq_reset_state(EngineState& state);

// Whether the stage runs for this buffer.
bool eq_stage_enabled(const EngineState& state, int32_t lengthBytes);

// Filters frames interleaved frames of state.channelCount channels in place,
// with the kernel set dsp/kernels.h chose. Does nothing without a table, for
// a channel count outside 1 ... 2, or when the slot indices are not the
// rotation the frame loop always leaves (prev1 = cur - 1, prev2 = cur - 2,
// mod 3): only a record written by hand can break that, and then nothing
// sensible is left to compute.
void eq_process(EngineState& state, int16_t* samples, int32_t frames);

}  // namespace audiomix
