// The control window's pages as a user sees them: each page inside the strip
// under the tabs and every control inside its page; every Chinese caption
// drawable in its font (real glyphs, not boxes). The tabs switching pages by
// a real click are seen in the equaliser page's tests; layouts, the tab faces
// and the skin's tiling are proven natively and seen in the screenshots.
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
int missing_glyphs(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size() + 1);
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return static_cast<int>(std::count(glyphs.begin(), glyphs.begin() + text.size(), 0xFFFF));
}

RECT tab_item(HWND tab, int item) {
    RECT r{};
    SendMessageW(tab, TCM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
    return r;
}

TEST_F(ControlWindow, PagesSitInsideTheStripAndControlsInsideTheirPageWithReadableChinese) {
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    RECT strip;
    GetClientRect(tab, &strip);
    const RECT first = tab_item(tab, 0);
    int chinese = 0;
    for (HWND page : {effect_page, eq_page}) {
        const RECT r = rect_in(page, tab);
        EXPECT_GT(r.top, first.bottom) << "under the tabs";
        EXPECT_TRUE(inside(r, strip) && r.right < strip.right && r.bottom < strip.bottom) << "the border shows";
        RECT client;
        GetClientRect(page, &client);
        for (HWND c = GetWindow(page, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!(GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE)) continue;
            EXPECT_TRUE(inside(rect_in(c, page), client)) << "control " << GetDlgCtrlID(c);
            // The owner-drawn preset box keeps no text: its "text" is item data.
            const std::wstring text = is_class(c, L"ComboBox") ? L"" : window_text(c);
            if (std::none_of(text.begin(), text.end(), [](wchar_t ch) { return ch >= 0x4E00 && ch <= 0x9FFF; }))
                continue;
            ++chinese;
            EXPECT_EQ(missing_glyphs(c, text), 0) << "control " << GetDlgCtrlID(c);
        }
    }
    EXPECT_GE(chinese, 20) << "captions in Chinese";
}

}  // namespace
}  // namespace window_test
