#include "preset_file_actions.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <audiomix.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "files.h"
#include "options.h"
#include "preset_exchange.h"
#include "api/lifecycle.h"
#include "model/preset_store.h"

namespace audiomix_render {

namespace {

using audiomix::kBuiltinPresetCount;
using audiomix::kPresetRecordBytes;
using audiomix::kPresetTableSize;
using audiomix::PresetRecord;
using audiomix::PresetTable;

// The window keeps the path in 256 bytes, and a rewrite adds ".tmp" to it.
constexpr size_t kPathMax = 255;

// Whether path can be read, and rewritten without losing a byte: a regular
// file of whole records that the table holds (or missing, when a missing
// file is fine). Anything else is left alone.
bool usable_preset_file(const std::string& path, bool mayBeMissing, std::string& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT && mayBeMissing) return true;
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const auto records = static_cast<long long>(st.st_size) / kPresetRecordBytes;
    if (!S_ISREG(st.st_mode) || st.st_size % kPresetRecordBytes != 0) {
        error = path + ": not a preset file (not whole " + std::to_string(kPresetRecordBytes) +
                "-byte records); left as it is";
        return false;
    }
    if (records > kPresetTableSize - kBuiltinPresetCount) {
        error = path + ": holds " + std::to_string(records) + " presets, more than the " +
                std::to_string(kPresetTableSize - kBuiltinPresetCount) + " the table takes; left as it is";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    std::fclose(file);
    return true;
}

int user_preset_count(const PresetTable& table) {
    int n = 0;
    for (int32_t i = kBuiltinPresetCount; i < table.count; ++i) n += table.records[i].builtIn == 0;
    return n;
}

int export_presets(const std::string& binary, const std::string& target, std::string& out, std::string& err) {
    if (same_file(target, binary)) {
        err = "--export-presets " + target + " would replace the preset file itself";
        return kExitUsage;
    }
    if (!usable_preset_file(binary, false, err)) return kExitFailed;
    auto table = std::make_unique<PresetTable>();
    audiomix::LoadPresets(*table, binary.c_str());
    const std::string text =
        presets_to_toml(*table, {version_text() + ": the user presets of " + binary,
                                 "gains on the slider scale: +20 top, 0 centre, -20 bottom (all 31 sliders);",
                                 "--import-presets adds them to a preset file"});
    if (!write_file_atomically(target, text, err)) return kExitFailed;
    out = "exported  " + std::to_string(user_preset_count(*table)) + " presets from " + binary + " to " + target + "\n";
    return kExitDone;
}

int import_presets(const std::string& source, const std::string& binary, std::string& out, std::string& err) {
    std::string text;
    if (!read_text_file(source, text, err)) return kExitFailed;
    std::vector<PresetRecord> records;
    err = parse_presets(text, source, records);
    if (!err.empty()) return kExitUsage;
    if (binary.size() > kPathMax) {
        err = binary + ": the preset file's path may hold at most " + std::to_string(kPathMax) + " bytes";
        return kExitFailed;
    }
    if (!usable_preset_file(binary, true, err)) return kExitFailed;

    auto table = std::make_unique<PresetTable>();
    audiomix::LoadPresets(*table, binary.c_str());
    PresetAddition addition;
    if (!add_presets(*table, records, addition)) {
        err = binary + " has room for " + std::to_string(addition.room) + " more presets, " + source + " brings " +
              std::to_string(records.size() - addition.taken.size()) + " new ones; nothing imported";
        return kExitFailed;
    }
    if (!addition.taken.empty()) {
        err = "skipped, a preset of the name exists:";
        for (const std::string& name : addition.taken) err += " '" + name + "'";
    }
    if (!addition.added.empty()) {
        // As the window does before every rewrite: what another program saved
        // since the file was read stays in it.
        audiomix::preset_adopt_from_file(*table, binary.c_str(), nullptr);
        if (!audiomix::WritePresetFile(*table, binary.c_str())) {
            err = binary + ": could not be rewritten; it is left as it was";
            return kExitFailed;
        }
    }
    for (const std::string& name : addition.added) out += "imported  " + name + "\n";
    out += "into      " + binary + " (" + std::to_string(addition.added.size()) + " added, " +
           std::to_string(addition.taken.size()) + " skipped)\n";
    return kExitDone;
}

}  // namespace

std::string library_preset_file() {
    // Any export will do: dladdr names the object that holds it.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&audiomix_engine_create), &info) == 0 || info.dli_fname == nullptr) return {};
    std::vector<char> path(std::strlen(info.dli_fname) + 32);
    audiomix::preset_path_from_module(info.dli_fname, '/', path.data(), path.size());
    return path.data();
}

int run_preset_exchange(const Options& o, std::string& out, std::string& err) {
    const std::string binary = o.presetFile.empty() ? library_preset_file() : o.presetFile;
    if (binary.empty()) {
        err = "the folder of libaudiomix.so is unknown; --preset-file names the preset file";
        return kExitFailed;
    }
    if (!o.exportPresets.empty()) return export_presets(binary, o.exportPresets, out, err);
    return import_presets(o.importPresets, binary, out, err);
}

}  // namespace audiomix_render
