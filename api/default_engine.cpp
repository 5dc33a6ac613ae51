#include "api/default_engine.h"

namespace audiomix {

namespace {
// Constructed while the library loads, before any export can be called, so
// that the first call (from whichever thread) finds it ready.
Engine engine;
// Plain data, zero before anything runs: no order of construction to mind.
PresetTable presets;
}  // namespace

Engine& default_engine() { return engine; }

PresetTable& default_presets() { return presets; }

}  // namespace audiomix
