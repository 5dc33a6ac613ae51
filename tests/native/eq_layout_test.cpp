#include "eqpage/eq_layout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "controls/colour.h"
#include "dsp/eq_tables.h"

namespace audiomix {
namespace {

// Template 1017 at 6 x 12 dialog base units (1.5 px per unit both ways),
// with the page at screen (300, 200): group box 4,31 268 x 142 units is
// (6, 47) 402 x 213 px in the page; band slider 12 x 56 units is 18 x 84 px,
// so the page measures m_sliderWidth 22; frequency label 16 x 10 units is
// 24 x 15 px.
EqLayoutInput measured(int32_t bands) {
    EqLayoutInput in{};
    in.bandCount = bands;
    in.page = {300, 200, 713, 461};
    in.group = {306, 247, 708, 460};
    in.labelWidth = 24;
    in.labelHeight = 15;
    in.sliderWidth = 18 + 4;
    in.sliderHeight = 84;
    return in;
}

TEST(EqLayout, TenBandsOneRowOfBiggerSliders) {
    const EqBandLayout l = eq_layout_bands(measured(10));
    // W = 22 + 4 = 26 (8 px over the 18 px slider), H = 84 + 26 = 110;
    // STEP = (402 - 40) / 10 = 36; X0 = 20 + 6 + 36 / 4 = 35;
    // Y0 = 47 + (213 - 15 - 110) / 2 = 91.
    EXPECT_EQ(l.rows, 1);
    EXPECT_EQ(l.bands[0].slider, (PixelRect{35, 91, 61, 201}));
    EXPECT_EQ(l.bands[0].slider.width() - 18, 8);
    EXPECT_EQ(l.bands[0].slider.height() - 84, 26);
    EXPECT_EQ(l.bands[9].slider, (PixelRect{35 + 9 * 36, 91, 35 + 9 * 36 + 26, 201}));
    // Label 2 px narrower than the slider: (24 - 26) / 3 truncates to 0 (a
    // floor would give -1, x 34); y = 91 + 110 - 4.
    EXPECT_EQ(l.bands[0].label, (PixelRect{33, 197, 57, 212}));
    // Scale: +20 at Y0 + 4, 0 at Y0 + 55 - 6, -20 at Y0 + 110 - 12.
    EXPECT_EQ(l.scale[0].plus20, (PixelRect{8, 95, 28, 107}));
    EXPECT_EQ(l.scale[0].zero, (PixelRect{8, 140, 28, 152}));
    EXPECT_EQ(l.scale[0].minus20, (PixelRect{8, 189, 28, 201}));
}

TEST(EqLayout, FifteenAndThirtyOneBandsKeepTheMeasuredSize) {
    // 15: STEP = (402 - 30) / 15 = 24; X0 = 15 + 6 + 24 / 4 = 27;
    // Y0 = 47 + (213 - 15 - 84) / 2 = 104; label x - 0 - 2, y + 84 - 4.
    const EqBandLayout l15 = eq_layout_bands(measured(15));
    EXPECT_EQ(l15.rows, 1);
    EXPECT_EQ(l15.bands[14].slider, (PixelRect{363, 104, 385, 188}));
    EXPECT_EQ(l15.bands[14].label, (PixelRect{361, 184, 385, 199}));
    // 31: K = 16, STEP = 372 / 16 = 23; X0 = 15 + 6 + 23 / 2 = 32; rows at
    // 54 and 153 (as for 25 bands).
    const EqBandLayout l31 = eq_layout_bands(measured(31));
    EXPECT_EQ(l31.bands[15].slider, (PixelRect{377, 54, 399, 138}));
    EXPECT_EQ(l31.bands[16].slider, (PixelRect{32, 153, 54, 237}));
    EXPECT_EQ(l31.bands[30].slider.left, 32 + 14 * 23);
}

TEST(EqLayout, TwentyFiveBandsRowsOfThirteenAndTwelve) {
    const EqBandLayout l = eq_layout_bands(measured(25));
    // K = 13: STEP = 362 / 13 = 27 (27.8); X0 = 20 + 6 + 27 / 2 = 39;
    // Y0 = 47 + (213 - 2 * 99) / 2 = 47 + 7 = 54; row 1 at 54 + 99 = 153.
    ASSERT_EQ(l.rows, 2);
    for (int32_t i = 0; i < 25; ++i) {
        SCOPED_TRACE(i);
        const int32_t row = i < 13 ? 0 : 1;
        const int32_t column = i - 13 * row;
        EXPECT_EQ(l.bands[i].row, row);
        EXPECT_EQ(l.bands[i].column, column);
        EXPECT_EQ(l.bands[i].slider.left, 39 + 27 * column);
        EXPECT_EQ(l.bands[i].slider.top, row ? 153 : 54);
    }
    EXPECT_EQ(l.bands[13].slider, (PixelRect{39, 153, 61, 237}));
    EXPECT_EQ(l.bands[13].label, (PixelRect{37, 233, 61, 248}));
    // Lower scale labels at the same offsets from 153: +4, 42 - 6, 84 - 12.
    EXPECT_EQ(l.scale[1].plus20, (PixelRect{8, 157, 28, 169}));
    EXPECT_EQ(l.scale[1].zero, (PixelRect{8, 189, 28, 201}));
    EXPECT_EQ(l.scale[1].minus20, (PixelRect{8, 225, 28, 237}));
}

TEST(EqLayout, ButtonsBeyondTenNeedFullRate) {
    for (int32_t rate : {11025, 22050, 44100, 48000}) {
        for (int32_t n : {10, 15, 25, 31})
            EXPECT_EQ(eq_band_count_enabled(n, rate), n == 10 || rate > 40000) << n << " " << rate;
    }
    EXPECT_FALSE(eq_band_count_enabled(20, 48000));
}

TEST(EqLayout, ThirtyOneBandColoursByCentre) {
    EqBandLook looks[kEqLayoutMaxBands];
    ASSERT_EQ(eq_layout_looks(eq_table_for(31, 44100), 31, looks), 31);
    EXPECT_STREQ(looks[0].caption, "20");
    EXPECT_STREQ(looks[15].caption, "630");
    EXPECT_STREQ(looks[30].caption, "20K");

    // 20 Hz to 630 Hz green, shades 60, 56, ..., 0; 800 Hz to 3.15 kHz blue;
    // 4 to 6.3 kHz red; 8 kHz and above white.
    for (uint32_t k = 0; k < 16; ++k) {
        const EqBandColours& c = looks[k].colours;
        const uint32_t s = 60 - 4 * k;
        EXPECT_EQ(c.text, 0x0020FF20u) << k;
        EXPECT_EQ(c.channel, make_rgb(s, 255, s)) << k;
        EXPECT_EQ(c.selection, make_rgb(s, s, 255)) << k;
    }
    EXPECT_EQ(looks[15].colours.channel, 0x0000FF00u);
    for (uint32_t k = 0; k < 7; ++k) {
        const EqBandColours& c = looks[16 + k].colours;
        EXPECT_EQ(c.text, 0x00FF0000u) << k;
        EXPECT_EQ(c.channel, make_rgb(90 - 10 * k, 90 - 10 * k, 255)) << k;
        EXPECT_EQ(c.selection, make_rgb(255, 60 - 10 * k, 60 - 10 * k)) << k;
    }
    for (uint32_t k = 0; k < 3; ++k) {
        const EqBandColours& c = looks[23 + k].colours;
        EXPECT_EQ(c.text, 0x000000FFu) << k;
        EXPECT_EQ(c.channel, make_rgb(255, 90 - 10 * k, 90 - 10 * k)) << k;
        EXPECT_EQ(c.selection, make_rgb(90 - 10 * k, 255, 90 - 10 * k)) << k;
    }
    for (uint32_t k = 0; k < 5; ++k) {
        const EqBandColours& c = looks[26 + k].colours;
        EXPECT_EQ(c.text, 0x00FFFFFFu) << k;
        EXPECT_EQ(c.channel, make_rgb(225 - 10 * k, 225 - 10 * k, 225 - 10 * k)) << k;
        EXPECT_EQ(c.selection, make_rgb(60 - 10 * k, 225, 225)) << k;
    }
}

TEST(EqLayout, CountersRestartPerGroupAndShadesWrapAsBytes) {
    // 11025 Hz: 31..500 low, 1K 2K 3K mid, 4K 5.5K red.
    EqBandLook looks[kEqLayoutMaxBands];
    ASSERT_EQ(eq_layout_looks(eq_table_for(10, 11025), 10, looks), 10);
    EXPECT_STREQ(looks[9].caption, "5.5K");
    EXPECT_EQ(looks[7].colours.channel, make_rgb(70, 70, 255));     // 3K, k = 2
    EXPECT_EQ(looks[7].colours.selection, make_rgb(255, 40, 40));
    EXPECT_EQ(looks[9].colours.channel, make_rgb(255, 80, 80));     // 5.5K, k = 1
    EXPECT_EQ(looks[9].colours.selection, make_rgb(80, 255, 80));

    // 60 - 64 = -4 -> 252; 60 - 70 = -10 -> 246; 225 - 230 = -5 -> 251.
    EXPECT_EQ(eq_group_colours(EqColourGroup::Low, 16).channel, make_rgb(252, 255, 252));
    EXPECT_EQ(eq_group_colours(EqColourGroup::Mid, 7).selection, make_rgb(255, 246, 246));
    EXPECT_EQ(eq_group_colours(EqColourGroup::Top, 23).channel, make_rgb(251, 251, 251));
    EXPECT_EQ(eq_colour_group(799.9f), EqColourGroup::Low);
    EXPECT_EQ(eq_colour_group(800.0f), EqColourGroup::Mid);
    EXPECT_EQ(eq_colour_group(8000.0f), EqColourGroup::Top);
}

TEST(EqLayout, CaptionsComeFromTheLayoutsTable) {
    const EqCoefTable& t22 = eq_table_for(10, 22050);
    EXPECT_EQ(&eq_layout_table(&t22, 10), &t22);
    // A 10-band table running under a 31-band layout: the layout's captions.
    const EqCoefTable& shown = eq_layout_table(&eq_table_for(10, 11025), 31);
    EXPECT_EQ(shown.bandCount, 31);
    EXPECT_EQ(std::strcmp(shown.bands[17].label, "1K"), 0);
    EXPECT_EQ(eq_layout_table(nullptr, 15).bandCount, 15);
    // Never reads past a shorter table.
    EqBandLook looks[kEqLayoutMaxBands];
    EXPECT_EQ(eq_layout_looks(t22, 31, looks), 10);
}

TEST(EqLayout, ControlIds) {
    EXPECT_EQ(eq_band_slider_id(0), 1020);
    EXPECT_EQ(eq_band_slider_id(31), 1051);
    EXPECT_EQ(eq_band_label_id(0), 1001);
    EXPECT_EQ(eq_band_label_id(1), 1002);
    EXPECT_EQ(eq_band_label_id(2), 1052);
    EXPECT_EQ(eq_band_label_id(30), 1080);
}

}  // namespace
}  // namespace audiomix
