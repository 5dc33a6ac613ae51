#include "settings_file.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

#include "files.h"
#include "format.h"
#include "options.h"
#include "param_hints.h"
#include "toml_text.h"
#include "model/param_table.h"

namespace audiomix_render {

namespace {

using audiomix::kFixedParamCount;
using audiomix::kParamTable;
using audiomix::ParamInfo;
using audiomix::ParamKind;

constexpr char kBandArray[] = "eq.band";  // eq.band.N is its element N
constexpr char kBandPrefix[] = "eq.band.";
constexpr char kBandCount[] = "eq.bands";

const ParamInfo& band_entry() { return kParamTable[kFixedParamCount]; }

bool is_band(const std::string& name) { return name.compare(0, sizeof kBandPrefix - 1, kBandPrefix) == 0; }

// "eq.pregain" -> {"eq", "pregain"}.
std::pair<std::string, std::string> split_name(const std::string& name) {
    const size_t dot = name.find('.');
    return {name.substr(0, dot), dot == std::string::npos ? "" : name.substr(dot + 1)};
}

// The table entry of a TOML key "table.key"; the band entry for the array.
const ParamInfo* find_entry(const std::string& key) {
    for (int32_t i = 0; i < kFixedParamCount; ++i)
        if (key == kParamTable[i].name) return &kParamTable[i];
    return key == kBandArray ? &band_entry() : nullptr;
}

// The tables in the order their first parameter comes, or the keys of one
// table in the library's order.
std::vector<std::string> tables() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < kFixedParamCount; ++i) {
        const std::string t = split_name(kParamTable[i].name).first;
        if (std::find(out.begin(), out.end(), t) == out.end()) out.push_back(t);
    }
    return out;
}

std::vector<std::string> keys_of(const std::string& table) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < kFixedParamCount; ++i) {
        const auto [t, key] = split_name(kParamTable[i].name);
        if (t == table) out.push_back(key);
    }
    if (table == split_name(kBandArray).first) out.push_back(split_name(kBandArray).second);
    return out;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
    return text;
}

std::string accepted(const char* name) {
    const ParamHint* hint = find_param_hint(name);
    return hint ? hint->accepted : "";
}

// The value a node gives parameter p in v, or what is wrong with it.
std::string check_value(const ParamInfo& p, const toml::node& node, double& v) {
    const std::string shown = " (" + toml_text(node) + ")";
    switch (p.kind) {
        case ParamKind::Switch:
            if (const auto* b = node.as_boolean()) {
                v = b->get() ? 1.0 : 0.0;
                return {};
            }
            if (const auto* i = node.as_integer(); i && (i->get() == 0 || i->get() == 1)) {
                v = static_cast<double>(i->get());
                return {};
            }
            return "expects true or false (or 0 or 1), got " + toml_kind(node) + shown;
        case ParamKind::Integer:
        case ParamKind::BandCount: {
            const auto* i = node.as_integer();
            if (!i) return "expects a whole number, got " + toml_kind(node) + shown;
            const int64_t n = i->get();
            const bool ok = p.kind == ParamKind::Integer ? n >= p.minimum && n <= p.maximum
                                                         : n == 10 || n == 15 || n == 25 || n == 31;
            if (!ok) return toml_text(node) + " is out of range; accepted: " + accepted(p.name);
            v = static_cast<double>(n);
            return {};
        }
        case ParamKind::Continuous:
            if (const auto* i = node.as_integer())
                v = static_cast<double>(i->get());
            else if (const auto* f = node.as_floating_point())
                v = f->get();
            else
                return "expects a number, got " + toml_kind(node) + shown;
            if (!(v >= p.minimum && v <= p.maximum))  // NaN fails too
                return toml_text(node) + " is out of range; accepted: " + accepted(p.name);
            return {};
    }
    return "unknown kind of parameter";
}

std::string where(const std::string& path, const toml::node& node) { return toml_where(path, node.source()); }

}  // namespace

std::string parse_settings(std::string_view text, const std::string& path, std::vector<SettingValue>& out) {
    toml::table doc;
    std::string syntax;
    if (!toml_parse(text, path, doc, syntax)) return syntax;

    TomlFaults faults(path);
    std::map<std::string, SettingValue> fixed;
    std::vector<SettingValue> bands;
    std::optional<toml::source_region> bandArray;  // where eq.band is, when it is an array
    size_t bandsGiven = 0;
    bool countFaulty = false;
    const std::vector<std::string> known = tables();
    for (auto&& [tableKey, tableNode] : doc) {
        const std::string table(tableKey.str());
        const bool isKnown = std::find(known.begin(), known.end(), table) != known.end();
        if (!isKnown) {
            faults.add(tableKey.source(), table,
                       tableNode.is_table() ? "no such table; the tables are " + joined(known)
                                            : "a key outside the tables " + joined(known));
            continue;
        }
        if (!tableNode.is_table()) {
            faults.add(tableKey.source(), table, "expects the table [" + table + "], got " + toml_kind(tableNode));
            continue;
        }
        for (auto&& [key, node] : *tableNode.as_table()) {
            const std::string name = table + "." + std::string(key.str());
            const ParamInfo* entry = find_entry(name);
            if (!entry) {
                faults.add(key.source(), name, "no such key; [" + table + "] has " + joined(keys_of(table)));
            } else if (entry == &band_entry()) {
                const toml::array* gains = node.as_array();
                if (!gains) {
                    faults.add(node.source(), name, "expects an array of numbers, got " + toml_kind(node));
                    continue;
                }
                bandArray = key.source();
                bandsGiven = gains->size();
                for (size_t i = 0; i < gains->size(); ++i) {
                    double v = 0.0;
                    const std::string problem = check_value(*entry, (*gains)[i], v);
                    const std::string element = name + "[" + std::to_string(i) + "]";
                    if (!problem.empty())
                        faults.add((*gains)[i].source(), element, problem);
                    else
                        bands.push_back({kBandPrefix + std::to_string(i), v, where(path, (*gains)[i])});
                }
            } else {
                double v = 0.0;
                const std::string problem = check_value(*entry, node, v);
                if (!problem.empty())
                    faults.add(node.source(), name, problem);
                else
                    fixed[name] = {name, v, where(path, node)};
                if (!problem.empty() && name == kBandCount) countFaulty = true;
            }
        }
    }

    // The array gives every band of the layout, no more and no fewer.
    if (bandArray && !countFaulty) {
        const auto count = fixed.find(kBandCount);
        const bool given = count != fixed.end();
        const double layout = given ? count->second.value : find_entry(kBandCount)->defaultValue;
        if (static_cast<double>(bandsGiven) != layout)
            faults.add(*bandArray, kBandArray,
                       "has " + std::to_string(bandsGiven) + " values, but eq.bands is " + format_value(layout) +
                           (given ? "" : " (its default)"));
    }
    if (!faults.empty()) return faults.text();

    out.clear();
    for (int32_t i = 0; i < kFixedParamCount; ++i) {
        const auto it = fixed.find(kParamTable[i].name);
        if (it != fixed.end()) out.push_back(it->second);
    }
    out.insert(out.end(), bands.begin(), bands.end());
    return {};
}

int read_settings_file(const std::string& path, std::vector<SettingValue>& out, std::string& error) {
    std::string text;
    if (!read_text_file(path, text, error)) return kExitFailed;
    error = parse_settings(text, path, out);
    return error.empty() ? kExitDone : kExitUsage;
}

std::string settings_to_toml(const ParamValues& values, const std::vector<std::string>& comment) {
    // Tables in the order of their first parameter, keys in the library's.
    std::vector<std::pair<std::string, std::string>> bodies;
    auto body = [&](const std::string& table) -> std::string& {
        for (auto& [t, b] : bodies)
            if (t == table) return b;
        return bodies.emplace_back(table, "").second;
    };
    std::vector<std::string> bandTexts;
    for (const auto& [name, v] : values) {
        if (is_band(name)) {
            bandTexts.push_back(toml_single_precision(v));
            continue;
        }
        const ParamInfo* entry = find_entry(name);
        if (!entry) continue;  // the tool and the library share one table
        std::string text;
        if (entry->kind == ParamKind::Switch && (v == 0.0 || v == 1.0))
            text = toml_text(toml::value<bool>(v == 1.0));
        else if (entry->kind != ParamKind::Continuous)
            text = toml_text(toml::value<int64_t>(std::llround(v)));
        else
            text = toml_single_precision(v);
        const auto [table, key] = split_name(name);
        body(table) += key + " = " + text + "\n";
    }
    if (!bandTexts.empty()) {
        const auto [table, key] = split_name(kBandArray);
        body(table) += key + " = " + toml_array(bandTexts, 10) + "\n";
    }
    std::string text = toml_comment(comment);
    for (const auto& [table, lines] : bodies) text += "\n[" + table + "]\n" + lines;
    return text;
}

}  // namespace audiomix_render
