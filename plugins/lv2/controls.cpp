#include "plugins/lv2/controls.h"

#include <cmath>
#include <cstring>

#include "model/parameters.h"
#include "model/settings.h"

namespace audiomix::lv2 {

namespace {

constexpr int32_t kBandCounts[] = {10, 15, 25, 31};
constexpr int32_t kEqBandsControl = 14;  // eq.bands in table order

int32_t nearest_band_count(double v) {
    int32_t best = kBandCounts[0];
    for (int32_t n : kBandCounts)
        if (std::fabs(v - n) < std::fabs(v - best)) best = n;
    return best;
}

}  // namespace

bool control_value(const ParamInfo& info, float raw, double& value) {
    if (raw != raw) return false;
    double v = raw;
    if (v < info.minimum) v = info.minimum;
    if (v > info.maximum) v = info.maximum;
    switch (info.kind) {
        case ParamKind::Continuous: break;
        case ParamKind::Switch:
        case ParamKind::Integer: v = std::floor(v + 0.5); break;
        case ParamKind::BandCount: v = nearest_band_count(v); break;
    }
    value = v;
    return true;
}

Controls::Controls(const Settings& settings) {
    static_assert(kFixedParamCount == 17, "eq.bands sits at kEqBandsControl");
    for (int32_t k = 0; k < kControlPorts; ++k) {
        const std::string name = control_name(k);
        std::strncpy(names_[k], name.c_str(), sizeof names_[k] - 1);
        names_[k][sizeof names_[k] - 1] = '\0';
        double v = 0.0;
        // Bands beyond the current count read as their default.
        if (param_get(settings, names_[k], &v) != kParamOk) v = control_info(k).defaultValue;
        last_[k] = static_cast<float>(v);
    }
}

int32_t Controls::apply(Settings& settings, const float* const ports[kControlPorts]) {
    int32_t applied = 0;
    for (int32_t k = 0; k < kControlPorts; ++k) {
        if (ports[k] == nullptr) continue;
        const float raw = *ports[k];
        // Bit for bit: a NaN is never equal to itself and would count as a
        // change in every run.
        if (std::memcmp(&raw, &last_[k], sizeof raw) == 0) continue;
        last_[k] = raw;
        double value = 0.0;
        if (!control_value(control_info(k), raw, value)) continue;
        if (param_set(settings, names_[k], value) != kParamOk) continue;
        ++applied;
        if (k == kEqBandsControl) {
            // The engine's bands are back at 0; the band ports come later in
            // this pass, so each that holds another value applies again.
            for (int32_t b = kFixedParamCount; b < kControlPorts; ++b) last_[b] = 0.0f;
        }
    }
    return applied;
}

}  // namespace audiomix::lv2
