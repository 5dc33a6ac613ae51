// What the engine will do, read back from its parameters.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace audiomix_render {

using ParamValues = std::vector<std::pair<std::string, double>>;

// Value of name in values, or fallback.
double value_of(const ParamValues& values, const std::string& name, double fallback);

// The stages switched on, in the order they run, e.g. "equaliser (10 bands)
// -> reverb -> compressor"; notes an equaliser switched on at a rate it has
// no coefficient tables for.
std::string describe_chain(const ParamValues& values, int32_t rate);

struct ChangedParam {
    std::string name;
    double value;
    double defaultValue;
};

// Parameters whose value differs from the value after initialisation, in the
// library's order. Bands that did not exist then (eq.bands raised) compare
// against 0, the gain a new band layout starts with.
std::vector<ChangedParam> changed_params(const ParamValues& defaults, const ParamValues& effective);

}  // namespace audiomix_render
