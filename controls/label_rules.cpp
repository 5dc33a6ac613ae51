#include "controls/label_rules.h"

#include "controls/colour.h"

namespace audiomix {

uint32_t label_text_format(bool custom, uint32_t custom_format, uint32_t window_style, bool text_has_line_break) {
    if (custom) return custom_format;
    uint32_t format = kDtLeft;
    if (window_style & kSsRight) format = kDtRight;
    if (window_style & kSsCenterImage) {
        format = text_has_line_break ? kDtCenter : (kDtCenter | kDtVCenter | kDtSingleLine);
    }
    return format;
}

LabelBackground label_background(bool transparent, bool has_bitmap, int style, int shadow_mode, uint32_t background,
                                 PixelRect client) {
    LabelBackground b{};
    b.gradientRect = client;
    b.gradientColour = LightenColor(LightenColor(background, 51), 51);
    if (transparent) {
        b.kind = LabelBackgroundKind::None;
        return b;
    }
    if (has_bitmap) {
        b.kind = LabelBackgroundKind::Bitmap;
        b.gradient = style > 16;
    } else if (style == 0) {
        b.kind = LabelBackgroundKind::Solid;
    } else if (style < 7) {
        b.kind = LabelBackgroundKind::Bevel;
    } else {
        b.kind = LabelBackgroundKind::Gradient;
        b.gradient = true;
    }
    if (b.gradient && shadow_mode == 1) {
        // The face shrinks by a pixel and a copy of it, one pixel down and
        // right, shows at the right and bottom edges.
        b.gradientRect = {client.left, client.top, client.right - 1, client.bottom - 1};
        b.shadow = true;
        b.shadowRect = b.gradientRect.offset(1, 1);
        b.shadowColour = style == 57 ? background : 0x000000;
    }
    return b;
}

TileGrid label_tiles(int32_t client_width, int32_t client_height, int32_t bitmap_width, int32_t bitmap_height) {
    if (bitmap_width > 0 && bitmap_height > 0 && client_width < bitmap_width && client_height < bitmap_height) {
        TileGrid once;
        once.columns = once.rows = 1;
        once.tileWidth = bitmap_width;
        once.tileHeight = bitmap_height;
        return once;
    }
    return tile_grid(client_width, client_height, bitmap_width, bitmap_height);
}

void label_bevel(PixelRect client, int style, uint32_t background, FillSink sink) {
    if (client.empty() || style < 1 || style > 6) return;
    sink({client, background});
    const bool raised = style <= 3;
    const int edge = (style - 1) % 3 + 1;
    const uint32_t light = LightenColor(background, 64);
    const uint32_t dark = DarkenColor(background, 64);
    const uint32_t top_left = raised ? light : dark;
    const uint32_t bottom_right = raised ? dark : light;
    for (int k = 0; k < edge; ++k) {
        const PixelRect r{client.left + k, client.top + k, client.right - k, client.bottom - k};
        if (r.empty()) break;
        sink({{r.left, r.top, r.right, r.top + 1}, top_left});
        sink({{r.left, r.top, r.left + 1, r.bottom}, top_left});
        sink({{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right});
        sink({{r.right - 1, r.top, r.right, r.bottom}, bottom_right});
    }
}

PixelPoint label_emboss_offset(int direction) { return direction != 0 ? PixelPoint{1, 1} : PixelPoint{-1, -1}; }

uint32_t label_text_colour(int blink_mode, int blink_phase, uint32_t text, uint32_t background) {
    return (blink_mode == 1 && blink_phase == 0) ? background : text;
}

}  // namespace audiomix
