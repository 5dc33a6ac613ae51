// The skinned button's style conversion, colour setters, paint plan and hover.
#include <gtest/gtest.h>

#include "controls/button_rules.h"
#include "controls/colour.h"

namespace audiomix {
namespace {

// Defaults as the button starts (system colours replaced by fixed ones).
struct Colours {
    uint32_t c[kBtnColourCount] = {make_rgb(1, 1, 1), make_rgb(2, 2, 2), make_rgb(0, 150, 150),
                                   make_rgb(3, 3, 3), make_rgb(4, 4, 4), make_rgb(5, 5, 5)};
};

TEST(ButtonAttach, TypeBitsBecomeOwnerDrawn) {
    // BS_AUTOCHECKBOX | WS_TABSTOP | WS_CHILD | WS_VISIBLE.
    const uint32_t check = 0x3u | 0x00010000u | 0x40000000u | 0x10000000u;
    ButtonAttach a = button_attach(check);
    EXPECT_TRUE(a.checkBoxMode);
    EXPECT_FALSE(a.defaultButton);
    EXPECT_EQ(a.style, 0x0000000Bu | 0x00010000u | 0x40000000u | 0x10000000u);

    a = button_attach(0x1u | 0x00010000u);  // BS_DEFPUSHBUTTON
    EXPECT_FALSE(a.checkBoxMode);
    EXPECT_TRUE(a.defaultButton);
    EXPECT_EQ(a.style, 0x0001000Bu);

    a = button_attach(0x0u);  // BS_PUSHBUTTON
    EXPECT_FALSE(a.checkBoxMode);
    EXPECT_FALSE(a.defaultButton);
    EXPECT_EQ(a.style, 0xBu);

    EXPECT_TRUE(button_attach(0x2u).checkBoxMode);   // BS_CHECKBOX
    EXPECT_TRUE(button_attach(0x6u).checkBoxMode);   // BS_AUTO3STATE
    EXPECT_FALSE(button_attach(0x9u).checkBoxMode);  // BS_AUTORADIOBUTTON: bit 0x2 clear
    // BS_LEFTTEXT (0x20) lies outside the type bits and stays.
    EXPECT_EQ(button_attach(0x23u).style, 0x2Bu);
}

TEST(ButtonCheck, OneAndTwoCheckEverythingElseUnchecks) {
    EXPECT_FALSE(button_check_value(0));
    EXPECT_TRUE(button_check_value(1));
    EXPECT_TRUE(button_check_value(2));
    EXPECT_FALSE(button_check_value(3));
    EXPECT_FALSE(button_check_value(static_cast<uintptr_t>(-1)));
}

TEST(ButtonColours, OffsetStopsAtTheFirstLimit) {
    EXPECT_EQ(button_offset_colour(make_rgb(250, 100, 0), 30), make_rgb(255, 105, 5));
    EXPECT_EQ(button_offset_colour(make_rgb(250, 100, 0), -30), make_rgb(250, 100, 0));
    EXPECT_EQ(button_offset_colour(make_rgb(100, 40, 200), -30), make_rgb(70, 10, 170));
    EXPECT_EQ(button_offset_colour(make_rgb(100, 20, 200), -30), make_rgb(80, 0, 180));
    EXPECT_EQ(button_offset_colour(make_rgb(10, 20, 30), 255), make_rgb(235, 245, 255));
    EXPECT_EQ(button_offset_colour(make_rgb(10, 20, 30), 0), make_rgb(10, 20, 30));
    // The page's first step on COLOR_BTNFACE-like grey.
    EXPECT_EQ(button_offset_colour(make_rgb(212, 208, 200), 30), make_rgb(242, 238, 230));
}

TEST(ButtonColours, OffsetAtValidatesIndexThenRange) {
    Colours c;
    EXPECT_EQ(button_offset_colour_at(c.c, 2, 30), 0);
    EXPECT_EQ(c.c[2], make_rgb(30, 180, 180));
    const Colours before = c;
    EXPECT_EQ(button_offset_colour_at(c.c, 6, 30), 3);
    EXPECT_EQ(button_offset_colour_at(c.c, 6, 300), 3);  // index checked first
    EXPECT_EQ(button_offset_colour_at(c.c, 0, 256), 5);
    EXPECT_EQ(button_offset_colour_at(c.c, 0, -256), 5);
    for (int i = 0; i < kBtnColourCount; ++i) EXPECT_EQ(c.c[i], before.c[i]) << i;
    EXPECT_EQ(button_offset_colour_at(c.c, 0, -255), 0);
    EXPECT_EQ(c.c[0], make_rgb(0, 0, 0));
}

TEST(ButtonPaintState, CheckedCheckBoxDrawsPressed) {
    EXPECT_TRUE(button_paint_state(false, false, false, false, true, true).pressed);
    EXPECT_FALSE(button_paint_state(false, false, false, false, false, true).pressed);
    EXPECT_TRUE(button_paint_state(true, false, false, false, false, false).pressed);
    EXPECT_TRUE(button_paint_state(false, false, false, true, false, false).pressed);
    const ButtonPaintState s = button_paint_state(false, true, true, false, true, false);
    EXPECT_FALSE(s.pressed);
    EXPECT_TRUE(s.focused);
    EXPECT_TRUE(s.disabled);
}

TEST(ButtonFace, SolidFaceTakesTheStateBackground) {
    Colours c;
    const uint8_t styles[3] = {0, 0, 0};
    const uint32_t faces[3] = {0, 0, 0};
    const PixelRect r{0, 0, 60, 20};
    const ButtonPaintState idle{false, false, false}, focus{false, true, false}, pressed{true, true, false};
    EXPECT_EQ(button_face(false, false, idle, styles, faces, c.c, false, r).colour, c.c[2]);
    EXPECT_EQ(button_face(false, false, focus, styles, faces, c.c, false, r).colour, c.c[4]);
    EXPECT_EQ(button_face(false, true, focus, styles, faces, c.c, false, r).colour, c.c[0]);
    EXPECT_EQ(button_face(false, false, pressed, styles, faces, c.c, false, r).colour, c.c[0]);
    EXPECT_EQ(button_face(false, false, idle, styles, faces, c.c, false, r).kind, ButtonFaceKind::Solid);
    EXPECT_EQ(button_face(true, true, pressed, styles, faces, c.c, false, r).kind, ButtonFaceKind::Transparent);
}

TEST(ButtonFace, GradientFacesOfTheCloseButton) {
    Colours c;
    // focused 21, over or pressed 22, normal 21, all on the skin colour.
    const uint8_t styles[3] = {21, 22, 21};
    const uint32_t skin = make_rgb(6, 76, 98);
    const uint32_t faces[3] = {skin, skin, skin};
    const PixelRect r{0, 0, 45, 23};
    const SkinButtonFace idle = button_face(false, false, {false, false, false}, styles, faces, c.c, false, r);
    EXPECT_EQ(idle.kind, ButtonFaceKind::Gradient);
    EXPECT_EQ(idle.style, 21);
    EXPECT_EQ(idle.colour, make_rgb(108, 178, 200));  // +102 each
    EXPECT_FALSE(idle.shadow);
    const SkinButtonFace over = button_face(false, true, {false, true, false}, styles, faces, c.c, true, r);
    EXPECT_EQ(over.style, 22);
    EXPECT_TRUE(over.shadow);
    EXPECT_EQ(over.shadowColour, make_rgb(0, 0, 0));  // 6 - 102, 76 - 102, 98 - 102 all clamp
    EXPECT_EQ(over.shadowRect, (PixelRect{1, 1, 45, 23}));
    const uint8_t bevel[3] = {3, 3, 3};
    EXPECT_EQ(button_face(false, false, {false, false, false}, bevel, faces, c.c, false, r).kind,
              ButtonFaceKind::Bevel);
}

TEST(ButtonBorder, FlatButtonsOnlyFrameWhenHoveredOrPressed) {
    EXPECT_EQ(button_border(true, false, false, true), ButtonBorder::None);
    EXPECT_EQ(button_border(true, true, false, true), ButtonBorder::FlatRaised);
    EXPECT_EQ(button_border(true, false, true, true), ButtonBorder::FlatSunken);
    EXPECT_EQ(button_border(true, true, true, false), ButtonBorder::None);
    EXPECT_EQ(button_border(false, false, false, true), ButtonBorder::Raised3D);
    EXPECT_EQ(button_border(false, true, true, true), ButtonBorder::PressedFrame);
    EXPECT_TRUE(button_black_frame(false, true, false));
    EXPECT_TRUE(button_black_frame(false, false, true));
    EXPECT_FALSE(button_black_frame(true, true, true));
}

TEST(ButtonIcon, InLookForPressedOrHovered) {
    // Push button: hover or press shows icon 0.
    EXPECT_EQ(button_icon_index(false, false, true, true), 0);
    EXPECT_EQ(button_icon_index(false, true, false, true), 0);
    EXPECT_EQ(button_icon_index(false, false, false, true), 1);
    EXPECT_EQ(button_icon_index(false, false, false, false), 0);
    // Check box: only checked (pressed) shows icon 0; hover does not.
    EXPECT_EQ(button_icon_index(true, false, true, true), 1);
    EXPECT_EQ(button_icon_index(true, true, false, true), 0);
}

TEST(ButtonLayout, IconAndCaptionPlacement) {
    const PixelRect r{0, 0, 100, 30};
    // Left of the caption: x 3, centred vertically ((30 - 16) / 2 = 7).
    ButtonLayout l = button_layout(r, 0, true, 16, 16, false, false);
    EXPECT_TRUE(l.hasIcon);
    EXPECT_EQ(l.icon, (PixelPoint{3, 7}));
    EXPECT_EQ(l.caption, (PixelRect{19, 0, 100, 30}));
    // No caption: centred both ways ((100 - 16) / 2 = 42).
    l = button_layout(r, 0, false, 16, 16, false, false);
    EXPECT_EQ(l.icon, (PixelPoint{42, 7}));
    // Above: top 3, caption below by the icon height.
    l = button_layout(r, 1, true, 16, 16, false, false);
    EXPECT_EQ(l.icon, (PixelPoint{42, 3}));
    EXPECT_EQ(l.caption, (PixelRect{0, 16, 100, 30}));
    // Right: 100 - 16 - 3 = 81; caption from 3.
    l = button_layout(r, 2, true, 16, 16, false, false);
    EXPECT_EQ(l.icon, (PixelPoint{81, 7}));
    EXPECT_EQ(l.caption.left, 3);
    // A pressed push button moves icon and caption by one; a check box does not.
    l = button_layout(r, 0, true, 16, 16, true, false);
    EXPECT_EQ(l.icon, (PixelPoint{4, 8}));
    EXPECT_EQ(l.caption, (PixelRect{20, 1, 101, 31}));
    l = button_layout(r, 0, true, 16, 16, true, true);
    EXPECT_EQ(l.icon, (PixelPoint{3, 7}));
    // Without an icon the caption keeps the whole rectangle.
    l = button_layout(r, 0, true, 0, 0, false, false);
    EXPECT_FALSE(l.hasIcon);
    EXPECT_EQ(l.caption, r);
}

TEST(ButtonCaption, PassesPerStateAndEffect) {
    Colours c;
    c.c[kBtnFgOut] = make_rgb(0, 5, 5);
    c.c[kBtnFgIn] = make_rgb(255, 55, 55);
    const uint32_t hi = make_rgb(250, 250, 250), sh = make_rgb(100, 100, 100), white = make_rgb(255, 255, 255);
    const struct {
        bool disabled, hovered, pressed;
        int effect, dx, dy;
        uint32_t first, second;
    } cases[] = {
        {true, true, true, 2, 1, 1, hi, sh},                                   // disabled: embossed grey
        {false, false, false, 1, -1, -1, make_rgb(32, 64, 64), make_rgb(0, 5, 5)},  // shadow of the inverse
        {false, false, false, 2, -1, -1, make_rgb(0, 5, 5), white},            // the switches, out
        {false, true, false, 2, 1, 1, white, make_rgb(255, 55, 55)},           // the switches, in
        {false, false, true, 1, -1, -1, make_rgb(0, 0, 0), make_rgb(255, 55, 55)},
    };
    for (const auto& k : cases) {
        const ButtonCaption cap = button_caption(k.disabled, k.hovered, k.pressed, k.effect, c.c, hi, sh);
        ASSERT_EQ(cap.count, 2) << k.effect;
        EXPECT_EQ(cap.passes[0].dx, k.dx) << k.effect;
        EXPECT_EQ(cap.passes[0].dy, k.dy) << k.effect;
        EXPECT_EQ(cap.passes[0].colour, k.first) << k.effect;
        EXPECT_EQ(cap.passes[1].colour, k.second) << k.effect;
    }
    const ButtonCaption plain = button_caption(false, false, false, 0, c.c, hi, sh);
    ASSERT_EQ(plain.count, 1);
    EXPECT_EQ(plain.passes[0].colour, make_rgb(0, 5, 5));
    EXPECT_EQ(plain.background, make_rgb(0, 150, 150));
    EXPECT_EQ(button_caption(false, true, false, 2, c.c, hi, sh).background, c.c[0]);
    EXPECT_EQ(button_caption_shadow(make_rgb(240, 200, 250)), make_rgb(15, 55, 5));
}

TEST(ButtonFocus, RectangleOnlyWhenAllowed) {
    EXPECT_FALSE(button_draws_focus(true, false, true));
    EXPECT_TRUE(button_draws_focus(true, true, true));
    EXPECT_TRUE(button_draws_focus(false, false, true));
    EXPECT_FALSE(button_draws_focus(false, true, false));
    EXPECT_EQ(button_focus_rect({0, 0, 45, 23}), (PixelRect{3, 3, 42, 20}));
}

TEST(ButtonHover, EntersOnceAndLeaves) {
    // Pointer comes over the button: enter, then nothing more while it stays.
    EXPECT_EQ(button_hover(true, false, false, true, true, false), HoverAction::Enter);
    EXPECT_EQ(button_hover(true, false, true, true, true, false), HoverAction::None);
    // Pointer elsewhere: leave only if hovered.
    EXPECT_EQ(button_hover(true, false, true, false, true, true), HoverAction::Leave);
    EXPECT_EQ(button_hover(true, false, false, false, true, true), HoverAction::None);
    // Dragging in from outside with the button held: ignored.
    EXPECT_EQ(button_hover(true, true, false, true, true, true), HoverAction::None);
    // Held while hovered and moved off: leaves.
    EXPECT_EQ(button_hover(true, true, true, false, true, true), HoverAction::Leave);
    // No tracking unless always or the thread is active.
    EXPECT_EQ(button_hover(true, false, false, true, false, false), HoverAction::None);
    EXPECT_EQ(button_hover(true, false, false, true, false, true), HoverAction::Enter);
    // Not flat: no hover at all.
    EXPECT_EQ(button_hover(false, false, false, true, true, true), HoverAction::None);
}

}  // namespace
}  // namespace audiomix
