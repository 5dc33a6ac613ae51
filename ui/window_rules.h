// What the control window's initialisation writes into the process-wide
// values, shared by the real window and the headless shell.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"

namespace audiomix {

constexpr uint32_t kSkinBaseColour = 0x00624C06;  // RGB(6, 76, 98)

// Records the window, clears the host window (the host sets it again after
// audiomix_begin) and fixes the skin colours.
void control_window_initialised(EngineState& state, WindowHandle window);

// Everything the window's start-up writes into the engine (its own values,
// then the equaliser page's), for a shell that has no real window: the
// headless shell, or the Windows shell when no window can be made.
void windowless_startup(EngineState& state, WindowHandle window);

}  // namespace audiomix
