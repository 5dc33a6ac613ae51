// Named equaliser presets on the command line (--preset, --list-presets),
// through an engine's preset functions: the presets of the current band
// count, names in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace audiomix_render {

class EngineSession;

// Applies the preset called exactly name (byte for byte). Returns an empty
// string, or the message for an unknown name.
std::string apply_preset(EngineSession& engine, const std::string& name, int bandCount);

// The index of name in names, or -1.
int find_preset(const std::vector<std::string>& names, const std::string& name);
// --list-presets: one name per line.
std::string preset_list_text(const std::vector<std::string>& names);
// The error for an unknown name: the name, the band count and every choice.
std::string unknown_preset_message(const std::string& name, const std::vector<std::string>& names, int bandCount);

}  // namespace audiomix_render
