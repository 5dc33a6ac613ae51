// The settings and the input signal the benchmarks and the side-by-side
// comparison share, so that every measurement runs the same configuration.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dsp/chain_state.h"
#include "model/settings.h"

namespace audiomix::bench {

struct ParamValue {
    std::string name;
    double value;
};

// A named configuration: the format and the parameters a host would set
// through audiomix_param_set after audiomix_init.
struct Setting {
    std::string name;
    int32_t rate;
    int32_t channels;
    std::vector<ParamValue> params;
};

// typical: stereo 44.1 kHz, ten bands with non-zero gains and a pre-gain,
// 20 reverb taps, the compressor at its defaults, equaliser first.
// worst: stereo 48 kHz, 31 bands with the second pass, 100 taps from 0 m
// with the longest decay, the compressor's threshold at its lowest so that
// it works above it all the time.
// typical-mono and typical-11025: the typical parameters in another format.
const Setting& setting(const std::string& name);
std::vector<std::string> setting_names();

// The settings of a new stream at the setting's format with its parameters
// applied in order, through the rules the exports use: exactly what a host
// would leave before its first buffer. Throws on a refused parameter.
std::unique_ptr<Settings> settings_for(const Setting& s);

// A signal state as a new engine starts with it.
std::unique_ptr<ChainSignal> fresh_signal();

// The comparison's input: pink noise (independent per channel) under a slow
// tremolo, about -16 dBFS RMS at its loudest, deterministic.
std::vector<int16_t> pink_tremolo(int32_t rate, int32_t channels, int64_t frames);

}  // namespace audiomix::bench
