// The twelve exports. Each one is a short sequence of steps on the default
// engine's settings; the window work goes through the shell, outside the
// engine's lock, so that a window thread busy with a control never waits for
// a host thread that waits for it.
#include "audiomix.h"

#include <cstring>

#include "api/default_engine.h"
#include "api/lifecycle.h"
#include "api/shell.h"
#include "dsp/level_display.h"
#include "model/stream_rules.h"

using namespace audiomix;

extern "C" {

void AUDIOMIX_CALL audiomix_begin(uint32_t colour) {
    Engine& engine = default_engine();
    Shell& sh = shell();
    ControlWindow* window = nullptr;
    {
        auto s = engine.edit();
        s->link.skinColour = colour;
        library_preset_path(s->link.presetPath, sizeof s->link.presetPath);
        stream_begin(*s);
        window = s->link.controlWindow;
        if (window == nullptr) s->settingsChanged = 0;
    }
    if (window == nullptr) {
        window = sh.create_window();
        engine.edit()->link.controlWindow = window;
    }
    if (window != nullptr) sh.show_window(window, false);
    engine.edit()->chain.displayShown = 0;
}

void AUDIOMIX_CALL audiomix_close(void) {
    Engine& engine = default_engine();
    ControlWindow* window = nullptr;
    {
        auto s = engine.edit();
        window = s->link.controlWindow;
        s->link.controlWindow = nullptr;
        // The level display must not draw on a surface that is going away.
        s->chain.scopeDc = nullptr;
        stream_close(*s);
    }
    if (window != nullptr) shell().destroy_window(window);
}

int32_t AUDIOMIX_CALL audiomix_change(int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay) {
    default_engine().process(samples, lengthBytes, drawDisplay);
    return lengthBytes;
}

void AUDIOMIX_CALL audiomix_init(int32_t sampleRate, int32_t channels, int32_t show) {
    Engine& engine = default_engine();
    ControlWindow* window = nullptr;
    {
        auto s = engine.edit();
        stream_init(*s, sampleRate, channels);
        window = s->link.controlWindow;
        if (window != nullptr && show == 1) s->chain.displayShown = 1;
    }
    if (window == nullptr) return;  // the host skipped audiomix_begin
    Shell& sh = shell();
    if (show == 1) sh.show_window(window, true);
    const ClientRect rect = sh.scope_rect(window);
    ScopeSurface* surface = sh.scope_surface(window);
    {
        auto s = engine.edit();
        scope_set_geometry(s->chain, rect.left, rect.top, rect.right, rect.bottom);
        s->chain.scopeDc = surface;
    }
    sh.reset_pages(window);
}

void AUDIOMIX_CALL audiomix_setiir(uint8_t on) { default_engine().edit()->chain.eqOn = on; }

void AUDIOMIX_CALL audiomix_setdisp(uint8_t show) {
    Engine& engine = default_engine();
    ControlWindow* window = engine.view()->link.controlWindow;
    if (window == nullptr) return;
    shell().show_window(window, show == 1);
    engine.edit()->chain.displayShown = show;
}

void AUDIOMIX_CALL audiomix_datarefresh(void) { stream_data_refresh(*default_engine().edit()); }

uint8_t AUDIOMIX_CALL audiomix_get_dispstatus(void) { return default_engine().view()->chain.displayShown; }

int32_t AUDIOMIX_CALL audiomix_get_sample(void) { return default_engine().view()->reportedRate; }

void AUDIOMIX_CALL audiomix_set_mainwnd(audiomix_window window) { default_engine().edit()->link.hostWindow = window; }

int32_t AUDIOMIX_CALL audiomix_get_ch(void) { return default_engine().view()->reportedChannels; }

void AUDIOMIX_CALL audiomix_set_title(const char* text) {
    Engine& engine = default_engine();
    ControlWindow* window = nullptr;
    char title[sizeof(HostLink::title)];
    {
        auto s = engine.edit();
        copy_title(text, s->link.title, sizeof s->link.title);
        window = s->link.controlWindow;
        std::memcpy(title, s->link.title, sizeof title);
    }
    if (window != nullptr) shell().set_caption(window, title);
}

}  // extern "C"
