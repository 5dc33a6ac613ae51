// The ports of the two plugins, derived from the parameter table: first the
// audio ports (inputs, then outputs, one per channel), then one control input
// per parameter in table order (eq.band.0 ... eq.band.30 last). A port's
// symbol is the parameter's name with '.' replaced by '_'.
#pragma once

#include <cstdint>
#include <string>

#include "model/param_table.h"

namespace audiomix::lv2 {

constexpr int32_t kBandPorts = 31;
constexpr int32_t kControlPorts = kFixedParamCount + kBandPorts;

struct PluginKind {
    const char* uri;
    const char* name;
    int32_t channels;
};
constexpr PluginKind kStereo{"urn:audiomix:stereo", "audiomix (stereo)", 2};
constexpr PluginKind kMono{"urn:audiomix:mono", "audiomix (mono)", 1};

constexpr int32_t audio_port_count(int32_t channels) { return 2 * channels; }
constexpr int32_t first_control_port(int32_t channels) { return audio_port_count(channels); }
constexpr int32_t port_count(int32_t channels) { return audio_port_count(channels) + kControlPorts; }

// The parameter name of control k (0 ... kControlPorts - 1): a fixed
// parameter's, or "eq.band.N".
std::string control_name(int32_t control);

// Its table entry (the band entry for every band).
const ParamInfo& control_info(int32_t control);

// "eq.band.3" -> "eq_band_3".
std::string port_symbol(const std::string& name);

}  // namespace audiomix::lv2
