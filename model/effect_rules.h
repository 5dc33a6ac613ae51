// What each control of the effect page does to the settings, shared by the
// page, the headless shell, the parameter interface and the engines, so that
// each rule exists once. None of them touches a window.
#pragma once

#include <cstdint>

namespace audiomix {

struct Settings;

// The ten numeric values of the effect page, named by the control ids of the
// boxes that show them.
enum class EffectValue : int32_t {
    Threshold = 1083,
    Ratio = 1089,
    Attack = 1088,
    Release = 1090,
    CombDb = 1093,
    Taps = 1094,
    WetDb = 1097,
    DecayM = 1098,
    CombM = 1101,
    BaseM = 1102,
};

constexpr EffectValue kEffectValues[] = {
    EffectValue::Threshold, EffectValue::Ratio, EffectValue::Attack, EffectValue::Release, EffectValue::CombDb,
    EffectValue::Taps,      EffectValue::WetDb, EffectValue::DecayM, EffectValue::CombM,   EffectValue::BaseM};

// The defaults of audiomix_init and the default buttons.
struct CompressorValues {
    int32_t thresholdDb, ratio, attackMs, releaseMs;
};
constexpr CompressorValues kCompressorDefaults{-20, 5, 1, 10};

struct ReverbValues {
    int32_t taps, spreadM, baseM, decayM, combM, wetDb, combDb;
};
constexpr ReverbValues kReverbDefaults{20, 20, 5, 10, 20, -10, -10};

struct ValueRange {
    int32_t lo, hi;
    bool contains(int64_t v) const { return v >= lo && v <= hi; }
};

// Whether a value belongs to the compressor (else to the reverb).
bool effect_is_compressor(EffectValue which);

// What a box accepts (narrower than its slider in three places).
ValueRange effect_box_range(EffectValue which);

// The stored engine value a box shows (reverb values from line 0).
int32_t effect_box_value(const Settings& state, EffectValue which);

// The slider beside a box: its control id, its range, and the position that
// shows a stored value (negated for the dB sliders).
int32_t effect_slider_id(EffectValue which);
ValueRange effect_slider_range(EffectValue which);
int32_t effect_slider_position(EffectValue which, int32_t value);
// The stored value a slider position means.
int32_t effect_value_from_position(EffectValue which, int32_t position);

// A typed number: applies it if the box accepts it (derived values, tap
// redraw, settingsChanged) and returns true; otherwise changes nothing.
bool effect_apply_box(Settings& state, EffectValue which, int64_t value);

// A slider step while dragging: stores the value and the compressor's
// derived values; reverb gains and taps follow from the box or the release.
void effect_apply_slider(Settings& state, EffectValue which, int32_t position);

// A reverb slider let go: stores, recomputes the gain it drives, redraws the
// taps.
void effect_apply_release(Settings& state, EffectValue which, int32_t position);

// Writes a reverb parameter into both channels.
void effect_store_reverb(Settings& state, EffectValue which, int32_t value);

// Both channels' comb and wet gains from their dB values.
void effect_update_reverb_gains(Settings& state);

// New taps for channel 1, then for channel 0.
void effect_redraw_taps(Settings& state);

// The default values, derived values included (taps not drawn), shared by
// audiomix_init and the default buttons.
void compressor_set_defaults(Settings& state);
void reverb_set_defaults(Settings& state, int32_t channel);

// Draws the taps of one channel's voice from its shape.
void reverb_redraw_taps(Settings& state, int32_t channel);

// The default buttons: the defaults, new taps, a change to tell the host.
void effect_compressor_defaults(Settings& state);
void effect_reverb_defaults(Settings& state);

// The engine part of the page's reload after audiomix_init: both lines' gains
// recomputed, then the taps redrawn.
void effect_reload(Settings& state);

// The three stage switches.
enum class EffectSwitch : int32_t { Equaliser, Reverb, Compressor };

// A switch check box: stores on, marks a change when it differs.
void effect_set_switch(Settings& state, EffectSwitch which, bool on);

// The order controls: equaliser first (false) or reverb first (true).
void effect_set_order(Settings& state, bool reverbFirst);

}  // namespace audiomix
