// The equaliser presets: the record, the table (built-ins first, then the
// user presets of "audioeqset.eq") and the preset file.
//
// Names are GBK (code page 936) bytes everywhere here; model/gbk.h converts
// them at the window edge (UTF-16) and at the host interface (UTF-8).
//
// Every function works on the table it is given and nothing here locks: the
// owner of a table serialises its use. The default engine's table is
// default_presets() (api/default_engine.h), used under that engine's lock;
// the engines for hosts share one read-only table.
//
// The file is read when the window is created and again before each
// rewrite, which takes in records another program added meanwhile (see
// preset_adopt_from_file); each rewrite is whole, so a reader sees either
// the old file or the new one. Applying a preset to the engine is
// eq_apply_preset / eq_choose_preset (model/eq_rules.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace audiomix {

constexpr int32_t kPresetNameBytes = 64;  // the name field, NUL included
constexpr int32_t kPresetNameMax = kPresetNameBytes - 1;
constexpr int32_t kPresetGains = 31;
constexpr int32_t kPresetRecordBytes = 196;
constexpr int32_t kPresetTableSize = 255;  // 11 built-ins and 244 user presets
constexpr int32_t kBuiltinPresetCount = 11;

// One preset, the layout of one 196-byte record of the file. The file is
// read and written field by field, little-endian, never through this struct.
struct PresetRecord {
    char name[kPresetNameBytes];   // GBK, NUL-terminated
    int32_t bandCount;             // 10, 15, 25 or 31 for a listed preset
    int32_t gainDb[kPresetGains];  // slider scale: +20 top, 0 centre, -20 bottom
    uint8_t builtIn;               // 1 built-in, 0 user preset
    uint8_t padding[3];
};
static_assert(sizeof(PresetRecord) == kPresetRecordBytes, "record size");
static_assert(offsetof(PresetRecord, bandCount) == 64, "bandCount offset");
static_assert(offsetof(PresetRecord, gainDb) == 68, "gainDb offset");
static_assert(offsetof(PresetRecord, builtIn) == 192, "builtIn offset");

// records[0 .. count - 1] are in use. Zero-initialised it holds nothing,
// not even the built-ins: LoadPresets fills it.
struct PresetTable {
    PresetRecord records[kPresetTableSize];
    int32_t count;
};

// Record <-> file bytes. Reading keeps every byte, except that a name filling
// all 64 bytes without a NUL is cut to the longest GBK-whole prefix of at
// most 63 bytes (a double-byte character never loses its second half), so
// every name in the table is a terminated string.
void preset_record_from_bytes(const unsigned char* bytes, PresetRecord& out);
void preset_record_to_bytes(const PresetRecord& record, unsigned char* bytes);

// Rebuilds the table: the eleven built-ins, then every whole 196-byte record
// of the file at path, unchanged (builtIn byte and band count included). A
// missing or unreadable file gives the built-ins only; a trailing partial
// record is ignored; records beyond the 255th are ignored. Null path: the
// built-ins only.
void LoadPresets(PresetTable& table, const char* path);

// Appends the user records of a file to the table as LoadPresets does.
// Returns the number of records taken. Exposed for the fuzzer.
int32_t preset_read_file(PresetTable& table, std::FILE* file);

// How a rewrite writes bytes to the temporary file; tests replace it to fail
// part-way. Returns the bytes written, like fwrite with size 1.
using PresetWriteFn = size_t (*)(const void* data, size_t size, std::FILE* file);

// Rewrites the file with every record whose builtIn byte is 0, in table
// order (so built-in records read from a file drop out of it here).
// Atomic: the records go to "<path>.tmp" beside it, are flushed, and
// the temporary file then replaces the file. Returns false when any step
// fails: the old file is then left exactly as it was and the temporary file
// removed. Never changes the table.
bool WritePresetFile(const PresetTable& table, const char* path, PresetWriteFn write = nullptr);

// The table index of the n-th record (from 0) whose bandCount is bandCount,
// in table order: item n of the preset box. -1 if there is none.
int32_t preset_find_nth(const PresetTable& table, int32_t bandCount, int32_t n);

// How many records have this bandCount (the preset box's item count).
int32_t preset_count_for(const PresetTable& table, int32_t bandCount);

// Whether any record of the table, built-in or user, of any band count, has
// exactly this name (byte for byte, case-sensitive, no trimming). The
// preset-name dialog refuses such names. Null is never taken.
bool preset_name_taken(const PresetTable& table, const char* gbkName);

// Another program may have added records to the file since it was read.
// Before every rewrite the file is read again and each record under a name
// the table does not know (other than excludedName, the one being deleted)
// is appended to the table while there is room, so the rewrite keeps it.
// Records the table already names keep the table's version. Returns the
// number adopted.
int32_t preset_adopt_from_file(PresetTable& table, const char* path, const char* excludedName);

// Saving a new preset from the band sliders' positions.
enum class PresetSaveResult {
    Saved,        // appended to the table and written to the file
    NotWritten,   // appended to the table; the file could not be rewritten
    EmptyName,    // nothing changed
    NameTooLong,  // more than 63 bytes; nothing changed
    NameTaken,    // nothing changed
    TableFull,    // 255 records already; nothing changed, no record is dropped
};

// gainDb[b] = trunc(20 - 0.8 x position of band slider b), b = 0 .. 30.
int32_t preset_gain_from_position(int32_t position);

// Appends {name, bandCount, gains from positions, builtIn 0} as the last
// record and rewrites the file at path (null: the table only, NotWritten).
// positions holds the 31 band sliders' positions. On Saved/NotWritten the
// new record's index is table.count - 1.
PresetSaveResult preset_save(PresetTable& table, const char* path, const char* gbkName, int32_t bandCount,
                             const int32_t positions[kPresetGains]);

enum class PresetDeleteResult {
    Deleted,     // removed, later records moved down, file rewritten
    NotWritten,  // removed from the table; the file could not be rewritten
    BuiltIn,     // builtIn byte not 0 (never written to the file): nothing changed
    NoRecord,    // index outside the table: nothing changed
};

// Removes table record index and rewrites the file at path.
PresetDeleteResult preset_delete(PresetTable& table, const char* path, int32_t index);

}  // namespace audiomix
