// What each engine parameter accepts, for error messages and --list-params,
// in words made from the library's own parameter table; the tool's tests
// hold them against the library's answers.
#pragma once

#include <string>

namespace audiomix_render {

struct ParamHint {
    const char* name;      // exact name, or a prefix ending in '.' for eq.band.N
    const char* accepted;  // human-readable, e.g. "whole numbers -59 ... -1 dB"
    const char* meaning;   // what it does, in a few words
    double lo, hi;         // the accepted interval; lo > hi when it is not one
    bool whole;            // only whole numbers inside [lo, hi]
};

// The hint for a parameter name, or nullptr when none is known.
const ParamHint* find_param_hint(const std::string& name);

// Every hint, for the tests; count written to n.
const ParamHint* all_param_hints(size_t& n);

// The message for a rejected --set: code is the library's answer
// (AUDIOMIX_PARAM_UNKNOWN or _OUT_OF_RANGE), bandCount the current eq.bands.
std::string param_error_message(const std::string& name, double value, int code, int bandCount);

}  // namespace audiomix_render
