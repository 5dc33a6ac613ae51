// The window's own frame and caption: the close button found by hit-testing
// its computed position and clicked with real mouse input, the frame command
// message, and the caption text the host sets (Chinese, long).
#include <string>

#include "window_harness.h"

namespace window_test {
namespace {

constexpr UINT kFrameCommand = 0x3088;
constexpr WPARAM kFrameCommandId = 1333999;

class WindowFrame : public ControlWindow {
protected:
    // The close button's centre in screen coordinates: the frame keeps its
    // rectangle as offsets {2, 3, 23, 24} from the window's right edge, and a
    // point x of the window maps from w - right - 2 to w - left - 2.
    POINT close_button_centre() const {
        RECT r;
        GetWindowRect(window, &r);
        const int w = r.right - r.left;
        const int left = w - 23 - 2, right = w - 2 - 2;
        return {r.left + (left + right) / 2, r.top + (3 + 24) / 2};
    }
};

TEST_F(WindowFrame, ClickingTheCloseButtonHidesTheWindowAndClearsTheDisplayFlag) {
    save_screenshot(capture_window(window), L"window_shown");
    // The close button where the geometry puts it; left of it the extra
    // button the close-notifies-owner flag adds ({24, 3, 45, 24}), then the
    // caption.
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const POINT centre = close_button_centre();
    ASSERT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLOSE);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + w - 37, r.top + 13)), HTMENU);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + w / 2, r.top + 15)), HTCAPTION);
    click_at(centre);
    EXPECT_TRUE(pump_until([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    EXPECT_TRUE(IsWindow(window));  // hidden, not destroyed

    // Shown again, it is the same window.
    audiomix_setdisp(1);
    pump(50);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(find_control_window(), window);
}

TEST_F(WindowFrame, OnlyTheCloseCommandHides) {
    SendMessageW(window, kFrameCommand, kFrameCommandId, 2);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(audiomix_get_dispstatus(), 1);
    SendMessageW(window, kFrameCommand, kFrameCommandId + 1, 1);
    EXPECT_TRUE(IsWindowVisible(window));
    SendMessageW(window, kFrameCommand, kFrameCommandId, 1);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
}

TEST_F(WindowFrame, CaptionOfALongTitleIsCutAt511Bytes) {
    std::string title(600, 'x');
    for (size_t i = 0; i < title.size(); ++i) title[i] = static_cast<char>('a' + i % 26);
    audiomix_set_title(title.c_str());
    const std::wstring caption = window_text(window);
    ASSERT_EQ(caption.size(), 511u);
    for (size_t i = 0; i < caption.size(); ++i) ASSERT_EQ(caption[i], static_cast<wchar_t>('a' + i % 26)) << i;
}

// Host titles are bytes in the host's ANSI code page; a Chinese host's is
// GBK (936). The wine environment runs with a Chinese locale for these.
class ChineseCaption : public WindowFrame {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not GBK (set LC_ALL=zh_CN.UTF-8 for wine)";
        WindowFrame::SetUp();
    }
};

TEST_F(ChineseCaption, GbkTitleBecomesChineseText) {
    audiomix_set_title("\xD2\xF4\xC0\xD6 - \xB2\xA5\xB7\xC5\xC6\xF7");  // 音乐 - 播放器
    EXPECT_EQ(window_text(window), L"音乐 - 播放器");
    pump(100);
    save_screenshot(capture_window(window), L"window_chinese_title");
}

TEST_F(ChineseCaption, ALongGbkTitleIsNotCutInsideACharacter) {
    // 300 x 音 is 600 bytes: 255 whole characters fit in 511 bytes.
    std::string title;
    for (int i = 0; i < 300; ++i) title += "\xD2\xF4";
    audiomix_set_title(title.c_str());
    EXPECT_EQ(window_text(window), std::wstring(255, L'音'));
}

}  // namespace
}  // namespace window_test
