// What the lifecycle calls do to one stream's settings: the steps of
// audiomix_begin, audiomix_init, audiomix_close and audiomix_datarefresh
// that concern the effects, shared by the default engine and the engines
// for hosts.
#pragma once

#include <cstdint>

namespace audiomix {

struct Settings;

// audiomix_begin, before the window: the 10-band layout at 44100 Hz, a new
// dither table, cleared filter memories.
void stream_begin(Settings& state);

// The window's start-up as far as the effects go.
void stream_window_started(Settings& state);

// audiomix_init: every parameter at its default for the format (the stage
// order stays), new taps, cleared rings, compressor gain 1; at a rate the
// equaliser tables cover also the 10-band layout, flat, second pass off.
void stream_init(Settings& state, int32_t sampleRate, int32_t channels);

// The pages' reload after audiomix_init, as far as the effects go: reverb
// gains and new taps, then the equaliser's 10-band reset.
void stream_pages_reset(Settings& state);

// audiomix_close: reverb and compressor off, display hidden.
void stream_close(Settings& state);

// audiomix_datarefresh: at a rate the equaliser tables cover, cleared rings
// and filter memories and a new dither table; nothing otherwise.
void stream_data_refresh(Settings& state);

// A new stream as a freshly loaded library reaches it through audiomix_begin
// and audiomix_init(sampleRate, channels, 0) with a window (or the headless
// shell): the same settings and the same random draws.
void stream_create(Settings& state, int32_t sampleRate, int32_t channels);

}  // namespace audiomix
