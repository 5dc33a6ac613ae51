// The named parameters: for every one its name, what it sets, its range,
// step, unit and default, in one table. The parameter interface of the
// default engine and of the engines, the pages' box ranges, the render tool's
// listing and hints, and the plugin description all read it. Plain data, so
// tools read it without linking the library.
#pragma once

#include <cstdint>

#include "model/effect_rules.h"

namespace audiomix {

// The result codes of the public interface.
constexpr int32_t kParamOk = 0;
constexpr int32_t kParamUnknown = 3;
constexpr int32_t kParamOutOfRange = 5;

enum class ParamKind : int32_t {
    Switch,      // 0 or 1
    Integer,     // whole numbers in [minimum, maximum]
    BandCount,   // 10, 15, 25 or 31 (more than 10 only at 44100 Hz and above)
    Continuous,  // any value in [minimum, maximum]
};

// What a parameter sets, and through which control's rule.
enum class ParamTarget : int32_t {
    EqOn,
    ReverbOn,
    CompOn,
    ReverbFirst,  // the switches and the order controls
    EffectValue,  // a box of the effect page (box below)
    EqBands,
    EqPreGain,
    EqSecondPass,
    EqBand,
};

struct ParamInfo {
    const char* name;  // "eq.band.N" for the band gains
    ParamTarget target;
    int32_t box;  // EffectValue: the box's control id (model/effect_rules.h)
    ParamKind kind;
    double minimum;
    double maximum;
    double defaultValue;  // after audiomix_init at a rate the equaliser covers
    const char* unit;     // "dB", "ms", "m", or "" for none
    const char* meaning;  // one line for listings
};

// The fixed parameters, then one entry standing for every band gain.
inline constexpr int32_t kFixedParamCount = 17;

namespace param_table_detail {
inline constexpr double kBandLimit = 20.0;
inline constexpr double kPreGainLimit = 18.0;

inline constexpr ParamTarget kBox = ParamTarget::EffectValue;
constexpr int32_t box_id(EffectValue b) { return static_cast<int32_t>(b); }

// What each box accepts is narrower than its slider in three places.
inline constexpr ParamInfo kParamTable[kFixedParamCount + 1] = {
    {"eq.on", ParamTarget::EqOn, 0, ParamKind::Switch, 0, 1, 0, "", "equaliser on"},
    {"reverb.on", ParamTarget::ReverbOn, 0, ParamKind::Switch, 0, 1, 0, "", "reverb on"},
    {"comp.on", ParamTarget::CompOn, 0, ParamKind::Switch, 0, 1, 0, "", "compressor on"},
    {"order.reverb_first", ParamTarget::ReverbFirst, 0, ParamKind::Switch, 0, 1, 0, "", "reverb before the equaliser"},
    {"comp.threshold_db", kBox, box_id(EffectValue::Threshold), ParamKind::Integer, -59, -1,
     kCompressorDefaults.thresholdDb, "dB", "compressor threshold"},
    {"comp.ratio", kBox, box_id(EffectValue::Ratio), ParamKind::Integer, 0, 10, kCompressorDefaults.ratio, "",
     "compressor slope in tenths; 10 does not compress"},
    {"comp.attack_ms", kBox, box_id(EffectValue::Attack), ParamKind::Integer, 1, 1000, kCompressorDefaults.attackMs,
     "ms", "compressor attack"},
    {"comp.release_ms", kBox, box_id(EffectValue::Release), ParamKind::Integer, 1, 1000, kCompressorDefaults.releaseMs,
     "ms", "compressor release"},
    {"reverb.comb_db", kBox, box_id(EffectValue::CombDb), ParamKind::Integer, -80, -1, kReverbDefaults.combDb, "dB",
     "reverb feedback level"},
    {"reverb.taps", kBox, box_id(EffectValue::Taps), ParamKind::Integer, 1, 100, kReverbDefaults.taps, "",
     "reverb tap count"},
    {"reverb.wet_db", kBox, box_id(EffectValue::WetDb), ParamKind::Integer, -100, -2, kReverbDefaults.wetDb, "dB",
     "reverb wet level"},
    {"reverb.decay_m", kBox, box_id(EffectValue::DecayM), ParamKind::Integer, 1, 1000, kReverbDefaults.decayM, "m",
     "reverb decay length"},
    {"reverb.comb_m", kBox, box_id(EffectValue::CombM), ParamKind::Integer, 1, 1000, kReverbDefaults.combM, "m",
     "reverb feedback length"},
    {"reverb.base_m", kBox, box_id(EffectValue::BaseM), ParamKind::Integer, 0, 100, kReverbDefaults.baseM, "m",
     "reverb first-tap distance"},
    {"eq.bands", ParamTarget::EqBands, 0, ParamKind::BandCount, 10, 31, 10, "", "equaliser bands"},
    {"eq.pregain", ParamTarget::EqPreGain, 0, ParamKind::Continuous, -kPreGainLimit, kPreGainLimit, 0, "",
     "equaliser pre-gain; the input doubles every +10"},
    {"eq.second_pass", ParamTarget::EqSecondPass, 0, ParamKind::Switch, 0, 1, 0, "", "second equaliser pass"},
    {"eq.band.N", ParamTarget::EqBand, 0, ParamKind::Continuous, -kBandLimit, kBandLimit, 0, "",
     "band gain; +20 lifts the band centre about 10 dB"},
};

}  // namespace param_table_detail

using param_table_detail::kParamTable;

}  // namespace audiomix
