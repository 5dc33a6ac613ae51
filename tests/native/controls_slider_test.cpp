// The skinned slider's colours, channel and thumb figures, worked out by hand
// from the drawing rules.
#include <gtest/gtest.h>

#include "controls/colour.h"
#include "controls/slider_geometry.h"

namespace audiomix {
namespace {

const SliderColours kRed = slider_colours(make_rgb(255, 0, 0), make_rgb(128, 128, 128), make_rgb(212, 208, 200),
                                          make_rgb(64, 64, 64), make_rgb(255, 255, 255));

void ExpectLine(const SliderLine& l, uint32_t colour, std::initializer_list<PixelPoint> points) {
    EXPECT_EQ(l.colour, colour);
    ASSERT_EQ(l.count, static_cast<int>(points.size()));
    int i = 0;
    for (const PixelPoint& p : points) {
        EXPECT_EQ(l.points[i].x, p.x) << "point " << i;
        EXPECT_EQ(l.points[i].y, p.y) << "point " << i;
        ++i;
    }
}

TEST(SliderColours, DerivedFromTheThumbAndSystemColours) {
    EXPECT_EQ(kRed.light1, make_rgb(255, 51, 51));
    EXPECT_EQ(kRed.light2, make_rgb(255, 102, 102));
    EXPECT_EQ(kRed.dark1, make_rgb(204, 0, 0));
    EXPECT_EQ(kRed.dark2, make_rgb(153, 0, 0));
    // (128 - 212) / 2 + 212 = 170, (128 - 208) / 2 + 208 = 168, (128 - 200) / 2 + 200 = 164
    EXPECT_EQ(kRed.shadowMid, make_rgb(170, 168, 164));
    EXPECT_EQ(kRed.darkMid, make_rgb(96, 96, 96));
    EXPECT_EQ(kRed.highlight, make_rgb(255, 255, 255));
}

TEST(SliderColours, LighteningLeavesAnOverflowingComponentAlone) {
    // 250 + 51 would pass 255: kept at 250 (LightenColor would give 255).
    EXPECT_EQ(slider_lighten(make_rgb(250, 10, 0), 51), make_rgb(250, 61, 51));
    EXPECT_EQ(slider_lighten(make_rgb(204, 205, 255), 51), make_rgb(255, 205, 255));
}

TEST(SliderColours, MidColourHalvesWithAnArithmeticShift) {
    // 1 - 4 = -3, shifted right -> -2, + 4 = 2 (truncation would give 3).
    EXPECT_EQ(slider_mid_colour(make_rgb(1, 4, 9), make_rgb(4, 1, 0)), make_rgb(2, 2, 4));
    EXPECT_EQ(slider_mid_colour(make_rgb(0, 0, 0), make_rgb(255, 255, 255)), make_rgb(127, 127, 127));
}

TEST(SliderChannel, OrientationAcceptsBothReportsOfAVerticalChannel) {
    EXPECT_FALSE(slider_channel_vertical({8, 10, 192, 14}, false));
    EXPECT_FALSE(slider_channel_vertical({10, 8, 14, 167}, true));  // tall report, turned back
    EXPECT_FALSE(slider_channel_vertical({8, 10, 167, 14}, true));  // wide report
    EXPECT_TRUE(slider_channel_vertical({10, 8, 14, 167}, false));
}

TEST(SliderChannel, HorizontalChannelFigure) {
    const ChannelFigure f = slider_channel({8, 10, 192, 14}, false, {0, 100, 20, 60}, kRed, 0, false);
    // Range nonzero and horizontal: top +2, bottom -2.
    EXPECT_EQ(f.bevel, (PixelRect{8, 12, 192, 12}));
    EXPECT_TRUE(f.rounded);
    // Grown to (7, 11, 193, 12).
    ExpectLine(f.shadowEdge, kRed.shadowMid, {{7, 10}, {7, 13}, {9, 11}, {191, 11}});
    ExpectLine(f.highlightEdge, kRed.highlight,
               {{8, 11}, {9, 12}, {191, 12}, {191, 11}, {192, 11}, {192, 13}, {190, 11}});
    // L = 4: p0 = 0, p1 = trunc(2.4) = 2, then shrunk by (1, 2, 1, 2).
    ASSERT_TRUE(f.hasSelection);
    EXPECT_EQ(f.selection, (PixelRect{9, 12, 191, 10}));
    EXPECT_EQ(f.markCount, 0);
}

TEST(SliderChannel, VerticalChannelFigureWithMarks) {
    const ChannelFigure f = slider_channel({10, 8, 14, 168}, true, {-12, 12, -6, 6}, kRed, 0, true);
    EXPECT_EQ(f.bevel, (PixelRect{11, 9, 13, 168}));
    EXPECT_TRUE(f.rounded);
    ExpectLine(f.shadowEdge, kRed.shadowMid, {{10, 166}, {10, 10}, {12, 8}, {12, 8}});
    // L = 4 (width): p0 = trunc(6 * 4 / 24) = 1, p1 = trunc(18 * 4 / 24) = 3.
    ASSERT_TRUE(f.hasSelection);
    EXPECT_EQ(f.selection, (PixelRect{13, 10, 11, 167}));
    // Grown channel (10, 8, 14, 168): d = 160 / 7 = 22.
    ASSERT_EQ(f.markCount, 6);
    for (int n = 0; n < 6; ++n)
        ExpectLine(f.marks[n], kRed.highlight, {{10, 8 + 22 * (n + 1)}, {14, 8 + 22 * (n + 1)}});
}

TEST(SliderChannel, ZeroRangeSkipsTheFirstInsetAndTheBand) {
    const ChannelFigure f = slider_channel({0, 0, 100, 4}, false, {0, 0, 0, 5}, kRed, 0, false);
    EXPECT_EQ(f.bevel, (PixelRect{0, 1, 100, 3}));
    EXPECT_FALSE(f.hasSelection);  // M = m: no band, no division
    EXPECT_FALSE(slider_channel({0, 0, 3, 30}, false, {0, 10, 4, 4}, kRed, 0, false).hasSelection);
    EXPECT_FALSE(slider_channel({0, 0, 3, 30}, false, {0, 10, 6, 4}, kRed, 0, false).rounded);  // width 3
}

TEST(SliderChannel, BandEndsTruncateTowardZero) {
    // L = 30, range 0..7, selection 1..5: 30/7 = 4.28 -> 4, 150/7 = 21.4 -> 21.
    EXPECT_EQ(slider_channel({0, 0, 50, 30}, false, {0, 7, 1, 5}, kRed, 0, false).selection,
              (PixelRect{1, 6, 49, 19}));
    // Negative minimum: 5 * 30 / 20 = 7.5 -> 7, 15 * 30 / 20 = 22.5 -> 22.
    EXPECT_EQ(slider_channel({0, 0, 50, 30}, false, {-10, 10, -5, 5}, kRed, 0, false).selection,
              (PixelRect{1, 9, 49, 20}));
}

TEST(SliderThumb, BothSidedThumbOfAHorizontalSlider) {
    const ThumbFigure f = slider_thumb({50, 5, 60, 25}, ThumbShape::Both, true, kRed);
    EXPECT_TRUE(f.rounded);
    EXPECT_EQ(f.frame, (PixelRect{50, 5, 60, 25}));
    EXPECT_EQ(f.bevel, (PixelRect{51, 6, 59, 24}));
    ASSERT_EQ(f.pixelCount, 4);
    EXPECT_EQ(f.pixels[0], (PixelPoint{51, 6}));
    EXPECT_EQ(f.pixelColours[0], kRed.light2);
    EXPECT_EQ(f.pixels[1], (PixelPoint{58, 6}));
    EXPECT_EQ(f.pixelColours[1], kRed.thumb);
    EXPECT_EQ(f.pixels[2], (PixelPoint{58, 23}));
    EXPECT_EQ(f.pixelColours[2], kRed.dark2);
    EXPECT_EQ(f.pixels[3], (PixelPoint{51, 23}));
    EXPECT_EQ(f.pixelColours[3], kRed.thumb);
    // 10 wide: four light lines, three dark ones.
    ASSERT_EQ(f.gripCount, 7);
    const int light[4] = {52, 54, 56, 58};
    for (int i = 0; i < 4; ++i) ExpectLine(f.grip[i], kRed.light1, {{light[i], 11}, {light[i], 19}});
    for (int i = 0; i < 3; ++i) ExpectLine(f.grip[4 + i], kRed.dark2, {{53 + 2 * i, 11}, {53 + 2 * i, 20}});
    ASSERT_EQ(f.gripDotCount, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.gripDots[i], (PixelPoint{light[i], 10}));
}

TEST(SliderThumb, GripDependsOnWidthAndEnabledState) {
    const ThumbFigure nine = slider_thumb({0, 0, 9, 20}, ThumbShape::Both, true, kRed);
    ASSERT_EQ(nine.gripCount, 3);
    ExpectLine(nine.grip[0], kRed.light1, {{2, 6}, {2, 14}});
    ExpectLine(nine.grip[1], kRed.light1, {{4, 6}, {4, 14}});
    ExpectLine(nine.grip[2], kRed.dark2, {{3, 6}, {3, 15}});
    EXPECT_EQ(slider_thumb({0, 0, 6, 20}, ThumbShape::Both, true, kRed).gripCount, 3);
    EXPECT_EQ(slider_thumb({0, 0, 5, 20}, ThumbShape::Both, true, kRed).gripCount, 0);
    EXPECT_EQ(slider_thumb({0, 0, 10, 20}, ThumbShape::Both, false, kRed).gripCount, 0);
    EXPECT_EQ(slider_thumb({0, 0, 10, 20}, ThumbShape::Both, false, kRed).gripDotCount, 0);
}

TEST(SliderThumb, VerticalThumbExchangesXAndY) {
    const ThumbFigure f = slider_thumb({5, 50, 25, 60}, ThumbShape::Both, true, kRed);
    EXPECT_EQ(f.frame, (PixelRect{5, 50, 25, 60}));
    EXPECT_EQ(f.bevel, (PixelRect{6, 51, 24, 59}));
    EXPECT_EQ(f.pixels[0], (PixelPoint{6, 51}));
    EXPECT_EQ(f.pixels[2], (PixelPoint{23, 58}));
    EXPECT_EQ(f.pixelColours[2], kRed.dark2);
    ASSERT_EQ(f.gripCount, 7);
    ExpectLine(f.grip[0], kRed.light1, {{11, 52}, {19, 52}});
    ExpectLine(f.grip[6], kRed.dark2, {{11, 57}, {20, 57}});
    EXPECT_EQ(f.gripDots[3], (PixelPoint{10, 58}));
}

TEST(SliderThumb, PointedThumbs) {
    const ThumbFigure up = slider_thumb({0, 0, 10, 20}, ThumbShape::PointUp, true, kRed);
    EXPECT_FALSE(up.rounded);
    const PixelPoint upPoly[9] = {{0, 4}, {0, 18}, {1, 19}, {8, 19}, {9, 18}, {9, 4}, {5, 0}, {4, 0}, {0, 4}};
    ASSERT_EQ(up.polygonCount, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(up.polygon[i], upPoly[i]) << i;
    EXPECT_EQ(up.floodSeed, (PixelPoint{5, 5}));
    ExpectLine(up.grip[0], kRed.light1, {{2, 7}, {2, 15}});  // r shrunk to (1, 2, 9, 20)

    const ThumbFigure down = slider_thumb({0, 0, 10, 20}, ThumbShape::PointDown, true, kRed);
    const PixelPoint downPoly[9] = {{0, 1}, {0, 15}, {4, 19}, {5, 19}, {9, 15}, {9, 1}, {8, 0}, {0, 0}, {0, 1}};
    ASSERT_EQ(down.polygonCount, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(down.polygon[i], downPoly[i]) << i;
    ASSERT_EQ(down.pixelCount, 1);
    EXPECT_EQ(down.pixels[0], (PixelPoint{1, 1}));
    EXPECT_EQ(down.pixelColours[0], kRed.light2);
    ExpectLine(down.grip[0], kRed.light1, {{2, 5}, {2, 13}});  // r shrunk to (1, 0, 9, 18)
}

}  // namespace
}  // namespace audiomix
