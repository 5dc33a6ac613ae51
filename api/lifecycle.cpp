#include "api/lifecycle.h"

#include <cstdio>
#include <cstring>

#include "api/shell.h"
#include "model/gbk.h"

namespace audiomix {

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
