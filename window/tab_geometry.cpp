#include "window/tab_geometry.h"

namespace audiomix {

namespace {
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kYellow = 0x0000FFFF;
constexpr uint32_t kBlack = 0x00000000;
}  // namespace

PixelRect tab_page_rect(TabPlacement placement, PixelRect c, PixelRect r) {
    int32_t x = 0, y = 0, w = 0, h = 0;
    switch (placement) {
        case TabPlacement::Vertical: break;
        case TabPlacement::Bottom:
            x = r.left;
            y = 1;
            w = c.right - r.left - 2;
            h = c.bottom - (r.bottom - r.top) - 5;
            break;
        case TabPlacement::Top:
            x = r.left;
            y = r.bottom + 1;
            w = c.right - r.left - 2;
            h = c.bottom - r.bottom - 3;
            break;
    }
    return {x, y, x + w, y + h};
}

PixelRect tab_face_rect(PixelRect item, bool selected) {
    if (!selected) return item;
    return {item.left, item.top - 2, item.right, item.bottom + 2};
}

PixelRect tab_inner_rect(PixelRect face, int32_t textTopOffset, int32_t textLeftOffset) {
    return {face.left + textLeftOffset, face.top + textTopOffset, face.right, face.bottom};
}

PixelRect tab_text_rect(PixelRect inner) { return {inner.left + 32, inner.top + 8, inner.right, inner.bottom}; }

int tab_text_passes(int effect, bool selected, uint32_t textColour, TextPass passes[2]) {
    if (effect == 0) {
        passes[0] = {0, 0, textColour};
        return 1;
    }
    if (effect == 1) {
        // Raised: a dark copy up and left, the light face in place.
        passes[0] = {-1, -1, textColour};
        passes[1] = {0, 0, selected ? kWhite : kYellow};
        return 2;
    }
    passes[0] = {-1, -1, kBlack};
    passes[1] = {0, 0, textColour};
    return 2;
}

PixelPoint tab_icon_origin(PixelRect inner, int32_t blankWidth) { return {inner.left + blankWidth, inner.top - 1}; }

TabBitmapPlacement tab_bitmap_face(PixelRect face, bool selected, int32_t bitmapWidth, int32_t bitmapHeight) {
    const int32_t w = face.width();
    const int32_t h = face.height();
    TabBitmapPlacement p;
    p.destination = selected ? PixelRect{face.left, face.top + 2, face.left + w, face.top + 2 + h - 4}
                             : PixelRect{face.left, face.top, face.left + w, face.top + h};
    p.stretch = !(w < bitmapWidth && h < bitmapHeight);
    return p;
}

void tab_frame_points(PixelRect client, PixelRect lastTab, PixelPoint points[5]) {
    const int32_t b = lastTab.bottom;
    points[0] = {lastTab.right, b};
    points[1] = {client.right - 1, b};
    points[2] = {client.right - 1, client.bottom - 1};
    points[3] = {client.left + 1, client.bottom - 1};
    points[4] = {client.left + 1, b};
}

}  // namespace audiomix
