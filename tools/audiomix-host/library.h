// audiomix.dll as a host uses it: loaded at run time, every entry point
// taken by its ordinal.
#pragma once

#include <windows.h>

#include <string>

#include "audiomix.h"

namespace host {

struct Library {
    HMODULE module = nullptr;
    decltype(&audiomix_begin) begin = nullptr;                    // @1
    decltype(&audiomix_close) close = nullptr;                    // @2
    decltype(&audiomix_change) change = nullptr;                  // @3
    decltype(&audiomix_init) init = nullptr;                      // @4
    decltype(&audiomix_setdisp) setdisp = nullptr;                // @8
    decltype(&audiomix_get_dispstatus) get_dispstatus = nullptr;  // @12
    decltype(&audiomix_get_sample) get_sample = nullptr;          // @13
    decltype(&audiomix_set_mainwnd) set_mainwnd = nullptr;        // @14
    decltype(&audiomix_get_ch) get_ch = nullptr;                  // @15
    decltype(&audiomix_set_title) set_title = nullptr;            // @16
};

// Loads the DLL at path and resolves every entry above. Returns an empty
// string, or what failed (the library is then unloaded).
std::string load_library(const std::wstring& path, Library& lib);

void unload_library(Library& lib);

}  // namespace host
