#include "window/eq_layout.h"

#include <gtest/gtest.h>

#include "controls/colour.h"
#include "dsp/eq_tables.h"
#include "model/eq_rules.h"

namespace audiomix {
namespace {

// Template 1017 at 1.5 px per dialog unit, the page at screen (300, 200):
// the group box is (6, 47) 402 x 213 px in the page, a band slider 18 x 84
// px (22 with its margin), a label 24 x 15 px.
EqLayoutInput measured(int32_t bands) {
    return {bands, {300, 200, 713, 461}, {306, 247, 708, 460}, 24, 15, 18 + 4, 84};
}
constexpr PixelRect kGroup{6, 47, 408, 260};

bool inside(const PixelRect& r, const PixelRect& outer) {
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

// First and last slider worked out by hand: a margin of 20 (15 for 15 and 31
// bands) each side, the pitch the rest over the bands of a row, centred
// vertically; ten bands get sliders 4 wider and 26 taller.
TEST(EqLayout, EachBandCountPlacesItsSlidersInsideTheGroupBox) {
    const struct {
        int32_t bands, rows;
        PixelRect first, last;
    } cases[] = {{10, 1, {35, 91, 61, 201}, {359, 91, 385, 201}},
                 {15, 1, {27, 104, 49, 188}, {363, 104, 385, 188}},
                 {25, 2, {39, 54, 61, 138}, {336, 153, 358, 237}},
                 {31, 2, {32, 54, 54, 138}, {354, 153, 376, 237}}};
    for (const auto& c : cases) {
        const EqBandLayout l = eq_layout_bands(measured(c.bands));
        EXPECT_EQ(l.rows, c.rows) << c.bands;
        EXPECT_EQ(l.bands[0].slider, c.first) << c.bands;
        EXPECT_EQ(l.bands[c.bands - 1].slider, c.last) << c.bands;
        for (int32_t i = 0; i < c.bands; ++i) {
            const EqBandPlace& b = l.bands[i];
            EXPECT_TRUE(inside(b.slider, kGroup) && inside(b.label, kGroup)) << c.bands << " band " << i;
            // The label overlaps the slider's foot, centred under it.
            EXPECT_EQ(b.label.top, b.slider.bottom - 4) << c.bands << " band " << i;
            EXPECT_LE(b.label.left, b.slider.left) << c.bands << " band " << i;
            if (i > 0 && l.bands[i - 1].row == b.row) {
                EXPECT_GT(b.slider.left, l.bands[i - 1].slider.right) << c.bands << " band " << i;
            }
        }
    }
    // The scale beside the ten-band row: +20 level with the sliders' top, -20 with their foot.
    const EqScalePlace s = eq_layout_bands(measured(10)).scale[0];
    EXPECT_TRUE(s.plus20.top < s.zero.top && s.zero.bottom < s.minus20.bottom && s.minus20.bottom == 201);
}

TEST(EqLayout, ButtonsBeyondTenNeedFullRate) {
    for (int32_t rate : {11025, 22050, 44100, 48000})
        for (int32_t n : {10, 15, 25, 31})
            EXPECT_EQ(eq_band_count_enabled(n, rate), n == 10 || rate > 40000) << n << " " << rate;
    EXPECT_FALSE(eq_band_count_enabled(20, 48000));
}

TEST(EqLayout, BandsAreColouredByCentreAndShadedWithinTheirGroup) {
    const struct {
        float centre;
        EqColourGroup group;
    } bounds[] = {{799.9f, EqColourGroup::Low},
                  {800.0f, EqColourGroup::Mid},
                  {4000.0f, EqColourGroup::High},
                  {8000.0f, EqColourGroup::Top}};
    for (const auto& b : bounds) EXPECT_EQ(eq_colour_group(b.centre), b.group) << b.centre;
    // The first band of each group: green, blue, red and white channels; shades step down per
    // band and wrap as bytes (60 - 64 is 252).
    EXPECT_EQ(eq_group_colours(EqColourGroup::Low, 0).channel, make_rgb(60, 255, 60));
    EXPECT_EQ(eq_group_colours(EqColourGroup::Mid, 0).channel, make_rgb(90, 90, 255));
    EXPECT_EQ(eq_group_colours(EqColourGroup::Low, 16).channel, make_rgb(252, 255, 252));

    // 31 bands: 20 Hz .. 630 Hz low, 800 Hz .. 3.15 kHz mid, 4 .. 6.3 kHz high,
    // 8 kHz on top; each group counts its bands from 0.
    EqBandLook looks[kEqLayoutMaxBands];
    ASSERT_EQ(eq_layout_looks(eq_table_for(31, 44100), 31, looks), 31);
    const struct {
        int band;
        const char* caption;
        EqColourGroup group;
        int k;
    } bands[] = {{0, "20", EqColourGroup::Low, 0},   {15, "630", EqColourGroup::Low, 15},
                 {16, "800", EqColourGroup::Mid, 0}, {22, "3.15K", EqColourGroup::Mid, 6},
                 {23, "4K", EqColourGroup::High, 0}, {26, "8K", EqColourGroup::Top, 0},
                 {30, "20K", EqColourGroup::Top, 4}};
    for (const auto& b : bands) {
        EXPECT_STREQ(looks[b.band].caption, b.caption);
        const EqBandColours want = eq_group_colours(b.group, b.k);
        EXPECT_EQ(looks[b.band].colours.channel, want.channel) << b.caption;
        EXPECT_EQ(looks[b.band].colours.text, want.text) << b.caption;
    }
}

TEST(EqLayout, CaptionsComeFromTheLayoutsTable) {
    const EqCoefTable& t22 = eq_table_for(10, 22050);
    EXPECT_EQ(&eq_layout_table(&t22, 10), &t22);
    // A 10-band table running under a 31-band layout: the layout's captions.
    const EqCoefTable& shown = eq_layout_table(&eq_table_for(10, 11025), 31);
    EXPECT_EQ(shown.bandCount, 31);
    EXPECT_STREQ(shown.bands[17].label, "1K");
    // Never reads past a shorter table.
    EqBandLook looks[kEqLayoutMaxBands];
    EXPECT_EQ(eq_layout_looks(t22, 31, looks), 10);
}

}  // namespace
}  // namespace audiomix
