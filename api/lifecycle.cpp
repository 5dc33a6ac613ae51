#include "api/lifecycle.h"

#include <cstdio>
#include <cstring>

#include "api/shell.h"
#include "model/gbk.h"

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

void library_preset_path(char* out, size_t size) {
    char module[256];
    Shell& sh = shell();
    if (!sh.module_path(module, sizeof module)) module[0] = '\0';
    preset_path_from_module(module, sh.path_separator(), out, size);
}

void copy_title(const char* text, char* out, size_t size) {
    if (size == 0) return;
    const size_t n = text != nullptr ? gbk_fit(text, std::strlen(text), size - 1) : 0;
    std::memcpy(out, text != nullptr ? text : "", n);
    out[n] = '\0';
}

}  // namespace audiomix
