#include "controls/button_rules.h"

#include <algorithm>

#include "controls/colour.h"

namespace audiomix {

ButtonAttach button_attach(uint32_t window_style) {
    const uint32_t type = window_style & 0xFF & kButtonTypeBits;
    ButtonAttach result{};
    result.checkBoxMode = (type & 0x2) != 0;
    result.defaultButton = type == 1;
    result.style = (window_style & ~kButtonTypeBits) | kBsOwnerDraw;
    return result;
}

int button_set_colour(uint32_t (&colours)[kBtnColourCount], int index, uint32_t colour) {
    if (index < 0 || index >= kBtnColourCount) return kBtnInvalidIndex;
    colours[index] = colour;
    return kBtnOk;
}

uint32_t button_offset_colour(uint32_t colour, int offset) {
    const int r = static_cast<int>(red_of(colour));
    const int g = static_cast<int>(green_of(colour));
    const int b = static_cast<int>(blue_of(colour));
    // All three move together, so the whole offset is cut to what the
    // component closest to the limit can still take.
    if (offset > 0)
        offset = std::min(offset, 255 - std::max({r, g, b}));
    else if (offset < 0)
        offset = std::max(offset, -std::min({r, g, b}));
    return make_rgb(static_cast<uint32_t>(r + offset), static_cast<uint32_t>(g + offset),
                    static_cast<uint32_t>(b + offset));
}

int button_offset_colour_at(uint32_t (&colours)[kBtnColourCount], int index, int offset) {
    if (index < 0 || index >= kBtnColourCount) return kBtnInvalidIndex;
    if (offset < -255 || offset > 255) return kBtnBadOffset;
    colours[index] = button_offset_colour(colours[index], offset);
    return kBtnOk;
}

uint32_t button_grey_pixel(uint32_t argb) {
    const uint32_t r = (argb >> 16) & 0xff, g = (argb >> 8) & 0xff, b = argb & 0xff;
    if (r == 0 && g == 0 && b == 0) return argb;
    const auto y = static_cast<uint32_t>(0.299 * r + 0.587 * g + 0.114 * b);
    return (argb & 0xff000000u) | (y << 16) | (y << 8) | y;
}

ButtonPaintState button_paint_state(bool selected, bool focus, bool disabled, bool menu_showing, bool check_box_mode,
                                    bool checked) {
    ButtonPaintState s{};
    s.pressed = selected || menu_showing || (check_box_mode && checked);
    s.focused = focus;
    s.disabled = disabled;
    return s;
}

SkinButtonFace button_face(bool transparent, bool hovered, const ButtonPaintState& state, const uint8_t (&styles)[3],
                           const uint32_t (&face_colours)[3], const uint32_t (&colours)[kBtnColourCount], bool shadow,
                           PixelRect rect) {
    SkinButtonFace face{};
    if (transparent) {
        face.kind = ButtonFaceKind::Transparent;
        return face;
    }
    int slot = 2;
    int background = kBtnBkOut;
    if (hovered || state.pressed) {
        slot = 1;
        background = kBtnBkIn;
    } else if (state.focused) {
        slot = 0;
        background = kBtnBkFocus;
    }
    face.style = styles[slot];
    const uint32_t base = face_colours[slot];
    if (face.style == 0) {
        face.kind = ButtonFaceKind::Solid;
        face.colour = colours[background];
    } else if (face.style <= 6) {
        face.kind = ButtonFaceKind::Bevel;
        face.colour = base;
    } else {
        face.kind = ButtonFaceKind::Gradient;
        face.colour = LightenColor(LightenColor(base, 51), 51);
        face.shadow = shadow;
        face.shadowColour = DarkenColor(DarkenColor(base, 51), 51);
        face.shadowRect = PixelRect{rect.left, rect.top, rect.right - 1, rect.bottom - 1}.offset(1, 1);
    }
    return face;
}

ButtonBorder button_border(bool flat, bool hovered, bool pressed, bool border_when_flat) {
    if (!flat) return pressed ? ButtonBorder::PressedFrame : ButtonBorder::Raised3D;
    if ((hovered || pressed) && border_when_flat) return pressed ? ButtonBorder::FlatSunken : ButtonBorder::FlatRaised;
    return ButtonBorder::None;
}

bool button_black_frame(bool flat, bool focused, bool default_button) { return !flat && (focused || default_button); }

int button_icon_index(bool check_box_mode, bool pressed, bool hovered, bool has_out_icon) {
    const bool in_look = check_box_mode ? pressed : (pressed || hovered);
    if (in_look) return 0;
    return has_out_icon ? 1 : 0;
}

ButtonLayout button_layout(PixelRect rect, int alignment, bool has_caption, int32_t icon_width, int32_t icon_height,
                           bool pressed, bool check_box_mode) {
    ButtonLayout layout{};
    layout.caption = rect;
    layout.hasIcon = icon_width > 0 && icon_height > 0;
    if (layout.hasIcon) {
        const int32_t centre_x = rect.left + (rect.width() - icon_width) / 2;
        const int32_t centre_y = rect.top + (rect.height() - icon_height) / 2;
        switch (alignment) {
            case 1:  // above the caption
                layout.icon.x = centre_x;
                if (has_caption) {
                    layout.icon.y = rect.top + 3;
                    layout.caption.top += icon_height;
                } else {
                    layout.icon.y = centre_y;
                }
                break;
            case 2:  // right of the caption
                layout.icon = {rect.right - icon_width - 3, centre_y};
                layout.caption.left = rect.left + 3;
                layout.caption.right = layout.icon.x;
                break;
            default:  // left of the caption
                layout.icon.y = centre_y;
                if (has_caption) {
                    layout.icon.x = rect.left + 3;
                    layout.caption.left = rect.left + icon_width + 3;
                } else {
                    layout.icon.x = centre_x;
                }
                break;
        }
    }
    if (pressed && !check_box_mode) {
        layout.icon.x += 1;
        layout.icon.y += 1;
        layout.caption = layout.caption.offset(1, 1);
    }
    return layout;
}

PixelRect button_centre_text(PixelRect caption, int32_t text_width, int32_t text_height) {
    const int32_t left = caption.left + (caption.width() - text_width) / 2;
    const int32_t top = caption.top + (caption.height() - text_height) / 2;
    return {left, top, left + text_width, top + text_height};
}

uint32_t button_caption_shadow(uint32_t text) {
    const uint32_t inverted = InvertColor(text);
    return make_rgb(std::min<uint32_t>(red_of(inverted), 32), std::min<uint32_t>(green_of(inverted), 64),
                    std::min<uint32_t>(blue_of(inverted), 64));
}

ButtonCaption button_caption(bool disabled, bool hovered, bool pressed, int text_effect,
                             const uint32_t (&colours)[kBtnColourCount], uint32_t highlight, uint32_t shadow) {
    ButtonCaption c{};
    auto add = [&c](int32_t dx, int32_t dy, uint32_t colour) { c.passes[c.count++] = {dx, dy, colour}; };
    if (disabled) {
        // Embossed: a light copy down and right, the dark text over it.
        add(1, 1, highlight);
        add(0, 0, shadow);
        return c;
    }
    const uint32_t white = make_rgb(255, 255, 255);
    if (!hovered && !pressed) {
        const uint32_t text = colours[kBtnFgOut];
        if (text_effect == 1) add(-1, -1, button_caption_shadow(text));
        if (text_effect == 2) {
            add(-1, -1, text);
            add(0, 0, white);
            return c;
        }
        add(0, 0, text);
        c.hasBackground = text_effect == 0;
        c.background = colours[kBtnBkOut];
        return c;
    }
    if (text_effect == 1) add(-1, -1, make_rgb(0, 0, 0));
    if (text_effect == 2) add(1, 1, white);
    add(0, 0, colours[kBtnFgIn]);
    c.hasBackground = true;
    c.background = colours[kBtnBkIn];
    return c;
}

bool button_draws_focus(bool flat, bool focus_when_flat, bool focused) { return (!flat || focus_when_flat) && focused; }

PixelRect button_focus_rect(PixelRect rect) { return {rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3}; }

HoverAction button_hover(bool flat, bool left_down, bool hovered, bool cursor_over_button, bool track_always,
                         bool thread_active) {
    if (!flat) return HoverAction::None;
    if (left_down && !hovered) return HoverAction::None;
    if (cursor_over_button && (track_always || thread_active)) return hovered ? HoverAction::None : HoverAction::Enter;
    return hovered ? HoverAction::Leave : HoverAction::None;
}

}  // namespace audiomix
