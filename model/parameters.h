// The named parameters: one table that says, for every parameter, its name,
// range, step, unit, default and how it applies. The parameter interface of
// the default engine and of the engines, the render tool's listing and the
// plugin description read it; each parameter applies through the rule of the
// control that shows it, so a parameter and a control never differ.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audiomix {

struct Settings;

// The result codes of the public interface.
constexpr int32_t kParamOk = 0;
constexpr int32_t kParamUnknown = 3;
constexpr int32_t kParamOutOfRange = 5;

enum class ParamKind : int32_t {
    Switch,       // 0 or 1
    Integer,      // whole numbers in [minimum, maximum]
    BandCount,    // 10, 15, 25 or 31 (more than 10 only at 44100 Hz and above)
    Continuous,   // any value in [minimum, maximum]
};

// What a parameter sets, and through which control's rule.
enum class ParamTarget : int32_t {
    EqOn, ReverbOn, CompOn, ReverbFirst,  // the switches and the order controls
    EffectValue,                          // a box of the effect page (box below)
    EqBands, EqPreGain, EqSecondPass, EqBand,
};

struct ParamInfo {
    const char* name;   // "eq.band.N" for the band gains
    ParamTarget target;
    int32_t box;        // EffectValue: the box's control id (model/effect_rules.h)
    ParamKind kind;
    double minimum;
    double maximum;
    double defaultValue;  // after audiomix_init at a rate the equaliser covers
    const char* unit;     // "dB", "ms", "m", or "" for none
    const char* meaning;  // one line for listings
};

// The fixed parameters, then one entry standing for every band gain.
constexpr int32_t kFixedParamCount = 17;
const ParamInfo* param_table();  // kFixedParamCount + 1 entries
const ParamInfo& band_param_info();

// How many names the current layout has: the fixed ones and one per band.
int32_t param_count(const Settings& state);

// The index-th name (fixed ones first, then eq.band.0 ...) into out, NUL
// terminated and cut to size; returns its full length, or -1 for an index
// outside param_count.
int32_t param_name(const Settings& state, int32_t index, char* out, size_t size);

// The entry of an effect page box (its range is the box's).
const ParamInfo& param_for_box(int32_t box);

// What a name means here: its table entry and, for a band, its index (else
// -1). Null for an unknown name or a band the layout does not show.
const ParamInfo* param_lookup(const Settings& state, const char* name, int32_t* band);

// Sets a parameter through its control's rule; kParamOk, kParamUnknown or
// kParamOutOfRange (not whole where it must be, or outside the range; nothing
// changes then).
int32_t param_set(Settings& state, const char* name, double value);

// The stored value; kParamOk or kParamUnknown.
int32_t param_get(const Settings& state, const char* name, double* value);

}  // namespace audiomix
