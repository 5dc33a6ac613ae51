// Settings files: every engine parameter in TOML. A parameter "a.b" is key b
// of table [a]; the band gains eq.band.N are the array eq.band, element N.
// Switches are true/false (0 and 1 are read too), whole-number parameters
// integers, the rest numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "effects.h"

namespace audiomix_render {

// One value a settings file sets, and where, for messages.
struct SettingValue {
    std::string name;  // the parameter, e.g. "eq.band.3"
    double value = 0.0;
    std::string where;  // "path:line"
};

// Parses and checks a settings file's text (path only names it in messages)
// against the library's parameter table: every table, key, type and range,
// and the length of eq.band against eq.bands (the file's, else the default).
// On success out holds what the file sets, in the library's order (eq.bands
// before the band gains), and the result is empty; otherwise it is one line
// per fault, "path:line: key: what is wrong", in file order.
std::string parse_settings(std::string_view text, const std::string& path, std::vector<SettingValue>& out);

// Reads and parses path. Returns kExitDone, kExitUsage for a fault in the
// file or kExitFailed when it cannot be read, with error set.
int read_settings_file(const std::string& path, std::vector<SettingValue>& out, std::string& error);

// A settings file holding every value (in the library's order, as
// EngineSession::values gives them) under the comment lines.
std::string settings_to_toml(const ParamValues& values, const std::vector<std::string>& comment);

}  // namespace audiomix_render
