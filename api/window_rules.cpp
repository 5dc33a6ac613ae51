#include "api/window_rules.h"

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
    LoadPresets(state.link.presetPath);
    stream_window_started(state);
}

}  // namespace audiomix
