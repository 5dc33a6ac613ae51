#include "ui/effect_rules.h"

#include "dsp/compressor.h"
#include "dsp/reverb.h"
#include "engine/engine_state.h"

namespace audiomix {

namespace {

bool is_compressor_box(EffectBox box) {
    return box == EffectBox::Threshold || box == EffectBox::Ratio || box == EffectBox::Attack ||
           box == EffectBox::Release;
}

// Boxes whose slider shows the negated value.
bool is_negated(EffectBox box) {
    return box == EffectBox::Threshold || box == EffectBox::CombDb || box == EffectBox::WetDb;
}

void store_compressor(EngineState& state, EffectBox box, int32_t value) {
    switch (box) {
    case EffectBox::Threshold:
        state.compThresholdDb = value;
        comp_update_threshold(state);
        break;
    case EffectBox::Ratio:
        state.compRatio = value;
        comp_update_slope(state);
        break;
    case EffectBox::Attack:
        state.compAttackMs = value;
        comp_update_times(state);
        break;
    case EffectBox::Release:
        state.compReleaseMs = value;
        comp_update_times(state);
        break;
    default:
        break;
    }
}

// The gain a reverb dB parameter drives, in both lines.
void update_reverb_gain(EngineState& state, EffectBox box) {
    for (ReverbLine& line : state.reverb) {
        if (box == EffectBox::CombDb)
            line.combGain = static_cast<float>(db_to_linear(static_cast<int16_t>(line.combDb)));
        else if (box == EffectBox::WetDb)
            line.wetGain = static_cast<float>(db_to_linear(static_cast<int16_t>(line.wetDb)));
    }
}

}  // namespace

ValueRange effect_box_range(EffectBox box) {
    switch (box) {
    case EffectBox::Threshold: return {-59, -1};
    case EffectBox::Ratio: return {0, 10};
    case EffectBox::Attack: return {1, 1000};
    case EffectBox::Release: return {1, 1000};
    case EffectBox::CombDb: return {-80, -1};
    case EffectBox::Taps: return {1, 100};
    case EffectBox::WetDb: return {-100, -2};
    case EffectBox::DecayM: return {1, 1000};
    case EffectBox::CombM: return {1, 1000};
    case EffectBox::BaseM: return {0, 100};
    }
    return {0, -1};
}

int32_t effect_box_value(const EngineState& state, EffectBox box) {
    const ReverbLine& line = state.reverb[0];
    switch (box) {
    case EffectBox::Threshold: return state.compThresholdDb;
    case EffectBox::Ratio: return state.compRatio;
    case EffectBox::Attack: return state.compAttackMs;
    case EffectBox::Release: return state.compReleaseMs;
    case EffectBox::CombDb: return line.combDb;
    case EffectBox::Taps: return line.tapCount;
    case EffectBox::WetDb: return line.wetDb;
    case EffectBox::DecayM: return line.decayM;
    case EffectBox::CombM: return line.combM;
    case EffectBox::BaseM: return line.baseM;
    }
    return 0;
}

int32_t effect_slider_id(EffectBox box) {
    switch (box) {
    case EffectBox::Threshold: return 1020;
    case EffectBox::Ratio: return 1021;
    case EffectBox::Attack: return 1022;
    case EffectBox::Release: return 1023;
    case EffectBox::CombDb: return 1024;
    case EffectBox::Taps: return 1025;
    case EffectBox::WetDb: return 1026;
    case EffectBox::DecayM: return 1027;
    case EffectBox::CombM: return 1028;
    case EffectBox::BaseM: return 1029;
    }
    return 0;
}

ValueRange effect_slider_range(EffectBox box) {
    switch (box) {
    case EffectBox::Threshold: return {1, 60};
    case EffectBox::Ratio: return {0, 10};
    case EffectBox::Attack: return {1, 1000};
    case EffectBox::Release: return {1, 1000};
    case EffectBox::CombDb: return {0, 80};
    case EffectBox::Taps: return {1, 100};
    case EffectBox::WetDb: return {0, 100};
    case EffectBox::DecayM: return {1, 1000};
    case EffectBox::CombM: return {1, 1000};
    case EffectBox::BaseM: return {0, 100};
    }
    return {0, -1};
}

int32_t effect_slider_position(EffectBox box, int32_t value) { return is_negated(box) ? -value : value; }

int32_t effect_value_from_position(EffectBox box, int32_t position) {
    return is_negated(box) ? -position : position;
}

void effect_store_reverb(EngineState& state, EffectBox box, int32_t value) {
    for (ReverbLine& line : state.reverb) {
        switch (box) {
        case EffectBox::CombDb: line.combDb = value; break;
        case EffectBox::Taps: line.tapCount = static_cast<uint16_t>(value); break;
        case EffectBox::WetDb: line.wetDb = value; break;
        case EffectBox::DecayM: line.decayM = value; break;
        case EffectBox::CombM:
            // The feedback time is applied, not only shown: the comb delay
            // follows its length by the same law as at initialisation.
            line.combM = value;
            line.combDelay = reverb_comb_delay(value, state.sampleRate);
            break;
        case EffectBox::BaseM: line.baseM = value; break;
        default: break;
        }
    }
}

void effect_update_reverb_gains(EngineState& state) {
    for (ReverbLine& line : state.reverb) reverb_update_gains(line);
}

void effect_redraw_taps(EngineState& state) {
    reverb_regenerate_taps(state, state.reverb[1]);
    reverb_regenerate_taps(state, state.reverb[0]);
}

bool effect_apply_box(EngineState& state, EffectBox box, int64_t value) {
    if (!effect_box_range(box).contains(value)) return false;
    const int32_t v = static_cast<int32_t>(value);
    if (is_compressor_box(box)) {
        store_compressor(state, box, v);
    } else {
        effect_store_reverb(state, box, v);
        update_reverb_gain(state, box);
        effect_redraw_taps(state);
    }
    state.settingsChanged = 1;
    return true;
}

void effect_apply_slider(EngineState& state, EffectBox box, int32_t position) {
    const int32_t v = effect_value_from_position(box, position);
    if (is_compressor_box(box)) store_compressor(state, box, v);
    else effect_store_reverb(state, box, v);
    state.settingsChanged = 1;
}

void effect_apply_release(EngineState& state, EffectBox box, int32_t position) {
    if (is_compressor_box(box)) return;
    effect_store_reverb(state, box, effect_value_from_position(box, position));
    update_reverb_gain(state, box);
    effect_redraw_taps(state);
    state.settingsChanged = 1;
}

void compressor_set_defaults(EngineState& state) {
    state.compThresholdDb = -20;
    state.compRatio = 5;
    state.compAttackMs = 1;
    state.compReleaseMs = 10;
    comp_update_threshold(state);
    comp_update_slope(state);
    comp_update_times(state);
}

void reverb_line_set_defaults(ReverbLine& line, int32_t sampleRate) {
    line.tapCount = 20;
    line.spreadM = 20;
    line.baseM = 5;
    line.decayM = 10;
    line.combM = 20;
    line.combDelay = reverb_comb_delay(line.combM, sampleRate);
    line.wetDb = -10;
    line.combDb = -10;
    reverb_update_gains(line);
}

void effect_compressor_defaults(EngineState& state) {
    compressor_set_defaults(state);
    state.settingsChanged = 1;
}

void effect_reverb_defaults(EngineState& state) {
    for (ReverbLine& line : state.reverb) reverb_line_set_defaults(line, state.sampleRate);
    effect_redraw_taps(state);
    state.settingsChanged = 1;
}

void effect_reload(EngineState& state) {
    effect_update_reverb_gains(state);
    effect_redraw_taps(state);
}

void effect_set_switch(EngineState& state, uint8_t& field, bool on) {
    const uint8_t value = on ? 1 : 0;
    if (field != value) state.settingsChanged = 1;
    field = value;
}

void effect_set_order(EngineState& state, bool reverbFirst) {
    // Only a real switch of the order counts as a change.
    if (state.reverbFirst == (reverbFirst ? 0 : 1)) state.settingsChanged = 1;
    state.reverbFirst = reverbFirst ? 1 : 0;
}

}  // namespace audiomix
