// The label's text format, background plan, bitmap tiling, bevel and blink colour.
#include "controls/colour.h"
#include "controls/label_rules.h"
#include "test_support.h"

namespace audiomix {
namespace {

constexpr uint32_t kSsCenter = 0x1;  // SS_CENTER
constexpr uint32_t kPanel = make_rgb(6, 76, 98);

TEST(LabelTextFormat, FollowsTheStaticStyle) {
    // {custom, custom format, static style, line break, DT_ format}: SS_CENTER alone stays left;
    // SS_CENTERIMAGE centres one line both ways (DT_CENTER | DT_VCENTER | DT_SINGLELINE), not a
    // broken one; a custom format wins.
    const struct {
        bool custom;
        uint32_t format, style;
        bool lineBreak;
        uint32_t expect;
    } cases[] = {{false, 0, 0, false, 0x0u},
                 {false, 0, kSsRight, false, 0x2u},
                 {false, 0, kSsCenter, false, 0x0u},
                 {false, 0, kSsCenter | kSsCenterImage, false, 0x25u},
                 {false, 0, kSsCenter | kSsCenterImage, true, 0x1u},
                 {false, 0, kSsRight | kSsCenterImage, false, 0x25u},
                 {true, 0x0810, kSsCenterImage, false, 0x0810u},
                 {true, 0, kSsRight, false, 0u}};
    for (const auto& k : cases)
        EXPECT_EQ(label_text_format(k.custom, k.format, k.style, k.lineBreak), k.expect) << k.style << k.lineBreak;
}

TEST(LabelTextFormat, LineBreakMeansCarriageReturnThenNewLine) {
    EXPECT_TRUE(label_has_line_break("one\r\ntwo"));
    EXPECT_TRUE(label_has_line_break(L"一\r\n二"));
    EXPECT_FALSE(label_has_line_break("one\ntwo"));
    EXPECT_FALSE(label_has_line_break("one\n\rtwo"));
    EXPECT_FALSE(label_has_line_break("ends\r"));
    EXPECT_FALSE(label_has_line_break(""));
    EXPECT_FALSE(label_has_line_break(static_cast<const char*>(nullptr)));
}

TEST(LabelBackgroundPlan, KindFollowsTransparencyBitmapAndStyle) {
    const PixelRect client{0, 0, 420, 34};
    // {transparent, bitmap, style, kind, a gradient drawn}
    const struct {
        bool transparent, bitmap;
        int style;
        LabelBackgroundKind kind;
        bool gradient;
    } cases[] = {{true, true, 21, LabelBackgroundKind::None, true},      {false, false, 0, LabelBackgroundKind::Solid, false},
                 {false, false, 1, LabelBackgroundKind::Bevel, false},   {false, false, 6, LabelBackgroundKind::Bevel, false},
                 {false, false, 7, LabelBackgroundKind::Gradient, true}, {false, true, 0, LabelBackgroundKind::Bitmap, false},
                 {false, true, 16, LabelBackgroundKind::Bitmap, false},  {false, true, 17, LabelBackgroundKind::Bitmap, true}};
    for (const auto& k : cases) {
        const LabelBackground b = label_background(k.transparent, k.bitmap, k.style, 0, kPanel, client);
        EXPECT_EQ(b.kind, k.kind) << k.transparent << k.bitmap << k.style;
        if (k.kind != LabelBackgroundKind::None) {
            EXPECT_EQ(b.gradient, k.gradient) << k.bitmap << k.style;  // over a bitmap only above 16
        }
    }
}

TEST(LabelBackgroundPlan, ShadowModeOffsetsAShrunkCopy) {
    const PixelRect client{0, 0, 100, 20};
    const LabelBackground b = label_background(false, false, 21, 1, kPanel, client);
    ASSERT_TRUE(b.shadow);
    EXPECT_EQ(b.gradientRect, (PixelRect{0, 0, 99, 19}));
    EXPECT_EQ(b.shadowRect, (PixelRect{1, 1, 100, 20}));
    EXPECT_EQ(b.shadowColour, 0x000000u);
    EXPECT_EQ(label_background(false, false, 57, 1, kPanel, client).shadowColour, kPanel);
    EXPECT_FALSE(label_background(false, false, 0, 1, kPanel, client).shadow);
}

TEST(LabelTiles, OnceWhenTheBitmapCoversTheLabelOtherwiseTiled) {
    EXPECT_EQ(label_tiles(50, 20, 100, 50).count(), 1);
    // Not as tall as the label: tiled like the dialogs, an exact multiple with its extra copy.
    const TileGrid exact = label_tiles(200, 100, 100, 50);
    EXPECT_EQ(exact.columns, 3);
    EXPECT_EQ(exact.rows, 3);
    EXPECT_EQ(label_tiles(100, 100, 0, 50).count(), 0);
}

TEST(LabelBevel, RaisedAndSunkenEdges) {
    const uint32_t base = make_rgb(100, 100, 100), light = make_rgb(164, 164, 164), dark = make_rgb(36, 36, 36);
    testing::Canvas c(30, 20);
    label_bevel({0, 0, 30, 20}, 2, base, c);  // raised, two pixels
    EXPECT_EQ((std::vector<uint32_t>{c.at(0, 0), c.at(1, 1), c.at(15, 19), c.at(15, 18), c.at(29, 10), c.at(2, 10)}),
              (std::vector<uint32_t>{light, light, dark, dark, dark, base}));
    label_bevel({0, 0, 30, 20}, 4, base, c);  // sunken, one pixel
    EXPECT_EQ((std::vector<uint32_t>{c.at(0, 0), c.at(1, 1), c.at(15, 19)}), (std::vector<uint32_t>{dark, base, light}));
}

TEST(LabelText, EmbossAndBlink) {
    EXPECT_EQ(label_emboss_offset(1), (PixelPoint{1, 1}));
    EXPECT_EQ(label_emboss_offset(0), (PixelPoint{-1, -1}));
    const uint32_t text = make_rgb(2, 2, 2);
    EXPECT_EQ(label_text_colour(1, 0, text, kPanel), kPanel);  // dark phase: the text vanishes
    EXPECT_EQ(label_text_colour(1, 1, text, kPanel), text);
    EXPECT_EQ(label_text_colour(2, 0, text, kPanel), text);  // a blinking background keeps its text
    EXPECT_EQ(label_text_colour(0, 0, text, kPanel), text);
}

}  // namespace
}  // namespace audiomix
