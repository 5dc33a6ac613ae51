// The skinned frame on a real window under wine, installed as the control
// window installs it: the client area inset as the geometry says, the hit
// test answering what the geometry says everywhere, and the screen showing
// what the painters say, corners cut, the Chinese caption in white. Closing
// through the frame is seen on the control window and the name dialog.
#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/frame_geometry.h"
#include "controls/skin_frame.h"
#include "native/test_support.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using window_test::Capture;
using window_test::kSkinBaseColour;

constexpr int kX = 200, kY = 150, kW = 453, kH = 411;

TEST(FrameWindow, InsetsHitTestsAndPaintsAsTheGeometrySays) {
    default_engine().edit()->link.skinColour = kSkinBaseColour;
    window_test::move_mouse({5, 1000});  // away from the window
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = L"controls_frame_window";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"蓝杉音频调整", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                kX, kY, kW, kH, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    CSkinFrame frame;
    frame.Setup();
    ASSERT_TRUE(frame.Install(hwnd));
    frame.m_closeNotifiesOwner = 1;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    UpdateWindow(hwnd);
    window_test::pump(180);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU, 0) << "the frame draws its own buttons";
    const FrameGeometry& g = frame.GetGeometry();
    const FrameState state = frame.GetState();
    const PixelRect client = frame_client_rect(g, {0, 0, kW, kH});
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, kX + client.left);
    EXPECT_EQ(origin.y, kY + client.top);

    // The geometry's codes are the HT* codes (a static assertion in the frame
    // holds them together), so agreement everywhere is the whole check.
    int wrongHits = 0;
    for (int y = 0; y < kH; y += 2)
        for (int x = 0; x < kW; x += 3)
            wrongHits +=
                SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(kX + x, kY + y)) !=
                frame_hit_test(g, state, kW, kH, {x, y}, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(wrongHits, 0);

    const Capture shot = window_test::capture_window(hwnd);
    window_test::save_screenshot(shot, L"controls_frame_window");
    audiomix::testing::Canvas fills(kW, kH);
    frame_background(g, kW, kH, kSkinBaseColour, state.active, fills);
    frame_caption(kW, kSkinBaseColour, GetSysColor(COLOR_3DSHADOW), state, fills);

    // Every pixel of the window outside the client area, away from the
    // caption's icon, text and buttons; outside the region the window is cut.
    const PixelRect text = frame_caption_text_rect(g, state, kW, GetSystemMetrics(SM_CXSMICON));
    const int leftmost_button = frame_caption_button_rect(g, CaptionButton::Extra, kW).left;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
    int wrong = 0, checked = 0, white = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int inset = frame_outline_inset(y, kH);
            const bool inside = x >= inset && x < kW - inset;
            if ((x % 5 == 0 || y % 5 == 0) && (PtInRegion(region, x, y) != FALSE) != inside) ++wrong;
            const uint32_t c = shot.at(x, y);
            if (text.contains(x, y)) white += red_of(c) > 220 && green_of(c) > 220 && blue_of(c) > 220;
            if (!inside || client.contains(x, y) || text.contains(x, y)) continue;
            if (y < client.top && (x >= leftmost_button - 1 || (x < 30 && y < 25))) continue;
            ++checked;
            wrong += c != fills.at(x, y);
        }
    EXPECT_EQ(wrong, 0) << "of " << checked;
    EXPECT_GT(white, 40) << "the caption's Chinese text in white";
    DeleteObject(region);
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace audiomix
