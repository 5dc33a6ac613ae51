// The per-buffer processing chain behind audiomix_change and the engines.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"

namespace audiomix {

// Processes lengthBytes bytes of interleaved 16-bit samples in place with
// one set of parameters: first the resets params requests, then the
// equaliser and the reverb in the order reverbFirst selects, then the
// compressor, then (drawDisplay exactly 1) the level display. Buffers longer
// than kMaxFrames frames run as consecutive kMaxFrames-frame pieces; a null
// buffer, a negative length or a channel count other than 1 or 2 leave the
// samples untouched. Runs with denormals flushed (dsp/fp_mode.h). Never
// allocates, locks or calls the system (the display's surface aside).
void chain_process(const ChainParams& params, ChainSignal& signal, int16_t* samples, int32_t lengthBytes,
                   uint8_t drawDisplay);

// Planar float frames through the chain, as 16-bit samples: each input is
// quantised (x 32768, rounded to nearest, saturated; NaN is 0), processed in
// pieces of kMaxFrames frames, and written back as the 16-bit result / 32768,
// so the result is exactly that of the 16-bit path. in[c] and out[c] may be
// the same array; a null in (or in[c]) is silence, a null out (or out[c]) is
// not written. Returns frames, or 0 for a negative count or a channel count
// other than 1 or 2. No level display.
int32_t chain_process_planar(const ChainParams& params, ChainSignal& signal, const float* const* in, float* const* out,
                             int32_t frames);

// frames = (lengthBytes / 2) / channels, truncating; 0 for bad arguments.
int32_t chain_frame_count(int32_t lengthBytes, int32_t channels);

}  // namespace audiomix
