// The tool tip as a live window under wine: it appears after its delay when
// the real mouse rests on a tool, sits with its tail on the mouse, hides on a
// click and when the mouse leaves the tools, and never shows a removed tool.
#include <memory>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/gradient.h"
#include "controls/skin_tool_tip.h"
#include "framework/wnd.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using namespace window_test;

constexpr uint32_t kPanel = make_rgb(6, 76, 98);

class ToolTipWindow : public ::testing::Test {
protected:
    void SetUp() override {
        default_engine().edit()->link.skinPanelColour = kPanel;
        move_mouse({5, 1000});
        ownerWnd.CreateEx(WS_EX_TOPMOST,
                          CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW),
                                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))),
                          L"", WS_POPUP | WS_VISIBLE, RECT{300, 300, 700, 600}, nullptr, 0);
        owner = ownerWnd.m_hWnd;
        ASSERT_NE(owner, nullptr);
        button = CreateWindowExW(0, L"BUTTON", L"均衡器", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 150, 120, 120, 40,
                                 owner, reinterpret_cast<HMENU>(1003), GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(button, nullptr);
        tip = std::make_unique<CSkinToolTip>();
        ASSERT_TRUE(tip->Create(owner));
        tip->AddTool(button, L"打开或关闭均衡器");
        pump(50, relay);
    }
    void TearDown() override {
        tip.reset();
        ownerWnd.DestroyWindow();
        move_mouse({5, 1000});
        pump(20);
    }

    bool tip_visible() const { return tip->m_hWnd != nullptr && IsWindowVisible(tip->m_hWnd); }
    // Shows each message to the tip first, as an owner's message loop does.
    const Relay relay = [this](MSG& msg) { tip->RelayEvent(&msg); };
    bool tip_shows(bool shown, DWORD timeout_ms = 3000) {
        return pump_until([&] { return tip_visible() == shown; }, timeout_ms, relay);
    }

    CWnd ownerWnd;
    HWND owner = nullptr, button = nullptr;
    std::unique_ptr<CSkinToolTip> tip;
};

TEST_F(ToolTipWindow, AppearsAfterTheMouseRestsOnAToolWithItsTailOnTheMouse) {
    const POINT at = window_centre(button);
    move_mouse(at);
    pump(30, relay);
    EXPECT_FALSE(tip_visible());  // not before the delay
    ASSERT_TRUE(tip_shows(true));
    pump(50, relay);

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
    const Capture shot = capture_screen(r);
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
    save_screenshot(capture_screen(around), L"controls_tool_tip_shown");
}

TEST_F(ToolTipWindow, AClickHidesItAtOnce) {
    move_mouse(window_centre(button));
    ASSERT_TRUE(tip_shows(true));
    mouse_button(true);
    pump(30, relay);
    EXPECT_FALSE(tip_visible());
    mouse_button(false);
    pump(30, relay);
    EXPECT_FALSE(tip->IsShown());
}

TEST_F(ToolTipWindow, MovingWithinTheToolKeepsItAndLeavingHidesIt) {
    const POINT at = window_centre(button);
    move_mouse(at);
    ASSERT_TRUE(tip_shows(true));
    RECT first;
    GetWindowRect(tip->m_hWnd, &first);

    move_mouse({at.x - 20, at.y + 5});
    pump(300, relay);  // longer than the watch period
    EXPECT_TRUE(tip_visible());
    RECT still;
    GetWindowRect(tip->m_hWnd, &still);
    EXPECT_TRUE(EqualRect(&first, &still));

    RECT owner_rect;
    GetWindowRect(owner, &owner_rect);
    move_mouse({owner_rect.left + 20, owner_rect.bottom - 20});  // owner background: no tool
    ASSERT_TRUE(tip_shows(false, 1000));
    EXPECT_FALSE(tip->IsShown());
}

TEST_F(ToolTipWindow, RemovedToolsShowNothing) {
    tip->RemoveTool(button);
    EXPECT_EQ(tip->GetToolCount(), 0u);
    move_mouse(window_centre(button));
    pump(800, relay);
    EXPECT_FALSE(tip_visible());
}

}  // namespace
}  // namespace audiomix
