#include "dsp/compressor.h"

#include "dsp/compressor_kernel.h"
#include "dsp/kernels.h"
#include "dsp/units.h"

namespace audiomix {

namespace {
inline bool is_finite(float v) { return v - v == 0.0f; }
}  // namespace

float comp_threshold(int32_t thresholdDb) {
    return static_cast<float>(db_to_linear(static_cast<int16_t>(thresholdDb - 3)));
}

float comp_slope(int32_t ratio) { return static_cast<float>(ratio * 0.1); }

CompTimes comp_times(int32_t sampleRate, int32_t attackMs, int32_t releaseMs) {
    CompTimes t;
    t.attack = static_cast<float>(ms_to_coef(sampleRate, static_cast<float>(attackMs)));
    t.release = static_cast<float>(ms_to_coef(sampleRate, static_cast<float>(releaseMs)));
    t.average = attackMs >= releaseMs ? t.release : t.attack;
    return t;
}

void comp_process(const ChainParams& params, ChainSignal& signal, const float* work, int32_t frames, int16_t* out,
                  int32_t stride) {
    const double threshold = params.compThreshold;
    CompressorRun run;
    run.meanSquare = signal.compMeanSquare;
    run.gain = signal.compGain;
    run.threshold2 = static_cast<float>(threshold * threshold);
    run.avg = params.compAvgCoef;
    run.attack = params.compAttackCoef;
    run.release = params.compReleaseCoef;
    run.exponent = static_cast<double>(params.compSlope) * 0.5 - 0.5;
    // A few samples go one at a time, here: less than the blocks' set-up.
    if (frames < 8)
        compress_frame_by_frame(run, work, frames, out, stride);
    else
        stage_kernels().compressor(run, work, frames, out, stride);
    // Only an unusable sample rate (zero, negative, tiny) can drive the
    // states out of range; never let them poison later buffers.
    signal.compMeanSquare = is_finite(run.meanSquare) ? run.meanSquare : 0.0f;
    signal.compGain = is_finite(run.gain) ? run.gain : 1.0f;
}

}  // namespace audiomix
