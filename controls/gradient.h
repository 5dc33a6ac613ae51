// Banded gradient faces of the skinned controls.
//
// A face is a run of solid bands, each the base colour darkened by an amount
// that follows a ramp across the face; some styles also carve an outline
// (capsule, lens, ...) by narrowing each band. Every control class knows its
// own set of styles, so the set is a parameter. The bands are computed here
// and handed to a sink one at a time; the GDI painter (fill_gradient.h) only
// turns each one into a FillRect.
#pragma once

#include <cstdint>

#include "controls/pixel_geometry.h"

namespace audiomix {

// Which control's repertoire of styles applies.
enum class GradientSet {
    Tab,       // the reference set: 7-10, 17-20, 27/28, 37/38, lens for the rest
    Button,    // control set, plain-colour underlay below 10, default step w/40
    ToolTip,   // control set, plain-colour underlay below 10
    Label,     // control set plus 47/48, 57/58, 77/78, 107/108, underlay below 10
    ComboBox,  // 7/8, 19-22 and the default only, no underlay
    ListMenu,  // control set, no underlay (list control and owner-drawn menu)
};

// Emits the fills of one face in painting order (later fills cover earlier
// ones). Bands that would be empty are not emitted; a face too small for its
// ramp (half-extent 0, or extent 0 for the linear walks) emits nothing except
// the plain underlay where the set has one.
void gradient_bands(GradientSet set, uint32_t base, PixelRect rect, int style, FillSink sink);

}  // namespace audiomix
