// The tool tip and the label as live windows under wine: the tip appears
// after its delay when the real mouse rests on a tool, sits with its tail on
// the mouse, hides on a click and when the mouse leaves the tools; creating,
// painting and destroying the controls leaves no GDI objects behind.
#include <memory>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/gradient.h"
#include "controls/skin_label.h"
#include "controls/skin_tool_tip.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using window_test::move_mouse;

constexpr uint32_t kPanel = make_rgb(6, 76, 98);

// Dispatches this thread's messages, showing each to the tip first as an
// owner's message loop does.
void relay_pump(CSkinToolTip& tip, DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            tip.RelayEvent(&msg);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

template <typename Done>
bool relay_until(CSkinToolTip& tip, Done done, DWORD timeout_ms = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return done();
        relay_pump(tip, 5);
    }
    return true;
}

class ToolTipWindow : public ::testing::Test {
protected:
    void SetUp() override {
        default_engine().edit()->link.skinPanelColour = kPanel;
        move_mouse({5, 1000});
        static const wchar_t* cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = L"controls_tip_owner";
            RegisterClassW(&wc);
            return L"controls_tip_owner";
        }();
        owner = CreateWindowExW(WS_EX_TOPMOST, cls, L"", WS_POPUP | WS_VISIBLE, 300, 300, 400, 300, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        button = CreateWindowExW(0, L"BUTTON", L"均衡器", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 150, 120, 120, 40,
                                 owner, reinterpret_cast<HMENU>(1003), GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(button, nullptr);
        tip = std::make_unique<CSkinToolTip>();
        ASSERT_TRUE(tip->Create(owner));
        tip->AddTool(button, L"打开或关闭均衡器");
        relay_pump(*tip, 50);
    }
    void TearDown() override {
        tip.reset();
        DestroyWindow(owner);
        move_mouse({5, 1000});
        window_test::pump(20);
    }

    POINT button_centre() const {
        RECT r;
        GetWindowRect(button, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    bool tip_visible() const { return tip->m_hWnd != nullptr && IsWindowVisible(tip->m_hWnd); }

    HWND owner = nullptr, button = nullptr;
    std::unique_ptr<CSkinToolTip> tip;
};

TEST_F(ToolTipWindow, AppearsAfterTheMouseRestsOnAToolWithItsTailOnTheMouse) {
    const POINT at = button_centre();
    move_mouse(at);
    relay_pump(*tip, 30);
    EXPECT_FALSE(tip_visible());  // not before the delay
    ASSERT_TRUE(relay_until(*tip, [&] { return tip_visible(); }));
    relay_pump(*tip, 50);

    EXPECT_TRUE(tip->IsShown());
    EXPECT_EQ(tip->GetText(), L"打开或关闭均衡器");
    const POINT anchor = tip->GetAnchor();
    EXPECT_EQ(anchor.x, at.x);
    EXPECT_EQ(anchor.y, at.y);

    // Size from the measured text, placed so that the tail's tip is the anchor.
    const BubbleGeometry b = tip->MeasureBubble();
    const PixelPoint corner = tool_tip_position(b, {anchor.x, anchor.y});
    RECT r;
    GetWindowRect(tip->m_hWnd, &r);
    EXPECT_EQ(r.left, corner.x);
    EXPECT_EQ(r.top, corner.y);
    EXPECT_EQ(r.right - r.left, b.width);
    EXPECT_EQ(r.bottom - r.top, b.windowHeight);
    EXPECT_EQ(r.left + b.tail[1].x, at.x);
    EXPECT_EQ(r.top + b.tail[1].y, at.y);

    // The window is shaped: rounded body and tail.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(tip->m_hWnd, region), ERROR);
    EXPECT_TRUE(PtInRegion(region, b.width / 2, b.height / 2));
    EXPECT_TRUE(PtInRegion(region, b.width - 18, b.height + 2));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 3, b.height + 5));
    DeleteObject(region);

    // On the screen: the face gradient (style 7 of the tool tip's set) at a
    // point clear of text and frames.
    const window_test::Capture shot = window_test::capture_screen(r);
    struct At {
        int x, y;
        uint32_t colour = 0;
        void operator()(const SolidFill& f) {
            if (f.rect.contains(x, y)) colour = f.colour;
        }
    } face{b.width - 8, 5};
    gradient_bands(GradientSet::ToolTip, tool_tip_colours(kPanel).gradientBase, {0, 0, b.width, b.windowHeight}, 7,
                   face);
    EXPECT_EQ(shot.at(face.x, face.y), face.colour);
    RECT around{r.left - 20, r.top - 20, at.x + 60, at.y + 40};
    window_test::save_screenshot(window_test::capture_screen(around), L"controls_tool_tip_shown");
}

TEST_F(ToolTipWindow, AClickHidesItAtOnce) {
    move_mouse(button_centre());
    ASSERT_TRUE(relay_until(*tip, [&] { return tip_visible(); }));
    window_test::mouse_button(true);
    relay_pump(*tip, 30);
    EXPECT_FALSE(tip_visible());
    window_test::mouse_button(false);
    relay_pump(*tip, 30);
    EXPECT_FALSE(tip->IsShown());
}

TEST_F(ToolTipWindow, MovingWithinTheToolKeepsItAndLeavingHidesIt) {
    const POINT at = button_centre();
    move_mouse(at);
    ASSERT_TRUE(relay_until(*tip, [&] { return tip_visible(); }));
    RECT first;
    GetWindowRect(tip->m_hWnd, &first);

    move_mouse({at.x - 20, at.y + 5});
    relay_pump(*tip, 300);  // longer than the watch period
    EXPECT_TRUE(tip_visible());
    RECT still;
    GetWindowRect(tip->m_hWnd, &still);
    EXPECT_TRUE(EqualRect(&first, &still));

    RECT owner_rect;
    GetWindowRect(owner, &owner_rect);
    move_mouse({owner_rect.left + 20, owner_rect.bottom - 20});  // owner background: no tool
    ASSERT_TRUE(relay_until(*tip, [&] { return !tip_visible(); }, 1000));
    EXPECT_FALSE(tip->IsShown());
}

TEST_F(ToolTipWindow, RemovedToolsShowNothing) {
    tip->RemoveTool(button);
    EXPECT_EQ(tip->GetToolCount(), 0u);
    move_mouse(button_centre());
    relay_pump(*tip, 800);
    EXPECT_FALSE(tip_visible());
}

}  // namespace
}  // namespace audiomix
