#include "library.h"

namespace host {

namespace {

template <typename F>
bool resolve(HMODULE module, int ordinal, F& out) {
    const FARPROC proc = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    out = reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
    return proc != nullptr;
}

}  // namespace

std::string load_library(const std::wstring& path, Library& lib) {
    lib = Library{};
    lib.module = LoadLibraryW(path.c_str());
    if (lib.module == nullptr) return "cannot load audiomix.dll (error " + std::to_string(GetLastError()) + ")";
    struct Entry {
        int ordinal;
        bool ok;
    };
    const Entry entries[] = {
        {1, resolve(lib.module, 1, lib.begin)},        {2, resolve(lib.module, 2, lib.close)},
        {3, resolve(lib.module, 3, lib.change)},       {4, resolve(lib.module, 4, lib.init)},
        {8, resolve(lib.module, 8, lib.setdisp)},      {12, resolve(lib.module, 12, lib.get_dispstatus)},
        {13, resolve(lib.module, 13, lib.get_sample)}, {14, resolve(lib.module, 14, lib.set_mainwnd)},
        {15, resolve(lib.module, 15, lib.get_ch)},     {16, resolve(lib.module, 16, lib.set_title)},
    };
    for (const Entry& e : entries) {
        if (!e.ok) {
            unload_library(lib);
            return "audiomix.dll has no export with ordinal " + std::to_string(e.ordinal);
        }
    }
    return {};
}

void unload_library(Library& lib) {
    if (lib.module != nullptr) FreeLibrary(lib.module);
    lib = Library{};
}

}  // namespace host
