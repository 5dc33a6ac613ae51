#include "model/effect_rules.h"

#include "dsp/compressor.h"
#include "dsp/reverb.h"
#include "dsp/units.h"
#include "model/parameters.h"
#include "model/settings.h"

namespace audiomix {

namespace {

// Boxes whose slider shows the negated value.
bool is_negated(EffectValue which) {
    return which == EffectValue::Threshold || which == EffectValue::CombDb || which == EffectValue::WetDb;
}

void update_compressor_times(Settings& state) {
    const CompTimes times = comp_times(state.chain.sampleRate, state.compAttackMs, state.compReleaseMs);
    state.chain.compAttackCoef = times.attack;
    state.chain.compReleaseCoef = times.release;
    state.chain.compAvgCoef = times.average;
}

void store_compressor(Settings& state, EffectValue which, int32_t value) {
    switch (which) {
        case EffectValue::Threshold:
            state.compThresholdDb = value;
            state.chain.compThreshold = comp_threshold(value);
            break;
        case EffectValue::Ratio:
            state.compRatio = value;
            state.chain.compSlope = comp_slope(value);
            break;
        case EffectValue::Attack:
            state.compAttackMs = value;
            update_compressor_times(state);
            break;
        case EffectValue::Release:
            state.compReleaseMs = value;
            update_compressor_times(state);
            break;
        default: break;
    }
}

// The gain a reverb dB parameter drives, in both channels.
void update_reverb_gain(Settings& state, EffectValue which) {
    for (int32_t c = 0; c < kMaxChannels; ++c) {
        ReverbVoice& voice = state.chain.reverb[c];
        if (which == EffectValue::CombDb)
            voice.combGain = reverb_gain(state.reverb[c].combDb);
        else if (which == EffectValue::WetDb)
            voice.wetGain = reverb_gain(state.reverb[c].wetDb);
    }
}

void update_reverb_gains(Settings& state, int32_t c) {
    state.chain.reverb[c].combGain = reverb_gain(state.reverb[c].combDb);
    state.chain.reverb[c].wetGain = reverb_gain(state.reverb[c].wetDb);
}

// The chain's field of a switch.
uint8_t& switch_field(Settings& state, EffectSwitch which) {
    switch (which) {
        case EffectSwitch::Reverb: return state.chain.reverbOn;
        case EffectSwitch::Compressor: return state.chain.compOn;
        case EffectSwitch::Equaliser: break;
    }
    return state.chain.eqOn;
}

}  // namespace

bool effect_is_compressor(EffectValue which) {
    return which == EffectValue::Threshold || which == EffectValue::Ratio || which == EffectValue::Attack ||
           which == EffectValue::Release;
}

ValueRange effect_box_range(EffectValue which) {
    const ParamInfo& p = param_for_box(static_cast<int32_t>(which));
    return {static_cast<int32_t>(p.minimum), static_cast<int32_t>(p.maximum)};
}

int32_t effect_box_value(const Settings& state, EffectValue which) {
    const ReverbShape& line = state.reverb[0];
    switch (which) {
        case EffectValue::Threshold: return state.compThresholdDb;
        case EffectValue::Ratio: return state.compRatio;
        case EffectValue::Attack: return state.compAttackMs;
        case EffectValue::Release: return state.compReleaseMs;
        case EffectValue::CombDb: return line.combDb;
        case EffectValue::Taps: return state.chain.reverb[0].tapCount;
        case EffectValue::WetDb: return line.wetDb;
        case EffectValue::DecayM: return line.decayM;
        case EffectValue::CombM: return line.combM;
        case EffectValue::BaseM: return line.baseM;
    }
    return 0;
}

int32_t effect_slider_id(EffectValue which) {
    switch (which) {
        case EffectValue::Threshold: return 1020;
        case EffectValue::Ratio: return 1021;
        case EffectValue::Attack: return 1022;
        case EffectValue::Release: return 1023;
        case EffectValue::CombDb: return 1024;
        case EffectValue::Taps: return 1025;
        case EffectValue::WetDb: return 1026;
        case EffectValue::DecayM: return 1027;
        case EffectValue::CombM: return 1028;
        case EffectValue::BaseM: return 1029;
    }
    return 0;
}

ValueRange effect_slider_range(EffectValue which) {
    switch (which) {
        case EffectValue::Threshold: return {1, 60};
        case EffectValue::Ratio: return {0, 10};
        case EffectValue::Attack: return {1, 1000};
        case EffectValue::Release: return {1, 1000};
        case EffectValue::CombDb: return {0, 80};
        case EffectValue::Taps: return {1, 100};
        case EffectValue::WetDb: return {0, 100};
        case EffectValue::DecayM: return {1, 1000};
        case EffectValue::CombM: return {1, 1000};
        case EffectValue::BaseM: return {0, 100};
    }
    return {0, -1};
}

int32_t effect_slider_position(EffectValue which, int32_t value) { return is_negated(which) ? -value : value; }

int32_t effect_value_from_position(EffectValue which, int32_t position) {
    return is_negated(which) ? -position : position;
}

void effect_store_reverb(Settings& state, EffectValue which, int32_t value) {
    for (int32_t c = 0; c < kMaxChannels; ++c) {
        ReverbShape& shape = state.reverb[c];
        ReverbVoice& voice = state.chain.reverb[c];
        switch (which) {
            case EffectValue::CombDb: shape.combDb = value; break;
            case EffectValue::Taps: voice.tapCount = static_cast<uint16_t>(value); break;
            case EffectValue::WetDb: shape.wetDb = value; break;
            case EffectValue::DecayM: shape.decayM = value; break;
            case EffectValue::CombM:
                // The feedback time is applied, not only shown: the comb delay
                // follows its length by the same law as at initialisation.
                shape.combM = value;
                voice.combDelay = reverb_comb_delay(value, state.chain.sampleRate);
                break;
            case EffectValue::BaseM: shape.baseM = value; break;
            default: break;
        }
    }
}

void effect_update_reverb_gains(Settings& state) {
    for (int32_t c = 0; c < kMaxChannels; ++c) update_reverb_gains(state, c);
}

void reverb_redraw_taps(Settings& state, int32_t channel) {
    const ReverbShape& shape = state.reverb[channel];
    reverb_draw_taps(state.random, state.chain.sampleRate, {shape.spreadM, shape.baseM, shape.decayM},
                     state.chain.reverb[channel]);
}

void effect_redraw_taps(Settings& state) {
    reverb_redraw_taps(state, 1);
    reverb_redraw_taps(state, 0);
}

bool effect_apply_box(Settings& state, EffectValue which, int64_t value) {
    if (!effect_box_range(which).contains(value)) return false;
    const int32_t v = static_cast<int32_t>(value);
    if (effect_is_compressor(which)) {
        store_compressor(state, which, v);
    } else {
        effect_store_reverb(state, which, v);
        update_reverb_gain(state, which);
        effect_redraw_taps(state);
    }
    state.settingsChanged = 1;
    return true;
}

void effect_apply_slider(Settings& state, EffectValue which, int32_t position) {
    const int32_t v = effect_value_from_position(which, position);
    if (effect_is_compressor(which))
        store_compressor(state, which, v);
    else
        effect_store_reverb(state, which, v);
    state.settingsChanged = 1;
}

void effect_apply_release(Settings& state, EffectValue which, int32_t position) {
    if (effect_is_compressor(which)) return;
    effect_store_reverb(state, which, effect_value_from_position(which, position));
    update_reverb_gain(state, which);
    effect_redraw_taps(state);
    state.settingsChanged = 1;
}

void compressor_set_defaults(Settings& state) {
    state.compThresholdDb = kCompressorDefaults.thresholdDb;
    state.compRatio = kCompressorDefaults.ratio;
    state.compAttackMs = kCompressorDefaults.attackMs;
    state.compReleaseMs = kCompressorDefaults.releaseMs;
    state.chain.compThreshold = comp_threshold(state.compThresholdDb);
    state.chain.compSlope = comp_slope(state.compRatio);
    update_compressor_times(state);
}

void reverb_set_defaults(Settings& state, int32_t channel) {
    ReverbShape& shape = state.reverb[channel];
    ReverbVoice& voice = state.chain.reverb[channel];
    voice.tapCount = static_cast<uint16_t>(kReverbDefaults.taps);
    shape.spreadM = kReverbDefaults.spreadM;
    shape.baseM = kReverbDefaults.baseM;
    shape.decayM = kReverbDefaults.decayM;
    shape.combM = kReverbDefaults.combM;
    voice.combDelay = reverb_comb_delay(shape.combM, state.chain.sampleRate);
    shape.wetDb = kReverbDefaults.wetDb;
    shape.combDb = kReverbDefaults.combDb;
    update_reverb_gains(state, channel);
}

void effect_compressor_defaults(Settings& state) {
    compressor_set_defaults(state);
    state.settingsChanged = 1;
}

void effect_reverb_defaults(Settings& state) {
    for (int32_t c = 0; c < kMaxChannels; ++c) reverb_set_defaults(state, c);
    effect_redraw_taps(state);
    state.settingsChanged = 1;
}

void effect_reload(Settings& state) {
    effect_update_reverb_gains(state);
    effect_redraw_taps(state);
}

void effect_set_switch(Settings& state, EffectSwitch which, bool on) {
    uint8_t& field = switch_field(state, which);
    const uint8_t value = on ? 1 : 0;
    if (field != value) state.settingsChanged = 1;
    field = value;
}

void effect_set_order(Settings& state, bool reverbFirst) {
    // Only a real switch of the order counts as a change.
    if (state.chain.reverbFirst == (reverbFirst ? 0 : 1)) state.settingsChanged = 1;
    state.chain.reverbFirst = reverbFirst ? 1 : 0;
}

}  // namespace audiomix
