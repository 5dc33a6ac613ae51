// The compressor: mean-square detector, power-law gain above the threshold,
// separate attack and release smoothing. One detector and one gain state
// serve all channels, which run one after another.
#pragma once

#include <cstdint>

namespace audiomix {

struct EngineState;

// Recomputes compThreshold from compThresholdDb (3 dB below the shown value).
void comp_update_threshold(EngineState& state);

// Recomputes the attack, release and detector coefficients from the times;
// the detector follows the shorter time, the release side on ties.
void comp_update_times(EngineState& state);

// compSlope from compRatio.
void comp_update_slope(EngineState& state);

// Runs frames samples of one channel, given in the work buffer as sample
// values, and writes the results to every stride-th sample of out.
void comp_process(EngineState& state, const float* work, int32_t frames, int16_t* out,
                  int32_t stride);

}  // namespace audiomix
