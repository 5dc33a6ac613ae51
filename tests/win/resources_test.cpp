// The dialogs as a user sees them: every control of a page inside that page,
// the equaliser's band controls inside their frame in every layout without
// touching each other, and every Chinese caption drawable in its font.
#include "window_harness.h"

namespace window_test {
namespace {

RECT rect_in(HWND hwnd, HWND parent) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Characters of the control's text its font has no glyph for.
int missing_glyphs(HWND control) {
    const std::wstring text = window_text(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size() + 1);
    int missing = 0;
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    for (size_t i = 0; i < text.size(); ++i) missing += glyphs[i] == 0xFFFF;
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return missing;
}

bool has_chinese(const std::wstring& s) {
    for (wchar_t c : s)
        if (c >= 0x4E00 && c <= 0x9FFF) return true;
    return false;
}

TEST_F(ControlWindow, EveryControlSitsInsideItsPageWithReadableChineseText) {
    int chinese = 0;
    for (HWND page : {effect_page, eq_page}) {
        RECT client;
        GetClientRect(page, &client);
        for (HWND c = GetWindow(page, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!(GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE)) continue;
            const int id = GetDlgCtrlID(c);
            EXPECT_TRUE(inside(rect_in(c, page), client)) << "control " << id;
            if (!has_chinese(window_text(c))) continue;
            ++chinese;
            EXPECT_EQ(missing_glyphs(c), 0) << "control " << id;
        }
    }
    EXPECT_GE(chinese, 20) << "captions in Chinese";
    EXPECT_EQ(window_text(window), L"蓝杉音频调整");
}

TEST_F(ControlWindow, BandControlsStayInsideTheirFrameWithoutTouching) {
    show_eq_page();
    const RECT frame = rect_in(GetDlgItem(eq_page, 1082), eq_page);
    for (int button : {1013, 1012, 1008, 1007}) {
        click_at(control_centre(eq_page, button));
        std::vector<RECT> sliders;
        for (int id = 1020; id <= 1051; ++id) {
            HWND s = GetDlgItem(eq_page, id);
            if (!IsWindowVisible(s)) continue;
            sliders.push_back(rect_in(s, eq_page));
            EXPECT_TRUE(inside(sliders.back(), frame)) << "layout " << button << " slider " << id;
        }
        EXPECT_GE(sliders.size(), 10u);
        for (size_t a = 0; a < sliders.size(); ++a)
            for (size_t b = a + 1; b < sliders.size(); ++b) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &sliders[a], &sliders[b])) << "layout " << button;
            }
        save_screenshot(capture_window(window), (L"eq_layout_" + std::to_wstring(button)).c_str());
    }
}

}  // namespace
}  // namespace window_test
