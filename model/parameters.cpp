#include "model/parameters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/effect_rules.h"
#include "model/eq_rules.h"
#include "model/settings.h"

namespace audiomix {

namespace {

constexpr char kBandPrefix[] = "eq.band.";
constexpr const ParamInfo* kTable = kParamTable;

// The bands the current layout shows.
int32_t band_count(const Settings& state) {
    const int32_t n = state.eqBandCount;
    return n < 0 ? 0 : (n > kMaxBands ? kMaxBands : n);
}

// "eq.band.N" with N a plain decimal index of a shown band, else -1.
int32_t parse_band(const Settings& state, const char* name) {
    if (std::strncmp(name, kBandPrefix, sizeof kBandPrefix - 1) != 0) return -1;
    const char* digits = name + sizeof kBandPrefix - 1;
    if (digits[0] == '\0' || (digits[0] == '0' && digits[1] != '\0')) return -1;
    int32_t n = 0;
    for (const char* d = digits; *d != '\0'; ++d) {
        if (*d < '0' || *d > '9' || n > kMaxBands) return -1;
        n = n * 10 + (*d - '0');
    }
    return n < band_count(state) ? n : -1;
}

// Whole, and small enough that the conversion to an integer is defined; every
// range here lies far inside.
bool is_whole(double v) { return v > -1.0e9 && v < 1.0e9 && v == std::trunc(v); }

bool in_range(const ParamInfo& p, double value) {
    if (!(value >= p.minimum && value <= p.maximum)) return false;
    return p.kind == ParamKind::Continuous || is_whole(value);
}

// What a name means here: its table entry and, for a band, its index (else
// -1). Null for an unknown name or a band the layout does not show.
const ParamInfo* param_lookup(const Settings& state, const char* name, int32_t* band) {
    if (band != nullptr) *band = -1;
    if (name == nullptr) return nullptr;
    for (int32_t i = 0; i < kFixedParamCount; ++i)
        if (std::strcmp(kTable[i].name, name) == 0) return &kTable[i];
    const int32_t b = parse_band(state, name);
    if (b < 0) return nullptr;
    if (band != nullptr) *band = b;
    return &kTable[kFixedParamCount];
}

}  // namespace

const ParamInfo& param_for_box(int32_t id) {
    for (int32_t i = 0; i < kFixedParamCount; ++i)
        if (kTable[i].target == ParamTarget::EffectValue && kTable[i].box == id) return kTable[i];
    return kTable[0];  // not reached for a box of EffectValue
}

int32_t param_count(const Settings& state) { return kFixedParamCount + band_count(state); }

int32_t param_name(const Settings& state, int32_t index, char* out, size_t size) {
    char band_name[24];
    const char* name = nullptr;
    if (index >= 0 && index < kFixedParamCount) {
        name = kTable[index].name;
    } else if (index >= kFixedParamCount && index < param_count(state)) {
        std::snprintf(band_name, sizeof band_name, "%s%d", kBandPrefix, index - kFixedParamCount);
        name = band_name;
    } else {
        return -1;
    }
    const size_t length = std::strlen(name);
    if (out != nullptr && size > 0) {
        const size_t n = length < size - 1 ? length : size - 1;
        std::memcpy(out, name, n);
        out[n] = '\0';
    }
    return static_cast<int32_t>(length);
}

int32_t param_set(Settings& state, const char* name, double value) {
    int32_t band = -1;
    const ParamInfo* p = param_lookup(state, name, &band);
    if (p == nullptr) return kParamUnknown;
    if (!in_range(*p, value)) return kParamOutOfRange;
    if (band >= 0) {
        LinkedMove unused[4];
        eq_apply_band(state, band, static_cast<float>(value), false, band_count(state), unused);
        return kParamOk;
    }
    const bool on = value == 1.0;
    const int32_t whole = static_cast<int32_t>(value);  // in range, so defined
    switch (p->target) {
        case ParamTarget::EqOn: effect_set_switch(state, EffectSwitch::Equaliser, on); break;
        case ParamTarget::ReverbOn: effect_set_switch(state, EffectSwitch::Reverb, on); break;
        case ParamTarget::CompOn: effect_set_switch(state, EffectSwitch::Compressor, on); break;
        case ParamTarget::ReverbFirst: effect_set_order(state, on); break;
        case ParamTarget::EffectValue: effect_apply_box(state, static_cast<EffectValue>(p->box), whole); break;
        case ParamTarget::EqBands:
            if (!eq_band_count_available(state, whole)) return kParamOutOfRange;
            eq_apply_band_count(state, whole);
            break;
        case ParamTarget::EqPreGain: eq_apply_pregain(state, static_cast<float>(value)); break;
        case ParamTarget::EqSecondPass: eq_apply_second_pass(state, on); break;
        case ParamTarget::EqBand: break;  // handled above
    }
    return kParamOk;
}

int32_t param_get(const Settings& state, const char* name, double* value) {
    int32_t band = -1;
    const ParamInfo* p = param_lookup(state, name, &band);
    if (p == nullptr || value == nullptr) return kParamUnknown;
    switch (p->target) {
        case ParamTarget::EqOn: *value = state.chain.eqOn; break;
        case ParamTarget::ReverbOn: *value = state.chain.reverbOn; break;
        case ParamTarget::CompOn: *value = state.chain.compOn; break;
        case ParamTarget::ReverbFirst: *value = state.chain.reverbFirst; break;
        case ParamTarget::EffectValue: *value = effect_box_value(state, static_cast<EffectValue>(p->box)); break;
        case ParamTarget::EqBands: *value = state.eqBandCount; break;
        case ParamTarget::EqPreGain: *value = state.eqPreGainValue; break;
        case ParamTarget::EqSecondPass: *value = state.chain.eqSecondPass; break;
        case ParamTarget::EqBand: *value = state.eqBandValue[band]; break;
    }
    return kParamOk;
}

}  // namespace audiomix
