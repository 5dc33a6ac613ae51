#include "param_hints.h"

#include <audiomix.h>

#include <cstring>
#include <string>

#include "format.h"
#include "model/param_table.h"

namespace audiomix_render {

namespace {

using audiomix::kFixedParamCount;
using audiomix::kParamTable;
using audiomix::ParamInfo;
using audiomix::ParamKind;

// What a parameter accepts, in words, from its entry of the library's table.
std::string accepted_text(const ParamInfo& p) {
    const std::string lo = format_value(p.minimum), hi = format_value(p.maximum);
    const std::string unit = p.unit[0] != '\0' ? std::string(" ") + p.unit : "";
    switch (p.kind) {
        case ParamKind::Switch: return "0 or 1";
        case ParamKind::Integer: return "whole numbers " + lo + " ... " + hi + unit;
        case ParamKind::BandCount: return "10, 15, 25 or 31 (10 below 44100 Hz)";
        case ParamKind::Continuous: return lo + " ... " + hi + unit;
    }
    return {};
}

struct Hints {
    std::string names[kFixedParamCount + 1];
    std::string texts[kFixedParamCount + 1];
    ParamHint hints[kFixedParamCount + 1];
};

const Hints& hints() {
    static const Hints table = [] {
        Hints h;
        for (int32_t i = 0; i <= kFixedParamCount; ++i) {
            const ParamInfo& p = kParamTable[i];
            // The band entry stands for every band: matched as a prefix.
            h.names[i] = i == kFixedParamCount ? "eq.band." : p.name;
            h.texts[i] = accepted_text(p);
            const bool interval = p.kind != ParamKind::BandCount;
            h.hints[i] = {h.names[i].c_str(),         h.texts[i].c_str(),         p.meaning,
                          interval ? p.minimum : 1.0, interval ? p.maximum : 0.0, p.kind != ParamKind::Continuous};
        }
        return h;
    }();
    return table;
}

}  // namespace

const ParamHint* find_param_hint(const std::string& name) {
    for (const ParamHint& h : hints().hints) {
        const size_t n = std::strlen(h.name);
        const bool prefix = h.name[n - 1] == '.';
        if (prefix ? name.compare(0, n, h.name) == 0 && name.size() > n : name == h.name) return &h;
    }
    return nullptr;
}

const ParamHint* all_param_hints(size_t& n) {
    n = kFixedParamCount + 1;
    return hints().hints;
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
