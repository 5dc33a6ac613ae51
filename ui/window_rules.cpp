#include "ui/window_rules.h"

#include "controls/colour.h"
#include "eqpage/eq_rules.h"

namespace audiomix {

void control_window_initialised(EngineState& state, WindowHandle window) {
    state.mixWindowHandle = window;
    state.hostWindow = nullptr;
    state.skinColour = kSkinBaseColour;
    state.skinPanelColour = kSkinBaseColour;
    // The selected tab is the skin's complement, a shade darker.
    state.skinTabColour = DarkenColor(InvertColor(kSkinBaseColour), 34);
}

void windowless_startup(EngineState& state, WindowHandle window) {
    control_window_initialised(state, window);
    eq_page_initialised(state);
}

}  // namespace audiomix
