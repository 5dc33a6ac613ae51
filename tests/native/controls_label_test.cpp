// The label's text format, background plan, bitmap tiling, bevel and blink colour.
#include "api/window_rules.h"
#include "controls/colour.h"
#include "controls/label_rules.h"
#include "test_support.h"

namespace audiomix {
namespace {

constexpr uint32_t kSsCenter = 0x1;  // SS_CENTER
constexpr uint32_t kPanel = kSkinBaseColour;

TEST(LabelTextFormat, FollowsTheStaticStyleAndLineBreaksAreCarriageReturnNewLine) {
    // SS_CENTER alone stays left; SS_CENTERIMAGE centres one line both ways
    // (DT_CENTER | DT_VCENTER | DT_SINGLELINE), not a broken one; a custom format wins.
    const struct {
        bool custom;
        uint32_t format, style;
        bool lineBreak;
        uint32_t expect;
    } cases[] = {{false, 0, kSsCenter, false, 0x0u},
                 {false, 0, kSsCenter | kSsCenterImage, false, 0x25u},
                 {false, 0, kSsCenter | kSsCenterImage, true, 0x1u},
                 {true, 0x0810, kSsCenterImage, false, 0x0810u}};
    for (const auto& k : cases)
        EXPECT_EQ(label_text_format(k.custom, k.format, k.style, k.lineBreak), k.expect) << k.style << k.lineBreak;
    EXPECT_TRUE(label_has_line_break(L"一\r\n二"));
    EXPECT_FALSE(label_has_line_break("one\n\rtwo"));
    EXPECT_FALSE(label_has_line_break(static_cast<const char*>(nullptr)));
}

TEST(LabelBackgroundPlan, KindFollowsTransparencyBitmapAndStyle) {
    const PixelRect client{0, 0, 100, 20};
    const struct {
        bool transparent, bitmap;
        int style;
        LabelBackgroundKind kind;
        bool gradient;
    } cases[] = {{false, false, 6, LabelBackgroundKind::Bevel, false},
                 {false, false, 7, LabelBackgroundKind::Gradient, true},
                 {false, true, 16, LabelBackgroundKind::Bitmap, false},
                 {false, true, 17, LabelBackgroundKind::Bitmap, true}};  // a gradient over a bitmap only above 16
    for (const auto& k : cases) {
        const LabelBackground b = label_background(k.transparent, k.bitmap, k.style, 0, kPanel, client);
        EXPECT_EQ(b.kind, k.kind) << k.bitmap << k.style;
        EXPECT_EQ(b.gradient, k.gradient) << k.bitmap << k.style;
    }
    EXPECT_EQ(label_background(true, true, 21, 0, kPanel, client).kind, LabelBackgroundKind::None);
    // Shadow mode: a copy one pixel smaller, offset by one.
    const LabelBackground b = label_background(false, false, 21, 1, kPanel, client);
    ASSERT_TRUE(b.shadow);
    EXPECT_EQ(b.gradientRect, (PixelRect{0, 0, 99, 19}));
    EXPECT_EQ(b.shadowRect, (PixelRect{1, 1, 100, 20}));
}

TEST(LabelTiles, OnceWhenTheBitmapCoversTheLabelOtherwiseTiled) {
    EXPECT_EQ(label_tiles(50, 20, 100, 50).count(), 1);
    // Not as tall as the label: tiled like the dialogs.
    EXPECT_EQ(label_tiles(200, 100, 100, 50).count(), tile_grid(200, 100, 100, 50).count());
    EXPECT_EQ(label_tiles(100, 100, 0, 50).count(), 0);
}

TEST(LabelLook, BevelEdgesAndTheBlinkingText) {
    const uint32_t base = make_rgb(100, 100, 100);
    testing::Canvas c(30, 20);
    label_bevel({0, 0, 30, 20}, 2, base, c);  // raised: light top left, dark bottom right
    EXPECT_GT(c.at(1, 1) & 0xFF, base & 0xFF);
    EXPECT_LT(c.at(15, 18) & 0xFF, base & 0xFF);
    EXPECT_EQ(c.at(2, 10), base);
    label_bevel({0, 0, 30, 20}, 4, base, c);  // sunken: the other way round
    EXPECT_LT(c.at(0, 0) & 0xFF, base & 0xFF);
    EXPECT_GT(c.at(15, 19) & 0xFF, base & 0xFF);
    const uint32_t text = make_rgb(2, 2, 2);
    EXPECT_EQ(label_text_colour(1, 0, text, kPanel), kPanel);  // dark phase: the text vanishes
    EXPECT_EQ(label_text_colour(1, 1, text, kPanel), text);
    EXPECT_EQ(label_text_colour(2, 0, text, kPanel), text);  // a blinking background keeps its text
}

}  // namespace
}  // namespace audiomix
