// A plain scalar model of the processing chain, kept as the reference the
// production chain is checked against. It favours being obviously right over
// being fast: one sample, one band, one tap at a time, every rounding point
// written out.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"

namespace audiomix::oracle {

// Same contract as chain_process: the resets params requests first, then the
// stages in the order reverbFirst selects, the compressor last, then
// (drawDisplay exactly 1) the level capture and the per-column averages. The
// oracle draws nothing; when there is a drawing surface and at least one
// frame per column it computes the columns and clears scopeFrameCount as
// drawing would.
void process(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay);

}  // namespace audiomix::oracle
