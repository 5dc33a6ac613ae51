// The skinned slider under wine: a real trackbar in a framework window is
// painted into a DIB and its thumb pixels are compared with the pure figure.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "controls/colour.h"
#include "controls/skin_slider.h"
#include "controls/slider_geometry.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using Dib = window_test::MemoryDib;

class SliderPaint : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        ASSERT_TRUE(host.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE,
                                  RECT{60, 60, 360, 260}, nullptr, 0));
    }
    void make(DWORD orientation, RECT r) {
        HWND bar = CreateWindowExW(0, TRACKBAR_CLASSW, L"",
                                   WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS | orientation, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, host.m_hWnd, reinterpret_cast<HMENU>(1001),
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(slider.SubclassWindow(bar));
        slider.SetRange(0, 100, FALSE);
        slider.SetPos(40);
        slider.SetSelection(10, 70);
        slider.m_scaleMarks = 1;
        EXPECT_TRUE(slider.SetThumbColor(RGB(255, 0, 0)));
        EXPECT_TRUE(slider.SetSelectionColor(RGB(255, 255, 0)));
        EXPECT_TRUE(slider.SetChannelColor(RGB(0, 255, 0)));
    }
    void paint(Dib& dib) { slider.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(dib.dc)); }

    // Thumb pixels the figure fixes: bevel corners, grip lines and dots.
    void expect_thumb(const Dib& dib) {
        RECT t{};
        slider.SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
        const PixelRect r{t.left, t.top, t.right, t.bottom};
        const SliderColours c = slider_colours(RGB(255, 0, 0), GetSysColor(COLOR_3DSHADOW),
                                               GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_3DDKSHADOW),
                                               GetSysColor(COLOR_3DHILIGHT));
        const ThumbFigure f = slider_thumb(r, ThumbShape::Both, true, c);
        ASSERT_TRUE(f.rounded);
        for (int i = 0; i < f.pixelCount; ++i)
            EXPECT_EQ(dib.at(f.pixels[i].x, f.pixels[i].y), f.pixelColours[i]) << "corner " << i;
        ASSERT_GT(f.gripCount, 0) << "thumb " << r.width() << "x" << r.height();
        for (int i = 0; i < f.gripCount; ++i) {
            const PixelPoint& p = f.grip[i].points[0];
            EXPECT_EQ(dib.at(p.x, p.y), f.grip[i].colour) << "grip line " << i;
        }
        for (int i = 0; i < f.gripDotCount; ++i)
            EXPECT_EQ(dib.at(f.gripDots[i].x, f.gripDots[i].y), c.light2) << "grip dot " << i;
    }

    CWnd host;
    CSkinSlider slider;
};

TEST_F(SliderPaint, HorizontalThumbMatchesItsFigure) {
    make(TBS_HORZ, RECT{10, 10, 210, 40});
    Dib dib(200, 30);
    paint(dib);
    expect_thumb(dib);
}

TEST_F(SliderPaint, VerticalThumbMatchesItsFigure) {
    make(TBS_VERT, RECT{10, 10, 40, 190});
    Dib dib(30, 180);
    paint(dib);
    expect_thumb(dib);
}

TEST_F(SliderPaint, BadColoursAreRefused) {
    make(TBS_HORZ, RECT{10, 10, 210, 40});
    EXPECT_FALSE(slider.SetThumbColor(CLR_INVALID));
    EXPECT_FALSE(slider.SetChannelColor(0x01000000));
    EXPECT_FALSE(slider.SetSelectionColor(0xff00ff00));
    EXPECT_EQ(slider.GetThumbColor(), RGB(255, 0, 0));
    EXPECT_EQ(slider.GetChannelColor(), RGB(0, 255, 0));
    EXPECT_EQ(slider.GetSelectionColor(), RGB(255, 255, 0));
}

}  // namespace
}  // namespace audiomix
