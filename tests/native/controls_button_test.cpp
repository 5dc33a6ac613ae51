// The skinned button's colour setters, paint plan, layout and hover.
#include <gtest/gtest.h>

#include <random>

#include "api/window_rules.h"
#include "controls/button_rules.h"
#include "controls/colour.h"

namespace audiomix {
namespace {

// Defaults as the button starts (system colours replaced by fixed ones).
struct Colours {
    uint32_t c[kBtnColourCount] = {make_rgb(1, 1, 1), make_rgb(2, 2, 2), make_rgb(0, 150, 150),
                                   make_rgb(3, 3, 3), make_rgb(4, 4, 4), make_rgb(5, 5, 5)};
};

TEST(ButtonColours, OffsetStopsAtTheFirstLimitAndBadArgumentsChangeNothing) {
    EXPECT_EQ(button_offset_colour(make_rgb(250, 100, 0), 30), make_rgb(255, 105, 5));
    EXPECT_EQ(button_offset_colour(make_rgb(100, 20, 200), -30), make_rgb(80, 0, 180));
    Colours c;
    EXPECT_EQ(button_set_colour(c.c, -1, 0x123456u), 3);
    EXPECT_EQ(c.c[0], make_rgb(1, 1, 1));
}

TEST(ButtonIcon, GreyCopyKeepsAlphaAndWeighsGreenOverRedOverBlue) {
    auto grey = [](uint32_t argb) {
        const uint32_t g = button_grey_pixel(argb);
        EXPECT_EQ(g >> 24, argb >> 24) << std::hex << argb;  // alpha kept
        EXPECT_TRUE((g & 0xFF) == ((g >> 8) & 0xFF) && (g & 0xFF) == ((g >> 16) & 0xFF)) << std::hex << argb;
        return static_cast<int>(g & 0xFF);
    };
    EXPECT_GT(grey(0xFF00FF00u), grey(0xFFFF0000u));
    EXPECT_GT(grey(0xFFFF0000u), grey(0xFF0000FFu));
    EXPECT_GE(grey(0x40FFFFFFu), 254);
}

TEST(ButtonFace, StateBackgroundsAndTheCloseButtonsGradient) {
    Colours c;
    const uint8_t solid[3] = {0, 0, 0};
    const uint32_t none[3] = {0, 0, 0};
    const PixelRect r{0, 0, 45, 23};
    const ButtonPaintState idle{false, false, false}, focus{false, true, false}, pressed{true, true, false};
    EXPECT_EQ(button_face(false, false, idle, solid, none, c.c, false, r).colour, c.c[2]);
    EXPECT_EQ(button_face(false, false, pressed, solid, none, c.c, false, r).colour, c.c[0]);
    EXPECT_EQ(button_face(true, true, pressed, solid, none, c.c, false, r).kind, ButtonFaceKind::Transparent);
    // A checked check box draws pressed.
    EXPECT_TRUE(button_paint_state(false, false, false, false, true, true).pressed);
    EXPECT_FALSE(button_paint_state(false, false, false, false, false, true).pressed);

    // The close button: focused 21, over or pressed 22, normal 21, on the skin colour lifted by 102.
    const uint8_t styles[3] = {21, 22, 21};
    const uint32_t faces[3] = {kSkinBaseColour, kSkinBaseColour, kSkinBaseColour};
    const SkinButtonFace normal = button_face(false, false, idle, styles, faces, c.c, false, r);
    EXPECT_EQ(normal.kind, ButtonFaceKind::Gradient);
    EXPECT_EQ(normal.colour, make_rgb(108, 178, 200));
    EXPECT_FALSE(normal.shadow);
    const SkinButtonFace over = button_face(false, true, focus, styles, faces, c.c, true, r);
    EXPECT_EQ(over.style, 22);
    ASSERT_TRUE(over.shadow);
    EXPECT_EQ(over.shadowColour, make_rgb(0, 0, 0));  // lowered by 102, every component clamps
}

TEST(ButtonFlat, HoverEntersOnceAndLeaves) {
    // {flat, held, hovered, pointer over, track always, thread active}
    EXPECT_EQ(button_hover(true, false, false, true, true, false), HoverAction::Enter);
    EXPECT_EQ(button_hover(true, false, true, true, true, false), HoverAction::None);  // stays
    EXPECT_EQ(button_hover(true, false, true, false, true, true), HoverAction::Leave);
    EXPECT_EQ(button_hover(true, true, false, true, true, true), HoverAction::None);     // dragged in while held
    EXPECT_EQ(button_hover(true, false, false, true, false, false), HoverAction::None);  // inactive thread
}

// For any size and icon, the icon lies inside the button and a pressed push
// button moves icon and caption by one pixel while a check box stays put.
TEST(ButtonLayout, IconInsideForRandomSizesPressedPushButtonsShift) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> d(0, 60);
    for (int n = 0; n < 300; ++n) {
        const int icon = 8 + d(rng) / 4, w = icon + 4 + d(rng) * 2, h = icon + 2 + d(rng) / 2, place = d(rng) % 3;
        const PixelRect r{0, 0, w, h};
        const bool caption = d(rng) % 2;
        const ButtonLayout up = button_layout(r, place, caption, icon, icon, false, false);
        ASSERT_TRUE(up.hasIcon);
        EXPECT_TRUE(up.icon.x >= 0 && up.icon.y >= 0 && up.icon.x + icon <= w && up.icon.y + icon <= h)
            << w << "x" << h << " place " << place;
        if (caption && place == 0) {
            EXPECT_GE(up.caption.left, up.icon.x + icon);
        }
        const ButtonLayout down = button_layout(r, place, caption, icon, icon, true, false);
        EXPECT_EQ(down.icon, (PixelPoint{up.icon.x + 1, up.icon.y + 1}));
        EXPECT_EQ(down.caption.left, up.caption.left + 1);
        EXPECT_EQ(button_layout(r, place, caption, icon, icon, true, true).icon, up.icon);
    }
    EXPECT_EQ(button_layout({0, 0, 100, 30}, 0, true, 0, 0, false, false).caption, (PixelRect{0, 0, 100, 30}));
}

TEST(ButtonCaption, DisabledIsEmbossedAndTheSwitchesLightUpWhenHovered) {
    Colours c;
    c.c[kBtnFgIn] = make_rgb(255, 55, 55);
    const uint32_t hi = make_rgb(250, 250, 250), sh = make_rgb(100, 100, 100);
    const ButtonCaption disabled = button_caption(true, true, false, 2, c.c, hi, sh);
    ASSERT_EQ(disabled.count, 2);
    EXPECT_TRUE(disabled.passes[0].colour == hi && disabled.passes[1].colour == sh);
    const ButtonCaption in = button_caption(false, true, false, 2, c.c, hi, sh);
    ASSERT_EQ(in.count, 2);
    EXPECT_TRUE(in.passes[0].colour == make_rgb(255, 255, 255) && in.passes[1].colour == c.c[kBtnFgIn]);
    EXPECT_EQ(in.background, c.c[0]);
    EXPECT_EQ(button_caption(false, false, false, 0, c.c, hi, sh).count, 1);
}

}  // namespace
}  // namespace audiomix
