#include "param_hints.h"

#include <audiomix.h>

#include <cstring>

#include "format.h"

namespace audiomix_render {

namespace {

constexpr double kNone = 1.0, kNoneHi = 0.0;  // lo > hi: not a plain interval

constexpr ParamHint kHints[] = {
    {"eq.on", "0 (off) or 1 (on)", 0, 1, true},
    {"reverb.on", "0 (off) or 1 (on)", 0, 1, true},
    {"comp.on", "0 (off) or 1 (on)", 0, 1, true},
    {"order.reverb_first", "0 (equaliser first) or 1 (reverb first)", 0, 1, true},
    {"comp.threshold_db", "whole numbers -59 ... -1", -59, -1, true},
    {"comp.ratio", "whole numbers 0 ... 10 (0 limits hardest, 10 does not compress)", 0, 10, true},
    {"comp.attack_ms", "whole numbers 1 ... 1000", 1, 1000, true},
    {"comp.release_ms", "whole numbers 1 ... 1000", 1, 1000, true},
    {"reverb.comb_db", "whole numbers -80 ... -1", -80, -1, true},
    {"reverb.taps", "whole numbers 1 ... 100", 1, 100, true},
    {"reverb.wet_db", "whole numbers -100 ... -2", -100, -2, true},
    {"reverb.decay_m", "whole numbers 1 ... 1000", 1, 1000, true},
    {"reverb.comb_m", "whole numbers 1 ... 1000", 1, 1000, true},
    {"reverb.base_m", "whole numbers 0 ... 100", 0, 100, true},
    {"eq.bands", "10, 15, 25 or 31 (only 10 at 11025 and 22050 Hz)", kNone, kNoneHi, true},
    {"eq.pregain", "-18 ... 18", -18, 18, false},
    {"eq.second_pass", "0 (off) or 1 (on)", 0, 1, true},
    {"eq.band.", "-20 ... 20", -20, 20, false},
};

}  // namespace

const ParamHint* find_param_hint(const std::string& name) {
    for (const ParamHint& h : kHints) {
        const size_t n = std::strlen(h.name);
        const bool prefix = h.name[n - 1] == '.';
        if (prefix ? name.compare(0, n, h.name) == 0 && name.size() > n : name == h.name) return &h;
    }
    return nullptr;
}

const ParamHint* all_param_hints(size_t& n) {
    n = sizeof kHints / sizeof kHints[0];
    return kHints;
}

std::string param_error_message(const std::string& name, double value, int code, int bandCount) {
    const ParamHint* hint = find_param_hint(name);
    if (code == AUDIOMIX_PARAM_OUT_OF_RANGE) {
        std::string text = "--set " + name + "=" + format_value(value) + ": value out of range";
        if (hint) text += std::string("; accepted: ") + hint->accepted;
        return text;
    }
    if (hint && std::strcmp(hint->name, "eq.band.") == 0) {
        return "--set " + name + ": no such band; with eq.bands " + std::to_string(bandCount) +
               " the bands are eq.band.0 ... eq.band." + std::to_string(bandCount - 1) +
               " (set eq.bands first to use more)";
    }
    return "--set " + name + ": unknown parameter (--list-params shows the names)";
}

}  // namespace audiomix_render
