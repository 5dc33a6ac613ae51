// The eleven presets compiled into the library. They are always the first
// eleven records of the preset table and are never written to the file.
#pragma once

#include <cstdint>

namespace audiomix {

struct PresetRecord;

struct BuiltinPreset {
    const char* name;  // UTF-8 here; GBK in the table
    int32_t bandCount;
    int8_t gains[10];  // bands 0 to 9; every other band is 0
};

extern const BuiltinPreset kBuiltinPresets[11];

// Writes the eleven records into out[0 .. 10]: name in GBK with its NUL,
// band count, gains (all 31, unlisted ones 0), builtIn = 1, the rest zero.
void builtin_presets_fill(PresetRecord* out);

}  // namespace audiomix
