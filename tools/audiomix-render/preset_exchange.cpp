#include "preset_exchange.h"

#include <cstring>

#include "toml_text.h"
#include "model/gbk.h"

namespace audiomix_render {

namespace {

using audiomix::kBuiltinPresetCount;
using audiomix::kPresetGains;
using audiomix::kPresetNameMax;
using audiomix::kPresetTableSize;
using audiomix::PresetRecord;
using audiomix::PresetTable;

constexpr int32_t kGainLimit = 20;  // the slider scale's ends
constexpr char kPresets[] = "preset";

std::string utf8_name(const PresetRecord& r) { return audiomix::gbk_to_utf8(r.name, strnlen(r.name, sizeof r.name)); }

std::string integer(int64_t v) { return toml_text(toml::value<int64_t>(v)); }

bool is_band_count(int64_t n) { return n == 10 || n == 15 || n == 25 || n == 31; }

// One [[preset]] table into record; faults under "preset.<key>".
void read_preset(const toml::table& t, TomlFaults& faults, PresetRecord& record) {
    std::memset(&record, 0, sizeof record);
    const toml::node* name = t.get("name");
    const toml::node* bands = t.get("bands");
    const toml::node* gains = t.get("gains");
    for (auto&& [key, node] : t) {
        if (&node != name && &node != bands && &node != gains)
            faults.add(key.source(), std::string(kPresets) + "." + std::string(key.str()),
                       "no such key; a preset has name, bands and gains");
    }
    for (const auto& [node, key] : {std::pair{name, "name"}, {bands, "bands"}, {gains, "gains"}})
        if (!node) faults.add(t.source(), std::string(kPresets) + "." + key, "missing");

    if (name) {
        const auto* text = name->as_string();
        if (!text) {
            faults.add(name->source(), "preset.name", "expects a string, got " + toml_kind(*name));
        } else if (text->get().empty()) {
            faults.add(name->source(), "preset.name", "is empty");
        } else {
            const std::string& s = text->get();
            const auto r = audiomix::utf8_to_gbk(s.data(), s.size(), record.name, sizeof record.name);
            if (r.status == audiomix::GbkEncodeStatus::Unmappable)
                faults.add(name->source(), "preset.name",
                           toml_text(*name) + " has a character the preset file cannot hold (names are GBK)");
            else if (r.status == audiomix::GbkEncodeStatus::TooLong)
                faults.add(name->source(), "preset.name",
                           toml_text(*name) + " is longer than the " + std::to_string(kPresetNameMax) +
                               " bytes (in GBK) a preset name holds");
        }
    }
    if (bands) {
        const auto* n = bands->as_integer();
        if (!n || !is_band_count(n->get()))
            faults.add(bands->source(), "preset.bands", "expects 10, 15, 25 or 31, got " + toml_text(*bands));
        else
            record.bandCount = static_cast<int32_t>(n->get());
    }
    if (gains) {
        const auto* list = gains->as_array();
        const size_t fewest = record.bandCount > 0 ? static_cast<size_t>(record.bandCount) : 0;
        if (!list) {
            faults.add(gains->source(), "preset.gains", "expects an array of whole numbers, got " + toml_kind(*gains));
        } else if (list->size() < fewest || list->size() > static_cast<size_t>(kPresetGains)) {
            const std::string preset = fewest > 0 ? "a " + std::to_string(fewest) + "-band preset" : "a preset";
            faults.add(gains->source(), "preset.gains",
                       "has " + std::to_string(list->size()) + " values; " + preset + " has " +
                           std::to_string(fewest > 0 ? fewest : 1) + " to " + std::to_string(kPresetGains));
        } else {
            for (size_t i = 0; i < list->size(); ++i) {
                const auto* g = (*list)[i].as_integer();
                if (!g || g->get() < -kGainLimit || g->get() > kGainLimit)
                    faults.add((*list)[i].source(), "preset.gains[" + std::to_string(i) + "]",
                               "expects a whole number from -20 to 20, got " + toml_text((*list)[i]));
                else
                    record.gainDb[i] = static_cast<int32_t>(g->get());
            }
        }
    }
}

}  // namespace

std::string presets_to_toml(const PresetTable& table, const std::vector<std::string>& comment) {
    std::string text = toml_comment(comment);
    for (int32_t i = kBuiltinPresetCount; i < table.count; ++i) {
        const PresetRecord& r = table.records[i];
        if (r.builtIn != 0) continue;  // a rewrite of the file drops it too
        std::vector<std::string> gains;
        for (const int32_t g : r.gainDb) gains.push_back(integer(g));
        text += "\n[[preset]]\nname = " + toml_text(toml::value<std::string>(utf8_name(r))) +
                "\nbands = " + integer(r.bandCount) + "\ngains = " + toml_array(gains, 10) + "\n";
    }
    return text;
}

std::string parse_presets(std::string_view text, const std::string& path, std::vector<PresetRecord>& out) {
    toml::table doc;
    std::string syntax;
    if (!toml_parse(text, path, doc, syntax)) return syntax;
    TomlFaults faults(path);
    std::vector<PresetRecord> records;
    for (auto&& [key, node] : doc) {
        const toml::array* list = node.as_array();
        if (key.str() != kPresets) {
            faults.add(key.source(), std::string(key.str()), "no such key; the file holds [[preset]] tables");
        } else if (!list || !list->is_array_of_tables()) {
            faults.add(key.source(), kPresets, "expects [[preset]] tables, got " + toml_kind(node));
        } else {
            for (const toml::node& element : *list) {
                records.emplace_back();
                read_preset(*element.as_table(), faults, records.back());
            }
        }
    }
    if (!faults.empty()) return faults.text();
    out = std::move(records);
    return {};
}

bool add_presets(PresetTable& table, const std::vector<PresetRecord>& records, PresetAddition& result) {
    result = {};
    result.room = kPresetTableSize - table.count;
    std::vector<const PresetRecord*> fresh;
    for (const PresetRecord& r : records) {
        bool taken = audiomix::preset_name_taken(table, r.name);
        for (const PresetRecord* earlier : fresh) taken = taken || std::strcmp(earlier->name, r.name) == 0;
        if (taken)
            result.taken.push_back(utf8_name(r));
        else
            fresh.push_back(&r);
    }
    if (fresh.size() > static_cast<size_t>(result.room)) return false;
    for (const PresetRecord* r : fresh) {
        table.records[table.count++] = *r;
        result.added.push_back(utf8_name(*r));
    }
    return true;
}

}  // namespace audiomix_render
