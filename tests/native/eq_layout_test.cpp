#include "window/eq_layout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "controls/colour.h"
#include "model/eq_rules.h"
#include "dsp/eq_tables.h"

namespace audiomix {
namespace {

// Template 1017 at 1.5 px per dialog unit, the page at screen (300, 200):
// group box 4,31 268 x 142 units is (6, 47) 402 x 213 px in the page; band
// slider 12 x 56 units is 18 x 84 px (m_sliderWidth 22); label 24 x 15 px.
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
    // W = 22 + 4, H = 84 + 26; STEP = (402 - 40) / 10 = 36;
    // X0 = 20 + 6 + 36 / 4 = 35; Y0 = 47 + (213 - 15 - 110) / 2 = 91.
    EXPECT_EQ(l.rows, 1);
    EXPECT_EQ(l.bands[0].slider, (PixelRect{35, 91, 61, 201}));
    EXPECT_EQ(l.bands[9].slider, (PixelRect{35 + 9 * 36, 91, 35 + 9 * 36 + 26, 201}));
    // Label x: (24 - 26) / 3 truncates to 0 (a floor would give -1), minus 2;
    // y = 91 + 110 - 4.
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
    // Y0 = 47 + (213 - 2 * 99) / 2 = 54; the second row at 54 + 99.
    ASSERT_EQ(l.rows, 2);
    for (int32_t i = 0; i < 25; ++i) {
        const int32_t row = i < 13 ? 0 : 1, column = i - 13 * row;
        EXPECT_EQ(l.bands[i].row, row) << i;
        EXPECT_EQ(l.bands[i].column, column) << i;
        EXPECT_EQ(l.bands[i].slider.left, 39 + 27 * column) << i;
        EXPECT_EQ(l.bands[i].slider.top, row ? 153 : 54) << i;
    }
    EXPECT_EQ(l.bands[13].slider, (PixelRect{39, 153, 61, 237}));
    EXPECT_EQ(l.bands[13].label, (PixelRect{37, 233, 61, 248}));
    // The lower scale at the same offsets from 153: +4, 42 - 6, 84 - 12.
    EXPECT_EQ(l.scale[1].plus20, (PixelRect{8, 157, 28, 169}));
    EXPECT_EQ(l.scale[1].zero, (PixelRect{8, 189, 28, 201}));
    EXPECT_EQ(l.scale[1].minus20, (PixelRect{8, 225, 28, 237}));
}

TEST(EqLayout, ButtonsBeyondTenNeedFullRateAndIdsFollowTheTemplate) {
    for (int32_t rate : {11025, 22050, 44100, 48000})
        for (int32_t n : {10, 15, 25, 31})
            EXPECT_EQ(eq_band_count_enabled(n, rate), n == 10 || rate > 40000) << n << " " << rate;
    EXPECT_FALSE(eq_band_count_enabled(20, 48000));
    // Sliders 1020 on; labels 1001 and 1002, then 1052 on.
    EXPECT_EQ(eq_band_slider_id(0), 1020);
    EXPECT_EQ(eq_band_slider_id(31), 1051);
    const int32_t labels[][2] = {{0, 1001}, {1, 1002}, {2, 1052}, {30, 1080}};
    for (const auto& l : labels) EXPECT_EQ(eq_band_label_id(l[0]), l[1]) << l[0];
}

TEST(EqLayout, ThirtyOneBandColoursByCentre) {
    EqBandLook looks[kEqLayoutMaxBands];
    ASSERT_EQ(eq_layout_looks(eq_table_for(31, 44100), 31, looks), 31);
    EXPECT_STREQ(looks[0].caption, "20");
    EXPECT_STREQ(looks[15].caption, "630");
    EXPECT_STREQ(looks[30].caption, "20K");
    const auto expect = [&](int band, uint32_t text, uint32_t channel, uint32_t selection) {
        EXPECT_EQ(looks[band].colours.text, text) << band;
        EXPECT_EQ(looks[band].colours.channel, channel) << band;
        EXPECT_EQ(looks[band].colours.selection, selection) << band;
    };
    // 20 Hz to 630 Hz green, shades 60, 56, ..., 0; 800 Hz to 3.15 kHz blue;
    // 4 to 6.3 kHz red; 8 kHz and above white; each group counts from 0.
    for (uint32_t k = 0, s = 60; k < 16; ++k, s -= 4) expect(k, 0x0020FF20u, make_rgb(s, 255, s), make_rgb(s, s, 255));
    for (uint32_t k = 0, s = 90; k < 7; ++k, s -= 10)
        expect(16 + k, 0x00FF0000u, make_rgb(s, s, 255), make_rgb(255, s - 30, s - 30));
    for (uint32_t k = 0, s = 90; k < 3; ++k, s -= 10)
        expect(23 + k, 0x000000FFu, make_rgb(255, s, s), make_rgb(s, 255, s));
    for (uint32_t k = 0, s = 225; k < 5; ++k, s -= 10)
        expect(26 + k, 0x00FFFFFFu, make_rgb(s, s, s), make_rgb(s - 165, 225, 225));
}

TEST(EqLayout, CountersRestartPerGroupAndShadesWrapAsBytes) {
    // 11025 Hz: 31..500 low, 1K 2K 3K mid, 4K 5.5K red.
    EqBandLook looks[kEqLayoutMaxBands];
    ASSERT_EQ(eq_layout_looks(eq_table_for(10, 11025), 10, looks), 10);
    EXPECT_STREQ(looks[9].caption, "5.5K");
    EXPECT_EQ(looks[7].colours.channel, make_rgb(70, 70, 255));  // 3K, k = 2
    EXPECT_EQ(looks[7].colours.selection, make_rgb(255, 40, 40));
    EXPECT_EQ(looks[9].colours.channel, make_rgb(255, 80, 80));  // 5.5K, k = 1
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
    EXPECT_STREQ(shown.bands[17].label, "1K");
    EXPECT_EQ(eq_layout_table(nullptr, 15).bandCount, 15);
    // Never reads past a shorter table.
    EqBandLook looks[kEqLayoutMaxBands];
    EXPECT_EQ(eq_layout_looks(t22, 31, looks), 10);
}

}  // namespace
}  // namespace audiomix
