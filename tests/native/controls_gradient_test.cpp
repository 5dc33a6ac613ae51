// Banded gradient faces: every style inside random faces, then the shapes of
// each style family as properties (symmetry, edge rows, darkest row).

#include <algorithm>
#include <random>

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

// ---- every style of every control

// Whatever the face, the bands stay inside it and none is empty; an empty or
// inverted face paints nothing.
TEST(GradientBands, EveryBandLiesInsideTheFaceAndNoneIsEmpty) {
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> d(-3, 120);
    for (GradientSet set : {GradientSet::Tab, GradientSet::Button, GradientSet::ToolTip, GradientSet::Label,
                            GradientSet::ComboBox, GradientSet::ListMenu})
        for (int style = 0; style < 120; ++style)
            for (int n = 0; n < 4; ++n) {
                const int x = d(rng), y = d(rng), w = d(rng);
                const PixelRect r{x, y, x + w, y + d(rng)};
                gradient_bands(set, kWhite, r, style, [&](const SolidFill& f) {
                    EXPECT_FALSE(f.rect.empty()) << "style " << style;
                    EXPECT_TRUE(!r.empty() && f.rect.left >= r.left && f.rect.top >= r.top && f.rect.right <= r.right &&
                                f.rect.bottom <= r.bottom)
                        << "style " << style << " in " << r.width() << "x" << r.height();
                });
            }
    // Styles ramped around a middle need two rows; ramps stay smooth, bands of a few pixels.
    for (int style : {7, 17, 28}) EXPECT_TRUE(paint(GradientSet::Tab, 50, 1, style).fills.empty()) << style;
    for (int extent : {5, 19, 20, 59, 60, 61, 333}) {
        for (const SolidFill& f : paint(GradientSet::Tab, 30, extent, 8).fills) EXPECT_LE(f.rect.height(), 3) << extent;
        for (const SolidFill& f : paint(GradientSet::Tab, extent, 10, 10).fills) EXPECT_LE(f.rect.width(), 4) << extent;
    }
}

// ---- vertical styles

TEST(GradientBands, VerticalRampsAreDarkestAtTheEdgesOrInTheMiddle) {
    const Canvas edges = paint(GradientSet::Tab, 30, 40, 8), middle = paint(GradientSet::Tab, 30, 40, 7);
    for (int y = 1; y < 39; ++y) {
        const int toward = y <= 19 ? -1 : 1;  // toward the middle row 19 the ramp gets lighter (8) or darker (7)
        EXPECT_GE(amount(edges, 10, y) * toward, amount(edges, 10, y - 1) * toward) << y;
        EXPECT_LE(amount(middle, 10, y) * toward, amount(middle, 10, y - 1) * toward) << y;
    }
    EXPECT_EQ(amount(edges, 29, 19), 0);
    EXPECT_EQ(edges.at(10, 39), kUnpainted);
}

TEST(GradientBands, RoundedShapesAreMirroredLeftAndRight) {
    const struct {
        GradientSet set;
        int style, w;
    } shapes[] = {{GradientSet::Tab, 18, 100},
                  {GradientSet::Tab, 11, 40},
                  {GradientSet::Label, 58, 60},
                  {GradientSet::Button, 21, 30},
                  {GradientSet::ListMenu, 22, 30}};
    for (const auto& k : shapes) {
        const Canvas c = paint(k.set, k.w, 20, k.style);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < k.w / 2; ++x)
                ASSERT_EQ(c.at(x, y), c.at(k.w - 1 - x, y)) << k.style << " at " << x << "," << y;
    }
}

TEST(GradientBands, ShapesNarrowAndDarkenWhereTheyShould) {
    // Capsule: rounded top and bottom alike, full width in the middle, the last row unpainted.
    const Canvas capsule = paint(GradientSet::Tab, 100, 20, 17);
    EXPECT_TRUE(capsule.at(0, 0) == kUnpainted && capsule.at(0, 9) != kUnpainted);
    for (int x = 0; x < 100; ++x) ASSERT_EQ(capsule.at(x, 0), capsule.at(x, 18)) << x;
    EXPECT_EQ(capsule.at(50, 19), kUnpainted);
    // Lens: the sides darker than the middle (lighter when inverted).
    const Canvas lens = paint(GradientSet::Tab, 40, 20, 12), inverted = paint(GradientSet::Tab, 40, 20, 11);
    EXPECT_GT(amount(lens, 0, 0), amount(lens, 20, 0));
    EXPECT_LT(amount(inverted, 0, 0), amount(inverted, 20, 0));
    // 21: rounded bottom corners, the darkest row at the bottom.
    const Canvas bottom = paint(GradientSet::Button, 30, 20, 21);
    EXPECT_TRUE(bottom.at(0, 19) == kUnpainted && bottom.at(0, 9) != kUnpainted);
    for (int y = 0; y < 19; ++y) EXPECT_LT(amount(bottom, 15, y), amount(bottom, 15, 19)) << y;
}

// ---- repertoires

TEST(GradientBands, EachControlDrawsOnlyTheStylesItKnows) {
    // A capsule leaves its corners unpainted; the default ramp covers every row. Controls with an
    // underlay fill the last row, which a ramp around the middle leaves, with the base.
    const uint32_t base = make_rgb(90, 120, 150);
    for (GradientSet set : {GradientSet::Tab, GradientSet::Button, GradientSet::ToolTip, GradientSet::Label,
                            GradientSet::ListMenu, GradientSet::ComboBox}) {
        EXPECT_EQ(paint(set, 100, 20, 17).at(0, 0) == kUnpainted, set != GradientSet::ComboBox);
        const bool underlay = set == GradientSet::Button || set == GradientSet::ToolTip || set == GradientSet::Label;
        EXPECT_EQ(paint(set, 30, 40, 7, base).at(10, 39), underlay ? base : kUnpainted);
    }
    // 57 (an hourglass) belongs to the label alone; elsewhere it is the default ramp (full height).
    EXPECT_EQ(paint(GradientSet::Label, 60, 20, 57).at(5, 9), kUnpainted);
    const Canvas button = paint(GradientSet::Button, 60, 20, 57);
    EXPECT_NE(button.at(5, 9), kUnpainted);
    EXPECT_EQ(amount(button, 5, 0), amount(button, 5, 19));

    // The tab's 9/10 branch is a two-thirds ramp; the controls' 10 is the full one: the first
    // band of a hundred columns |2 - 50| * 255 / 50 = 244 dark, on the tab 162.
    EXPECT_EQ(amount(paint(GradientSet::Tab, 100, 4, 10), 0, 0), 162);
    EXPECT_EQ(amount(paint(GradientSet::ListMenu, 100, 4, 10), 0, 0), 244);
}

}  // namespace
}  // namespace audiomix
