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
void chain_process(const ChainParams& params, ChainSignal& signal, int16_t* samples,
                   int32_t lengthBytes, uint8_t drawDisplay);

// frames = (lengthBytes / 2) / channels, truncating; 0 for bad arguments.
int32_t chain_frame_count(int32_t lengthBytes, int32_t channels);

}  // namespace audiomix
