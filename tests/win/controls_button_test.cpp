// The skinned button on a real window under wine: it turns owner-drawn,
// keeps its own check state, toggles on a real click, follows the mouse
// into its hover look, and paints the state colour the rules choose.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/button_rules.h"
#include "controls/colour.h"
#include "controls/skin_button.h"
#include "window_harness.h"

namespace audiomix {
namespace {

constexpr uint32_t kOut = make_rgb(0, 150, 150);  // the default background out
constexpr uint32_t kIn = make_rgb(200, 10, 10);

class Parent : public CWnd {};

struct Bench {
    Parent parent;
    CSkinButton button;

    Bench(DWORD type, const wchar_t* caption) {
        const RECT frame{200, 200, 420, 320};
        parent.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"button bench",
                        WS_POPUP | WS_VISIBLE, frame, nullptr, 0);
        HWND hwnd = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | type, 20, 20, 120,
                                    40, parent.m_hWnd, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
        button.SubclassWindow(hwnd);
        SetForegroundWindow(parent.m_hWnd);
        window_test::pump(100);
    }
    ~Bench() { parent.DestroyWindow(); }

    POINT screen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(button.m_hWnd, &p);
        return p;
    }
    // A face pixel away from the edges, where no border or caption falls.
    uint32_t face_pixel() {
        button.RedrawWindow();
        window_test::pump(60);
        const RECT area = window_test::client_on_screen(button.m_hWnd);
        return window_test::capture_screen(area).at(3, 3);
    }
};

TEST(SkinButtonWin, CheckBoxBecomesOwnerDrawnAndKeepsItsState) {
    Bench bench(BS_AUTOCHECKBOX, L"开关");
    ASSERT_NE(bench.button.m_hWnd, nullptr);
    EXPECT_TRUE(bench.button.IsCheckBox());
    EXPECT_EQ(bench.button.GetStyle() & 0xF, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(bench.button.GetCheck(), 0);
    bench.button.SetCheck(2);
    EXPECT_EQ(SendMessageW(bench.button.m_hWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(bench.button.m_hWnd, BM_SETCHECK, 7, 0);
    EXPECT_EQ(bench.button.GetCheck(), 0);

    EXPECT_EQ(bench.button.SetColor(6, kIn), 3);
    EXPECT_EQ(bench.button.OffsetColor(0, 256), 5);
    EXPECT_EQ(bench.button.SetColor(0, kIn), 0);
    EXPECT_EQ(bench.button.GetColor(0), kIn);

    // A real click toggles it, twice toggles back.
    const POINT centre = bench.screen(60, 20);
    window_test::click_at(centre);
    EXPECT_EQ(bench.button.GetCheck(), 1);
    window_test::click_at(centre);
    EXPECT_EQ(bench.button.GetCheck(), 0);
}

TEST(SkinButtonWin, PushButtonHoverChangesTheFace) {
    Bench bench(BS_PUSHBUTTON, L"");
    ASSERT_NE(bench.button.m_hWnd, nullptr);
    EXPECT_FALSE(bench.button.IsCheckBox());
    bench.button.SetColor(CSkinButton::BTNST_COLOR_BK_IN, kIn);
    window_test::move_mouse(bench.screen(-15, -15));  // on the parent, off the button
    // The leave notice may take a tracking period to arrive.
    EXPECT_TRUE(window_test::pump_until([&] { return !bench.button.IsHovered(); }, 2000));
    EXPECT_EQ(bench.face_pixel(), kOut);

    window_test::move_mouse(bench.screen(60, 20));
    ASSERT_TRUE(window_test::pump_until([&] { return bench.button.IsHovered(); }, 2000));
    EXPECT_EQ(bench.face_pixel(), kIn);

    window_test::move_mouse(bench.screen(-15, -15));
    EXPECT_TRUE(window_test::pump_until([&] { return !bench.button.IsHovered(); }, 2000));
    EXPECT_EQ(bench.face_pixel(), kOut);
}

TEST(SkinButtonWin, DefaultPushButtonIsRecognised) {
    Bench bench(BS_DEFPUSHBUTTON, L"OK");
    EXPECT_TRUE(bench.button.IsDefault());
    EXPECT_EQ(bench.button.GetStyle() & 0xF, static_cast<DWORD>(BS_OWNERDRAW));
    const LRESULT code = SendMessageW(bench.button.m_hWnd, WM_GETDLGCODE, 0, 0);
    EXPECT_NE(code & DLGC_DEFPUSHBUTTON, 0);
}

}  // namespace
}  // namespace audiomix
