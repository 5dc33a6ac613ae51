// The tool tip as a live window under wine: it appears after its delay when
// the real mouse rests on a tool, sits with its tail on the mouse, painted
// in the skin, stays while the mouse moves within the tool, hides when it
// leaves and on a click. The timing rules are proven natively.
#include "api/default_engine.h"
#include "controls/gradient.h"
#include "controls/skin_tool_tip.h"
#include "framework/wnd.h"
#include "native/test_support.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using namespace window_test;

TEST(ToolTipWindow, AppearsOnARestStaysWithinTheToolAndHidesOnLeavingOrAClick) {
    default_engine().edit()->link.skinPanelColour = kSkinBaseColour;
    move_mouse({5, 1000});
    CWnd owner;
    owner.CreateEx(WS_EX_TOPMOST,
                   CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW),
                                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))),
                   L"", WS_POPUP | WS_VISIBLE, RECT{300, 300, 700, 600}, nullptr, 0);
    HWND button = CreateWindowExW(0, L"BUTTON", L"均衡器", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 150, 120, 120, 40,
                                  owner.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    CSkinToolTip tip;
    ASSERT_TRUE(tip.Create(owner.m_hWnd));
    tip.AddTool(button, L"打开或关闭均衡器");
    // Each message goes to the tip first, as an owner's message loop does.
    const Relay relay = [&tip](MSG& msg) { tip.RelayEvent(&msg); };
    auto tip_visible = [&] { return tip.m_hWnd != nullptr && IsWindowVisible(tip.m_hWnd); };
    auto tip_shows = [&](bool shown, DWORD timeout_ms = 3000) {
        return pump_until([&] { return tip_visible() == shown; }, timeout_ms, relay);
    };
    pump(50, relay);

    const POINT at = window_centre(button);
    move_mouse(at);
    pump(30, relay);
    EXPECT_FALSE(tip_visible());  // not before the delay
    ASSERT_TRUE(tip_shows(true));
    pump(50, relay);
    EXPECT_EQ(tip.GetText(), L"打开或关闭均衡器");

    // Placed so that the tail's tip is the mouse.
    const BubbleGeometry b = tip.MeasureBubble();
    RECT r;
    GetWindowRect(tip.m_hWnd, &r);
    EXPECT_EQ(r.left + b.tail[1].x, at.x);
    EXPECT_EQ(r.top + b.tail[1].y, at.y);

    // On the screen: a shaped window, its left edge in the light frame
    // colour, the face gradient (style 7 of the tool tip's set) at a point
    // clear of text and frames.
    const Capture shot = capture_screen(r);
    const ToolTipColours colours = tool_tip_colours(kSkinBaseColour);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(tip.m_hWnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    int edge = 0;
    while (edge < b.width && !PtInRegion(region, edge, b.height / 2)) ++edge;
    EXPECT_EQ(shot.at(edge, b.height / 2), colours.lightFrame);
    DeleteObject(region);
    audiomix::testing::Canvas face(b.width, b.windowHeight);
    gradient_bands(GradientSet::ToolTip, colours.gradientBase, {0, 0, b.width, b.windowHeight}, 7, face);
    EXPECT_EQ(shot.at(b.width - 8, 5), face.at(b.width - 8, 5));
    save_screenshot(capture_screen({r.left - 20, r.top - 20, at.x + 60, at.y + 40}), L"controls_tool_tip_shown");

    move_mouse({at.x - 20, at.y + 5});
    pump(300, relay);  // longer than the watch period
    RECT still;
    GetWindowRect(tip.m_hWnd, &still);
    EXPECT_TRUE(tip_visible() && EqualRect(&r, &still)) << "moving within the tool keeps it where it was";

    move_mouse({320, 580});  // the owner's background: no tool
    EXPECT_TRUE(tip_shows(false, 1000));

    move_mouse(at);
    ASSERT_TRUE(tip_shows(true));
    mouse_button(true);
    pump(30, relay);
    EXPECT_FALSE(tip_visible()) << "a click hides it at once";
    mouse_button(false);
    pump(30, relay);
}

}  // namespace
}  // namespace audiomix
