#include "dsp/compressor.h"

#include "dsp/pcm.h"
#include "dsp/portable_math.h"
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
    float m = state.compMeanSquare;
    float g = state.compGain;
    const double threshold = state.compThreshold;
    const float t2 = static_cast<float>(threshold * threshold);
    const double a = state.compAvgCoef;
    const double attack = state.compAttackCoef;
    const double release = state.compReleaseCoef;
    // On the mean square, so half the exponent of the level law.
    const double exponent = static_cast<double>(state.compSlope) * 0.5 - 0.5;
    for (int32_t f = 0; f < frames; ++f) {
        const float x = static_cast<float>(work[f] * kPcmToUnit);
        m = static_cast<float>(static_cast<double>(x) * x * (1.0 - a) + m * a);
        const double target = m < t2 ? 1.0 : portable_pow(static_cast<double>(m) / t2, exponent);
        const double k = target < g ? attack : release;
        g = static_cast<float>((1.0 - k) * target + k * g);
        out[f * stride] = compressor_to_pcm16(static_cast<double>(x) * g);
    }
    // Only an unusable sample rate (zero, negative, tiny) can drive the
    // states out of range; never let them poison later buffers.
    state.compMeanSquare = is_finite(m) ? m : 0.0f;
    state.compGain = is_finite(g) ? g : 1.0f;
}

}  // namespace audiomix
