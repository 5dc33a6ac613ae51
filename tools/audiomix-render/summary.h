// The report printed after a render.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "effects.h"
#include "levels.h"

namespace audiomix_render {

struct RenderReport {
    std::string input;   // a path, or a description of the built-in piece
    std::string output;
    int32_t rate = 0;
    int channels = 0;
    int64_t frames = 0;
    const LevelMeter* inputLevels = nullptr;
    const LevelMeter* outputLevels = nullptr;
    ParamValues defaults;   // after audiomix_init
    ParamValues effective;  // after every parameter was applied
    std::string settingSource;  // where the setting came from, one line
    double wallSeconds = 0.0;    // reading, processing and writing
    double engineSeconds = 0.0;  // inside audiomix_change alone
};

std::string format_summary(const RenderReport& report);

}  // namespace audiomix_render
