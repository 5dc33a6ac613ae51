// What the screen shows over a window, written as a BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// Copies the window's rectangle from the screen (so child windows and the
// skinned frame are included, as a user sees them). False if it failed.
bool capture_window(HWND window, const std::wstring& path);

}  // namespace host
