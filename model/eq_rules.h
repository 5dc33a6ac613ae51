// What each control of the equaliser page does to the settings, shared by the
// page, the headless shell, the parameter interface and the engines.
#pragma once

#include <cstdint>

namespace audiomix {

struct Settings;
struct PresetRecord;

// Maps value (the page's scale) to band's linear factor for one channel, or
// for band < 0 the pre-gain's; channel 0 also records the value applied.
void eq_set_gain(Settings& state, float value, int32_t band, int32_t channel);

// Switches the band layout: selects the table, puts every gain of every
// channel at its 0 value and asks for cleared filter memories.
void eq_set_band_count(Settings& state, int32_t count);

// Draws a new dither table and asks for cleared filter memories.
void eq_reset_state(Settings& state);

constexpr int32_t kBandSliderMax = 50;  // position 0 is +20 (top), 25 is 0, 50 is -20
constexpr int32_t kPreGainSliderMax = 24;

// Band slider position to value: 20 - 0.8 p.
float eq_band_value_from_position(int32_t position);
// Value to the position that shows it: trunc(25 - 1.25 g); not limited.
int32_t eq_band_position_from_value(double value);
// Pre-gain slider position to value: (q - 12) x 1.5.
float eq_pregain_value_from_position(int32_t position);

// A band neighbour moved by linked tuning.
struct LinkedMove {
    int32_t band;
    double value;
    int32_t position;
};

// Applies value g to band for every channel and records its whole-dB part.
// With linked tuning, the neighbours at distance 1 and 2 (within bandCount)
// follow the move measured from the band's last whole-dB value, in the order
// band+1, band+2, band-1, band-2; they are returned in moves. Returns the
// number of neighbours moved. Marks the settings changed.
int32_t eq_apply_band(Settings& state, int32_t band, float value, bool linked, int32_t bandCount, LinkedMove moves[4]);

// The pre-gain for every channel. Marks the settings changed.
void eq_apply_pregain(Settings& state, float value);

// The second filter pass on or off. Marks the settings changed.
void eq_apply_second_pass(Settings& state, bool on);

// A band-count button: the new layout with all gains at 0. Marks the
// settings changed.
void eq_apply_band_count(Settings& state, int32_t count);

// Whether a band count can be chosen at a sample rate: 10 always, 15, 25 and
// 31 from 44100 Hz up, anything else never.
bool eq_band_count_enabled(int32_t bandCount, int32_t sampleRate);

// Whether a band count can be chosen at the state's sample rate: every
// layout from 44100 Hz up, only 10 bands below.
bool eq_band_count_available(const Settings& state, int32_t count);

// A preset's gains: for every band below its band count (at most 31) and
// every channel, eq_set_gain(gainDb[b]), which also stores the value the
// page's slider shows (eqBandValue, position trunc(25 - 1.25 g)), and
// bandGainDb[b] = gainDb[b]. Later bands and the pre-gain keep their values.
// Leaves settingsChanged alone: deleting a preset applies the default
// without marking a change.
void eq_apply_preset(Settings& state, const PresetRecord& record);

// Choosing a preset in the preset box: marks the settings changed, then
// applies it.
void eq_choose_preset(Settings& state, const PresetRecord& record);

// The equaliser page's start-up (the preset table is loaded beside it) and
// its reset after audiomix_init.
void eq_page_initialised(Settings& state);
void eq_page_reset(Settings& state);

}  // namespace audiomix
