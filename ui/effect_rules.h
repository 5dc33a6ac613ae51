// The effect page's rules for the engine state, shared by the page, the
// headless shell and the host parameter interface so that each rule exists
// once. None of them touches a window.
#pragma once

#include <cstdint>

namespace audiomix {

struct EngineState;
struct ReverbLine;

// The ten numeric parameters, named by their edit boxes' control ids.
enum class EffectBox : int32_t {
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

constexpr EffectBox kEffectBoxes[] = {EffectBox::Threshold, EffectBox::Ratio,  EffectBox::Attack,
                                      EffectBox::Release,   EffectBox::CombDb, EffectBox::Taps,
                                      EffectBox::WetDb,     EffectBox::DecayM, EffectBox::CombM,
                                      EffectBox::BaseM};

struct ValueRange {
    int32_t lo, hi;
    bool contains(int64_t v) const { return v >= lo && v <= hi; }
};

// What a box accepts (narrower than its slider in three places).
ValueRange effect_box_range(EffectBox box);

// The stored engine value a box shows (reverb values from line 0).
int32_t effect_box_value(const EngineState& state, EffectBox box);

// The slider beside a box: its control id, its range, and the position that
// shows a stored value (negated for the dB sliders).
int32_t effect_slider_id(EffectBox box);
ValueRange effect_slider_range(EffectBox box);
int32_t effect_slider_position(EffectBox box, int32_t value);
// The stored value a slider position means.
int32_t effect_value_from_position(EffectBox box, int32_t position);

// A typed number: applies it if the box accepts it (derived values, tap
// redraw, settingsChanged) and returns true; otherwise changes nothing.
bool effect_apply_box(EngineState& state, EffectBox box, int64_t value);

// A slider step while dragging: stores the value and the compressor's
// derived values; reverb gains and taps follow from the box or the release.
void effect_apply_slider(EngineState& state, EffectBox box, int32_t position);

// A reverb slider let go: stores, recomputes the gain it drives, redraws the
// taps.
void effect_apply_release(EngineState& state, EffectBox box, int32_t position);

// Writes a reverb parameter into both lines.
void effect_store_reverb(EngineState& state, EffectBox box, int32_t value);

// Both lines' comb and wet gains from their dB values.
void effect_update_reverb_gains(EngineState& state);

// reverb_regenerate_taps on line 1, then on line 0.
void effect_redraw_taps(EngineState& state);

// The default values, derived values included (taps not drawn), shared by
// audiomix_init and the default buttons.
void compressor_set_defaults(EngineState& state);
void reverb_line_set_defaults(ReverbLine& line, int32_t sampleRate);

// The default buttons: the defaults, new taps, a change to tell the host.
void effect_compressor_defaults(EngineState& state);
void effect_reverb_defaults(EngineState& state);

// The engine part of the page's reload after audiomix_init: both lines' gains
// recomputed, then the taps redrawn.
void effect_reload(EngineState& state);

// A switch check box: stores on, marks a change when it differs.
void effect_set_switch(EngineState& state, uint8_t& field, bool on);

// The order controls: equaliser first (false) or reverb first (true).
void effect_set_order(EngineState& state, bool reverbFirst);

}  // namespace audiomix
