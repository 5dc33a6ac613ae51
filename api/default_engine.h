// The default engine: the one the twelve exports, the parameter and preset
// functions and the control window drive. The only process-wide engine.
#pragma once

#include "model/engine.h"
#include "model/preset_store.h"

namespace audiomix {

Engine& default_engine();

// The default engine's presets: what the window's preset box lists, saves
// and deletes, and what audiomix_preset_count, _name and _apply read. Empty
// until a window start-up loads it. Read and written only while holding the
// default engine's lock (an edit() to change it, a view() to read it), so
// that any thread may call those functions; copy what a message box or a
// dialog needs and let go first.
PresetTable& default_presets();

}  // namespace audiomix
