#include "eqpage/eq_rules.h"

#include <cstring>

#include "dsp/equaliser.h"
#include "engine/engine_state.h"
#include "eqpage/eq_layout.h"
#include "eqpage/preset_store.h"

namespace audiomix {

namespace {

void set_all_channels(EngineState& state, float value, int32_t band) {
    const int32_t channels = state.channelCount < kMaxChannels ? state.channelCount : kMaxChannels;
    for (int32_t c = 0; c < channels; ++c) eq_set_gain(state, value, band, c);
}

int32_t truncate_to_int(double v) {
    // Values stay far inside int32 in practice; saturate rather than overflow.
    if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
    if (!(v < 2147483647.0)) return INT32_MAX;
    return static_cast<int32_t>(v);
}

}  // namespace

float eq_band_value_from_position(int32_t position) {
    return static_cast<float>(20.0 - position * 20.0 * 0.04);
}

int32_t eq_band_position_from_value(double value) { return truncate_to_int(25.0 - 1.25 * value); }

float eq_pregain_value_from_position(int32_t position) {
    return static_cast<float>((position - 12) * 1.5);
}

int32_t eq_apply_band(EngineState& state, int32_t band, float value, bool linked,
                      int32_t bandCount, LinkedMove moves[4]) {
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
    const Neighbour neighbours[4] = {
        {+1, 0.75}, {+2, band == 0 ? 0.5 : 0.6}, {-1, 0.75}, {-2, 0.6}};
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

void eq_apply_pregain(EngineState& state, float value) {
    set_all_channels(state, value, -1);
    state.settingsChanged = 1;
}

void eq_apply_second_pass(EngineState& state, bool on) {
    state.eqSecondPass = on ? 1 : 0;
    state.settingsChanged = 1;
}

void eq_apply_band_count(EngineState& state, int32_t count) {
    eq_set_band_count(state, count);
    std::memset(state.bandGainDb, 0, sizeof state.bandGainDb);
    state.settingsChanged = 1;
}

bool eq_band_count_available(const EngineState& state, int32_t count) {
    return eq_band_count_enabled(count, state.sampleRate);
}

void eq_apply_preset(EngineState& state, const PresetRecord& record) {
    const int32_t bands = record.bandCount < kMaxBands ? record.bandCount : kMaxBands;
    for (int32_t b = 0; b < bands; ++b) {
        set_all_channels(state, static_cast<float>(record.gainDb[b]), b);
        state.bandGainDb[b] = record.gainDb[b];
    }
}

void eq_choose_preset(EngineState& state, const PresetRecord& record) {
    state.settingsChanged = 1;
    eq_apply_preset(state, record);
}

void eq_page_initialised(EngineState& state) {
    LoadPresets(state.presetPath);
    std::memset(state.bandGainDb, 0, sizeof state.bandGainDb);
}

void eq_page_reset(EngineState& state) {
    std::memset(state.bandGainDb, 0, sizeof state.bandGainDb);
    eq_set_band_count(state, 10);
}

}  // namespace audiomix
