#include "dsp/equaliser.h"

#include <cstring>

#include "dsp/eq_tables.h"
#include "dsp/pcm.h"
#include "dsp/portable_math.h"
#include "engine/engine_state.h"
#include "engine/random_source.h"

namespace audiomix {

namespace {

bool is_equaliser_rate(int32_t rate) {
    return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
}

// One band-pass step. x2 is the input two samples back, y1 and y2 the
// outputs one and two back; the filter's gain of 2 is folded into the
// coefficients.
inline float band_step(const EqBand& band, float x, float x2, float y1, float y2) {
    return static_cast<float>(static_cast<double>(band.alpha) * (static_cast<double>(x) - x2) +
                              static_cast<double>(band.gamma) * y1 -
                              static_cast<double>(band.beta) * y2);
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
    const EqBand* bands = state.eqTable->bands;
    const int32_t active = state.eqActiveBands;
    const int32_t channels = state.channelCount;
    const bool second_pass = state.eqSecondPass == 1;
    int32_t cur = state.eqSlotCur, p1 = state.eqSlotPrev1, p2 = state.eqSlotPrev2;
    int32_t dither_index = state.eqDitherIndex;

    for (int32_t f = 0; f < frames; ++f) {
        const double d = state.eqDither[dither_index];
        for (int32_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[f * channels + c];
            const float x = static_cast<float>(static_cast<double>(sample) * state.eqPreGain[c] + d);
            float acc = 0.0f;
            for (int32_t b = 0; b < active; ++b) {
                float* h = state.eqHistory[0][b][c];
                h[cur] = x;
                const float y = band_step(bands[b], x, h[p2], h[3 + p1], h[3 + p2]);
                h[3 + cur] = y;
                acc = static_cast<float>(static_cast<double>(acc) +
                                         static_cast<double>(y) * state.eqGain[b][c]);
            }
            if (second_pass) {
                for (int32_t b = 0; b < active; ++b) {
                    float* h = state.eqHistory[1][b][c];
                    const float in = acc;
                    h[cur] = in;
                    const float y = band_step(bands[b], in, h[p2], h[3 + p1], h[3 + p2]);
                    h[3 + cur] = y;
                    acc = static_cast<float>(static_cast<double>(acc) +
                                             2.0 * static_cast<double>(y) * state.eqGain[b][c]);
                }
            }
            const float out = static_cast<float>(0.45 * static_cast<double>(x) +
                                                 static_cast<double>(acc) - 0.25 * d);
            sample = equaliser_to_pcm16(out);
        }
        // The slots rotate so that the memories never move.
        ++cur;
        ++p1;
        ++p2;
        if (cur == 3) cur = 0;
        else if (p1 == 3) p1 = 0;
        else p2 = 0;
        dither_index = (dither_index + 1) & (kDitherSize - 1);
    }
    state.eqSlotCur = cur;
    state.eqSlotPrev1 = p1;
    state.eqSlotPrev2 = p2;
    state.eqDitherIndex = dither_index;
}

}  // namespace audiomix
