#include "toml_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace audiomix_render {

namespace {

// Plain quoted strings, the characters as they are.
constexpr toml::format_flags kFlags = toml::format_flags::allow_unicode_strings;

}  // namespace

std::string toml_text(const toml::node& value) {
    std::ostringstream out;
    out << toml::toml_formatter(value, kFlags);
    return out.str();
}

std::string toml_single_precision(double value) {
    double shown = value;
    if (std::isfinite(value) && static_cast<double>(static_cast<float>(value)) == value) {
        for (int digits = 1; digits <= 9; ++digits) {  // 9 digits always suffice
            char text[32];
            std::snprintf(text, sizeof text, "%.*g", digits, value);
            const double candidate = std::strtod(text, nullptr);
            if (static_cast<float>(candidate) == static_cast<float>(value)) {
                shown = candidate;
                break;
            }
        }
    }
    // toml++ writes every double in 17 digits unless told to relax to six,
    // which is exact only for values that six digits hold.
    char six[32];
    std::snprintf(six, sizeof six, "%.6g", shown);
    const bool relaxed = std::strtod(six, nullptr) == shown;
    std::ostringstream out;
    out << toml::toml_formatter(toml::value<double>(shown),
                                relaxed ? kFlags | toml::format_flags::relaxed_float_precision : kFlags);
    return out.str();
}

std::string toml_array(const std::vector<std::string>& items, size_t perLine) {
    std::string text = "[";
    const bool wrap = items.size() > perLine;
    for (size_t i = 0; i < items.size(); ++i) {
        if (wrap && i % perLine == 0)
            text += i == 0 ? "\n    " : ",\n    ";
        else if (i > 0)
            text += ", ";
        text += items[i];
    }
    return text + (wrap ? ",\n]" : "]");
}

std::string toml_comment(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line.empty() ? "#\n" : "# " + line + "\n";
    return text;
}

std::string toml_where(const std::string& path, const toml::source_region& source) {
    return path + ":" + std::to_string(source.begin.line);
}

std::string toml_kind(const toml::node& node) {
    switch (node.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "an array";
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a number with a point";
        case toml::node_type::boolean: return "true or false";
        case toml::node_type::date:
        case toml::node_type::time:
        case toml::node_type::date_time: return "a date or time";
        case toml::node_type::none: break;
    }
    return "nothing";
}

void TomlFaults::add(const toml::source_region& at, const std::string& key, const std::string& what) {
    list_.emplace_back(at.begin.line, toml_where(path_, at) + ": " + key + ": " + what);
}

std::string TomlFaults::text() const {
    auto sorted = list_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    for (const auto& fault : sorted) out += (out.empty() ? "" : "\n") + fault.second;
    return out;
}

bool toml_parse(std::string_view text, const std::string& path, toml::table& doc, std::string& error) {
    try {
        doc = toml::parse(text, std::string_view(path));
        return true;
    } catch (const toml::parse_error& e) {
        error = toml_where(path, e.source()) + ": " + std::string(e.description());
        return false;
    }
}

}  // namespace audiomix_render
