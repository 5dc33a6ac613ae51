#include "model/eq_rules.h"

#include <cstring>

#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "model/preset_store.h"
#include "model/settings.h"

namespace audiomix {

namespace {

void set_all_channels(Settings& state, float value, int32_t band) {
    const int32_t channels = state.chain.channelCount < kMaxChannels ? state.chain.channelCount : kMaxChannels;
    for (int32_t c = 0; c < channels; ++c) eq_set_gain(state, value, band, c);
}

int32_t truncate_to_int(double v) {
    // Values stay far inside int32 in practice; saturate rather than overflow.
    if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
    if (!(v < 2147483647.0)) return INT32_MAX;
    return static_cast<int32_t>(v);
}

}  // namespace

void eq_set_gain(Settings& state, float value, int32_t band, int32_t channel) {
    if (channel < 0 || channel >= kMaxChannels || band >= kMaxBands) return;
    if (band >= 0) {
        state.chain.eqGain[band][channel] = eq_band_factor(value);
        if (channel == 0) state.eqBandValue[band] = value;
    } else {
        state.chain.eqPreGain[channel] = eq_pregain_factor(value);
        if (channel == 0) state.eqPreGainValue = value;
    }
}

void eq_set_band_count(Settings& state, int32_t count) {
    state.eqBandCount = count;
    // At a rate the tables do not cover the equaliser stays off: the table is
    // chosen for its captions, but the host's rate is kept, so the stage gate
    // keeps failing and reverb and compressor keep their time base.
    const int32_t rate = state.chain.sampleRate;
    eq_select_table(state.chain, count, rate);
    if (!is_equaliser_rate(rate)) state.chain.sampleRate = rate;
    const int32_t bands = count < kMaxBands ? count : kMaxBands;
    set_all_channels(state, 0.0f, -1);
    for (int32_t b = 0; b < bands; ++b) set_all_channels(state, 0.0f, b);
    eq_reset_state(state);
}

void eq_reset_state(Settings& state) {
    eq_draw_dither(state.random, state.chain.eqDither);
    ++state.chain.eqClears;
}

float eq_band_value_from_position(int32_t position) { return static_cast<float>(20.0 - position * 20.0 * 0.04); }

int32_t eq_band_position_from_value(double value) { return truncate_to_int(25.0 - 1.25 * value); }

float eq_pregain_value_from_position(int32_t position) { return static_cast<float>((position - 12) * 1.5); }

int32_t eq_apply_band(Settings& state, int32_t band, float value, bool linked, int32_t bandCount, LinkedMove moves[4]) {
    if (band < 0 || band >= kMaxBands) return 0;
    set_all_channels(state, value, band);
    const double delta = static_cast<double>(value) - state.bandGainDb[band];
    state.bandGainDb[band] = truncate_to_int(value);
    state.settingsChanged = 1;
    if (!linked) return 0;

    struct Neighbour {
        int32_t offset;
        double weight;
    };
    const Neighbour neighbours[4] = {{+1, 0.75}, {+2, band == 0 ? 0.5 : 0.6}, {-1, 0.75}, {-2, 0.6}};
    const int32_t limit = bandCount < kMaxBands ? bandCount : kMaxBands;
    int32_t moved = 0;
    for (const Neighbour& n : neighbours) {
        const int32_t j = band + n.offset;
        if (j < 0 || j >= limit) continue;
        const double gj = delta * n.weight + state.bandGainDb[j];
        state.bandGainDb[j] = truncate_to_int(gj);
        set_all_channels(state, static_cast<float>(gj), j);
        moves[moved++] = {j, gj, eq_band_position_from_value(gj)};
    }
    return moved;
}

void eq_apply_pregain(Settings& state, float value) {
    set_all_channels(state, value, -1);
    state.settingsChanged = 1;
}

void eq_apply_second_pass(Settings& state, bool on) {
    state.chain.eqSecondPass = on ? 1 : 0;
    state.settingsChanged = 1;
}

void eq_apply_band_count(Settings& state, int32_t count) {
    eq_set_band_count(state, count);
    std::memset(state.bandGainDb, 0, sizeof state.bandGainDb);
    state.settingsChanged = 1;
}

bool eq_band_count_enabled(int32_t bandCount, int32_t sampleRate) {
    if (bandCount == 10) return true;
    if (bandCount != 15 && bandCount != 25 && bandCount != 31) return false;
    return sampleRate >= 44100;
}

bool eq_band_count_available(const Settings& state, int32_t count) {
    return eq_band_count_enabled(count, state.chain.sampleRate);
}

void eq_apply_preset(Settings& state, const PresetRecord& record) {
    const int32_t bands = record.bandCount < kMaxBands ? record.bandCount : kMaxBands;
    for (int32_t b = 0; b < bands; ++b) {
        set_all_channels(state, static_cast<float>(record.gainDb[b]), b);
        state.bandGainDb[b] = record.gainDb[b];
    }
}

void eq_choose_preset(Settings& state, const PresetRecord& record) {
    state.settingsChanged = 1;
    eq_apply_preset(state, record);
}

void eq_page_initialised(Settings& state) { std::memset(state.bandGainDb, 0, sizeof state.bandGainDb); }

void eq_page_reset(Settings& state) {
    std::memset(state.bandGainDb, 0, sizeof state.bandGainDb);
    eq_set_band_count(state, 10);
}

}  // namespace audiomix
