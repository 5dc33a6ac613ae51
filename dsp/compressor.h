// The compressor: mean-square detector, power-law gain above the threshold,
// separate attack and release smoothing. One detector and one gain state
// serve all channels, which run one after another.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"

namespace audiomix {

// The linear threshold of a shown threshold (3 dB below it).
float comp_threshold(int32_t thresholdDb);

// The slope of the gain law from the ratio setting.
float comp_slope(int32_t ratio);

// The attack, release and detector coefficients from the times at a rate;
// the detector follows the shorter time, the release side on ties.
struct CompTimes {
    float attack;
    float release;
    float average;
};
CompTimes comp_times(int32_t sampleRate, int32_t attackMs, int32_t releaseMs);

// Runs frames samples of one channel, given in the work buffer as sample
// values, and writes the results to every stride-th sample of out.
void comp_process(const ChainParams& params, ChainSignal& signal, const float* work, int32_t frames, int16_t* out,
                  int32_t stride);

}  // namespace audiomix
