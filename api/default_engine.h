// The default engine: the one the twelve exports, the parameter and preset
// functions and the control window drive. The only process-wide engine.
#pragma once

#include "model/engine.h"

namespace audiomix {

Engine& default_engine();

}  // namespace audiomix
