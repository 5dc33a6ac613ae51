// The label's pure decisions: how its text is formatted, what background it
// paints and with which colours, how a background bitmap is tiled, the bevel
// of styles 1 to 6, and the text colour while blinking.
#pragma once

#include <cstdint>

#include "controls/pixel_geometry.h"
#include "framework/tile_grid.h"

namespace audiomix {

// Win32 values, repeated here so the rules stay portable (skin_label.cpp
// checks them against <windows.h>).
constexpr uint32_t kDtLeft = 0x0;
constexpr uint32_t kDtCenter = 0x1;
constexpr uint32_t kDtRight = 0x2;
constexpr uint32_t kDtVCenter = 0x4;
constexpr uint32_t kDtSingleLine = 0x20;
constexpr uint32_t kSsRight = 0x2;
constexpr uint32_t kSsCenterImage = 0x200;

// DrawText format: the custom one if set; else left, right for SS_RIGHT,
// and with SS_CENTERIMAGE centred (both ways and on one line when the text
// has no line break).
uint32_t label_text_format(bool custom, uint32_t custom_format, uint32_t window_style, bool text_has_line_break);

// True if the text holds a "\r\n" pair.
template <class Char>
bool label_has_line_break(const Char* text) {
    if (text == nullptr) return false;
    for (; text[0] != 0; ++text)
        if (text[0] == Char('\r') && text[1] == Char('\n')) return true;
    return false;
}

enum class LabelBackgroundKind {
    None,      // transparent: the parent's pixels show
    Solid,     // style 0: the background brush (or the system face)
    Bevel,     // styles 1 to 6
    Gradient,  // style 7 and above
    Bitmap,    // a background bitmap, tiled, maybe with a gradient over it
};

struct LabelBackground {
    LabelBackgroundKind kind;
    bool gradient;            // a gradient is drawn (styles >= 7; over a bitmap only above 16)
    PixelRect gradientRect;   // where the face gradient goes
    uint32_t gradientColour;  // its base: the background colour lightened twice by 51
    bool shadow;              // the shadow copy is drawn first
    PixelRect shadowRect;     // shifted by (1, 1)
    uint32_t shadowColour;    // background colour for style 57, else black
};

LabelBackground label_background(bool transparent, bool has_bitmap, int style, int shadow_mode, uint32_t background,
                                 PixelRect client);

// A bitmap larger than the client in both directions is copied once at
// (0, 0); otherwise it is tiled from (0, 0) like the dialogs' backgrounds.
TileGrid label_tiles(int32_t client_width, int32_t client_height, int32_t bitmap_width, int32_t bitmap_height);

// Bevel of background styles 1 to 6 in the background colour: 1-3 raised,
// 4-6 sunken, the edge (style - 1) % 3 + 1 pixels wide.
void label_bevel(PixelRect client, int style, uint32_t background, FillSink sink);

// Offset of the white emboss copy of the text.
PixelPoint label_emboss_offset(int direction);

// The colour the text is drawn in: blinking text in its dark phase takes
// the background colour and vanishes.
uint32_t label_text_colour(int blink_mode, int blink_phase, uint32_t text, uint32_t background);

// Blink periods and the one timer both modes share.
constexpr int kLabelBlinkTimer = 1;
constexpr int kLabelTextBlinkMs = 750;
constexpr int kLabelBackgroundBlinkMs = 500;

}  // namespace audiomix
