// What the exports ask of the control window. The Windows build implements it
// with the real window; the native build with a headless shell that has the
// same effects on the engine, through the same page rules.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audiomix {

class ControlWindow;
class ScopeSurface;

struct ClientRect {
    int32_t left, top, right, bottom;
};

class Shell {
public:
    virtual ~Shell() = default;

    // Creates the control window hidden and topmost, without a parent, runs
    // its initialisation (which writes the window's values into the default
    // engine), brings it to the foreground. Null only if memory ran out;
    // without a window system the shell keeps a windowless stand-in that has
    // the same effects on the engine.
    virtual ControlWindow* create_window() = 0;

    // Minimises, destroys and deletes the window.
    virtual void destroy_window(ControlWindow* window) = 0;

    virtual void show_window(ControlWindow* window, bool show) = 0;

    // Sets the caption (host ANSI text) and repaints the whole window.
    virtual void set_caption(ControlWindow* window, const char* title) = 0;

    // Client rectangle and drawing surface of the level display control. The
    // surface belongs to the window and lives until it is destroyed.
    virtual ClientRect scope_rect(ControlWindow* window) = 0;
    virtual ScopeSurface* scope_surface(ControlWindow* window) = 0;

    // Both pages reload themselves from the default engine: the effect page
    // first, then the equaliser page returns to its reset layout.
    virtual void reset_pages(ControlWindow* window) = 0;

    // Full path of the library's own file; false if unknown.
    virtual bool module_path(char* buffer, size_t size) = 0;

    // The folder separator of module paths.
    virtual char path_separator() const = 0;
};

// The shell this build links.
Shell& shell();

}  // namespace audiomix
