// The shell of builds without a window system: a control window that exists
// only as state. It has every effect the real window has on the engine, by
// calling the same page rules, and draws its level display into memory.
#include <cstring>
#include <new>

#include "api/default_engine.h"
#include "api/shell.h"
#include "api/window_rules.h"
#include "dsp/raster_surface.h"
#include "model/stream_rules.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace audiomix {

// The client rectangle of the status label that doubles as the level
// display: its template size in dialog units at the dialog font's base units,
// less the border.
constexpr int32_t kScopeClientWidth = 418;
constexpr int32_t kScopeClientHeight = 29;

class ControlWindow {
public:
    bool visible = false;
    char caption[512] = {};
};

namespace {

// The stand-in's level display. One object for the life of the process, as
// the real window's: the audio side may still hold a parameter set that
// names it while the window closes, and must find it alive.
RasterSurface& scope_surface_instance() {
    static RasterSurface surface(kScopeClientWidth, kScopeClientHeight);
    return surface;
}

class HeadlessShell final : public Shell {
public:
    ControlWindow* create_window() override {
        ControlWindow* window = new (std::nothrow) ControlWindow;
        if (window == nullptr) return nullptr;
        scope_surface_instance();
        windowless_startup(*default_engine().edit(), window);
        return window;
    }

    void destroy_window(ControlWindow* window) override { delete window; }

    void show_window(ControlWindow* window, bool show) override { window->visible = show; }

    void set_caption(ControlWindow* window, const char* title) override {
        std::strncpy(window->caption, title, sizeof window->caption - 1);
    }

    ClientRect scope_rect(ControlWindow*) override { return {0, 0, kScopeClientWidth, kScopeClientHeight}; }

    ScopeSurface* scope_surface(ControlWindow*) override { return &scope_surface_instance(); }

    void reset_pages(ControlWindow*) override { stream_pages_reset(*default_engine().edit()); }

    bool module_path(char* buffer, size_t size) override {
        if (size == 0) return false;
#if defined(_WIN32)
        HMODULE module = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(&shell), &module))
            return false;
        const DWORD n = GetModuleFileNameA(module, buffer, static_cast<DWORD>(size));
        return n > 0 && n < size;
#else
        Dl_info info;
        if (dladdr(reinterpret_cast<void*>(&shell), &info) == 0 || info.dli_fname == nullptr) return false;
        if (std::strlen(info.dli_fname) >= size) return false;
        std::strcpy(buffer, info.dli_fname);
        return true;
#endif
    }

    char path_separator() const override {
#if defined(_WIN32)
        return '\\';
#else
        return '/';
#endif
    }
};

}  // namespace

Shell& shell() {
    static HeadlessShell instance;
    return instance;
}

}  // namespace audiomix
