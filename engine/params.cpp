// The host parameter interface: named parameters and the equaliser presets,
// applied through the same rules as the control window's controls.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "audiomix.h"
#include "engine/engine_state.h"
#include "engine/gbk.h"
#include "eqpage/eq_rules.h"
#include "eqpage/preset_store.h"
#include "ui/effect_rules.h"

using namespace audiomix;

namespace {

enum class Kind { EqOn, ReverbOn, CompOn, ReverbFirst, Box, EqBands, EqPreGain, EqSecondPass };

struct Param {
    const char* name;
    Kind kind;
    EffectBox box;  // for Kind::Box
};

constexpr Param kParams[] = {
    {"eq.on", Kind::EqOn, EffectBox::Threshold},
    {"reverb.on", Kind::ReverbOn, EffectBox::Threshold},
    {"comp.on", Kind::CompOn, EffectBox::Threshold},
    {"order.reverb_first", Kind::ReverbFirst, EffectBox::Threshold},
    {"comp.threshold_db", Kind::Box, EffectBox::Threshold},
    {"comp.ratio", Kind::Box, EffectBox::Ratio},
    {"comp.attack_ms", Kind::Box, EffectBox::Attack},
    {"comp.release_ms", Kind::Box, EffectBox::Release},
    {"reverb.comb_db", Kind::Box, EffectBox::CombDb},
    {"reverb.taps", Kind::Box, EffectBox::Taps},
    {"reverb.wet_db", Kind::Box, EffectBox::WetDb},
    {"reverb.decay_m", Kind::Box, EffectBox::DecayM},
    {"reverb.comb_m", Kind::Box, EffectBox::CombM},
    {"reverb.base_m", Kind::Box, EffectBox::BaseM},
    {"eq.bands", Kind::EqBands, EffectBox::Threshold},
    {"eq.pregain", Kind::EqPreGain, EffectBox::Threshold},
    {"eq.second_pass", Kind::EqSecondPass, EffectBox::Threshold},
};
constexpr int32_t kFixedCount = sizeof kParams / sizeof kParams[0];
constexpr char kBandPrefix[] = "eq.band.";
constexpr double kBandLimit = 20.0;
constexpr double kPreGainLimit = 18.0;

// The bands the current layout shows.
int32_t band_count() {
    const int32_t n = engine.eqBandCount;
    return n < 0 ? 0 : (n > kMaxBands ? kMaxBands : n);
}

const Param* find_fixed(const char* name) {
    for (const Param& p : kParams)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

// "eq.band.N" with N a plain decimal index of a shown band, else -1.
int32_t parse_band(const char* name) {
    if (std::strncmp(name, kBandPrefix, sizeof kBandPrefix - 1) != 0) return -1;
    const char* digits = name + sizeof kBandPrefix - 1;
    if (digits[0] == '\0' || (digits[0] == '0' && digits[1] != '\0')) return -1;
    int32_t n = 0;
    for (const char* d = digits; *d != '\0'; ++d) {
        if (*d < '0' || *d > '9' || n > kMaxBands) return -1;
        n = n * 10 + (*d - '0');
    }
    return n < band_count() ? n : -1;
}

// Whole, and small enough that the conversion to an integer is defined; every
// range here lies far inside.
bool is_whole(double v) { return v > -1.0e9 && v < 1.0e9 && v == std::trunc(v); }

// A 0/1 parameter.
bool as_switch(double v, bool& on) {
    if (v != 0.0 && v != 1.0) return false;
    on = v == 1.0;
    return true;
}

int32_t set_fixed(const Param& p, double value) {
    bool on = false;
    switch (p.kind) {
    case Kind::EqOn:
        if (!as_switch(value, on)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        effect_set_switch(engine, engine.eqOn, on);
        return AUDIOMIX_PARAM_OK;
    case Kind::ReverbOn:
        if (!as_switch(value, on)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        effect_set_switch(engine, engine.reverbOn, on);
        return AUDIOMIX_PARAM_OK;
    case Kind::CompOn:
        if (!as_switch(value, on)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        effect_set_switch(engine, engine.compOn, on);
        return AUDIOMIX_PARAM_OK;
    case Kind::ReverbFirst:
        if (!as_switch(value, on)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        effect_set_order(engine, on);
        return AUDIOMIX_PARAM_OK;
    case Kind::Box:
        if (!is_whole(value) || !effect_box_range(p.box).contains(static_cast<int64_t>(value)))
            return AUDIOMIX_PARAM_OUT_OF_RANGE;
        effect_apply_box(engine, p.box, static_cast<int64_t>(value));
        return AUDIOMIX_PARAM_OK;
    case Kind::EqBands:
        if (!is_whole(value) || !eq_band_count_available(engine, static_cast<int32_t>(value)))
            return AUDIOMIX_PARAM_OUT_OF_RANGE;
        eq_apply_band_count(engine, static_cast<int32_t>(value));
        return AUDIOMIX_PARAM_OK;
    case Kind::EqPreGain:
        if (!(value >= -kPreGainLimit && value <= kPreGainLimit)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        eq_apply_pregain(engine, static_cast<float>(value));
        return AUDIOMIX_PARAM_OK;
    case Kind::EqSecondPass:
        if (!as_switch(value, on)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
        eq_apply_second_pass(engine, on);
        return AUDIOMIX_PARAM_OK;
    }
    return AUDIOMIX_PARAM_UNKNOWN;
}

double get_fixed(const Param& p) {
    switch (p.kind) {
    case Kind::EqOn: return engine.eqOn;
    case Kind::ReverbOn: return engine.reverbOn;
    case Kind::CompOn: return engine.compOn;
    case Kind::ReverbFirst: return engine.reverbFirst;
    case Kind::Box: return effect_box_value(engine, p.box);
    case Kind::EqBands: return engine.eqBandCount;
    case Kind::EqPreGain: return engine.eqPreGainValue;
    case Kind::EqSecondPass: return engine.eqSecondPass;
    }
    return 0.0;
}

}  // namespace

extern "C" {

int32_t AUDIOMIX_CALL audiomix_param_set(const char* name, double value) {
    if (name == nullptr) return AUDIOMIX_PARAM_UNKNOWN;
    if (const Param* p = find_fixed(name)) return set_fixed(*p, value);
    const int32_t band = parse_band(name);
    if (band < 0) return AUDIOMIX_PARAM_UNKNOWN;
    if (!(value >= -kBandLimit && value <= kBandLimit)) return AUDIOMIX_PARAM_OUT_OF_RANGE;
    LinkedMove unused[4];
    eq_apply_band(engine, band, static_cast<float>(value), false, band_count(), unused);
    return AUDIOMIX_PARAM_OK;
}

int32_t AUDIOMIX_CALL audiomix_param_get(const char* name, double* value) {
    if (name == nullptr || value == nullptr) return AUDIOMIX_PARAM_UNKNOWN;
    if (const Param* p = find_fixed(name)) {
        *value = get_fixed(*p);
        return AUDIOMIX_PARAM_OK;
    }
    const int32_t band = parse_band(name);
    if (band < 0) return AUDIOMIX_PARAM_UNKNOWN;
    *value = engine.eqBandValue[band];
    return AUDIOMIX_PARAM_OK;
}

int32_t AUDIOMIX_CALL audiomix_param_name(int32_t index, char* buffer, int32_t size) {
    char band_name[24];
    const char* name = nullptr;
    if (index >= 0 && index < kFixedCount) {
        name = kParams[index].name;
    } else if (index >= kFixedCount && index < kFixedCount + band_count()) {
        std::snprintf(band_name, sizeof band_name, "%s%d", kBandPrefix, index - kFixedCount);
        name = band_name;
    } else {
        return AUDIOMIX_PARAM_UNKNOWN;
    }
    const int32_t length = static_cast<int32_t>(std::strlen(name));
    if (buffer != nullptr && size > 0) {
        const int32_t n = length < size - 1 ? length : size - 1;
        std::memcpy(buffer, name, static_cast<size_t>(n));
        buffer[n] = '\0';
    }
    return length;
}

// Presets: item index of the preset box for the current band count.

int32_t AUDIOMIX_CALL audiomix_preset_count(void) { return preset_count_for(engine.eqBandCount); }

int32_t AUDIOMIX_CALL audiomix_preset_name(int32_t index, char* buffer, int32_t size) {
    const bool writable = buffer != nullptr && size > 0;
    const int32_t record = preset_find_nth(engine.eqBandCount, index);
    if (record < 0) {
        if (writable) buffer[0] = '\0';
        return -1;
    }
    const PresetRecord& r = presetTable[record];
    std::string name;
    try {
        name = gbk_to_utf8(r.name, std::strlen(r.name));  // at most 189 bytes
    } catch (...) {  // out of memory: nothing may throw into the host
        if (writable) buffer[0] = '\0';
        return -1;
    }
    if (writable) {
        const size_t n = utf8_fit(name.data(), name.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, name.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(name.size());
}

int32_t AUDIOMIX_CALL audiomix_preset_apply(int32_t index) {
    const int32_t record = preset_find_nth(engine.eqBandCount, index);
    if (record < 0) return AUDIOMIX_PARAM_UNKNOWN;
    eq_choose_preset(engine, presetTable[record]);
    return AUDIOMIX_PARAM_OK;
}

}  // extern "C"
