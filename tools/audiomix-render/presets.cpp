#include "presets.h"

#include <cstdio>

namespace audiomix_render {

int handle_preset_request(const Options&) {
    std::fprintf(stderr, "audiomix-render: presets are not available in this build\n");
    return 2;
}

}  // namespace audiomix_render
