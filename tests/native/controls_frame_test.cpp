// The skinned window frame's geometry: button placement, hit testing, the
// caption and button painters, background, region and placement rules.
#include <utility>

#include "controls/colour.h"
#include "controls/frame_geometry.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::Canvas;
constexpr uint32_t kUnpainted = Canvas::kUnpainted;
constexpr uint32_t kSkin = make_rgb(6, 76, 98);

// The main control window: no thick frame, no minimise or maximise box, the
// close button notifies the owner.
FrameState main_window_state() {
    FrameState s;
    s.closeNotifiesOwner = true;
    return s;
}

FrameGeometry installed(const FrameStyle& style) {
    FrameGeometry g = frame_setup_geometry();
    frame_place_buttons(g, style);
    return g;
}

// ---- geometry

TEST(FrameGeometry, SetupFixesBordersCaptionAndIcon) {
    const FrameGeometry g = frame_setup_geometry();
    EXPECT_EQ(g.captionHeight, 33);
    EXPECT_EQ(g.leftBorder, 10);
    EXPECT_EQ(g.rightBorder, 12);
    EXPECT_EQ(g.bottomBorder, 13);
    EXPECT_EQ(g.iconLeft, 10);
    EXPECT_EQ(g.iconTop, 5);
    EXPECT_EQ(g.closeButton, (PixelRect{2, 3, 23, 24}));
    EXPECT_EQ(g.maximiseButton, (PixelRect{24, 3, 45, 24}));
}

TEST(FrameGeometry, MinimiseAndExtraButtonsMoveLeftOfTheButtonsPresent) {
    const PixelRect second{24, 3, 45, 24}, third{47, 3, 68, 24}, fourth{70, 3, 91, 24};
    struct Case {
        bool minimise, maximise;
        PixelRect expectMinimise, expectExtra;
    };
    const Case cases[] = {
        {false, false, second, second},
        {true, false, second, third},
        {false, true, third, third},
        {true, true, third, fourth},
    };
    for (const Case& c : cases) {
        FrameStyle style;
        style.minimiseBox = c.minimise;
        style.maximiseBox = c.maximise;
        const FrameGeometry g = installed(style);
        EXPECT_EQ(g.minimiseButton, c.expectMinimise) << c.minimise << c.maximise;
        EXPECT_EQ(g.extraButton, c.expectExtra) << c.minimise << c.maximise;
        EXPECT_EQ(g.closeButton, (PixelRect{2, 3, 23, 24}));
    }
}

TEST(FrameGeometry, ClientAreaIsInsetByTheBorders) {
    const FrameGeometry g = frame_setup_geometry();
    EXPECT_EQ(frame_client_rect(g, {100, 50, 500, 350}), (PixelRect{110, 83, 488, 337}));
}

// ---- hit testing

struct Probe {
    int x, y, code;
};

// Hit codes of a 400 x 300 window at the given points (16-pixel icon unless given).
void expect_hits(const FrameState& s, std::initializer_list<Probe> probes, int iconW = 16, int iconH = 16) {
    const FrameGeometry g = installed(s.style);
    for (const Probe& p : probes)
        EXPECT_EQ(frame_hit_test(g, s, 400, 300, {p.x, p.y}, iconW, iconH), p.code) << p.x << "," << p.y;
}

TEST(FrameHitTest, MainWindowButtonsCaptionAndClient) {
    // Close {375, 3, 396, 24}, right of it the border; extra {353, 3, 374, 24}
    // and the gap before close; icon {10, 5, 26, 21}; caption {10, 5, 388, 33}.
    // Without a thick frame the borders are not sizing zones.
    expect_hits(main_window_state(),
                {{385, 13, kHitClose}, {375, 3, kHitClose}, {395, 23, kHitClose}, {396, 13, kHitClient},
                 {363, 13, kHitMenu}, {374, 13, kHitCaption}, {12, 7, kHitSysMenu}, {26, 7, kHitCaption},
                 {200, 5, kHitCaption}, {200, 32, kHitCaption}, {200, 4, kHitClient}, {200, 33, kHitClient},
                 {5, 100, kHitClient}, {2, 2, kHitClient}, {395, 295, kHitClient}, {200, 295, kHitClient}});
    // The system menu area follows the small icon size: {10, 5, 30, 26}.
    expect_hits(main_window_state(), {{29, 25, kHitSysMenu}, {30, 25, kHitCaption}, {29, 26, kHitCaption}}, 20, 21);
    // Without the flag the extra button is caption.
    expect_hits(FrameState{}, {{363, 13, kHitCaption}, {385, 13, kHitClose}});
}

TEST(FrameHitTest, ThickFrameSizingZones) {
    FrameState s;
    s.style.thickFrame = true;
    // Zones: top-left {0, 0, 10, 33}, top-right {390, 0, 400, 33} below the
    // close button, bottom-left {0, 287, 10, 300}, bottom-right {388, 287, 400,
    // 300}, left {0, 33, 10, 287}, right {388, 33, 400, 287}, bottom {10, 287,
    // 388, 300}, top {10, 0, 388, 13} over the caption. Buttons come first even
    // inside a corner zone.
    expect_hits(s, {{2, 2, kHitTopLeft}, {9, 32, kHitTopLeft}, {391, 28, kHitTopRight}, {389, 28, kHitClient},
                    {5, 295, kHitBottomLeft}, {388, 295, kHitBottomRight}, {5, 100, kHitLeft}, {395, 100, kHitRight},
                    {200, 295, kHitBottom}, {200, 2, kHitTop}, {200, 12, kHitTop}, {200, 13, kHitCaption},
                    {200, 150, kHitClient}, {395, 10, kHitClose}, {12, 7, kHitSysMenu}});
    // Maximised: no sizing zones.
    s.style.maximiseBox = true;
    s.maximised = true;
    expect_hits(s, {{5, 100, kHitClient}, {2, 2, kHitClient}, {200, 295, kHitClient}, {200, 10, kHitCaption},
                    {363, 13, kHitMaxButton}});
}

// ---- caption

TEST(FrameCaption, NotchWidthAndColour) {
    FrameState s;
    EXPECT_EQ(frame_notch_width(s), 42);
    s.closeNotifiesOwner = true;
    EXPECT_EQ(frame_notch_width(s), 72);
    s.style.maximiseBox = true;
    EXPECT_EQ(frame_notch_width(s), 92);
    // RGB(6, 76, 98) darkened by 31 is (0, 45, 67); active lifts it by 34.
    EXPECT_EQ(frame_caption_colour(kSkin, false), make_rgb(0, 45, 67));
    EXPECT_EQ(frame_caption_colour(kSkin, true), make_rgb(34, 79, 101));
}

TEST(FrameCaption, UpperBandSegmentsRowByRow) {
    // The main window's upper band: {1, 1, 399, 27}, h = 26 (step 1), notch 72.
    const uint32_t c = make_rgb(34, 79, 101);
    Canvas canvas(400, 40);
    frame_caption_band_321({1, 1, 399, 27}, c, 72, canvas);
    auto lift = [&](int amount) { return LightenColor(c, static_cast<uint8_t>(amount)); };

    // {x, y, lightening}, -1 for unpainted. Row 1 (i = 1): n = 245, corner
    // inset trunc((1 - sin(7.5 deg)) * 6) = 5, d = trunc((1.2 - cos(3.46 deg))
    // * 26 + 72) = 77, so r - d = 322. Row 5: n = 205, inset 2, d = 78.
    // Row 13: n = 127, no inset, d = trunc((1.2 - cos 45 deg) * 26 + 72) = 84.
    // Row 24: n = 19, bottom inset trunc((1 - sin 22.5 deg) * 4) = 2, d = 100.
    // Row 26: n = 0, inset 4, d = trunc(31.2 + 72) = 103.
    const int probes[][3] = {
        {5, 1, -1},   {6, 1, 122},   {33, 1, 46},   {321, 1, 46},   {322, 1, 84},  {394, 1, -1}, {2, 5, -1},
        {3, 5, 102},  {1, 13, 63},   {314, 13, 85}, {315, 13, 84},  {2, 24, -1},   {3, 24, 9},   {298, 24, 157},
        {299, 24, 13}, {5, 26, 0},   {296, 26, 13}, {395, 26, -1},
    };
    for (const auto& p : probes)
        EXPECT_EQ(canvas.at(p[0], p[1]), p[2] < 0 ? kUnpainted : lift(p[2])) << p[0] << "," << p[1];

    // Nothing outside the band's rows.
    for (int x = 0; x < 400; ++x) {
        EXPECT_EQ(canvas.at(x, 0), kUnpainted);
        EXPECT_EQ(canvas.at(x, 27), kUnpainted);
    }
}

TEST(FrameCaption, WholeCaptionLeavesAShadowEdge) {
    const uint32_t shadow = make_rgb(128, 128, 128);
    Canvas canvas(400, 40);
    frame_caption(400, kSkin, shadow, main_window_state(), canvas);
    EXPECT_EQ(canvas.fills.front().rect, (PixelRect{0, 0, 400, 32}));
    for (int x = 0; x < 400; x += 37) EXPECT_EQ(canvas.at(x, 0), shadow);
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(canvas.at(0, y), shadow);
        EXPECT_EQ(canvas.at(399, y), shadow);
    }
    const uint32_t c = make_rgb(34, 79, 101);
    EXPECT_EQ(canvas.at(1, 13), LightenColor(c, 63));
    EXPECT_EQ(canvas.at(1, 27), LightenColor(c, 91));
    EXPECT_EQ(canvas.at(0, 32), kUnpainted);  // left to the background
    EXPECT_EQ(canvas.at(200, 33), kUnpainted);
}

TEST(FrameCaption, TextSitsBetweenIconAndButtons) {
    const FrameState s = main_window_state();
    const FrameGeometry g = installed(s.style);
    // Icon 10 + 16 + 6; the extra button starts at 353.
    EXPECT_EQ(frame_caption_text_rect(g, s, 400, 16), (PixelRect{32, 1, 347, 27}));
    FrameState lone;
    EXPECT_EQ(frame_caption_text_rect(installed(lone.style), lone, 400, 16).right, 369);
}

// ---- caption buttons

TEST(FrameButtons, FaceLooks) {
    // Normal: the inverse (249, 179, 157) darkened by 17.
    const struct {
        CaptionButton button;
        ButtonLook look;
        int style;
        uint32_t colour;
    } cases[] = {{CaptionButton::Close, ButtonLook::Normal, 8, make_rgb(232, 162, 140)},
                 {CaptionButton::Close, ButtonLook::Hot, 7, make_rgb(255, 55, 55)},
                 {CaptionButton::Extra, ButtonLook::Hot, 7, make_rgb(127, 197, 219)},
                 {CaptionButton::Minimise, ButtonLook::Pressed, 8, kSkin}};
    for (const auto& c : cases) {
        const ButtonFace face = frame_button_face_look(c.button, c.look, kSkin);
        EXPECT_EQ(face.style, c.style) << static_cast<int>(c.button) << "," << static_cast<int>(c.look);
        EXPECT_EQ(face.colour, c.colour) << static_cast<int>(c.button) << "," << static_cast<int>(c.look);
    }
}

TEST(FrameButtons, FaceBandsClampTheRamp) {
    // {375, 3, 396, 24}: h = 21, step 1, half 10; group i covers row 3 + i - 1.
    const uint32_t white = make_rgb(255, 255, 255);
    Canvas canvas(400, 30);
    frame_button_face({375, 3, 396, 24}, white, 8, canvas);
    auto amount = [&](int y) { return 255 - static_cast<int>(canvas.at(380, y) & 0xFF); };
    EXPECT_EQ(amount(3), 215);   // i = 1: 229 clamped to 215
    EXPECT_EQ(amount(12), 5);    // i = 10: 0 clamped to 5
    EXPECT_EQ(amount(14), 51);   // i = 12: 255 * 2 / 10 = 51
    EXPECT_EQ(amount(22), 215);  // i = 20
    EXPECT_EQ(canvas.at(380, 23), kUnpainted);  // the last row is the border's
    EXPECT_EQ(canvas.at(374, 12), kUnpainted);
    EXPECT_EQ(canvas.at(396, 12), kUnpainted);

    Canvas seven(400, 30);
    frame_button_face({375, 3, 396, 24}, white, 7, seven);
    EXPECT_EQ(255 - static_cast<int>(seven.at(380, 12) & 0xFF), 250);
    EXPECT_EQ(255 - static_cast<int>(seven.at(380, 3) & 0xFF), 40);
}

TEST(FrameButtons, PicturesUseTheInverseOfTheFace) {
    const PixelRect r{20, 3, 41, 24};
    const uint32_t face = make_rgb(232, 162, 140), inverse = make_rgb(23, 93, 115);
    // The close cross: two thick diagonals in the inverse, corner to corner of the inset square.
    const PictureShapes close = frame_button_picture(ButtonPicture::Close, r, face);
    ASSERT_EQ(close.strokeCount, 4);
    EXPECT_EQ(close.strokes[0].colour, inverse);
    EXPECT_EQ(close.strokes[0].width, 2);
    EXPECT_EQ(close.strokes[0].points[0], (PixelPoint{25, 8}));
    EXPECT_EQ(close.strokes[0].points[1], (PixelPoint{37, 20}));
    // The extra button's four squares: red, green, the inverse and yellow.
    const PictureShapes extra = frame_button_picture(ButtonPicture::Extra, r, face);
    ASSERT_EQ(extra.fillCount, 4);
    const uint32_t squares[4] = {make_rgb(255, 55, 55), make_rgb(55, 255, 55), inverse, make_rgb(255, 255, 55)};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(extra.fills[i].colour, squares[i]) << i;
    EXPECT_EQ(extra.fills[0].rect, (PixelRect{26, 9, 31, 14}));
    EXPECT_EQ(frame_button_picture_of(CaptionButton::Maximise, true), ButtonPicture::Restore);
    EXPECT_EQ(frame_button_picture_of(CaptionButton::Maximise, false), ButtonPicture::Maximise);
}

// ---- background and region

TEST(FrameOutline, RegionRoundsTheCornersAlike) {
    for (const auto& size : {std::pair<int, int>{200, 100}, {453, 411}, {121, 57}}) {
        const int w = size.first, h = size.second;
        Canvas canvas(w, h);
        frame_region_runs(w, h, canvas);
        auto inside = [&](int x, int y) { return canvas.at(x, y) != kUnpainted; };
        // Top corners cut 5, 5, 4, 3, 3, 2 pixels deep, the bottom ones 3, 1, 1; mirrored left and right.
        const int top[] = {5, 5, 4, 3, 3, 2, 0}, bottom[] = {3, 1, 1, 0};
        int outside = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(inside(x, y), inside(w - 1 - x, y)) << x << "," << y;
                const int cut = y < 7 ? top[y] : h - 1 - y < 4 ? bottom[h - 1 - y] : 0;
                EXPECT_EQ(inside(x, y), x >= cut && x < w - cut) << w << "x" << h << " at " << x << "," << y;
                outside += !inside(x, y);
            }
        EXPECT_EQ(outside, 2 * (5 + 5 + 4 + 3 + 3 + 2) + 2 * (3 + 1 + 1));
    }
}

TEST(FrameOutline, BackgroundBordersAndClientEdge) {
    const int w = 200, h = 100;
    const FrameGeometry g = frame_setup_geometry();
    Canvas canvas(w, h);
    frame_background(g, w, h, kSkin, true, canvas);
    const uint32_t outline = make_rgb(0, 16, 38);       // skin darkened by 60
    const uint32_t highlight = make_rgb(46, 116, 138);  // lightened by 40
    // The rims: the skin lightened by 30 = (36, 106, 128), darkened towards
    // the edges by 72 * |2d - (n - 1)| / (n - 1) for depth d of an n-pixel
    // border. Left (n = 10): columns 4 and 5 by 8, column 2 by 40. Right (n =
    // 12): depths 5 and 6 by trunc(72 / 11) = 6. Bottom (n = 13): depth 6 (row
    // 93) is the rim colour, depth 5 by 12, depth 3 by 36. The mitre: left
    // column 4 runs down to row h - trunc(4 * 13 / 10) = 95. The client area
    // {10, 33, 188, 87} sits in a sunken edge. Along the rounded bottom
    // corners the outline follows the region edge.
    const struct {
        int x, y;
        uint32_t colour;
    } probes[] = {
        {0, 50, outline}, {100, h - 1, outline}, {1, 50, highlight}, {4, 50, make_rgb(28, 98, 120)},
        {2, 50, make_rgb(0, 66, 88)}, {w - 6, 50, make_rgb(30, 100, 122)}, {100, 93, make_rgb(36, 106, 128)},
        {100, 96, make_rgb(0, 70, 92)}, {4, 96, make_rgb(0, 70, 92)}, {9, 50, make_rgb(0, 36, 58)},
        {188, 50, make_rgb(62, 132, 154)}, {1, h - 2, outline},
    };
    for (const auto& p : probes) EXPECT_EQ(canvas.at(p.x, p.y), p.colour) << p.x << "," << p.y;

    Canvas inactive(w, h);
    frame_background(g, w, h, kSkin, false, inactive);
    // Inactive: the body is the skin darkened by 24, (0, 52, 74), its rim (30, 82, 104).
    EXPECT_EQ(inactive.at(4, 50), make_rgb(22, 74, 96));
    EXPECT_EQ(inactive.at(0, 50), make_rgb(0, 0, 14));
}

// ---- placement

TEST(FramePlacementRules, MaximiseNeedsTheBoxAndRestoresTheSavedRectangle) {
    const PixelRect window{100, 100, 500, 400}, work{0, 0, 1280, 1000};
    PixelRect target{};
    FramePlacement p;
    FrameStyle plain;
    EXPECT_FALSE(placement_maximise(p, plain, window, work, &target));
    EXPECT_EQ(p.state, Placement::Normal);

    FrameStyle boxed;
    boxed.maximiseBox = true;
    ASSERT_TRUE(placement_maximise(p, boxed, window, work, &target));
    EXPECT_EQ(target, work);
    EXPECT_EQ(p.state, Placement::Maximised);
    // A second maximise keeps the first saved rectangle.
    EXPECT_FALSE(placement_maximise(p, boxed, work, work, &target));
    ASSERT_TRUE(placement_restore(p, &target));
    EXPECT_EQ(target, window);
    EXPECT_EQ(p.state, Placement::Normal);
    EXPECT_FALSE(placement_restore(p, &target));
}

TEST(FramePlacementRules, ToggleAndMinimise) {
    const PixelRect window{10, 20, 310, 220}, work{0, 0, 800, 600};
    PixelRect target{};
    FramePlacement p;
    FrameStyle boxed;
    boxed.maximiseBox = true;
    ASSERT_TRUE(placement_toggle(p, boxed, window, work, &target));
    EXPECT_EQ(target, work);
    placement_minimise(p);
    EXPECT_EQ(p.state, Placement::Minimised);
    ASSERT_TRUE(placement_unminimise(p));
    EXPECT_EQ(p.state, Placement::Maximised);  // back to where it was
    ASSERT_TRUE(placement_toggle(p, boxed, work, work, &target));
    EXPECT_EQ(target, window);
    EXPECT_FALSE(placement_unminimise(p));
}

}  // namespace
}  // namespace audiomix
