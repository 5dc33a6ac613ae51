// Banded gradient faces: every style of every control's repertoire, checked
// against values worked out by hand from the band, ramp and shape rules.
#include <algorithm>

#include "controls/colour.h"
#include "controls/gradient.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::Canvas;
constexpr uint32_t kUnpainted = Canvas::kUnpainted;
constexpr uint32_t kWhite = 0xFFFFFF;

Canvas paint(GradientSet set, int w, int h, int style, uint32_t base = kWhite) {
    Canvas c(w, h);
    gradient_bands(set, base, {0, 0, w, h}, style, c);
    return c;
}

// With a white base every channel reads 255 - amount; -1 where unpainted.
int amount(const Canvas& c, int x, int y) {
    return c.at(x, y) == kUnpainted ? -1 : 255 - static_cast<int>(c.at(x, y) & 0xFF);
}

struct Probe {
    int x, y, amount;
};

void expect_amounts(const Canvas& c, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) EXPECT_EQ(amount(c, p.x, p.y), p.amount) << p.x << "," << p.y;
}

// ---- the worked example and the common band rule

TEST(GradientBands, Style10OnAHundredPixelsMatchesTheWorkedExample) {
    const Canvas c = paint(GradientSet::Tab, 100, 8, 10);
    // Step 100/50 = 2, half 50: emissions at 2, 4, ..., 98 and the last index 99.
    EXPECT_EQ(c.fills.size(), 50u);
    // First band: columns 0-1, value |2-50|*255/50 = 244, amount 244*2/3 = 162.
    EXPECT_EQ(amount(c, 0, 0), 162);
    EXPECT_EQ(amount(c, 1, 7), 162);
    // The band ending at column 50 (columns 48, 49) has the base colour.
    EXPECT_EQ(amount(c, 48, 3), 0);
    EXPECT_EQ(amount(c, 49, 3), 0);
    // The last band is column 98 alone: 49*255/50 = 249, amount 166.
    EXPECT_EQ(c.fills.back().rect, (PixelRect{98, 0, 99, 8}));
    EXPECT_EQ(amount(c, 98, 0), 166);
    // Column 99 is left unpainted.
    EXPECT_EQ(c.at(99, 0), kUnpainted);
}

TEST(GradientBands, DarkeningUsesTheBaseColourPerComponent) {
    // Style 10, first band darkened by 162, on a coloured base.
    EXPECT_EQ(paint(GradientSet::Tab, 100, 4, 10, make_rgb(200, 150, 170)).at(0, 0), make_rgb(38, 0, 8));
}

TEST(GradientBands, BandsAreAtMostThreeRowsOrFourColumnsThick) {
    for (int extent : {5, 19, 20, 40, 59, 60, 61, 200, 333}) {
        Canvas rows = paint(GradientSet::Tab, 30, extent, 8);
        const int row_step = std::min(std::max(extent / 20, 1), 3);
        for (const SolidFill& f : rows.fills) EXPECT_LE(f.rect.height(), row_step) << extent;
        Canvas columns = paint(GradientSet::Tab, extent, 10, 10);
        const int column_step = std::min(std::max(extent / 50, 1), 4);
        for (const SolidFill& f : columns.fills) EXPECT_LE(f.rect.width(), column_step) << extent;
    }
}

TEST(GradientBands, NoFillIsEmpty) {
    for (GradientSet set : {GradientSet::Tab, GradientSet::Button, GradientSet::ToolTip, GradientSet::Label,
                            GradientSet::ComboBox, GradientSet::ListMenu}) {
        for (int style = 0; style < 120; ++style) {
            for (PixelRect r : {PixelRect{0, 0, 37, 23}, PixelRect{5, 5, 9, 60}, PixelRect{0, 0, 200, 3}}) {
                gradient_bands(set, kWhite, r, style, [&](const SolidFill& f) {
                    EXPECT_FALSE(f.rect.empty()) << "style " << style;
                });
            }
        }
    }
}

// ---- vertical styles

TEST(GradientBands, Style7And8RampRowsSymmetrically) {
    // h = 40: step 2, half 20. The band ending at i = 2 covers rows 0-1 with
    // value |2-20|*255/20 = 229; the one ending at 20 covers rows 18-19, value 0.
    const Canvas even = paint(GradientSet::Tab, 30, 40, 8);
    EXPECT_EQ(amount(even, 0, 0), 229 * 2 / 3);  // 152: darkest at the edges
    EXPECT_EQ(amount(even, 29, 19), 0);
    // The last band (i = 39) is row 38 alone: value 19*255/20 = 242.
    EXPECT_EQ(amount(even, 10, 38), 242 * 2 / 3);
    EXPECT_EQ(even.at(10, 39), kUnpainted);

    const Canvas odd = paint(GradientSet::Tab, 30, 40, 7);
    EXPECT_EQ(amount(odd, 0, 0), (255 - 229) * 2 / 3);  // 17
    EXPECT_EQ(amount(odd, 0, 19), 170);                  // darkest in the middle
}

TEST(GradientBands, ControlsWithAnUnderlayFillTheLastRowWithTheBase) {
    const uint32_t base = make_rgb(90, 120, 150);
    for (GradientSet set : {GradientSet::Button, GradientSet::ToolTip, GradientSet::Label}) {
        const Canvas c = paint(set, 30, 40, 7, base);
        EXPECT_EQ(c.fills.front().rect, (PixelRect{0, 0, 30, 40}));
        EXPECT_EQ(c.fills.front().colour, base);
        EXPECT_EQ(c.at(10, 39), base);
    }
    for (GradientSet set : {GradientSet::Tab, GradientSet::ComboBox, GradientSet::ListMenu}) {
        const Canvas c = paint(set, 30, 40, 7, base);
        EXPECT_EQ(c.at(10, 39), kUnpainted);
    }
}

TEST(GradientBands, CapsuleRoundsBothEnds) {
    // h = 20, w = 100: step 1, half 10, band i covers row i - 1.
    const Canvas c = paint(GradientSet::Tab, 100, 20, 17);
    // Row 0 (i = 1): t = 9, cos(81 deg) = 0.15643, k = trunc(10 - 1.564) = 8.
    expect_amounts(c, {{7, 0, -1}, {8, 0, (255 - 229) * 2 / 3}, {91, 0, (255 - 229) * 2 / 3}, {92, 0, -1}});
    // Row 9 (i = 10): t = 0, k = 0, full width, value 0 -> amount 170 for 17.
    EXPECT_EQ(amount(c, 0, 9), 170);
    EXPECT_EQ(amount(c, 99, 9), 170);
    // Row 18 mirrors row 0; row 19 is never painted.
    expect_amounts(c, {{7, 18, -1}, {8, 18, (255 - 229) * 2 / 3}, {50, 19, -1}});

    const Canvas even = paint(GradientSet::Tab, 100, 20, 18);
    EXPECT_EQ(amount(even, 50, 9), 0);
    EXPECT_EQ(amount(even, 50, 0), 229 * 2 / 3);
}

TEST(GradientBands, WedgeLeansRight) {
    // h = 30, w = 120: step 1, half 15, linear ramp over 30 rows.
    const Canvas c = paint(GradientSet::Tab, 120, 30, 28);
    // Row 14 (i = 15): t = 0, k = trunc(15 - 30/3) = 5: columns 10 .. 115.
    // value (30-15)*255/30 = 127.
    expect_amounts(c, {{9, 14, -1}, {10, 14, 127 * 2 / 3}, {114, 14, 84}, {115, 14, -1}});
    // Row 0 (i = 1): t = 14, cos(84 deg) = 0.10453, k = trunc(15 - 1.045) = 13:
    // columns 2 .. 107, value 29*255/30 = 246.
    expect_amounts(c, {{1, 0, -1}, {2, 0, 246 * 2 / 3}, {106, 0, 164}, {107, 0, -1}});

    const Canvas odd = paint(GradientSet::Tab, 120, 30, 27);
    EXPECT_EQ(amount(odd, 2, 0), (255 - 246) * 2 / 3);
}

TEST(GradientBands, SailWalksOntoTheLastRow) {
    // h = 20, w = 100: inclusive walk, half 10.
    const Canvas c = paint(GradientSet::Tab, 100, 20, 37);
    // Row 9 (i = 10): k = trunc(20/3) = 6: columns trunc(6.3) = 6 .. 100 + 9 - 10 = 99.
    // value 127 -> 76.
    expect_amounts(c, {{5, 9, -1}, {6, 9, (255 - 127) * 3 / 5}, {98, 9, 76}, {99, 9, -1}});
    // Row 19 (i = 20): t = half, k = 0: columns 0 .. 90, value 0 -> 153.
    expect_amounts(c, {{0, 19, 153}, {89, 19, 153}, {90, 19, -1}});

    const Canvas even = paint(GradientSet::Tab, 100, 20, 38);
    EXPECT_EQ(amount(even, 6, 9), 127 * 2 / 3);
    EXPECT_EQ(amount(even, 0, 19), 0);
}

TEST(GradientBands, LensDarkensItsSidesAFifthMore) {
    // Tab default branch, h = 20, w = 40: w/h = 2, half 10.
    const Canvas c = paint(GradientSet::Tab, 40, 20, 12);
    // Row 0 (i = 1): t = 9, k = 18; value 229 in the middle, trunc(229*1.05) = 240 at the sides.
    expect_amounts(c, {{0, 0, 240}, {17, 0, 240}, {18, 0, 229}, {21, 0, 229}, {22, 0, 240}, {39, 0, 240}});
    // Row 9 (i = 10): k = 0, one full-width band with value 0.
    expect_amounts(c, {{0, 9, 0}, {39, 9, 0}, {20, 19, -1}});

    const Canvas inverted = paint(GradientSet::Tab, 40, 20, 11);
    expect_amounts(inverted, {{0, 0, 255 - 240}, {20, 0, 255 - 229}, {0, 9, 255}});
}

TEST(GradientBands, Style21And22RoundTheBottomCorners) {
    // Control set, h = 20, w = 30: step 1, inclusive walk, linear ramp.
    for (GradientSet set : {GradientSet::Button, GradientSet::ComboBox, GradientSet::ListMenu, GradientSet::Label}) {
        const Canvas c = paint(set, 30, 20, 21);
        // Row 0 (i = 1): inset 1, value 19*255/20 = 242 -> (255-242)*2/3 = 8.
        expect_amounts(c, {{0, 0, -1}, {1, 0, 8}, {28, 0, 8}, {29, 0, -1}});
        // Row 9 (i = 10): full width, value 127 -> 85.
        EXPECT_EQ(amount(c, 0, 9), 85);
        // Row 18 (i = 19 = h - 1): inset 1, value 12 -> 162.
        EXPECT_EQ(c.at(0, 18), kUnpainted);
        EXPECT_EQ(amount(c, 1, 18), 162);
        // Row 19 (i = h): inset 2, value 0 -> 170, darkest at the bottom.
        expect_amounts(c, {{1, 19, -1}, {2, 19, 170}, {27, 19, 170}, {28, 19, -1}});
    }
    const Canvas c = paint(GradientSet::ListMenu, 30, 20, 22);
    EXPECT_EQ(amount(c, 1, 0), 242 * 2 / 3);
    EXPECT_EQ(amount(c, 2, 19), 0);
}

// ---- horizontal styles

TEST(GradientBands, ControlDefaultIsAFullHorizontalRamp) {
    // Tool tip, w = 80: step 1, half 40, column 0 (i = 1) value 39*255/40 = 248.
    const Canvas tip = paint(GradientSet::ToolTip, 80, 10, 9);
    EXPECT_EQ(tip.fills.size(), 1u + 79u);  // underlay + one band per column but the last
    // style 9: darkest in the middle; the underlay shows in the last column.
    expect_amounts(tip, {{0, 5, 255 - 248}, {39, 5, 255}, {79, 5, 0}});

    // The button's copy steps w/40: 2 columns. Column 0-1 (i = 2): value 38*255/40 = 242.
    const Canvas button = paint(GradientSet::Button, 80, 10, 0);
    EXPECT_EQ(button.fills.size(), 1u + 40u);
    // i = 40.
    expect_amounts(button, {{0, 0, 242}, {1, 0, 242}, {38, 0, 0}});
}

// ---- repertoires

TEST(GradientBands, EachControlDrawsOnlyTheStylesItKnows) {
    // A capsule leaves its corners unpainted; the default ramp covers every row.
    auto is_capsule = [](GradientSet set) {
        const Canvas c = paint(set, 100, 20, 17);
        return c.at(0, 0) == kUnpainted;
    };
    EXPECT_TRUE(is_capsule(GradientSet::Tab));
    EXPECT_TRUE(is_capsule(GradientSet::Button));
    EXPECT_TRUE(is_capsule(GradientSet::ToolTip));
    EXPECT_TRUE(is_capsule(GradientSet::Label));
    EXPECT_TRUE(is_capsule(GradientSet::ListMenu));
    EXPECT_FALSE(is_capsule(GradientSet::ComboBox));

    // 57 belongs to the label alone; elsewhere it is the default ramp (full height).
    const Canvas label = paint(GradientSet::Label, 60, 20, 57);
    EXPECT_EQ(label.at(5, 9), kUnpainted);
    const Canvas button = paint(GradientSet::Button, 60, 20, 57);
    EXPECT_NE(button.at(5, 9), kUnpainted);
    EXPECT_EQ(amount(button, 5, 0), amount(button, 5, 19));

    // The tab's 9/10 branch is a two-thirds ramp; the controls' 10 is the full one.
    const Canvas tab = paint(GradientSet::Tab, 100, 4, 10);
    const Canvas list = paint(GradientSet::ListMenu, 100, 4, 10);
    EXPECT_EQ(amount(tab, 0, 0), 162);
    EXPECT_EQ(amount(list, 0, 0), 244);
}

TEST(GradientBands, LabelHourglassIsNarrowestInTheMiddle) {
    // h = 20, w = 60, half 10.
    const Canvas c = paint(GradientSet::Label, 60, 20, 57);
    // Row 9 (i = 10): k = trunc(1 * 20 * 0.5) = 10, value 0 -> 170.
    expect_amounts(c, {{9, 9, -1}, {10, 9, 170}, {49, 9, 170}, {50, 9, -1}});
    // Row 0 (i = 1): k = trunc(0.15643 * 10) = 1, value 229 -> 17.
    EXPECT_EQ(c.at(0, 0), kUnpainted);
    EXPECT_EQ(amount(c, 1, 0), 17);
    // 57 stops before the last row.
    EXPECT_EQ(c.at(30, 19), kUnpainted);

    const Canvas even = paint(GradientSet::Label, 60, 20, 58);
    // h' = 21: row 9 k = trunc(10.5) = 10; row 19 (i = 20): k = 0, value 255 -> 170.
    expect_amounts(even, {{9, 9, -1}, {10, 9, 0}, {0, 19, 170}});
}

// ---- degenerate rectangles

TEST(GradientBands, TooSmallFacesPaintNothing) {
    // Styles ramped around a middle need a half of at least 1: two rows or
    // two columns. (No underlay in these sets and styles.)
    struct Case {
        GradientSet set;
        int style;
        PixelRect rect;
    };
    const Case cases[] = {
        {GradientSet::Tab, 7, {0, 0, 50, 1}},      {GradientSet::Tab, 17, {0, 0, 50, 1}},
        {GradientSet::Tab, 28, {0, 0, 50, 1}},     {GradientSet::Tab, 37, {0, 0, 50, 1}},
        {GradientSet::Tab, 12, {0, 0, 50, 1}},     {GradientSet::Label, 57, {0, 0, 50, 1}},
        {GradientSet::Tab, 10, {0, 0, 1, 30}},     {GradientSet::ComboBox, 9, {0, 0, 1, 30}},
        {GradientSet::Tab, 20, {0, 0, 0, 30}},     {GradientSet::ListMenu, 22, {0, 0, 30, 0}},
    };
    int count = 0;
    for (const Case& k : cases) {
        gradient_bands(k.set, kWhite, k.rect, k.style, [&](const SolidFill&) { ++count; });
        EXPECT_EQ(count, 0) << "style " << k.style;
    }
    // Inverted and empty rectangles paint nothing at all, underlay included.
    gradient_bands(GradientSet::Button, kWhite, {10, 10, 10, 40}, 7, [&](const SolidFill&) { ++count; });
    gradient_bands(GradientSet::Button, kWhite, {10, 40, 30, 10}, 21, [&](const SolidFill&) { ++count; });
    EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace audiomix
