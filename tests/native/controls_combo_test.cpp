// The combo box's item paint: background kind and colour, highlight, text
// passes and frame, the pixels the fills leave, and the colour archive.
#include <cstdint>
#include <utility>
#include <vector>

#include "api/window_rules.h"
#include "controls/colour.h"
#include "controls/combo_rules.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::Canvas;
constexpr uint32_t kBlack = make_rgb(0, 0, 0);

// The look the equaliser page gives its preset box.
ComboLook page_look() {
    ComboLook look;
    look.textEffect = kComboTextDarkShadow;
    look.backgroundStyle = 21;
    look.highlight = make_rgb(255, 105, 255);
    look.text = make_rgb(255, 255, 0);
    look.background = kSkinBaseColour;
    return look;
}

TEST(ComboItemPaint, ThePageLookDrawsAGradientFaceShadowedTextAndAHighlightWhenSelected) {
    const PixelRect item{10, 20, 110, 36};
    const ComboItemPaint p = combo_item_paint(page_look(), item, 3, false);
    EXPECT_EQ(p.backgroundKind, ComboBackgroundKind::Gradient);
    EXPECT_FALSE(p.highlighted);
    // The dark copy in the item shrunk by 3 sideways, the text one pixel further out on every side.
    ASSERT_EQ(p.textPassCount, 2);
    EXPECT_EQ(p.textPasses[0].rect, (PixelRect{13, 20, 107, 36}));
    EXPECT_EQ(p.textPasses[1].rect, (PixelRect{12, 19, 108, 37}));
    EXPECT_EQ(p.textPasses[1].colour, page_look().text);
    // Selected: the inverse highlight under lifted text; the shadow stays.
    const ComboItemPaint s = combo_item_paint(page_look(), item, 0, true);
    EXPECT_TRUE(s.highlighted);
    EXPECT_EQ(s.highlightColour, make_rgb(0, 150, 0));
    EXPECT_EQ(s.textPasses[0].colour, p.textPasses[0].colour);
    EXPECT_EQ(s.textPasses[1].colour, make_rgb(255, 255, 92));
    // An unknown effect draws plain text rather than nothing.
    ComboLook plain;
    plain.textEffect = 7;
    EXPECT_EQ(combo_item_paint(plain, item, 0, false).textPassCount, 1);
}

TEST(ComboItemFills, TheFaceDarkensDownwardsTheHighlightLightensAndTheFrameStaysOnTop) {
    for (bool selected : {false, true}) {
        Canvas c(20, 10);
        const ComboItemPaint p = combo_item_paint(page_look(), {0, 0, 20, 10}, 0, selected);
        combo_face_fills(p, c);
        combo_frame_fills(p, c);
        for (int y = 2; y < 9; ++y) {
            const int above = (c.at(10, y - 1) >> 8) & 0xFF, here = (c.at(10, y) >> 8) & 0xFF;  // green
            if (selected) {
                EXPECT_GE(here, above) << y;
            } else {
                EXPECT_LE(here, above) << y;
            }
        }
        EXPECT_NE(c.at(10, 1), c.at(10, 8));
        for (int x = 0; x < 20; ++x) EXPECT_TRUE(c.at(x, 0) == kBlack && c.at(x, 9) == kBlack) << x;
        for (int y = 0; y < 10; ++y) EXPECT_TRUE(c.at(0, y) == kBlack && c.at(19, y) == kBlack) << y;
    }
}

TEST(ComboColourArchive, CountThenLittleEndianWordsAndNothingFromShortOrHostileOnes) {
    std::vector<uint8_t> archive;
    combo_store_values({1u, 0xA0B0C0D0u}, archive);
    combo_store_values({}, archive);
    EXPECT_EQ(archive, (std::vector<uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 0xD0, 0xC0, 0xB0, 0xA0, 0, 0, 0, 0}));
    size_t offset = 0;
    std::vector<uint32_t> values, none = {9u};
    ASSERT_TRUE(combo_load_values(archive, offset, values) && combo_load_values(archive, offset, none));
    EXPECT_EQ(values, (std::vector<uint32_t>{1u, 0xA0B0C0D0u}));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(offset, 16u);

    // Nothing left, a truncated array, a huge count, a short count, an offset
    // past the end: false, and values and offset untouched.
    const std::pair<std::vector<uint8_t>, size_t> bad[] = {{{}, 0},
                                                           {{2, 0, 0, 0, 1, 0, 0, 0, 0xD0, 0xC0}, 0},
                                                           {{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}, 0},
                                                           {{1, 0}, 0},
                                                           {{1, 0, 0, 0, 5, 0, 0, 0}, 40}};
    for (const auto& [bytes, start] : bad) {
        values = {7u};
        offset = start;
        EXPECT_FALSE(combo_load_values(bytes, offset, values)) << bytes.size() << "@" << start;
        EXPECT_EQ(values, std::vector<uint32_t>{7u});
        EXPECT_EQ(offset, start);
    }
}

}  // namespace
}  // namespace audiomix
