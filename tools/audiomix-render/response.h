// The equaliser's magnitude response for a setting, measured through an
// engine of the library rather than computed from its coefficients, so that
// the picture shows what the engine does (pre-gain, second pass, the layout
// it really runs at the rate).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects.h"

namespace audiomix_render {

struct EqResponse {
    std::vector<double> frequencies;          // Hz, ascending
    std::vector<std::vector<double>> gainDb;  // per channel, one value per frequency
    std::vector<double> bandCentres;          // Hz, of the layout run; empty when the stage is off
    int bandCount = 0;                        // eq.bands as the engine holds it
    bool equaliserOn = false;                 // eq.on is 1 at a rate the tables cover
};

// lo, then steps of 1/perOctave octave up to hi; hi itself ends the list
// unless a step already lies within a quarter step of it.
std::vector<double> log_frequencies(double lo, double hi, int perOctave);

// The response from 20 Hz to just below the Nyquist frequency (at most
// 20 kHz), in steps of 1/12 octave: a fresh engine at rate and channels
// gets setting in its order, then reverb.on = 0 and comp.on = 0. Each step
// is a sine fed to every channel, left to settle, then compared with the
// output at its own frequency. False with error set when the library refuses
// the format or an entry of the setting.
bool measure_response(const ParamValues& setting, int32_t rate, int channels, EqResponse& out, std::string& error);

}  // namespace audiomix_render
