#include "effects.h"

#include <cstdint>

#include "dsp/equaliser.h"
#include "format.h"

namespace audiomix_render {

double value_of(const ParamValues& values, const std::string& name, double fallback) {
    for (const auto& [n, v] : values)
        if (n == name) return v;
    return fallback;
}

std::string describe_chain(const ParamValues& values, int32_t rate) {
    // A stage runs only when its switch is exactly 1.
    const bool eqOn = value_of(values, "eq.on", 0) == 1;
    const bool reverbOn = value_of(values, "reverb.on", 0) == 1;
    const bool compOn = value_of(values, "comp.on", 0) == 1;
    const bool reverbFirst = value_of(values, "order.reverb_first", 0) != 0;

    std::string eq = "equaliser (" + format_value(value_of(values, "eq.bands", 0)) + " bands";
    if (value_of(values, "eq.second_pass", 0) == 1) eq += ", second pass";
    eq += ")";

    std::vector<std::string> stages;
    if (eqOn && !reverbFirst) stages.push_back(eq);
    if (reverbOn) stages.push_back("reverb");
    if (eqOn && reverbFirst) stages.push_back(eq);
    if (compOn) stages.push_back("compressor");

    std::string text;
    for (const std::string& s : stages) text += (text.empty() ? "" : " -> ") + s;
    if (text.empty()) text = "none (audio passes unchanged)";
    // What the equaliser does there is the library's business; say only
    // that the rate is not one it was designed for.
    if (eqOn && !audiomix::is_equaliser_rate(rate))
        text += "; note: no equaliser tables for " + std::to_string(rate) + " Hz";
    return text;
}

std::vector<ChangedParam> changed_params(const ParamValues& defaults, const ParamValues& effective) {
    std::vector<ChangedParam> out;
    for (const auto& [name, v] : effective) {
        bool known = false;
        double d = 0.0;
        for (const auto& [dn, dv] : defaults) {
            if (dn == name) {
                known = true;
                d = dv;
                break;
            }
        }
        if (!known && name.compare(0, 8, "eq.band.") != 0) continue;
        if (v != d) out.push_back({name, v, d});
    }
    return out;
}

}  // namespace audiomix_render
