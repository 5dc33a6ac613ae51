// Drawing of the --plot picture onto any cairo surface of kPlotWidth x
// kPlotHeight units: title, response panel, level panel.
#pragma once

#include <cairo.h>

#include "plot.h"

namespace audiomix_render {

void draw_plot(cairo_t* cr, const PlotData& data);

}  // namespace audiomix_render
