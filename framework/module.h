// The library's own module handle, the one place resources are loaded from.
//
// DllMain (module.cpp) records the instance when the DLL is loaded and does
// nothing else: no window, GDI or class work may run under the loader lock.
// Code linked into an executable instead of the DLL (tests) gets the module
// that contains this code, so resources resolve the same way in both.
//
//   HICON icon = LoadIconW(library_instance(), MAKEINTRESOURCEW(1014));
#pragma once

#include <windows.h>

namespace audiomix {

HINSTANCE library_instance();

}  // namespace audiomix
