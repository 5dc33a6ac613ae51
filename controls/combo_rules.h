// The skinned combo box's pure decisions: what one item paint fills, with
// which colours and where its text goes, and the archive form of the colour
// arrays the box records per item. skin_combo_box.cpp replays the fills and
// draws the text passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/colour.h"
#include "controls/pixel_geometry.h"

namespace audiomix {

// Text effects: 0 plain, 1 over a dark copy, 2 over a white copy.
constexpr int kComboTextPlain = 0;
constexpr int kComboTextDarkShadow = 1;
constexpr int kComboTextWhiteShadow = 2;

// Defaults of a new box.
constexpr uint32_t kComboDefaultHighlight = make_rgb(192, 192, 192);
constexpr uint32_t kComboDefaultText = make_rgb(0, 0, 0);
constexpr uint32_t kComboDefaultBackground = make_rgb(255, 255, 255);

// The selected item's band style and how much its text is lifted.
constexpr int kComboHighlightStyle = 22;
constexpr uint8_t kComboSelectedTextLift = 92;
constexpr uint32_t kComboDarkShadow = make_rgb(32, 32, 32);
constexpr uint32_t kComboWhiteShadow = make_rgb(255, 255, 255);
constexpr uint32_t kComboFrameColour = make_rgb(0, 0, 0);

// DrawText format of the item text (DT_SINGLELINE | DT_VCENTER, left aligned),
// repeated so the rules stay portable; skin_combo_box.cpp checks it.
constexpr uint32_t kComboTextFormat = 0x20 | 0x4;

// What the page sets on the box.
struct ComboLook {
    int textEffect = kComboTextPlain;
    int backgroundStyle = 0;  // 0 solid, 1-6 bevel, 7 and above a gradient
    uint32_t highlight = kComboDefaultHighlight;
    uint32_t text = kComboDefaultText;
    uint32_t background = kComboDefaultBackground;
};

enum class ComboBackgroundKind { Solid, Bevel, Gradient };

// One DrawText call: the rectangle it is given and the text colour.
struct ComboTextPass {
    PixelRect rect;
    uint32_t colour;
};

struct ComboItemPaint {
    ComboBackgroundKind backgroundKind;
    PixelRect backgroundRect;   // solid: the item shrunk by 1; otherwise the item
    uint32_t backgroundColour;  // solid, bevel: the background; gradient: lightened twice by 51
    int backgroundStyle;
    bool highlighted;          // a style-22 band over the whole item
    uint32_t highlightColour;  // the inverse of the highlight colour
    int textPassCount;         // 0 for the empty selection field
    ComboTextPass textPasses[2];
    PixelRect frame;  // 1-pixel black frame round the item
};

// The paint of item index (-1: the empty selection field) in rectangle item.
ComboItemPaint combo_item_paint(const ComboLook& look, PixelRect item, int index, bool selected);

// The fills under the text, in painting order: background, then the
// highlight bands of a selected item.
void combo_face_fills(const ComboItemPaint& paint, FillSink sink);
// The frame over the text: four 1-pixel strips (FrameRect), none for an
// empty rectangle.
void combo_frame_fills(const ComboItemPaint& paint, FillSink sink);

// Archive form of one per-item colour array: a 32-bit count, then the values
// as 32-bit words, little-endian.
void combo_store_values(const std::vector<uint32_t>& values, std::vector<uint8_t>& archive);
// Reads one array at offset and moves offset past it; a short or truncated
// archive answers false and changes neither values nor offset.
bool combo_load_values(const std::vector<uint8_t>& archive, size_t& offset, std::vector<uint32_t>& values);

}  // namespace audiomix
