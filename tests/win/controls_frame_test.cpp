// The skinned frame on a real window under wine: hooked window procedure,
// non-client size, hit testing at computed points, painting seen on the
// screen, caption buttons clicked with real mouse input, placement.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/frame_geometry.h"
#include "controls/skin_frame.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using window_test::Capture;
using window_test::capture_window;
using window_test::click_at;
using window_test::move_mouse;
using window_test::pump;
using window_test::pump_until;

constexpr uint32_t kSkin = make_rgb(6, 76, 98);

// What the test window's own procedure saw.
struct Seen {
    int closes = 0;
    int commands = 0;
    WPARAM commandW = 0;
    LPARAM commandL = 0;
    int menuCommands = 0;  // WM_COMMAND of any kind that reached the window
};
Seen g_seen;

LRESULT CALLBACK test_window_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) ++g_seen.closes;
    if (message == WM_COMMAND) ++g_seen.menuCommands;
    if (message == kFrameCommandMessage) {
        ++g_seen.commands;
        g_seen.commandW = wParam;
        g_seen.commandL = lParam;
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(RGB(240, 240, 240));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* test_class() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = test_window_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"controls_frame_window";
        RegisterClassW(&wc);
        return L"controls_frame_window";
    }();
    return name;
}

class FrameWindow : public ::testing::Test {
protected:
    static constexpr int kX = 200, kY = 150, kW = 453, kH = 411;

    void SetUp() override {
        g_seen = Seen{};
        default_engine().edit()->link.skinColour = kSkin;
        // Park the pointer away from where the windows go.
        move_mouse({5, 1000});
        pump(20);
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        frame.reset();
        pump(20);
    }

    // A window of the given style with the frame installed the way the
    // control window does it.
    void open(DWORD style, bool notify_owner, const wchar_t* title = L"蓝杉音频调整") {
        hwnd = CreateWindowExW(WS_EX_TOPMOST, test_class(), title, style, kX, kY, kW, kH, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
        frame = std::make_unique<CSkinFrame>();
        frame->Setup();
        ASSERT_TRUE(frame->Install(hwnd));
        frame->m_closeNotifiesOwner = notify_owner ? 1 : 0;
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        pump(80);
    }

    RECT window_rect() const {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    }
    // Centre of a caption button, in screen coordinates.
    POINT button_centre(CaptionButton button) const {
        const RECT r = window_rect();
        const PixelRect b = frame_caption_button_rect(frame->GetGeometry(), button, r.right - r.left);
        return {r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2};
    }
    LRESULT hit_at(int x, int y) const {
        const RECT r = window_rect();
        return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    }

    HWND hwnd = nullptr;
    std::unique_ptr<CSkinFrame> frame;
};

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kResizableStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

TEST_F(FrameWindow, InstallTakesTheSystemButtonsAndSizesTheFrame) {
    open(kResizableStyle, false);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_TRUE(frame->GetState().style.thickFrame);
    EXPECT_TRUE(frame->GetState().style.minimiseBox);
    EXPECT_TRUE(frame->GetState().style.maximiseBox);

    // Client area: left 10, top 33, right 12, bottom 13 in from the window.
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, kW - 22);
    EXPECT_EQ(client.bottom, kH - 46);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, kX + 10);
    EXPECT_EQ(origin.y, kY + 33);

    MINMAXINFO info{};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 223);
    EXPECT_EQ(info.ptMinTrackSize.y, 78);
}

// The geometry's codes are the HT* codes (a static assertion in the frame
// holds them together), so agreement with it everywhere is the whole check.
TEST_F(FrameWindow, HitTestAnswersWhatTheGeometrySaysEverywhere) {
    for (DWORD style : {kDialogStyle, kResizableStyle}) {
        for (bool notify : {false, true}) {
            open(style, notify);
            const FrameState state = frame->GetState();
            int wrong = 0;
            for (int y = 0; y < kH; y += 2)
                for (int x = 0; x < kW; x += 3) {
                    const int expected = frame_hit_test(frame->GetGeometry(), state, kW, kH, {x, y},
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
                    wrong += hit_at(x, y) != expected;
                }
            EXPECT_EQ(wrong, 0) << "style " << style << " notify " << notify;
            DestroyWindow(hwnd);
            frame.reset();
        }
    }
}

TEST_F(FrameWindow, TheScreenShowsTheFramePaintersAndTheRegionCutsTheCorners) {
    open(kDialogStyle, true);
    pump(100);
    const Capture shot = capture_window(hwnd);
    window_test::save_screenshot(shot, L"controls_frame_window");
    const FrameState state = frame->GetState();
    const FrameGeometry& g = frame->GetGeometry();
    struct Fills {
        std::vector<uint32_t> px = std::vector<uint32_t>(static_cast<size_t>(kW * kH), 0xFF000000u);
        void operator()(const SolidFill& f) {
            for (int y = std::max(0, f.rect.top); y < std::min(kH, f.rect.bottom); ++y)
                for (int x = std::max(0, f.rect.left); x < std::min(kW, f.rect.right); ++x)
                    px[static_cast<size_t>(y * kW + x)] = f.colour;
        }
    } fills;
    frame_background(g, kW, kH, kSkin, state.active, fills);
    frame_caption(kW, kSkin, GetSysColor(COLOR_3DSHADOW), state, fills);

    // Borders (left, right, bottom) and the caption away from text and buttons.
    const PixelRect text = frame_caption_text_rect(g, state, kW, GetSystemMetrics(SM_CXSMICON));
    const int leftmost_button = frame_caption_button_rect(g, CaptionButton::Extra, kW).left;
    int wrong = 0, checked = 0;
    auto check = [&](int x, int y) {
        if (frame_outline_inset(y, kH) > x || x >= kW - frame_outline_inset(y, kH)) return;  // outside the region
        ++checked;
        wrong += shot.at(x, y) != fills.px[static_cast<size_t>(y * kW + x)];
    };
    for (int y = 33; y < kH; ++y)
        for (int x : {0, 1, 2, 5, 9, kW - 12, kW - 11, kW - 6, kW - 2, kW - 1}) check(x, y);
    for (int y = kH - 13; y < kH; ++y)
        for (int x = 0; x < kW; x += 7) check(x, y);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < kW; ++x) {
            if (text.contains(x, y) || x >= leftmost_button - 1 || (x < 30 && y < 25)) continue;
            check(x, y);
        }
    EXPECT_EQ(wrong, 0) << "of " << checked;

    // The caption text is white and Chinese: some white pixels in its rectangle.
    int white = 0;
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = text.left; x < text.right; ++x) {
            const uint32_t c = shot.at(x, y);
            white += red_of(c) > 220 && green_of(c) > 220 && blue_of(c) > 220;
        }
    EXPECT_GT(white, 40);

    // The window region follows the outline.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 4, 0));
    EXPECT_TRUE(PtInRegion(region, 5, 0));
    EXPECT_TRUE(PtInRegion(region, 0, 6));
    EXPECT_FALSE(PtInRegion(region, kW - 1, 0));
    EXPECT_FALSE(PtInRegion(region, 2, kH - 1));
    EXPECT_TRUE(PtInRegion(region, 3, kH - 1));
    EXPECT_TRUE(PtInRegion(region, kW / 2, kH / 2));
    DeleteObject(region);
}

TEST_F(FrameWindow, CloseButtonNotifiesTheOwnerWhenAsked) {
    open(kDialogStyle, true);
    click_at(button_centre(CaptionButton::Close));
    EXPECT_EQ(g_seen.commands, 1);
    EXPECT_EQ(g_seen.commandW, kFrameCommandId);
    EXPECT_EQ(g_seen.commandL, kFrameCommandClose);
    EXPECT_EQ(g_seen.closes, 0);
    EXPECT_TRUE(IsWindow(hwnd));

    click_at(button_centre(CaptionButton::Extra));
    EXPECT_EQ(g_seen.commands, 2);
    EXPECT_EQ(g_seen.commandL, kFrameCommandExtra);
}

TEST_F(FrameWindow, CloseButtonClosesOtherwise) {
    open(kDialogStyle, false);
    click_at(button_centre(CaptionButton::Close));
    EXPECT_EQ(g_seen.closes, 1);
    EXPECT_EQ(g_seen.commands, 0);
    // DefWindowProc destroyed the window; the frame let go of it.
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(frame->IsHooked());
}

TEST_F(FrameWindow, MaximiseButtonTogglesBetweenWorkAreaAndTheOldRectangle) {
    open(kResizableStyle, true);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT before = window_rect();
    click_at(button_centre(CaptionButton::Maximise));
    EXPECT_EQ(frame->GetPlacement(), Placement::Maximised);
    RECT now = window_rect();
    EXPECT_TRUE(EqualRect(&now, &work));
    // Maximised: no sizing borders, the caption does not drag.
    EXPECT_EQ(hit_at(3, 200), HTCLIENT);
    window_test::save_screenshot(capture_window(hwnd), L"controls_frame_maximised");

    click_at(button_centre(CaptionButton::Maximise));
    EXPECT_EQ(frame->GetPlacement(), Placement::Normal);
    now = window_rect();
    EXPECT_TRUE(EqualRect(&now, &before));
}

}  // namespace
}  // namespace audiomix
