// Small pieces of TOML shared by the settings files and the preset files:
// values as toml++ writes them, and where a node stands for messages. Lines
// are put together here so that keys keep the order that means something
// (toml++ writes a table's keys sorted by name).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <toml++/toml.h>

namespace audiomix_render {

// One value (or array) as toml++ writes it; strings in UTF-8, quoted.
std::string toml_text(const toml::node& value);

// A number the library holds in single precision, in the fewest digits that
// read back as the same single-precision number ("4.8" rather than
// "4.8000001907348633"); other values in full double precision.
std::string toml_single_precision(double value);

// "[a, b, c]"; more than perLine items go on lines of perLine, indented.
std::string toml_array(const std::vector<std::string>& items, size_t perLine);

// "# line" for each line.
std::string toml_comment(const std::vector<std::string>& lines);

// "path:line" of a node (or of a key, whose source is a region too).
std::string toml_where(const std::string& path, const toml::source_region& source);

// What a node is, for messages: "a string", "an integer", "a table", ...
std::string toml_kind(const toml::node& node);

// The faults found in a file, told in file order whatever order they were
// found in (toml++ hands a table's keys over sorted by name).
class TomlFaults {
public:
    explicit TomlFaults(std::string path) : path_(std::move(path)) {}
    // "path:line: key: what".
    void add(const toml::source_region& at, const std::string& key, const std::string& what);
    bool empty() const { return list_.empty(); }
    // One fault per line.
    std::string text() const;

private:
    std::string path_;
    std::vector<std::pair<uint32_t, std::string>> list_;
};

// The document, or the syntax error as "path:line: what" in error.
bool toml_parse(std::string_view text, const std::string& path, toml::table& doc, std::string& error);

}  // namespace audiomix_render
