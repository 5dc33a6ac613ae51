// The --plot picture: the equaliser's measured response above, the input
// and output level over time below, as SVG or PNG (cairo).
#pragma once

#include <cstdint>
#include <string>

#include "level_history.h"
#include "response.h"

namespace audiomix_render {

// The picture's size: pixels in a PNG, points in an SVG.
constexpr int kPlotWidth = 1000;
constexpr int kPlotHeight = 700;

struct PlotData {
    std::string input;  // the input's name, or what the built-in piece is
    int32_t rate = 0;
    int channels = 0;
    std::string settingSource;  // where the setting came from, in a few words
    EqResponse response;
    const LevelHistory* inputLevels = nullptr;  // null: no level panel data
    const LevelHistory* outputLevels = nullptr;
};

// Draws the picture into exactly path, SVG or PNG by its extension (either
// case). False with error set for any other extension (nothing is written)
// or a failed write (the partial file is removed).
bool write_plot(const std::string& path, const PlotData& data, std::string& error);

// The file's bytes, made in memory, for a path ending in .svg or .png; the
// caller writes them where it likes.
bool plot_bytes(const std::string& path, const PlotData& data, std::string& bytes, std::string& error);

}  // namespace audiomix_render
