// The per-buffer processing chain behind audiomix_change.
#pragma once

#include <cstdint>

namespace audiomix {

struct EngineState;

// Processes lengthBytes bytes of interleaved 16-bit samples in place: the
// equaliser and the reverb in the order reverbFirst selects, then the
// compressor, then (drawDisplay exactly 1) the level display. Buffers longer
// than kMaxFrames frames run as consecutive kMaxFrames-frame pieces; a null
// buffer, a negative length or a channel count other than 1 or 2 leave
// everything untouched. Runs with denormals flushed (dsp/fp_mode.h).
void chain_process(EngineState& state, int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay);

// frames = (lengthBytes / 2) / channels, truncating; 0 for bad arguments.
int32_t chain_frame_count(int32_t lengthBytes, int32_t channels);

}  // namespace audiomix
