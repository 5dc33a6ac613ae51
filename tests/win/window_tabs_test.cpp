// The tab strip: two pages, the first selected; a real click on the second
// tab shows the equaliser page; the skin bitmap tiled behind the dialog and
// the strip; the faces of the selected and the other tab in the skin's
// colours.
#include "controls/fill_gradient.h"
#include "window/tab_geometry.h"
#include "window_harness.h"

namespace window_test {
namespace {

class TabStrip : public ControlWindow {
protected:
    std::wstring tab_text(int item) const {
        wchar_t text[64] = {};
        TCITEMW it{};
        it.mask = TCIF_TEXT;
        it.pszText = text;
        it.cchTextMax = 63;
        SendMessageW(tab, TCM_GETITEMW, item, reinterpret_cast<LPARAM>(&it));
        return text;
    }
};

TEST_F(TabStrip, StartsOnTheEffectPageAndAClickSwitchesPages) {
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(tab_text(0), L"音效控制  ");  // trailing blanks kept
    EXPECT_EQ(tab_text(1), L"均衡器    ");
    EXPECT_TRUE(IsWindowVisible(effect_page));
    EXPECT_FALSE(IsWindowVisible(eq_page));

    click_tab(1);
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(eq_page) != FALSE; }));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(effect_page));
    save_screenshot(capture_window(window), L"window_eq_tab");
    click_tab(0);
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(effect_page) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(eq_page));
}

TEST_F(TabStrip, PagesSitUnderTheTabsInsideTheStrip) {
    RECT client, first;
    GetClientRect(tab, &client);
    SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    for (HWND page : {effect_page, eq_page}) {
        RECT r;
        GetWindowRect(page, &r);
        MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, first.left);
        EXPECT_EQ(r.top, first.bottom + 1);
        EXPECT_EQ(r.right - r.left, client.right - first.left - 2);
        EXPECT_EQ(r.bottom - r.top, client.bottom - first.bottom - 3);
    }
}

// The skin bitmap 1031 as the library carries it, for comparing pixels.
class SkinBitmap {
public:
    SkinBitmap() {
        bitmap_ = static_cast<HBITMAP>(
            LoadImageW(dll_module(), MAKEINTRESOURCEW(1031), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        BITMAP info{};
        GetObjectW(bitmap_, sizeof info, &info);
        width = info.bmWidth;
        height = info.bmHeight;
    }
    ~SkinBitmap() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    uint32_t at(int x, int y) const { return GetPixel(dc_, x % width, y % height); }
    int width = 0, height = 0;

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

TEST_F(TabStrip, TheSkinIsTiledFromTheTopLeftOfTheDialogAndOfTheStrip) {
    SkinBitmap skin;
    ASSERT_EQ(skin.width, 802);
    ASSERT_EQ(skin.height, 366);

    // Dialog: the strip starts 2 dialog units in, so the first pixels of the
    // client area are the dialog's own background.
    const Capture dialog = capture_screen(client_on_screen(window));
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{2, 0}})
        EXPECT_EQ(dialog.at(p.x, p.y), skin.at(p.x, p.y)) << p.x << "," << p.y;

    // Strip: right of the last tab and above the page, its own tiling.
    RECT last;
    SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
    const Capture strip = capture_screen(client_on_screen(tab));
    int compared = 0;
    for (int x = last.right + 4; x < strip.width - 4; x += 23) {
        for (int y = 1; y < last.bottom - 4; y += 7) {
            EXPECT_EQ(strip.at(x, y), skin.at(x, y)) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 10);
}

// The tab faces are painted with the strip's gradient (style 20) from their
// base colours: the selected one from the skin's darkened complement
// RGB(215, 145, 123), the other from the skin RGB(6, 76, 98) lightened by 52.
TEST_F(TabStrip, TabFacesShowTheSkinColours) {
    const RECT client = client_on_screen(tab);
    const Capture strip = capture_screen(client);
    const int w = client.right - client.left, h = client.bottom - client.top;

    // The expected faces, painted into memory where the strip paints them.
    MemoryDib painted(w, h);
    const COLORREF bases[2] = {RGB(215, 145, 123), RGB(58, 128, 150)};
    audiomix::PixelRect faces[2];
    for (int i = 0; i < 2; ++i) {
        RECT item;
        ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)));
        faces[i] = audiomix::tab_face_rect(audiomix::to_pixel_rect(item), i == 0);
        audiomix::FillGradient(painted.dc, bases[i], audiomix::to_rect(faces[i]), 20, audiomix::GradientSet::Tab);
    }
    auto expected = [&](int x, int y) { return painted.at(x, y); };

    // A column near each face's right edge, clear of icon and text, over the
    // rows both faces share with the item rectangle.
    int compared = 0;
    for (int i = 0; i < 2; ++i) {
        const int x = faces[i].right - 3;
        for (int y = faces[1].top + 1; y < faces[1].bottom - 1; ++y) {
            EXPECT_EQ(strip.at(x, y), expected(x, y)) << "tab " << i << " at " << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 20);
    // The two faces differ where they are compared: each colour is its own.
    EXPECT_NE(expected(faces[0].right - 3, faces[1].top + 4), expected(faces[1].right - 3, faces[1].top + 4));
}

}  // namespace
}  // namespace window_test
