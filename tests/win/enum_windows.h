// Window enumeration with a lambda. EnumWindows and EnumThreadWindows call
// back through a CALLBACK (stdcall) function; on 32-bit x86 a lambda only
// converts to a cdecl pointer, so a function template stands in between and
// calls the lambda passed through the LPARAM.
#pragma once

#include <windows.h>

namespace window_test {

template <typename Visit>
BOOL CALLBACK visit_window(HWND hwnd, LPARAM param) {
    return (*reinterpret_cast<Visit*>(param))(hwnd) ? TRUE : FALSE;
}

// visit(HWND) returns false to stop the enumeration.
template <typename Visit>
void for_each_thread_window(DWORD thread, Visit visit) {
    EnumThreadWindows(thread, visit_window<Visit>, reinterpret_cast<LPARAM>(&visit));
}

template <typename Visit>
void for_each_top_window(Visit visit) {
    EnumWindows(visit_window<Visit>, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace window_test
