// The combo box's item paint: background kind and colour, highlight, text
// passes and frame, the pixels the fills leave, and the colour archive.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/colour.h"
#include "controls/combo_rules.h"

namespace audiomix {
namespace {

constexpr uint32_t kSkin = make_rgb(6, 76, 98);
constexpr uint32_t kUnpainted = 0xFF000000u;

// The look the equaliser page gives its preset box.
ComboLook page_look() {
    ComboLook look;
    look.textEffect = kComboTextDarkShadow;
    look.backgroundStyle = 21;
    look.highlight = make_rgb(255, 105, 255);
    look.text = make_rgb(255, 255, 0);
    look.background = kSkin;
    return look;
}

// The fills of one paint replayed onto a w x h canvas at the origin.
struct Canvas {
    Canvas(int width, int height) : w(width), h(height), pixels(static_cast<size_t>(width * height), kUnpainted) {}
    void fill(const SolidFill& f) {
        for (int y = f.rect.top; y < f.rect.bottom; ++y)
            for (int x = f.rect.left; x < f.rect.right; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) pixels[static_cast<size_t>(y * w + x)] = f.colour;
    }
    void paint(const ComboItemPaint& p) {
        combo_face_fills(p, [this](const SolidFill& f) { fill(f); });
        combo_frame_fills(p, [this](const SolidFill& f) { fill(f); });
    }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * w + x)]; }
    int w, h;
    std::vector<uint32_t> pixels;
};

TEST(ComboItemPaint, ThePageLookDrawsAGradientFaceShadowedTextAndAHighlightWhenSelected) {
    const PixelRect item{0, 0, 100, 16};
    const ComboItemPaint p = combo_item_paint(page_look(), item, 3, false);
    EXPECT_EQ(p.backgroundKind, ComboBackgroundKind::Gradient);
    EXPECT_EQ(p.backgroundRect, item);
    // RGB(6, 76, 98) lifted twice by 51.
    EXPECT_EQ(p.backgroundColour, make_rgb(108, 178, 200));
    EXPECT_EQ(p.backgroundStyle, 21);
    EXPECT_FALSE(p.highlighted);
    ASSERT_EQ(p.textPassCount, 2);
    // The dark copy in the item shrunk by 3 sideways, the text one pixel
    // further out on every side (so it stands one pixel left of its copy).
    EXPECT_EQ(p.textPasses[0].rect, (PixelRect{3, 0, 97, 16}));
    EXPECT_EQ(p.textPasses[0].colour, make_rgb(32, 32, 32));
    EXPECT_EQ(p.textPasses[1].rect, (PixelRect{2, -1, 98, 17}));
    EXPECT_EQ(p.textPasses[1].colour, make_rgb(255, 255, 0));
    EXPECT_EQ(p.frame, item);

    // Selected: the inverse highlight under lifted text; the shadow stays.
    const ComboItemPaint s = combo_item_paint(page_look(), {10, 20, 110, 36}, 0, true);
    EXPECT_TRUE(s.highlighted);
    EXPECT_EQ(s.highlightColour, make_rgb(0, 150, 0));
    EXPECT_EQ(s.textPasses[0].colour, make_rgb(32, 32, 32));
    EXPECT_EQ(s.textPasses[1].colour, make_rgb(255, 255, 92));
    EXPECT_EQ(s.textPasses[1].rect, (PixelRect{12, 19, 108, 37}));
}

TEST(ComboItemPaint, TextEffectsChooseTheirPasses) {
    ComboLook look;  // defaults: plain black text on white, highlight grey
    const PixelRect item{0, 0, 50, 12};
    ComboItemPaint p = combo_item_paint(look, item, 0, false);
    ASSERT_EQ(p.textPassCount, 1);
    EXPECT_EQ(p.textPasses[0].rect, (PixelRect{2, -1, 48, 13}));
    EXPECT_EQ(p.textPasses[0].colour, make_rgb(0, 0, 0));

    look.textEffect = kComboTextWhiteShadow;
    p = combo_item_paint(look, item, 0, true);
    ASSERT_EQ(p.textPassCount, 2);
    EXPECT_EQ(p.textPasses[0].colour, make_rgb(255, 255, 255));
    EXPECT_EQ(p.textPasses[1].colour, make_rgb(92, 92, 92));  // black lifted by 92
    EXPECT_EQ(p.highlightColour, make_rgb(63, 63, 63));       // inverse of 192 grey

    look.textEffect = 7;  // unknown: plain rather than nothing
    p = combo_item_paint(look, item, 0, false);
    ASSERT_EQ(p.textPassCount, 1);
    EXPECT_EQ(p.textPasses[0].rect, (PixelRect{2, -1, 48, 13}));
}

TEST(ComboItemPaint, TheEmptySelectionFieldHasBackgroundAndFrameButNoText) {
    const PixelRect item{0, 0, 30, 10};
    const ComboItemPaint p = combo_item_paint(page_look(), item, -1, false);
    EXPECT_EQ(p.textPassCount, 0);
    Canvas canvas(30, 10);
    canvas.paint(p);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x) EXPECT_NE(canvas.at(x, y), kUnpainted) << x << "," << y;
    EXPECT_EQ(canvas.at(0, 0), make_rgb(0, 0, 0));
    EXPECT_EQ(canvas.at(29, 9), make_rgb(0, 0, 0));
}

TEST(ComboItemPaint, BackgroundKindFollowsTheStyle) {
    ComboLook look;
    look.background = make_rgb(40, 50, 60);
    const PixelRect item{0, 0, 40, 14};
    look.backgroundStyle = 0;
    ComboItemPaint p = combo_item_paint(look, item, 0, false);
    EXPECT_EQ(p.backgroundKind, ComboBackgroundKind::Solid);
    EXPECT_EQ(p.backgroundRect, (PixelRect{1, 1, 39, 13}));
    EXPECT_EQ(p.backgroundColour, make_rgb(40, 50, 60));
    for (int style : {1, 6}) {
        look.backgroundStyle = style;
        p = combo_item_paint(look, item, 0, false);
        EXPECT_EQ(p.backgroundKind, ComboBackgroundKind::Bevel) << style;
        EXPECT_EQ(p.backgroundRect, item);
        EXPECT_EQ(p.backgroundColour, make_rgb(40, 50, 60));
    }
    look.backgroundStyle = 7;
    p = combo_item_paint(look, item, 0, false);
    EXPECT_EQ(p.backgroundKind, ComboBackgroundKind::Gradient);
    EXPECT_EQ(p.backgroundColour, make_rgb(142, 152, 162));
}

// Pixels worked out by hand from the gradient rules, on a 20 x 10 item:
// styles 21/22 walk rows 0..10 inclusive with step 1, row y is the band that
// ends at i = y + 1, value = (10 - i) * 255 / 10, two-thirds mapping.
TEST(ComboItemFills, ThePageFaceAndFrameLandWhereTheRulesPutThem) {
    Canvas canvas(20, 10);
    canvas.paint(combo_item_paint(page_look(), {0, 0, 20, 10}, 0, false));
    const uint32_t black = make_rgb(0, 0, 0);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(canvas.at(x, 0), black);
        EXPECT_EQ(canvas.at(x, 9), black);
    }
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(canvas.at(0, y), black);
        EXPECT_EQ(canvas.at(19, y), black);
    }
    // Style 21 over RGB(108, 178, 200): row 1 (i = 2): value 204, amount
    // (255 - 204) * 2 / 3 = 34; row 5 (i = 6): value 102, amount 102; row 8
    // (i = 9, inset by 1): value 25, amount 153.
    EXPECT_EQ(canvas.at(10, 1), make_rgb(74, 144, 166));
    EXPECT_EQ(canvas.at(10, 5), make_rgb(6, 76, 98));
    EXPECT_EQ(canvas.at(1, 8), make_rgb(0, 25, 47));
}

TEST(ComboItemFills, TheSelectedItemShowsTheStyle22Highlight) {
    Canvas canvas(20, 10);
    canvas.paint(combo_item_paint(page_look(), {0, 0, 20, 10}, 0, true));
    // Style 22 over RGB(0, 150, 0): amount = value * 2 / 3; row 5: 68; row 8
    // (inset by 1): 16; row 2 (i = 3): value 178, amount 118.
    EXPECT_EQ(canvas.at(10, 5), make_rgb(0, 82, 0));
    EXPECT_EQ(canvas.at(1, 8), make_rgb(0, 134, 0));
    EXPECT_EQ(canvas.at(10, 2), make_rgb(0, 32, 0));
    EXPECT_EQ(canvas.at(0, 5), make_rgb(0, 0, 0));  // the frame stays on top
}

TEST(ComboItemFills, SolidFaceIsTheBackgroundInsideABlackRing) {
    ComboLook look;
    look.background = make_rgb(200, 10, 30);
    Canvas canvas(12, 8);
    canvas.paint(combo_item_paint(look, {0, 0, 12, 8}, 2, false));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool ring = x == 0 || y == 0 || x == 11 || y == 7;
            EXPECT_EQ(canvas.at(x, y), ring ? make_rgb(0, 0, 0) : make_rgb(200, 10, 30)) << x << "," << y;
        }
}

TEST(ComboColourArchive, CountThenLittleEndianWords) {
    std::vector<uint8_t> archive;
    combo_store_values({1u, 0xA0B0C0D0u}, archive);
    combo_store_values({}, archive);
    const std::vector<uint8_t> expected = {2, 0, 0, 0, 1, 0, 0, 0, 0xD0, 0xC0, 0xB0, 0xA0, 0, 0, 0, 0};
    EXPECT_EQ(archive, expected);

    size_t offset = 0;
    std::vector<uint32_t> first, second = {9u};
    ASSERT_TRUE(combo_load_values(archive, offset, first));
    EXPECT_EQ(first, (std::vector<uint32_t>{1u, 0xA0B0C0D0u}));
    EXPECT_EQ(offset, 12u);
    ASSERT_TRUE(combo_load_values(archive, offset, second));
    EXPECT_TRUE(second.empty());
    EXPECT_EQ(offset, 16u);
    std::vector<uint32_t> none = {5u};
    EXPECT_FALSE(combo_load_values(archive, offset, none));  // nothing left
    EXPECT_EQ(none, (std::vector<uint32_t>{5u}));
}

TEST(ComboColourArchive, ShortOrHostileArchivesChangeNothing) {
    std::vector<uint32_t> values = {7u};
    size_t offset = 0;
    const std::vector<uint8_t> truncated = {2, 0, 0, 0, 1, 0, 0, 0, 0xD0, 0xC0};
    EXPECT_FALSE(combo_load_values(truncated, offset, values));
    const std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
    EXPECT_FALSE(combo_load_values(huge, offset, values));
    const std::vector<uint8_t> tiny = {1, 0};
    EXPECT_FALSE(combo_load_values(tiny, offset, values));
    size_t past = 40;
    EXPECT_FALSE(combo_load_values(truncated, past, values));
    EXPECT_EQ(values, (std::vector<uint32_t>{7u}));
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(past, 40u);
}

}  // namespace
}  // namespace audiomix
