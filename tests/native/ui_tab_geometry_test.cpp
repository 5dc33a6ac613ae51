#include <gtest/gtest.h>

#include "window/tab_geometry.h"

namespace audiomix {
namespace {

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// A tab control client area of 431 x 339 pixels whose first tab spans
// x 2..120, y 2..42 (tabs on top).
constexpr PixelRect kClient{0, 0, 431, 339};
constexpr PixelRect kFirstTab{2, 2, 120, 42};

TEST(TabPageRect, TabsOnTopPutThePageUnderTheStrip) {
    const PixelRect r = tab_page_rect(TabPlacement::Top, kClient, kFirstTab);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 43);            // one pixel under the tabs
    EXPECT_EQ(r.width(), 427);       // 431 - 2 - 2
    EXPECT_EQ(r.height(), 294);      // 339 - 42 - 3
    EXPECT_LE(r.bottom, kClient.bottom);
    EXPECT_LE(r.right, kClient.right);
}

TEST(TabPageRect, TabsAtTheBottomPutThePageAboveThem) {
    const PixelRect tab{2, 297, 120, 337};
    const PixelRect r = tab_page_rect(TabPlacement::Bottom, kClient, tab);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.width(), 427);
    EXPECT_EQ(r.height(), 339 - 40 - 5);
}

TEST(TabPageRect, VerticalTabsGetNoPageArea) {
    const PixelRect r = tab_page_rect(TabPlacement::Vertical, kClient, kFirstTab);
    EXPECT_EQ(r, (PixelRect{0, 0, 0, 0}));
}

TEST(TabFace, TheSelectedTabReachesTwoPixelsFurtherUpAndDown) {
    const PixelRect item{122, 2, 230, 40};
    EXPECT_EQ(tab_face_rect(item, false), item);
    EXPECT_EQ(tab_face_rect(item, true), (PixelRect{122, 0, 230, 42}));
}

TEST(TabFace, TextAndIconSitInsideTheOffsetFace) {
    const PixelRect face{10, 0, 130, 44};
    const PixelRect inner = tab_inner_rect(face, 3, 3);
    EXPECT_EQ(inner, (PixelRect{13, 3, 130, 44}));
    // The text leaves 32 pixels for the icon and starts 8 pixels down.
    EXPECT_EQ(tab_text_rect(inner), (PixelRect{45, 11, 130, 44}));
    // The icon starts one blank in and one pixel above the inner rectangle.
    const PixelPoint icon = tab_icon_origin(inner, 6);
    EXPECT_EQ(icon.x, 19);
    EXPECT_EQ(icon.y, 2);
    EXPECT_EQ(kTabTextFormat, 0x20u | 0x08u | 0x04u | 0x01u);
}

TEST(TabText, PlainTextIsOnePassInTheTextColour) {
    TextPass p[2];
    ASSERT_EQ(tab_text_passes(0, true, rgb(1, 1, 1), p), 1);
    EXPECT_EQ(p[0].dx, 0);
    EXPECT_EQ(p[0].dy, 0);
    EXPECT_EQ(p[0].colour, rgb(1, 1, 1));
}

TEST(TabText, RaisedTextIsWhiteWhenSelectedAndYellowOtherwise) {
    TextPass p[2];
    ASSERT_EQ(tab_text_passes(1, true, rgb(1, 1, 1), p), 2);
    EXPECT_EQ(p[0].dx, -1);
    EXPECT_EQ(p[0].dy, -1);
    EXPECT_EQ(p[0].colour, rgb(1, 1, 1));
    EXPECT_EQ(p[1].dx, 0);
    EXPECT_EQ(p[1].colour, rgb(255, 255, 255));
    ASSERT_EQ(tab_text_passes(1, false, rgb(1, 1, 1), p), 2);
    EXPECT_EQ(p[1].colour, rgb(255, 255, 0));
}

TEST(TabText, AnyOtherEffectShadowsInBlack) {
    TextPass p[2];
    for (int effect : {2, -1, 7}) {
        ASSERT_EQ(tab_text_passes(effect, false, rgb(0, 0, 255), p), 2);
        EXPECT_EQ(p[0].colour, rgb(0, 0, 0));
        EXPECT_EQ(p[0].dx, -1);
        EXPECT_EQ(p[0].dy, -1);
        EXPECT_EQ(p[1].colour, rgb(0, 0, 255));
    }
}

TEST(TabBitmapFace, SelectedPictureKeepsTheUnselectedHeight) {
    const PixelRect item{0, 2, 100, 40};
    const PixelRect selectedFace = tab_face_rect(item, true);
    const TabBitmapPlacement sel = tab_bitmap_face(selectedFace, true, 50, 20);
    const TabBitmapPlacement unsel = tab_bitmap_face(item, false, 50, 20);
    EXPECT_EQ(sel.destination, item);  // inset by 2 at top and bottom
    EXPECT_EQ(unsel.destination, item);
}

TEST(TabBitmapFace, CopiedUnscaledOnlyWhenLargerBothWays) {
    const PixelRect face{0, 0, 100, 40};
    EXPECT_FALSE(tab_bitmap_face(face, false, 101, 41).stretch);
    EXPECT_TRUE(tab_bitmap_face(face, false, 101, 40).stretch);  // equal height: stretched
    EXPECT_TRUE(tab_bitmap_face(face, false, 100, 41).stretch);
    EXPECT_TRUE(tab_bitmap_face(face, false, 20, 10).stretch);
}

TEST(TabFrame, RunsFromTheLastTabRoundTheClientArea) {
    PixelPoint p[5];
    tab_frame_points(kClient, PixelRect{122, 2, 230, 40}, p);
    EXPECT_EQ(p[0], (PixelPoint{230, 40}));
    EXPECT_EQ(p[1], (PixelPoint{430, 40}));
    EXPECT_EQ(p[2], (PixelPoint{430, 338}));
    EXPECT_EQ(p[3], (PixelPoint{1, 338}));
    EXPECT_EQ(p[4], (PixelPoint{1, 40}));
}

}  // namespace
}  // namespace audiomix
