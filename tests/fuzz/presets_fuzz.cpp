// The preset file reader on arbitrary bytes: whatever a file holds loads as
// whole records without overrunning anything, every name in the table is a
// terminated string, and the host interface serves them safely, cut to any
// size without splitting a character.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "audiomix.h"
#include "api/default_engine.h"
#include "model/eq_rules.h"
#include "model/preset_store.h"

using namespace audiomix;

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Whole UTF-8 sequences only: a cut name must not end inside a character.
bool whole_utf8(const char* s, size_t n) {
    size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const size_t width = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (width == 0 || i + width > n) return false;
        for (size_t k = 1; k < width; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += width;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The default engine's table, so that the host interface below serves
    // what was read; one thread here, the lock is taken all the same.
    PresetTable& table = default_presets();
    int32_t taken = 0;
    {
        auto s = default_engine().edit();
        LoadPresets(table, nullptr);
        std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (file == nullptr) return 0;
        taken = preset_read_file(table, file);
        std::fclose(file);
    }

    const size_t whole = size / kPresetRecordBytes;
    const int32_t room = kPresetTableSize - kBuiltinPresetCount;
    check(taken == static_cast<int32_t>(whole < static_cast<size_t>(room) ? whole : room));
    check(table.count == kBuiltinPresetCount + taken);

    for (int32_t i = 0; i < table.count; ++i) {
        check(std::memchr(table.records[i].name, '\0', sizeof table.records[i].name) != nullptr);
        check(preset_name_taken(table, table.records[i].name));
    }

    // The host interface over every listed band count, with cut buffers.
    for (int32_t bands : {10, 15, 25, 31, table.records[table.count - 1].bandCount}) {
        default_engine().edit()->eqBandCount = bands;
        const int32_t count = audiomix_preset_count();
        check(count == preset_count_for(table, bands));
        for (int32_t i = -1; i <= count && i < 40; ++i) {
            char buffer[24];
            const int32_t cut = size != 0 ? data[static_cast<size_t>(i + 1) % size] % 25 : 24;
            const int32_t full = audiomix_preset_name(i, buffer, cut);
            check((i >= 0 && i < count) == (full >= 0));
            if (full >= 0 && cut > 0) {
                const size_t n = std::strlen(buffer);
                check(n < static_cast<size_t>(cut) && n <= static_cast<size_t>(full));
                check(whole_utf8(buffer, n));
            }
            check((audiomix_preset_apply(i) == AUDIOMIX_PARAM_OK) == (i >= 0 && i < count));
        }
    }
    return 0;
}
