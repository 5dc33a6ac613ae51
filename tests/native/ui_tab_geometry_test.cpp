#include <gtest/gtest.h>

#include <random>

#include "window/tab_geometry.h"

namespace audiomix {
namespace {

// The page fills the client area from the first tab's left edge, clear of the
// tab strip by one pixel and of the control's two-pixel right and bottom border.
TEST(TabPageRect, PagesLeaveTheStripAndTheBorderVisible) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int32_t> d(0, 40);
    for (int n = 0; n < 200; ++n) {
        const PixelRect client{0, 0, 300 + 4 * d(rng), 200 + 4 * d(rng)};
        const int32_t left = d(rng) / 8, height = 20 + d(rng);
        const PixelRect top = tab_page_rect(TabPlacement::Top, client, {left, 2, 120, 2 + height});
        EXPECT_EQ(top, (PixelRect{left, 3 + height, client.right - 2, client.bottom - 2}));
        const PixelRect tab{left, client.bottom - 2 - height, 120, client.bottom - 2};
        const PixelRect bottom = tab_page_rect(TabPlacement::Bottom, client, tab);
        EXPECT_EQ(bottom, (PixelRect{left, 1, client.right - 2, tab.top - 2}));
    }
    EXPECT_EQ(tab_page_rect(TabPlacement::Vertical, {0, 0, 431, 339}, {2, 2, 120, 42}), (PixelRect{}));
}

TEST(TabFace, TheSelectedTabStandsTwoPixelsProudAndItsPictureDoesNot) {
    const PixelRect item{122, 2, 230, 40};
    EXPECT_EQ(tab_face_rect(item, false), item);
    const PixelRect face = tab_face_rect(item, true);
    EXPECT_EQ(face, (PixelRect{122, 0, 230, 42}));
    EXPECT_EQ(tab_bitmap_face(face, true, 50, 20).destination, item);
    // Only a picture larger both ways is copied unscaled.
    EXPECT_FALSE(tab_bitmap_face(item, false, 109, 39).stretch);
    EXPECT_TRUE(tab_bitmap_face(item, false, 109, 38).stretch);
    EXPECT_TRUE(tab_bitmap_face(item, false, 108, 39).stretch);
}

TEST(TabFrame, RunsFromTheLastTabRoundTheClientArea) {
    PixelPoint p[5];
    tab_frame_points({0, 0, 431, 339}, PixelRect{122, 2, 230, 40}, p);
    const PixelPoint want[5] = {{230, 40}, {430, 40}, {430, 338}, {1, 338}, {1, 40}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(p[i], want[i]) << i;
}

}  // namespace
}  // namespace audiomix
