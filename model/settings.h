// The settings of one stream as the control side keeps them: what the chain
// runs with (chain, handed to the audio side as a whole), the values the
// controls and the parameter interface show, and the random source the taps
// and the dither are drawn from.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"
#include "dsp/random_source.h"

namespace audiomix {

// The lengths and levels a reverb voice is made from, as the page shows them.
struct ReverbShape {
    int32_t spreadM;
    int32_t baseM;
    int32_t decayM;
    int32_t combM;
    int32_t wetDb;
    int32_t combDb;
};

class ControlWindow;

// The default engine's link to its host and its control window. Handles are
// opaque here; the shells give them meaning. Engines for hosts leave it empty.
struct HostLink {
    void* hostWindow;     // receives the settings-changed message
    char title[512];      // caption, host ANSI text
    uint32_t skinColour;  // 0x00BBGGRR, as given to audiomix_begin
    char presetPath[256];
    ControlWindow* controlWindow;
    void* mixWindowHandle;
    uint32_t skinPanelColour;
};

struct Settings {
    ChainParams chain;
    HostLink link;

    // What audiomix_init was given, as the getters report it.
    int32_t reportedRate;
    int32_t reportedChannels;

    // Set by every user or host change; the window clears it when it tells
    // the host.
    uint8_t settingsChanged;

    // Equaliser: the layout and the values last applied (channel 0), in the
    // equaliser page's scale.
    int32_t eqBandCount;
    float eqBandValue[kMaxBands];
    float eqPreGainValue;
    // The whole part of the value last applied per band: linked tuning
    // measures a move from it.
    int32_t bandGainDb[32];

    // Compressor, as shown.
    int32_t compThresholdDb;
    int32_t compRatio;
    int32_t compAttackMs;
    int32_t compReleaseMs;

    // Reverb, one shape per channel (the page shows channel 0's).
    ReverbShape reverb[kMaxChannels];

    RandomSource random;
};

// The state of a freshly loaded library: stereo, no rate yet (sampleRate -1,
// reported 1), everything else zero.
void settings_load_state(Settings& settings);

}  // namespace audiomix
