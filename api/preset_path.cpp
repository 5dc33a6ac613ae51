// The preset file's place, apart from the rest of the lifecycle so that the
// render tool can name the same file without the library's shell.
#include "api/lifecycle.h"

#include <cstring>

namespace audiomix {

namespace {
constexpr const char kPresetFileName[] = "audioeqset.eq";
}

void preset_path_from_module(const char* modulePath, char separator, char* out, size_t size) {
    if (size == 0) return;
    out[0] = '\0';
    const char* path = modulePath != nullptr ? modulePath : "";
    const char* cut = std::strrchr(path, separator);
    const size_t folder = cut != nullptr ? static_cast<size_t>(cut - path) : 0;
    const size_t needed = folder + 1 + sizeof kPresetFileName;  // separator, name, NUL
    if (needed > size) return;
    std::memcpy(out, path, folder);
    out[folder] = separator;
    std::memcpy(out + folder + 1, kPresetFileName, sizeof kPresetFileName);
}

}  // namespace audiomix
