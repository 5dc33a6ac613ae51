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
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - r.name) : sizeof r.name;
}

size_t fwrite_bytes(const void* data, size_t size, std::FILE* file) { return std::fwrite(data, 1, size, file); }

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
    return MoveFileExW(wideSource, wideTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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

int32_t preset_read_file(PresetTable& table, std::FILE* file) {
    unsigned char bytes[kPresetRecordBytes];
    int32_t taken = 0;
    while (table.count < kPresetTableSize && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes) {
        preset_record_from_bytes(bytes, table.records[table.count++]);
        ++taken;
    }
    return taken;
}

void LoadPresets(PresetTable& table, const char* path) {
    std::memset(table.records, 0, sizeof table.records);
    builtin_presets_fill(table.records);
    table.count = kBuiltinPresetCount;
    if (path == nullptr || path[0] == '\0') return;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;  // no user presets yet
    preset_read_file(table, file);
    std::fclose(file);
}

bool WritePresetFile(const PresetTable& table, const char* path, PresetWriteFn write) {
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
    for (int32_t i = 0; i < table.count && ok; ++i) {
        if (is_builtin(table.records[i])) continue;
        preset_record_to_bytes(table.records[i], bytes);
        ok = write(bytes, sizeof bytes, file) == sizeof bytes;
    }
    ok = ok && flush_to_disk(file);
    ok = std::fclose(file) == 0 && ok;
    ok = ok && replace_file(temp, path);
    if (!ok) std::remove(temp);
    return ok;
}

int32_t preset_find_nth(const PresetTable& table, int32_t bandCount, int32_t n) {
    if (n < 0) return -1;
    for (int32_t i = 0; i < table.count; ++i)
        if (table.records[i].bandCount == bandCount && n-- == 0) return i;
    return -1;
}

int32_t preset_count_for(const PresetTable& table, int32_t bandCount) {
    int32_t found = 0;
    for (int32_t i = 0; i < table.count; ++i)
        if (table.records[i].bandCount == bandCount) ++found;
    return found;
}

bool preset_name_taken(const PresetTable& table, const char* gbkName) {
    if (gbkName == nullptr) return false;
    const size_t length = std::strlen(gbkName);
    for (int32_t i = 0; i < table.count; ++i) {
        const PresetRecord& r = table.records[i];
        if (name_length(r) == length && std::memcmp(r.name, gbkName, length) == 0) return true;
    }
    return false;
}

int32_t preset_gain_from_position(int32_t position) { return static_cast<int32_t>(std::trunc(20.0 - 0.8 * position)); }

int32_t preset_adopt_from_file(PresetTable& table, const char* path, const char* excludedName) {
    if (path == nullptr || path[0] == '\0') return 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return 0;
    unsigned char bytes[kPresetRecordBytes];
    int32_t adopted = 0;
    while (table.count < kPresetTableSize && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes) {
        // Read into the free slot and kept by counting it; the name check
        // runs over the records before it only.
        PresetRecord& slot = table.records[table.count];
        preset_record_from_bytes(bytes, slot);
        const bool excluded = excludedName != nullptr && std::strcmp(slot.name, excludedName) == 0;
        if (excluded || preset_name_taken(table, slot.name)) continue;
        ++table.count;
        ++adopted;
    }
    std::fclose(file);
    // The slot after the last record may hold a record that was skipped.
    if (table.count < kPresetTableSize) std::memset(&table.records[table.count], 0, sizeof(PresetRecord));
    return adopted;
}

PresetSaveResult preset_save(PresetTable& table, const char* path, const char* gbkName, int32_t bandCount,
                             const int32_t positions[kPresetGains]) {
    if (gbkName == nullptr || gbkName[0] == '\0') return PresetSaveResult::EmptyName;
    // What another program added to the file meanwhile stays, and its names
    // count as taken.
    preset_adopt_from_file(table, path, nullptr);
    const size_t length = std::strlen(gbkName);
    if (length > static_cast<size_t>(kPresetNameMax)) return PresetSaveResult::NameTooLong;
    if (preset_name_taken(table, gbkName)) return PresetSaveResult::NameTaken;
    if (table.count >= kPresetTableSize) return PresetSaveResult::TableFull;

    PresetRecord& r = table.records[table.count];
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.name, gbkName, length);
    r.bandCount = bandCount;
    for (int32_t b = 0; b < kPresetGains; ++b) r.gainDb[b] = preset_gain_from_position(positions[b]);
    r.builtIn = 0;
    ++table.count;
    return path != nullptr && WritePresetFile(table, path) ? PresetSaveResult::Saved : PresetSaveResult::NotWritten;
}

PresetDeleteResult preset_delete(PresetTable& table, const char* path, int32_t index) {
    if (index < 0 || index >= table.count) return PresetDeleteResult::NoRecord;
    if (is_builtin(table.records[index])) return PresetDeleteResult::BuiltIn;
    char removed[kPresetNameBytes];
    std::memcpy(removed, table.records[index].name, sizeof removed);
    std::memmove(&table.records[index], &table.records[index + 1],
                 sizeof(PresetRecord) * static_cast<size_t>(table.count - index - 1));
    --table.count;
    std::memset(&table.records[table.count], 0, sizeof(PresetRecord));
    preset_adopt_from_file(table, path, removed);
    return path != nullptr && WritePresetFile(table, path) ? PresetDeleteResult::Deleted
                                                           : PresetDeleteResult::NotWritten;
}

}  // namespace audiomix
