#include "default_setting.h"

namespace audiomix_render {

namespace {

// A gentle "smile" on the ten-band layout (bass and treble up, the middle a
// little down), a small room, and a compressor that only rounds off the
// peaks. The flat equaliser passes the signal about 5 dB down; the pre-gain
// makes up part of that while leaving room for the boosted bands.
constexpr DefaultParam kSetting[] = {
    {"eq.on", 1},
    {"eq.bands", 10},
    {"eq.pregain", 3},
    {"eq.band.0", 6},
    {"eq.band.1", 4.8},
    {"eq.band.2", 2.4},
    {"eq.band.3", 0},
    {"eq.band.4", -2.4},
    {"eq.band.5", -2.4},
    {"eq.band.6", 0},
    {"eq.band.7", 2.4},
    {"eq.band.8", 4.8},
    {"eq.band.9", 6},
    {"reverb.on", 1},
    {"reverb.taps", 24},
    {"reverb.wet_db", -14},
    {"reverb.comb_db", -12},
    {"comp.on", 1},
    {"comp.threshold_db", -18},
    {"comp.ratio", 6},
    {"comp.attack_ms", 10},
    {"comp.release_ms", 150},
};

}  // namespace

const DefaultParam* default_setting(size_t& n) {
    n = sizeof kSetting / sizeof kSetting[0];
    return kSetting;
}

}  // namespace audiomix_render
