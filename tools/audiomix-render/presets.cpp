#include "presets.h"

#include <audiomix.h>

namespace audiomix_render {

std::vector<std::string> preset_names() {
    std::vector<std::string> names;
    const int32_t count = audiomix_preset_count();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t length = audiomix_preset_name(i, nullptr, 0);
        if (length < 0) break;
        std::string name(static_cast<size_t>(length) + 1, '\0');
        audiomix_preset_name(i, name.data(), length + 1);
        name.resize(static_cast<size_t>(length));
        names.push_back(name);
    }
    return names;
}

std::string apply_preset(const std::string& name, int bandCount) {
    const std::vector<std::string> names = preset_names();
    const int index = find_preset(names, name);
    if (index < 0 || audiomix_preset_apply(index) != AUDIOMIX_PARAM_OK)
        return unknown_preset_message(name, names, bandCount);
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

std::string unknown_preset_message(const std::string& name, const std::vector<std::string>& names,
                                   int bandCount) {
    std::string text = "--preset: no " + std::to_string(bandCount) + "-band preset is called '" +
                       name + "'; the " + std::to_string(bandCount) + "-band presets are:";
    for (const std::string& n : names) text += "\n  " + n;
    if (names.empty()) text += " (none)";
    text += "\n(--set eq.bands=N before --preset chooses another band count)";
    return text;
}

}  // namespace audiomix_render
