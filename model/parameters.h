// The named parameters through the table of model/param_table.h: each applies
// through the rule of the control that shows it, so a parameter and a
// control never differ.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/param_table.h"

namespace audiomix {

struct Settings;

// How many names the current layout has: the fixed ones and one per band.
int32_t param_count(const Settings& state);

// The index-th name (fixed ones first, then eq.band.0 ...) into out, NUL
// terminated and cut to size; returns its full length, or -1 for an index
// outside param_count.
int32_t param_name(const Settings& state, int32_t index, char* out, size_t size);

// The entry of an effect page box (its range is the box's).
const ParamInfo& param_for_box(int32_t box);

// Sets a parameter through its control's rule; kParamOk, kParamUnknown or
// kParamOutOfRange (not whole where it must be, or outside the range; nothing
// changes then).
int32_t param_set(Settings& state, const char* name, double value);

// The stored value; kParamOk or kParamUnknown.
int32_t param_get(const Settings& state, const char* name, double* value);

}  // namespace audiomix
