#include "controls/fill_gradient.h"

namespace audiomix {

void FillSolid(HDC dc, const SolidFill& fill) {
    const RECT rect = to_rect(fill.rect);
    HBRUSH brush = ::CreateSolidBrush(fill.colour);
    if (brush == nullptr) return;
    HGDIOBJ previous = ::SelectObject(dc, brush);
    ::FillRect(dc, &rect, brush);
    ::SelectObject(dc, previous);
    ::DeleteObject(brush);
}

void FillGradient(HDC dc, COLORREF base, const RECT& rect, int style, GradientSet set) {
    gradient_bands(set, base, to_pixel_rect(rect), style, [dc](const SolidFill& fill) { FillSolid(dc, fill); });
}

}  // namespace audiomix
