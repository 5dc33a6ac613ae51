// The skinned controls' painters under wine: each paints into a 32-bit DIB
// section and the pixels are compared with what the pure band and bubble
// rules say.
#include <algorithm>
#include <vector>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "controls/skin_tool_tip.h"
#include "window_harness.h"

namespace audiomix {
namespace {

constexpr uint32_t kSkin = make_rgb(6, 76, 98);
constexpr uint32_t kSentinel = make_rgb(1, 2, 3);

// Every drawing starts on a colour no fill produces.
struct Dib : window_test::MemoryDib {
    Dib(int width, int height) : MemoryDib(width, height, kSentinel) {}
};

// What the pure fills say each pixel becomes.
struct Expected {
    int w, h;
    std::vector<uint32_t> px;
    Expected(int width, int height, uint32_t background)
        : w(width), h(height), px(static_cast<size_t>(width * height), background) {}
    void operator()(const SolidFill& f) {
        for (int y = std::max(0, f.rect.top); y < std::min(h, f.rect.bottom); ++y)
            for (int x = std::max(0, f.rect.left); x < std::min(w, f.rect.right); ++x)
                px[static_cast<size_t>(y * w + x)] = f.colour;
    }
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

// ---- gradient

TEST(GradientPainter, EveryBandLandsWhereTheBandRuleSaysForEverySet) {
    const GradientSet sets[] = {GradientSet::Tab, GradientSet::Button, GradientSet::ToolTip,
                                GradientSet::Label, GradientSet::ComboBox, GradientSet::ListMenu};
    const int styles[] = {0, 7, 8, 9, 10, 11, 17, 18, 19, 20, 21, 22, 27, 28, 37, 38, 47, 57, 58, 77, 107};
    const RECT rects[] = {{3, 4, 103, 34}, {0, 0, 64, 64}, {10, 2, 31, 23}};
    const uint32_t base = make_rgb(58, 128, 150);
    Dib dib(110, 70);
    for (GradientSet set : sets) {
        for (int style : styles) {
            for (const RECT& r : rects) {
                dib.clear(kSentinel);
                FillGradient(dib.dc, base, r, style, set);
                Expected expected(dib.w, dib.h, kSentinel);
                gradient_bands(set, base, to_pixel_rect(r), style, expected);
                int wrong = 0;
                for (int y = 0; y < dib.h; ++y)
                    for (int x = 0; x < dib.w; ++x) wrong += dib.at(x, y) != expected.at(x, y);
                EXPECT_EQ(wrong, 0) << "set " << static_cast<int>(set) << " style " << style << " rect "
                                    << r.left << "," << r.top << "," << r.right << "," << r.bottom;
            }
        }
    }
}

TEST(GradientPainter, LeavesTheDeviceContextAsItWasAndFreesItsBrushes) {
    Dib dib(60, 40);
    HGDIOBJ brush = GetCurrentObject(dib.dc, OBJ_BRUSH);
    FillGradient(dib.dc, kSkin, {0, 0, 60, 40}, 21, GradientSet::Label);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
    const long before = window_test::gdi_object_count();
    for (int k = 0; k < 200; ++k) FillGradient(dib.dc, kSkin, {0, 0, 60, 40}, 7 + k % 30, GradientSet::ToolTip);
    EXPECT_EQ(window_test::gdi_object_count(), before);
}

// ---- tool tip bubble

TEST(ToolTipPaint, BubbleFaceAndFrames) {
    default_engine().edit()->link.skinPanelColour = kSkin;
    CSkinToolTip tip;
    const BubbleGeometry b = tool_tip_bubble(120, 16, 0, 0);
    Dib dib(b.width + 10, b.windowHeight + 10);
    tip.PaintBubble(dib.dc, b);
    window_test::save_screenshot(dib.capture(), L"controls_tool_tip_bubble");

    const ToolTipColours colours = tool_tip_colours(kSkin);
    Expected face(dib.w, dib.h, kSentinel);
    gradient_bands(GradientSet::ToolTip, colours.gradientBase, {0, 0, b.width, b.windowHeight}, 7, face);

    // Frames follow the region's edge; find it from the region itself.
    HRGN region = CSkinToolTip::MakeRegion(b);
    RECT box;
    GetRgnBox(region, &box);
    const int mid = b.height / 2;
    EXPECT_EQ(dib.at(box.left, mid), colours.lightFrame);
    EXPECT_EQ(dib.at(box.left + 1, mid), colours.fill);
    EXPECT_EQ(dib.at(box.left + 2, mid), colours.fill);
    EXPECT_EQ(dib.at(box.left + 3, mid), face.at(box.left + 3, mid));
    EXPECT_EQ(dib.at(box.right - 1, mid), colours.lightFrame);
    EXPECT_EQ(dib.at(box.right - 2, mid), colours.shadowFrame);
    EXPECT_EQ(dib.at(box.right - 3, mid), colours.fill);
    EXPECT_EQ(dib.at(box.right - 4, mid), face.at(box.right - 4, mid));
    EXPECT_EQ(dib.at(b.width / 2, box.top), colours.lightFrame);
    EXPECT_EQ(dib.at(b.width / 2, box.top + 3), face.at(b.width / 2, box.top + 3));
    // Inside the tail.
    const int tx = b.width - 18, ty = b.height + 2;
    ASSERT_TRUE(PtInRegion(region, tx, ty));
    EXPECT_EQ(dib.at(tx, ty), face.at(tx, ty));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 2, b.windowHeight - 2));
    EXPECT_TRUE(PtInRegion(region, b.tail[1].x - 1, b.tail[1].y - 3));
    DeleteObject(region);
}

// ---- frame

}  // namespace
}  // namespace audiomix
