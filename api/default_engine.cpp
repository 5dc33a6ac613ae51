#include "api/default_engine.h"

namespace audiomix {

namespace {
// Constructed while the library loads, before any export can be called, so
// that the first call (from whichever thread) finds it ready.
Engine engine;
}  // namespace

Engine& default_engine() { return engine; }

}  // namespace audiomix
