// Preset names as the host interface gives them.
#pragma once

#include <cstdint>

namespace audiomix {

struct PresetRecord;

// Writes the record's name as UTF-8, NUL-terminated and cut to size bytes
// without splitting a character, and returns the full name's length in
// bytes; -1 for a null record (a usable buffer then receives an empty
// string). Never throws.
int32_t preset_name_utf8(const PresetRecord* record, char* buffer, int32_t size);

}  // namespace audiomix
