// GDI painter of the banded gradient faces (gradient.h computes the bands).
#pragma once

#include <windows.h>

#include "controls/gradient.h"
#include "controls/pixel_geometry.h"

namespace audiomix {

// Fills rect with the face of the given style from set's repertoire. One
// solid brush per band, created, selected, used and deleted in turn; the DC
// keeps no object of ours afterwards.
void FillGradient(HDC dc, COLORREF base, const RECT& rect, int style, GradientSet set);

// Paints one solid fill the same way (brush made and deleted around it).
void FillSolid(HDC dc, const SolidFill& fill);

inline PixelRect to_pixel_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT to_rect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace audiomix
