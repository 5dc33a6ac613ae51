// The report printed after a render.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "effects.h"
#include "levels.h"

namespace audiomix_render {

struct RenderReport {
    std::string input;  // a path, or a description of the built-in piece
    std::string output;
    std::string plot;         // the picture's file, when one was drawn
    std::string inputFormat;  // libsndfile's names, when converted to 16 bits
    std::string container;    // written, e.g. "WAV"
    bool promoted = false;    // WAV written as RF64 past 4 GiB
    int32_t rate = 0;
    int channels = 0;
    int64_t frames = 0;
    const LevelMeter* inputLevels = nullptr;
    const LevelMeter* outputLevels = nullptr;
    ParamValues defaults;        // after audiomix_init
    ParamValues effective;       // after every parameter was applied
    std::string settingSource;   // where the setting came from, one line
    double wallSeconds = 0.0;    // reading, processing and writing
    double engineSeconds = 0.0;  // inside audiomix_change alone
};

std::string format_summary(const RenderReport& report);

// One line for a file of a batch: input, output, length, format, peaks.
std::string format_summary_line(const RenderReport& report);

}  // namespace audiomix_render
