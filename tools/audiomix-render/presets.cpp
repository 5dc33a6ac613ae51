#include "presets.h"

#include "engine_session.h"

namespace audiomix_render {

std::string apply_preset(EngineSession& engine, const std::string& name, int bandCount) {
    const std::vector<std::string> names = engine.preset_names();
    const int index = find_preset(names, name);
    if (index < 0 || !engine.apply_preset(index)) return unknown_preset_message(name, names, bandCount);
    return {};
}

int find_preset(const std::vector<std::string>& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

std::string preset_list_text(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += n + "\n";
    return text;
}

std::string unknown_preset_message(const std::string& name, const std::vector<std::string>& names, int bandCount) {
    std::string text = "--preset: no " + std::to_string(bandCount) + "-band preset is called '" + name + "'; the " +
                       std::to_string(bandCount) + "-band presets are:";
    for (const std::string& n : names) text += "\n  " + n;
    if (names.empty()) text += " (none)";
    text += "\n(--set eq.bands=N before --preset chooses another band count)";
    return text;
}

}  // namespace audiomix_render
