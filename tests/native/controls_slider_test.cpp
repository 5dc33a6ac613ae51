// The skinned slider's colours, channel and thumb figures.
#include <gtest/gtest.h>

#include <random>

#include "controls/colour.h"
#include "controls/slider_geometry.h"

namespace audiomix {
namespace {

const SliderColours kRed = slider_colours(make_rgb(255, 0, 0), make_rgb(128, 128, 128), make_rgb(212, 208, 200),
                                          make_rgb(64, 64, 64), make_rgb(255, 255, 255));

PixelPoint flip(PixelPoint p) { return {p.y, p.x}; }
PixelRect flip(PixelRect r) { return {r.top, r.left, r.bottom, r.right}; }

TEST(SliderColours, ShadesOfTheThumbAndHalfwaysBetweenSystemColours) {
    EXPECT_EQ(kRed.shadowMid, make_rgb(170, 168, 164));
    // A component that would pass 255 is left as it was.
    EXPECT_EQ(slider_lighten(make_rgb(250, 10, 0), 51), make_rgb(250, 61, 51));
    // Halfway rounds down whichever colour comes first: 2.5 is 2 both ways.
    EXPECT_EQ(slider_mid_colour(make_rgb(1, 4, 9), make_rgb(4, 1, 0)), make_rgb(2, 2, 4));
    EXPECT_EQ(slider_mid_colour(make_rgb(0, 0, 0), make_rgb(255, 255, 255)), make_rgb(127, 127, 127));
}

TEST(SliderChannel, SelectionBandEndsTruncateTowardZeroAndMarksSplitTheChannel) {
    // L = 30 over a range of 20: -5 and 5 from -10 land at 7.5 -> 7 and 22.5 -> 22.
    const ChannelFigure f = slider_channel({0, 0, 50, 30}, false, {-10, 10, -5, 5}, kRed, 0, false);
    ASSERT_TRUE(f.hasSelection);
    EXPECT_EQ(f.selection, (PixelRect{1, 9, 49, 20}));
    // No range, no band; no division by zero either.
    EXPECT_FALSE(slider_channel({0, 0, 100, 4}, false, {0, 0, 0, 5}, kRed, 0, false).hasSelection);
    // Six marks split the vertical channel (10, 8, 14, 168) into seven equal parts.
    const ChannelFigure v = slider_channel({10, 8, 14, 168}, true, {-12, 12, -6, 6}, kRed, 0, true);
    ASSERT_EQ(v.markCount, 6);
    for (int n = 0; n < 6; ++n) EXPECT_EQ(v.marks[n].points[1], (PixelPoint{14, 8 + 22 * (n + 1)})) << n;
}

TEST(SliderThumb, GripOfLightAndDarkLinesWhenWideEnoughAndEnabled) {
    // Light grip lines left of dark ones, the dark ones a pixel longer.
    const ThumbFigure f = slider_thumb({50, 5, 60, 25}, ThumbShape::Both, true, kRed);
    ASSERT_EQ(f.gripCount, 7);
    EXPECT_EQ(f.grip[0].colour, kRed.light1);
    EXPECT_EQ(f.grip[6].colour, kRed.dark2);
    EXPECT_EQ(f.grip[6].points[1].y - f.grip[6].points[0].y, f.grip[0].points[1].y - f.grip[0].points[0].y + 1);
    // Narrower thumbs get a shorter grip, too narrow or disabled ones none.
    EXPECT_EQ(slider_thumb({0, 0, 9, 20}, ThumbShape::Both, true, kRed).gripCount, 3);
    EXPECT_EQ(slider_thumb({0, 0, 5, 20}, ThumbShape::Both, true, kRed).gripCount, 0);
    EXPECT_EQ(slider_thumb({0, 0, 10, 20}, ThumbShape::Both, false, kRed).gripCount, 0);
}

// A thumb wider than tall is the one of a vertical slider: the same figure
// with x and y exchanged.
TEST(SliderThumb, VerticalThumbsAreTheHorizontalOnesTransposed) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> d(0, 30);
    for (int n = 0; n < 100; ++n) {
        const int x = d(rng), y = d(rng), w = 4 + d(rng) / 2;
        const PixelRect tall{x, y, x + w, y + w + 1 + d(rng)};
        const ThumbFigure h = slider_thumb(tall, ThumbShape::Both, true, kRed);
        const ThumbFigure v = slider_thumb(flip(tall), ThumbShape::Both, true, kRed);
        EXPECT_EQ(v.bevel, flip(h.bevel));
        ASSERT_EQ(v.pixelCount, h.pixelCount);
        for (int i = 0; i < h.pixelCount; ++i) EXPECT_EQ(v.pixels[i], flip(h.pixels[i])) << i;
        ASSERT_EQ(v.gripCount, h.gripCount);
        for (int i = 0; i < h.gripCount; ++i)
            for (int k = 0; k < 2; ++k) EXPECT_EQ(v.grip[i].points[k], flip(h.grip[i].points[k])) << i;
        ASSERT_EQ(v.gripDotCount, h.gripDotCount);
    }
}

TEST(SliderThumb, PointedThumbsPointFromTheMiddleOfTheirEnd) {
    for (ThumbShape shape : {ThumbShape::PointUp, ThumbShape::PointDown}) {
        const ThumbFigure f = slider_thumb({0, 0, 10, 20}, shape, true, kRed);
        ASSERT_EQ(f.polygonCount, 9);
        EXPECT_EQ(f.polygon[0], f.polygon[8]) << "closed";
        const int tip = shape == ThumbShape::PointUp ? 0 : 19;
        int atTip = 0;
        for (int i = 0; i < 8; ++i) {
            const PixelPoint p = f.polygon[i];
            EXPECT_TRUE(p.x >= 0 && p.x <= 9 && p.y >= 0 && p.y <= 19) << i;
            atTip += p.y == tip && (p.x == 4 || p.x == 5);
        }
        EXPECT_EQ(atTip, 2);
    }
}

}  // namespace
}  // namespace audiomix
