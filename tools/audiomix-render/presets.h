// Named equaliser presets on the command line (--preset, --list-presets).
#pragma once

#include "options.h"

namespace audiomix_render {

// Called before any audio is touched when either option is given. Returns
// the exit status: presets are not reachable through the host interface
// yet, so for now this explains that and fails.
int handle_preset_request(const Options& options);

}  // namespace audiomix_render
