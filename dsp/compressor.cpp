#include "dsp/compressor.h"

#include "dsp/compressor_kernel.h"
#include "dsp/kernels.h"
#include "engine/engine_state.h"

namespace audiomix {

namespace {
inline bool is_finite(float v) { return v - v == 0.0f; }
}  // namespace

void comp_update_threshold(EngineState& state) {
    state.compThreshold =
        static_cast<float>(db_to_linear(static_cast<int16_t>(state.compThresholdDb - 3)));
}

void comp_update_times(EngineState& state) {
    state.compAttackCoef = static_cast<float>(ms_to_coef(state, static_cast<float>(state.compAttackMs)));
    state.compReleaseCoef = static_cast<float>(ms_to_coef(state, static_cast<float>(state.compReleaseMs)));
    state.compAvgCoef = state.compAttackMs >= state.compReleaseMs ? state.compReleaseCoef
                                                                  : state.compAttackCoef;
}

void comp_update_slope(EngineState& state) {
    state.compSlope = static_cast<float>(state.compRatio * 0.1);
}

void comp_process(EngineState& state, const float* work, int32_t frames, int16_t* out,
                  int32_t stride) {
    const double threshold = state.compThreshold;
    CompressorRun run;
    run.meanSquare = state.compMeanSquare;
    run.gain = state.compGain;
    run.threshold2 = static_cast<float>(threshold * threshold);
    run.avg = state.compAvgCoef;
    run.attack = state.compAttackCoef;
    run.release = state.compReleaseCoef;
    run.exponent = static_cast<double>(state.compSlope) * 0.5 - 0.5;
    // A few samples go one at a time, here: less than the blocks' set-up.
    if (frames < 8)
        compress_frame_by_frame(run, work, frames, out, stride);
    else
        stage_kernels().compressor(run, work, frames, out, stride);
    // Only an unusable sample rate (zero, negative, tiny) can drive the
    // states out of range; never let them poison later buffers.
    state.compMeanSquare = is_finite(run.meanSquare) ? run.meanSquare : 0.0f;
    state.compGain = is_finite(run.gain) ? run.gain : 1.0f;
}

}  // namespace audiomix
