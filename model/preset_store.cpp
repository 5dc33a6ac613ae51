#include "model/preset_store.h"

#include <cmath>
#include <cstring>

#include "model/gbk.h"
#include "model/builtin_presets.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace audiomix {

PresetRecord presetTable[kPresetTableSize];
int32_t presetCount = 0;

namespace {

constexpr char kTempSuffix[] = ".tmp";
// presetPath holds at most 255 characters; the temporary name adds 4.
constexpr size_t kPathCapacity = 256 + sizeof kTempSuffix;

int32_t read_le32(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

void write_le32(int32_t value, unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

size_t name_length(const PresetRecord& r) {
    const void* nul = std::memchr(r.name, '\0', sizeof r.name);
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - r.name)
                          : sizeof r.name;
}

size_t fwrite_bytes(const void* data, size_t size, std::FILE* file) {
    return std::fwrite(data, 1, size, file);
}

// Flushes the C library's buffer and asks the system to put the data on disk.
bool flush_to_disk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Replaces target with source in one step: readers see the old file or the
// new one, never a mixture.
bool replace_file(const char* source, const char* target) {
#if defined(_WIN32)
    // presetPath is in the ANSI code page (it comes from GetModuleFileNameA).
    wchar_t wideSource[kPathCapacity], wideTarget[kPathCapacity];
    if (MultiByteToWideChar(CP_ACP, 0, source, -1, wideSource, static_cast<int>(kPathCapacity)) == 0 ||
        MultiByteToWideChar(CP_ACP, 0, target, -1, wideTarget, static_cast<int>(kPathCapacity)) == 0)
        return false;
    return MoveFileExW(wideSource, wideTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
#else
    return std::rename(source, target) == 0;
#endif
}

bool is_builtin(const PresetRecord& r) { return r.builtIn != 0; }

}  // namespace

void preset_record_from_bytes(const unsigned char* bytes, PresetRecord& out) {
    std::memcpy(out.name, bytes, sizeof out.name);
    if (std::memchr(out.name, '\0', sizeof out.name) == nullptr) {
        const size_t keep = gbk_fit(out.name, sizeof out.name, kPresetNameMax);
        std::memset(out.name + keep, 0, sizeof out.name - keep);
    }
    out.bandCount = read_le32(bytes + 64);
    for (int32_t b = 0; b < kPresetGains; ++b) out.gainDb[b] = read_le32(bytes + 68 + 4 * b);
    out.builtIn = bytes[192];
    std::memcpy(out.padding, bytes + 193, sizeof out.padding);
}

void preset_record_to_bytes(const PresetRecord& record, unsigned char* bytes) {
    std::memcpy(bytes, record.name, sizeof record.name);
    write_le32(record.bandCount, bytes + 64);
    for (int32_t b = 0; b < kPresetGains; ++b) write_le32(record.gainDb[b], bytes + 68 + 4 * b);
    bytes[192] = record.builtIn;
    std::memcpy(bytes + 193, record.padding, sizeof record.padding);
}

namespace {

int32_t read_records(std::FILE* file, PresetRecord* table, int32_t& count) {
    unsigned char bytes[kPresetRecordBytes];
    int32_t taken = 0;
    while (count < kPresetTableSize && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes) {
        preset_record_from_bytes(bytes, table[count++]);
        ++taken;
    }
    return taken;
}

void load_records(const char* path, PresetRecord* table, int32_t& count) {
    std::memset(table, 0, sizeof(PresetRecord) * kPresetTableSize);
    builtin_presets_fill(table);
    count = kBuiltinPresetCount;
    if (path == nullptr || path[0] == '\0') return;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;  // no user presets yet
    read_records(file, table, count);
    std::fclose(file);
}

int32_t find_nth(const PresetRecord* table, int32_t count, int32_t bandCount, int32_t n) {
    if (n < 0) return -1;
    for (int32_t i = 0; i < count; ++i)
        if (table[i].bandCount == bandCount && n-- == 0) return i;
    return -1;
}

int32_t count_for(const PresetRecord* table, int32_t count, int32_t bandCount) {
    int32_t found = 0;
    for (int32_t i = 0; i < count; ++i)
        if (table[i].bandCount == bandCount) ++found;
    return found;
}

}  // namespace

int32_t preset_read_file(std::FILE* file) { return read_records(file, presetTable, presetCount); }

void LoadPresets(const char* path) { load_records(path, presetTable, presetCount); }

void preset_list_load(PresetList& list, const char* path) { load_records(path, list.records, list.count); }

int32_t preset_list_find_nth(const PresetList& list, int32_t bandCount, int32_t n) {
    return find_nth(list.records, list.count, bandCount, n);
}

int32_t preset_list_count_for(const PresetList& list, int32_t bandCount) {
    return count_for(list.records, list.count, bandCount);
}

bool WritePresetFile(const char* path, PresetWriteFn write) {
    if (path == nullptr || path[0] == '\0') return false;
    if (write == nullptr) write = fwrite_bytes;
    char temp[kPathCapacity];
    const size_t length = std::strlen(path);
    if (length + sizeof kTempSuffix > sizeof temp) return false;
    std::memcpy(temp, path, length);
    std::memcpy(temp + length, kTempSuffix, sizeof kTempSuffix);

    std::FILE* file = std::fopen(temp, "wb");
    if (file == nullptr) return false;
    bool ok = true;
    unsigned char bytes[kPresetRecordBytes];
    for (int32_t i = 0; i < presetCount && ok; ++i) {
        if (presetTable[i].builtIn != 0) continue;
        preset_record_to_bytes(presetTable[i], bytes);
        ok = write(bytes, sizeof bytes, file) == sizeof bytes;
    }
    ok = ok && flush_to_disk(file);
    ok = std::fclose(file) == 0 && ok;
    ok = ok && replace_file(temp, path);
    if (!ok) std::remove(temp);
    return ok;
}

int32_t preset_find_nth(int32_t bandCount, int32_t n) { return find_nth(presetTable, presetCount, bandCount, n); }

int32_t preset_count_for(int32_t bandCount) { return count_for(presetTable, presetCount, bandCount); }

bool preset_name_taken(const char* gbkName) {
    if (gbkName == nullptr) return false;
    const size_t length = std::strlen(gbkName);
    for (int32_t i = 0; i < presetCount; ++i) {
        const PresetRecord& r = presetTable[i];
        if (name_length(r) == length && std::memcmp(r.name, gbkName, length) == 0) return true;
    }
    return false;
}

int32_t preset_gain_from_position(int32_t position) {
    return static_cast<int32_t>(std::trunc(20.0 - 0.8 * position));
}

int32_t preset_adopt_from_file(const char* path, const char* excludedName) {
    if (path == nullptr || path[0] == '\0') return 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return 0;
    unsigned char bytes[kPresetRecordBytes];
    int32_t adopted = 0;
    while (presetCount < kPresetTableSize && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes) {
        PresetRecord& slot = presetTable[presetCount];
        preset_record_from_bytes(bytes, slot);
        const bool excluded = excludedName != nullptr && std::strcmp(slot.name, excludedName) == 0;
        if (excluded || preset_name_taken(slot.name)) continue;
        ++presetCount;
        ++adopted;
    }
    std::fclose(file);
    // The slot after the last record may hold a record that was skipped.
    if (presetCount < kPresetTableSize) std::memset(&presetTable[presetCount], 0, sizeof(PresetRecord));
    return adopted;
}

PresetSaveResult preset_save(const char* path, const char* gbkName, int32_t bandCount,
                             const int32_t positions[kPresetGains]) {
    if (gbkName == nullptr || gbkName[0] == '\0') return PresetSaveResult::EmptyName;
    // What another program added to the file meanwhile stays, and its names
    // count as taken.
    preset_adopt_from_file(path, nullptr);
    const size_t length = std::strlen(gbkName);
    if (length > static_cast<size_t>(kPresetNameMax)) return PresetSaveResult::NameTooLong;
    if (preset_name_taken(gbkName)) return PresetSaveResult::NameTaken;
    if (presetCount >= kPresetTableSize) return PresetSaveResult::TableFull;

    PresetRecord& r = presetTable[presetCount];
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.name, gbkName, length);
    r.bandCount = bandCount;
    for (int32_t b = 0; b < kPresetGains; ++b) r.gainDb[b] = preset_gain_from_position(positions[b]);
    r.builtIn = 0;
    ++presetCount;
    return path != nullptr && WritePresetFile(path) ? PresetSaveResult::Saved
                                                    : PresetSaveResult::NotWritten;
}

PresetDeleteResult preset_delete(const char* path, int32_t index) {
    if (index < 0 || index >= presetCount) return PresetDeleteResult::NoRecord;
    if (is_builtin(presetTable[index])) return PresetDeleteResult::BuiltIn;
    char removed[kPresetNameBytes];
    std::memcpy(removed, presetTable[index].name, sizeof removed);
    std::memmove(&presetTable[index], &presetTable[index + 1],
                 sizeof(PresetRecord) * static_cast<size_t>(presetCount - index - 1));
    --presetCount;
    std::memset(&presetTable[presetCount], 0, sizeof(PresetRecord));
    preset_adopt_from_file(path, removed);
    return path != nullptr && WritePresetFile(path) ? PresetDeleteResult::Deleted
                                                    : PresetDeleteResult::NotWritten;
}

}  // namespace audiomix
