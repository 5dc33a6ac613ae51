#include "api/window_rules.h"

#include "api/default_engine.h"
#include "model/preset_store.h"
#include "model/settings.h"
#include "model/stream_rules.h"

namespace audiomix {

void control_window_initialised(Settings& state, void* window) {
    state.link.mixWindowHandle = window;
    state.link.hostWindow = nullptr;
    state.link.skinColour = kSkinBaseColour;
    state.link.skinPanelColour = kSkinBaseColour;
}

void windowless_startup(Settings& state, void* window) {
    control_window_initialised(state, window);
    // Callers hold the default engine's edit, which covers its table too.
    LoadPresets(default_presets(), state.link.presetPath);
    stream_window_started(state);
}

}  // namespace audiomix
