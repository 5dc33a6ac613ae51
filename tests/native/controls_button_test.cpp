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

TEST(ButtonAttach, TypeBitsBecomeOwnerDrawnAndCheckValues) {
    // {style, check box, default, owner-drawn style}: the type bits become BS_OWNERDRAW (0xB),
    // the rest stays (WS_TABSTOP, BS_LEFTTEXT); check boxes have bit 0x2 of the type.
    const struct {
        uint32_t style;
        bool check, def;
        uint32_t out;
    } cases[] = {{0x50010003u, true, false, 0x5001000Bu}, {0x00010001u, false, true, 0x0001000Bu},
                 {0x0u, false, false, 0xBu}, {0x2u, true, false, 0xBu}, {0x6u, true, false, 0xBu},
                 {0x9u, false, false, 0xBu}, {0x23u, true, false, 0x2Bu}};
    for (const auto& k : cases) {
        const ButtonAttach a = button_attach(k.style);
        EXPECT_EQ(a.checkBoxMode, k.check) << std::hex << k.style;
        EXPECT_EQ(a.defaultButton, k.def) << std::hex << k.style;
        EXPECT_EQ(a.style, k.out) << std::hex << k.style;
    }
    // One and two check; everything else unchecks.
    for (uintptr_t v : {uintptr_t{0}, uintptr_t{1}, uintptr_t{2}, uintptr_t{3}, static_cast<uintptr_t>(-1)})
        EXPECT_EQ(button_check_value(v), v == 1 || v == 2) << v;
}

TEST(ButtonColours, OffsetStopsAtTheFirstLimit) {
    EXPECT_EQ(button_offset_colour(make_rgb(250, 100, 0), 30), make_rgb(255, 105, 5));
    EXPECT_EQ(button_offset_colour(make_rgb(250, 100, 0), -30), make_rgb(250, 100, 0));
    EXPECT_EQ(button_offset_colour(make_rgb(100, 20, 200), -30), make_rgb(80, 0, 180));
    EXPECT_EQ(button_offset_colour(make_rgb(10, 20, 30), 255), make_rgb(235, 245, 255));
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
    // Setting: a bad index changes nothing.
    const Colours kept = c;
    for (int bad : {-1, 6}) EXPECT_EQ(button_set_colour(c.c, bad, 0x123456u), 3) << bad;
    for (int i = 0; i < kBtnColourCount; ++i) EXPECT_EQ(c.c[i], kept.c[i]) << i;
    EXPECT_EQ(button_set_colour(c.c, 5, 0x123456u), 0);
    EXPECT_EQ(c.c[5], 0x123456u);
}

TEST(ButtonIcon, GreyCopyKeepsAlphaAndBlackAndWeighsGreenOverBlue) {
    auto grey = [](uint32_t argb) {
        const uint32_t g = button_grey_pixel(argb);
        EXPECT_EQ(g >> 24, argb >> 24) << std::hex << argb;  // alpha kept
        EXPECT_TRUE((g & 0xFF) == ((g >> 8) & 0xFF) && (g & 0xFF) == ((g >> 16) & 0xFF)) << std::hex << argb;
        return static_cast<int>(g & 0xFF);
    };
    EXPECT_EQ(grey(0x80000000u), 0);
    EXPECT_GT(grey(0xFF00FF00u), grey(0xFFFF0000u));  // green over red
    EXPECT_GT(grey(0xFFFF0000u), grey(0xFF0000FFu));  // red over blue
    EXPECT_GE(grey(0x40FFFFFFu), 254);
}

TEST(ButtonPaintState, CheckedCheckBoxDrawsPressed) {
    // {selected, focused, disabled, menu open, check box, checked} -> drawn pressed
    const bool cases[][7] = {{false, false, false, false, true, true, true},  {false, false, false, false, false, true, false},
                             {true, false, false, false, false, false, true}, {false, false, false, true, false, false, true},
                             {false, true, true, false, true, false, false}};
    for (const auto& k : cases)
        EXPECT_EQ(button_paint_state(k[0], k[1], k[2], k[3], k[4], k[5]).pressed, k[6]) << k[0] << k[3] << k[4] << k[5];
    const ButtonPaintState s = button_paint_state(false, true, true, false, true, false);
    EXPECT_TRUE(s.focused && s.disabled);
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
    const struct {
        bool flat, hovered, pressed, frameWhenFlat;
        ButtonBorder border;
    } cases[] = {{true, false, false, true, ButtonBorder::None},        {true, true, false, true, ButtonBorder::FlatRaised},
                 {true, false, true, true, ButtonBorder::FlatSunken},   {true, true, true, false, ButtonBorder::None},
                 {false, false, false, true, ButtonBorder::Raised3D},   {false, true, true, true, ButtonBorder::PressedFrame}};
    for (const auto& k : cases)
        EXPECT_EQ(button_border(k.flat, k.hovered, k.pressed, k.frameWhenFlat), k.border) << k.flat << k.hovered << k.pressed;
    EXPECT_TRUE(button_black_frame(false, true, false));
    EXPECT_TRUE(button_black_frame(false, false, true));
    EXPECT_FALSE(button_black_frame(true, true, true));
}

TEST(ButtonIcon, InLookForPressedOrHovered) {
    // {check box, pressed, hovered, has a second icon, index}: a check box shows icon 0 only when checked.
    const int cases[][5] = {{0, 0, 1, 1, 0}, {0, 1, 0, 1, 0}, {0, 0, 0, 1, 1}, {0, 0, 0, 0, 0}, {1, 0, 1, 1, 1}, {1, 1, 0, 1, 0}};
    for (const auto& k : cases) EXPECT_EQ(button_icon_index(k[0], k[1], k[2], k[3]), k[4]) << k[0] << k[1] << k[2] << k[3];
}

TEST(ButtonLayout, IconBesideTheCaptionPressedPushButtonsShift) {
    const PixelRect r{0, 0, 100, 30};
    // Left of, above, right of the caption: the icon inside the button.
    for (int place : {0, 1, 2}) {
        const ButtonLayout l = button_layout(r, place, true, 16, 16, false, false);
        ASSERT_TRUE(l.hasIcon);
        const PixelRect icon{l.icon.x, l.icon.y, l.icon.x + 16, l.icon.y + 16};
        EXPECT_TRUE(icon.left >= 0 && icon.top >= 0 && icon.right <= 100 && icon.bottom <= 30) << place;
        if (place == 0) {
            EXPECT_GE(l.caption.left, icon.right);
        }
    }
    EXPECT_EQ(button_layout(r, 0, false, 16, 16, false, false).icon, (PixelPoint{42, 7}));  // no caption: centred
    // A pressed push button moves icon and caption by one; a check box does not.
    const ButtonLayout up = button_layout(r, 0, true, 16, 16, false, false);
    const ButtonLayout down = button_layout(r, 0, true, 16, 16, true, false);
    EXPECT_EQ(down.icon, (PixelPoint{up.icon.x + 1, up.icon.y + 1}));
    EXPECT_EQ(down.caption, (PixelRect{up.caption.left + 1, 1, 101, 31}));
    EXPECT_EQ(button_layout(r, 0, true, 16, 16, true, true).icon, up.icon);
    const ButtonLayout none = button_layout(r, 0, true, 0, 0, false, false);
    EXPECT_FALSE(none.hasIcon);
    EXPECT_EQ(none.caption, r);
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
    // {flat, held, hovered, pointer over, track always, thread active}
    const struct {
        bool flat, held, hovered, over, always, active;
        HoverAction action;
    } steps[] = {
        {true, false, false, true, true, false, HoverAction::Enter},   // comes over the button
        {true, false, true, true, true, false, HoverAction::None},     // stays
        {true, false, true, false, true, true, HoverAction::Leave},    // moves off
        {true, false, false, false, true, true, HoverAction::None},    // elsewhere, not hovered
        {true, true, false, true, true, true, HoverAction::None},      // dragged in while held
        {true, true, true, false, true, true, HoverAction::Leave},     // held and moved off
        {true, false, false, true, false, false, HoverAction::None},   // no tracking in an inactive thread
        {true, false, false, true, false, true, HoverAction::Enter},
        {false, false, false, true, true, true, HoverAction::None},    // not flat
    };
    for (const auto& k : steps)
        EXPECT_EQ(button_hover(k.flat, k.held, k.hovered, k.over, k.always, k.active), k.action)
            << k.flat << k.held << k.hovered << k.over << k.always << k.active;
}

}  // namespace
}  // namespace audiomix
