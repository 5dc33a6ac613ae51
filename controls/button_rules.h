// The skinned button's pure decisions: what its window style becomes, the
// check-box logic, the state colour setters, which face, border, icon and
// caption passes a paint draws and where, and the hover state machine.
#pragma once

#include <cstdint>

#include "controls/pixel_geometry.h"

namespace audiomix {

// Win32 values repeated so the rules stay portable (skin_button.cpp checks
// them against <windows.h>).
constexpr uint32_t kBsOwnerDraw = 0xB;
constexpr uint32_t kButtonTypeBits = 0x1F;

// State colour slots.
enum ButtonColour : int {
    kBtnBkIn = 0,     // background, mouse over or pressed
    kBtnFgIn = 1,     // text, mouse over or pressed
    kBtnBkOut = 2,    // background, otherwise
    kBtnFgOut = 3,    // text, otherwise
    kBtnBkFocus = 4,  // background, focused
    kBtnFgFocus = 5,  // text, focused
    kBtnColourCount = 6,
};

// Return codes of the colour setters.
constexpr int kBtnOk = 0;
constexpr int kBtnInvalidIndex = 3;
constexpr int kBtnBadOffset = 5;

// ---- attaching

struct ButtonAttach {
    bool checkBoxMode;   // the control was a check box (type with bit 0x2)
    bool defaultButton;  // it was BS_DEFPUSHBUTTON
    uint32_t style;      // the new window style: type bits replaced by owner-drawn
};
ButtonAttach button_attach(uint32_t window_style);

// BM_SETCHECK: 1 (checked) and 2 (indeterminate) check, anything else unchecks.
constexpr bool button_check_value(uintptr_t wparam) { return wparam == 1 || wparam == 2; }

// ---- colour setters (colours are 0x00BBGGRR)

// Stores colour at index; 3 for an index outside 0..5 (nothing changes).
int button_set_colour(uint32_t (&colours)[kBtnColourCount], int index, uint32_t colour);

// The colour with every component moved by offset, the offset first cut
// back so the component nearest the limit stops exactly on it.
uint32_t button_offset_colour(uint32_t colour, int offset);

// 3 for a bad index, 5 for an offset outside -255..255 (nothing changes).
int button_offset_colour_at(uint32_t (&colours)[kBtnColourCount], int index, int offset);

// Grey copy of one 32-bit icon pixel (0xAARRGGBB, DIB order): non-black
// pixels become their luminance in all three components; alpha is kept.
uint32_t button_grey_pixel(uint32_t argb);

// ---- one paint

struct ButtonPaintState {
    bool pressed;
    bool focused;
    bool disabled;
};
// pressed: selected, or the menu is open; in check-box mode also checked.
ButtonPaintState button_paint_state(bool selected, bool focus, bool disabled, bool menu_showing, bool check_box_mode,
                                    bool checked);

enum class ButtonFaceKind { Transparent, Solid, Bevel, Gradient };

struct SkinButtonFace {
    ButtonFaceKind kind;
    int style;              // face style of the chosen state
    uint32_t colour;        // Solid: the state background; Bevel: the face colour;
                            // Gradient: the face colour lightened twice by 51
    bool shadow;            // Gradient: a darker copy first
    uint32_t shadowColour;  // the face colour darkened twice by 51
    PixelRect shadowRect;   // rect shrunk by 1 at right and bottom, moved by (1, 1)
};

// Face styles and face colours per state: [0] focused, [1] over or pressed, [2] normal.
SkinButtonFace button_face(bool transparent, bool hovered, const ButtonPaintState& state, const uint8_t (&styles)[3],
                           const uint32_t (&face_colours)[3], const uint32_t (&colours)[kBtnColourCount], bool shadow,
                           PixelRect rect);

enum class ButtonBorder { None, Raised3D, PressedFrame, FlatRaised, FlatSunken };
ButtonBorder button_border(bool flat, bool hovered, bool pressed, bool border_when_flat);

// Black frame round the item (and the rect shrunk by 1) when not flat and
// focused or default.
bool button_black_frame(bool flat, bool focused, bool default_button);

// 0 for the in look, 1 for the out look (only if an out icon exists).
int button_icon_index(bool check_box_mode, bool pressed, bool hovered, bool has_out_icon);

struct ButtonLayout {
    bool hasIcon;
    PixelPoint icon;    // top-left of the icon
    PixelRect caption;  // where the caption is centred
};
// alignment 0: icon left of the caption, 1: above, 2: right.
ButtonLayout button_layout(PixelRect rect, int alignment, bool has_caption, int32_t icon_width, int32_t icon_height,
                           bool pressed, bool check_box_mode);

// The measured text rectangle centred in the caption rectangle.
PixelRect button_centre_text(PixelRect caption, int32_t text_width, int32_t text_height);

struct CaptionPass {
    int32_t dx, dy;
    uint32_t colour;
};
struct ButtonCaption {
    int count;
    CaptionPass passes[2];  // drawn in order
    bool hasBackground;     // the last pass names a background colour
    uint32_t background;
};
// The colour 3 shadow of text effect 1: each component inverted, red at
// most 32, green and blue at most 64.
uint32_t button_caption_shadow(uint32_t text);
ButtonCaption button_caption(bool disabled, bool hovered, bool pressed, int text_effect,
                             const uint32_t (&colours)[kBtnColourCount], uint32_t highlight, uint32_t shadow);

// The focus rectangle (rect shrunk by 3) is drawn when this holds.
bool button_draws_focus(bool flat, bool focus_when_flat, bool focused);
PixelRect button_focus_rect(PixelRect rect);

// ---- hover

enum class HoverAction { None, Enter, Leave };
HoverAction button_hover(bool flat, bool left_down, bool hovered, bool cursor_over_button, bool track_always,
                         bool thread_active);

}  // namespace audiomix
