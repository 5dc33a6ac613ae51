// The skinned window frame's geometry: button placement, hit testing, the
// caption and button painters, background, region and placement rules.
#include <utility>

#include "api/window_rules.h"
#include "controls/colour.h"
#include "controls/frame_geometry.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::Canvas;
constexpr uint32_t kUnpainted = Canvas::kUnpainted;
constexpr uint32_t kSkin = kSkinBaseColour;

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
    const std::initializer_list<Probe> main = {{375, 3, kHitClose},  {395, 23, kHitClose},   {396, 13, kHitClient},
                                               {363, 13, kHitMenu},  {374, 13, kHitCaption}, {12, 7, kHitSysMenu},
                                               {26, 7, kHitCaption}, {200, 5, kHitCaption},  {200, 32, kHitCaption},
                                               {200, 4, kHitClient}, {200, 33, kHitClient},  {5, 100, kHitClient}};
    expect_hits(main_window_state(), main);
    // The system menu area follows the small icon size: {10, 5, 30, 26}.
    expect_hits(main_window_state(), {{29, 25, kHitSysMenu}, {30, 25, kHitCaption}, {29, 26, kHitCaption}}, 20, 21);
    // Without the flag the extra button is caption.
    expect_hits(FrameState{}, {{363, 13, kHitCaption}, {385, 13, kHitClose}});
}

TEST(FrameHitTest, ThickFrameSizingZonesTouchTheBordersAndButtonsWinInside) {
    FrameState s;
    s.style.thickFrame = true;
    const FrameGeometry g = installed(s.style);
    auto hit = [&](int x, int y) { return frame_hit_test(g, s, 400, 300, {x, y}, 16, 16); };
    // Every pixel of the outermost ring sizes the window but for the two
    // columns between the top zone (to the right border, 388) and the top-right
    // one (below the close button, from 390).
    for (int x = 0; x < 400; ++x) EXPECT_EQ(hit(x, 0) == kHitClient, x == 388 || x == 389) << x;
    for (int y = 0; y < 300; ++y) EXPECT_TRUE(hit(0, y) != kHitClient && hit(399, y) != kHitClient) << y;
    const std::initializer_list<Probe> sizing = {
        {0, 0, kHitTopLeft},    {399, 299, kHitBottomRight}, {200, 298, kHitBottom}, {200, 2, kHitTop},
        {200, 13, kHitCaption}, {200, 150, kHitClient},      {395, 10, kHitClose}};
    expect_hits(s, sizing);
    // Maximised: no sizing zones anywhere on the ring.
    s.style.maximiseBox = true;
    s.maximised = true;
    const FrameGeometry m = installed(s.style);
    auto hitMax = [&](int x, int y) { return frame_hit_test(m, s, 400, 300, {x, y}, 16, 16); };
    for (int y = 40; y < 300; ++y) EXPECT_TRUE(hitMax(0, y) == kHitClient && hitMax(399, y) == kHitClient) << y;
    expect_hits(s, {{200, 10, kHitCaption}, {363, 13, kHitMaxButton}});
}

// ---- caption

TEST(FrameCaption, ShadowEdgedAndItsTextBetweenIconAndButtons) {
    const uint32_t shadow = make_rgb(128, 128, 128);
    Canvas canvas(400, 40);
    frame_caption(400, kSkin, shadow, main_window_state(), canvas);
    for (int y = 0; y < 32; ++y) EXPECT_TRUE(canvas.at(0, y) == shadow && canvas.at(399, y) == shadow) << y;
    EXPECT_EQ(canvas.at(200, 33), kUnpainted);  // left to the background
    // Icon 10 + 16 + 6; the extra button starts at 353, without it the close button at 375.
    const FrameState s = main_window_state();
    EXPECT_EQ(frame_caption_text_rect(installed(s.style), s, 400, 16), (PixelRect{32, 1, 347, 27}));
    EXPECT_EQ(frame_caption_text_rect(installed(FrameStyle{}), FrameState{}, 400, 16).right, 369);
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
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int cut = y < 7 ? top[y] : h - 1 - y < 4 ? bottom[h - 1 - y] : 0;
                EXPECT_EQ(inside(x, y), x >= cut && x < w - cut) << w << "x" << h << " at " << x << "," << y;
            }
    }
}

TEST(FrameOutline, BackgroundBordersAndClientEdge) {
    const int w = 200, h = 100;
    const FrameGeometry g = frame_setup_geometry();
    Canvas canvas(w, h);
    frame_background(g, w, h, kSkin, true, canvas);
    // The outline, along the rounded corner too, is darker than the highlight inside it; the
    // rims darken towards the outer edge; the sunken client edge is dark left, light right.
    auto green = [&](int x, int y) { return (canvas.at(x, y) >> 8) & 0xFF; };
    EXPECT_EQ(canvas.at(1, h - 2), canvas.at(0, 50));
    EXPECT_LT(green(0, 50), green(1, 50));
    EXPECT_LT(green(2, 50), green(4, 50));
    EXPECT_LT(green(100, 96), green(100, 93));
    EXPECT_LT(green(9, 50), green(188, 50));
    Canvas inactive(w, h);
    frame_background(g, w, h, kSkin, false, inactive);
    EXPECT_NE(inactive.at(4, 50), canvas.at(4, 50));  // inactive: a darker body
}

// ---- placement

// The window tests click maximise and restore; here what only the rules show.
TEST(FramePlacementRules, MaximiseNeedsTheBoxAndMinimiseReturnsToWhereItWas) {
    const PixelRect window{100, 100, 500, 400}, work{0, 0, 1280, 1000};
    PixelRect target{};
    FramePlacement p;
    EXPECT_FALSE(placement_maximise(p, FrameStyle{}, window, work, &target));
    FrameStyle boxed;
    boxed.maximiseBox = true;
    ASSERT_TRUE(placement_maximise(p, boxed, window, work, &target));
    EXPECT_FALSE(placement_maximise(p, boxed, work, work, &target));  // the first saved rectangle stays
    placement_minimise(p);
    ASSERT_TRUE(placement_unminimise(p));
    EXPECT_EQ(p.state, Placement::Maximised);
    ASSERT_TRUE(placement_restore(p, &target));
    EXPECT_EQ(target, window);
}

}  // namespace
}  // namespace audiomix
