// What the control window's start-up writes into the default engine's host
// link and settings, shared by the real window and the headless shell.
#pragma once

#include <cstdint>

namespace audiomix {

struct Settings;

constexpr uint32_t kSkinBaseColour = 0x00624C06;  // RGB(6, 76, 98)

// Records the window, clears the host window (the host sets it again after
// audiomix_begin) and fixes the skin colours.
void control_window_initialised(Settings& state, void* window);

// Everything the window's start-up writes (its own values, then the
// equaliser page's), for a shell that has no real window: the headless
// shell, or the Windows shell when no window can be made. Also loads
// default_presets() from the link's preset path. state is the default
// engine's, under an edit().
void windowless_startup(Settings& state, void* window);

}  // namespace audiomix
