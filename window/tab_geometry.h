// The tab strip's geometry and text effects, pure so native tests check them.
// Rectangles are client pixels of the tab control, right/bottom exclusive.
#pragma once

#include <cstdint>

#include "controls/pixel_geometry.h"

namespace audiomix {

enum class TabPlacement { Top, Bottom, Vertical };

// Where a page goes: under the tabs (tabs on top), above them (tabs at the
// bottom), or nowhere (vertical tabs are not supported). client is the
// control's client rectangle, firstTab the rectangle of tab 0. Returned as
// x, y, width, height packed into a PixelRect {x, y, x + width, y + height}.
PixelRect tab_page_rect(TabPlacement placement, PixelRect client, PixelRect firstTab);

// The face of a tab: the selected one reaches 2 pixels further up and down.
PixelRect tab_face_rect(PixelRect item, bool selected);

// The face moved by the text offsets; text and icon are placed inside it.
PixelRect tab_inner_rect(PixelRect face, int32_t textTopOffset, int32_t textLeftOffset);

// The rectangle DrawText gets: 32 pixels left for the icon, 8 from the top.
PixelRect tab_text_rect(PixelRect inner);

// The DrawText flags of the tab text (single line, centred, at the bottom).
constexpr uint32_t kTabTextFormat = 0x2D;  // DT_SINGLELINE | DT_VCENTER | DT_BOTTOM | DT_CENTER

// One pass of the tab text: drawn shifted by (dx, dy) in colour.
struct TextPass {
    int32_t dx, dy;
    uint32_t colour;
};

// The passes of the tab text for an effect (0 plain, 1 raised, else
// shadowed), in drawing order; returns how many (1 or 2).
int tab_text_passes(int effect, bool selected, uint32_t textColour, TextPass passes[2]);

// The icon's top-left corner: one blank's width in from the left, one pixel
// above the inner rectangle.
PixelPoint tab_icon_origin(PixelRect inner, int32_t blankWidth);

// A bitmap face: the destination rectangle, and whether the picture is
// copied unscaled (only when it is larger than the face both ways) or
// stretched from its full size.
struct TabBitmapPlacement {
    PixelRect destination;
    bool stretch;
};
TabBitmapPlacement tab_bitmap_face(PixelRect face, bool selected, int32_t bitmapWidth, int32_t bitmapHeight);

// The white open frame drawn without a background bitmap, from the last
// tab's bottom-right corner round the client area: 5 points of a polyline.
void tab_frame_points(PixelRect client, PixelRect lastTab, PixelPoint points[5]);

}  // namespace audiomix
