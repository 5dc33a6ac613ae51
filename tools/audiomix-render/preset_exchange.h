// Equaliser presets as TOML, for moving them between machines and editing
// them by hand: one [[preset]] per user preset of the binary preset file,
// with its name in UTF-8, its band count and the 31 gains on the slider
// scale (+20 top, 0 centre, -20 bottom).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/preset_store.h"

namespace audiomix_render {

// The user presets of a table as LoadPresets fills it (the records after the
// built-ins whose builtIn byte is 0), under the comment lines.
std::string presets_to_toml(const audiomix::PresetTable& table, const std::vector<std::string>& comment);

// Parses and checks presets TOML (path only names it in messages) into
// records as the preset window saves them: the name in GBK, at most 63
// bytes, the rest of the record zero. A preset gives bands (10, 15, 25 or 31)
// and from bands to 31 whole gains from -20 to 20; gains it leaves out are 0.
// Returns empty, or one line per fault, "path:line: key: what is wrong".
std::string parse_presets(std::string_view text, const std::string& path, std::vector<audiomix::PresetRecord>& out);

struct PresetAddition {
    std::vector<std::string> added;  // UTF-8 names, in order
    std::vector<std::string> taken;  // skipped: a record of the table (or an earlier one) has the name
    int32_t room = 0;                // free records before the addition
};

// Appends every record whose name the table does not have yet, in order.
// All or nothing: when they do not all fit the table is left unchanged and
// the result is false.
bool add_presets(audiomix::PresetTable& table, const std::vector<audiomix::PresetRecord>& records,
                 PresetAddition& result);

}  // namespace audiomix_render
