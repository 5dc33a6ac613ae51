// The skinned painters through GDI under wine: the gradient painter and a
// real trackbar's thumb paint into a 32-bit DIB section, and the pixels are
// compared with what the pure band rules and thumb figure (proven natively)
// say.
#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "controls/skin_slider.h"
#include "controls/slider_geometry.h"
#include "native/test_support.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using Dib = window_test::MemoryDib;

constexpr uint32_t kSentinel = make_rgb(1, 2, 3);  // a colour no fill produces

TEST(GradientPainter, EveryBandLandsWhereTheBandRuleSaysForEverySetWithoutLeakingBrushes) {
    const GradientSet sets[] = {GradientSet::Tab,   GradientSet::Button,   GradientSet::ToolTip,
                                GradientSet::Label, GradientSet::ComboBox, GradientSet::ListMenu};
    const int styles[] = {0, 7, 8, 9, 10, 11, 17, 18, 19, 20, 21, 22, 27, 28, 37, 38, 47, 57, 58, 77, 107};
    const RECT rects[] = {{3, 4, 103, 34}, {0, 0, 64, 64}, {10, 2, 31, 23}};
    const uint32_t base = make_rgb(58, 128, 150);
    Dib dib(110, 70);
    HGDIOBJ brush = GetCurrentObject(dib.dc, OBJ_BRUSH);
    const long objects = window_test::gdi_object_count();
    for (GradientSet set : sets)
        for (int style : styles)
            for (const RECT& r : rects) {
                dib.clear(kSentinel);
                FillGradient(dib.dc, base, r, style, set);
                audiomix::testing::Canvas expected(dib.w, dib.h, kSentinel);
                gradient_bands(set, base, to_pixel_rect(r), style, expected);
                int wrong = 0;
                for (int y = 0; y < dib.h; ++y)
                    for (int x = 0; x < dib.w; ++x) wrong += dib.at(x, y) != expected.at(x, y);
                EXPECT_EQ(wrong, 0) << "set " << static_cast<int>(set) << " style " << style << " rect " << r.left
                                    << "," << r.top << "," << r.right << "," << r.bottom;
            }
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(window_test::gdi_object_count(), objects);
}

// A horizontal and a vertical trackbar: the thumb pixels the figure fixes
// (bevel corners, grip lines and dots) in the thumb colour's shades.
TEST(SliderPaint, ThumbsMatchTheirFigures) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CWnd host;
    ASSERT_TRUE(host.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE,
                              RECT{60, 60, 360, 260}, nullptr, 0));
    const SliderColours c = slider_colours(RGB(255, 0, 0), GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_BTNFACE),
                                           GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DHILIGHT));
    for (DWORD orientation : {TBS_HORZ, TBS_VERT}) {
        SCOPED_TRACE(orientation == TBS_HORZ ? "horizontal" : "vertical");
        const bool horizontal = orientation == TBS_HORZ;
        const int w = horizontal ? 200 : 30, h = horizontal ? 30 : 180;
        CSkinSlider slider;
        ASSERT_TRUE(slider.SubclassWindow(CreateWindowExW(0, TRACKBAR_CLASSW, L"",
                                                          WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS | orientation,
                                                          10, 10, w, h, host.m_hWnd, nullptr, nullptr, nullptr)));
        slider.SetRange(0, 100, FALSE);
        slider.SetPos(40);
        slider.SetSelection(10, 70);
        slider.m_scaleMarks = 1;
        slider.SetThumbColor(RGB(255, 0, 0));
        Dib dib(w, h);
        slider.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(dib.dc));

        RECT t{};
        slider.SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
        const ThumbFigure f = slider_thumb({t.left, t.top, t.right, t.bottom}, ThumbShape::Both, true, c);
        ASSERT_TRUE(f.rounded);
        ASSERT_GT(f.gripCount, 0) << "thumb " << t.right - t.left << "x" << t.bottom - t.top;
        for (int i = 0; i < f.pixelCount; ++i)
            EXPECT_EQ(dib.at(f.pixels[i].x, f.pixels[i].y), f.pixelColours[i]) << "corner " << i;
        for (int i = 0; i < f.gripCount; ++i)
            EXPECT_EQ(dib.at(f.grip[i].points[0].x, f.grip[i].points[0].y), f.grip[i].colour) << "grip line " << i;
        for (int i = 0; i < f.gripDotCount; ++i)
            EXPECT_EQ(dib.at(f.gripDots[i].x, f.gripDots[i].y), c.light2) << "grip dot " << i;
    }
}

}  // namespace
}  // namespace audiomix
