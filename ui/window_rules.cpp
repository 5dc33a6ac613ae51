#include "ui/window_rules.h"

#include "controls/colour.h"

namespace audiomix {

void control_window_initialised(EngineState& state, WindowHandle window) {
    state.mixWindowHandle = window;
    state.hostWindow = nullptr;
    state.skinColour = kSkinBaseColour;
    state.skinPanelColour = kSkinBaseColour;
    // The selected tab is the skin's complement, a shade darker.
    state.skinTabColour = DarkenColor(InvertColor(kSkinBaseColour), 34);
}

}  // namespace audiomix
