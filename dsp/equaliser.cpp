#include "dsp/equaliser.h"

#include <cstring>

#include "dsp/eq_tables.h"
#include "dsp/equaliser_kernel.h"
#include "dsp/kernels.h"
#include "dsp/portable_math.h"
#include "engine/engine_state.h"
#include "engine/random_source.h"

namespace audiomix {

namespace {

bool is_equaliser_rate(int32_t rate) {
    return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
}

// The frame loop only ever leaves the slot indices a rotation of (0, 1, 2)
// with prev1 = cur - 1 and prev2 = cur - 2 (mod 3); the kernels rely on it.
bool slots_are_a_rotation(const EngineState& s) {
    const int32_t cur = s.eqSlotCur;
    return cur >= 0 && cur < 3 && s.eqSlotPrev1 == (cur + 2) % 3 && s.eqSlotPrev2 == (cur + 1) % 3;
}

}  // namespace

void eq_set_gain(EngineState& state, float value, int32_t band, int32_t channel) {
    if (channel < 0 || channel >= kMaxChannels || band >= kMaxBands) return;
    const double v = value;
    if (band >= 0) {
        // Fitted so that 0 gives no band contribution and +20 about unity.
        state.eqGain[band][channel] = static_cast<float>(
            0.25220207857061455 * portable_exp(0.08017836180235399 * v) - 0.2522020785283656);
        if (channel == 0) state.eqBandValue[band] = value;
    } else {
        state.eqPreGain[channel] = static_cast<float>(
            0.9999994649721758 * portable_exp(0.06931473865667184 * v) + 3.7119444716771826e-07);
        if (channel == 0) state.eqPreGainValue = value;
    }
}

void eq_set_band_count(EngineState& state, int32_t count) {
    state.eqBandCount = count;
    // At a rate the tables do not cover the equaliser stays off: the table is
    // chosen for its captions, but the host's rate is kept, so the stage gate
    // keeps failing and reverb and compressor keep their time base.
    const int32_t rate = state.sampleRate;
    eq_select_table(state, count, rate);
    if (!is_equaliser_rate(rate)) state.sampleRate = rate;
    const int32_t channels = state.channelCount < kMaxChannels ? state.channelCount : kMaxChannels;
    const int32_t bands = count < kMaxBands ? count : kMaxBands;
    for (int32_t c = 0; c < channels; ++c) {
        eq_set_gain(state, 0.0f, -1, c);
        for (int32_t b = 0; b < bands; ++b) eq_set_gain(state, 0.0f, b, c);
    }
    eq_reset_state(state);
}

void eq_reset_state(EngineState& state) {
    std::memset(state.eqHistory, 0, sizeof state.eqHistory);
    for (double& d : state.eqDither) d = static_cast<double>(random_next() % 4 - 2);
    state.eqDitherIndex = 0;
}

bool eq_stage_enabled(const EngineState& state, int32_t lengthBytes) {
    return is_equaliser_rate(state.sampleRate) && state.eqOn == 1 && lengthBytes >= 2 &&
           state.eqTable != nullptr;
}

void eq_process(EngineState& state, int16_t* samples, int32_t frames) {
    if (state.eqTable == nullptr || state.channelCount < 1 || state.channelCount > kMaxChannels ||
        !slots_are_a_rotation(state))
        return;
    // Filling and draining the pipeline costs about as much as 4 + 40 / stages
    // frames run one by one (measured); shorter buffers go frame by frame.
    const int32_t bands = state.eqActiveBands;
    const int32_t stages = state.eqSecondPass == 1 ? 2 * bands : bands;
    if (bands <= 0 || frames < 4 + 40 / stages)
        eq_frame_by_frame(state, samples, frames);
    else
        stage_kernels().equaliser(state, samples, frames);
}

}  // namespace audiomix
