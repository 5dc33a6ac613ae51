// The control window's life as the host's calls drive it: created hidden and
// topmost, shown and hidden, reused, destroyed; calls from another thread;
// many open/close cycles without leaking objects; its frame's close button
// and the caption the host sets.
#include <thread>
#include <utility>

#include "window_harness.h"

namespace window_test {
namespace {

class WindowLifecycle : public ::testing::Test {
protected:
    void TearDown() override {
        audiomix_close();
        pump(20);
    }
};

// begin makes the window hidden, topmost and unowned with the template's
// caption; setdisp and init show and hide it; a second begin reuses and
// hides it; after close the next begin makes a new one.
TEST_F(WindowLifecycle, BeginMakesOrReusesTheWindowAndCloseDestroysIt) {
    ASSERT_EQ(find_control_window(), nullptr);
    audiomix_begin(0x00804020);
    HWND first = find_control_window();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_NE(GetWindowLongPtrW(first, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
    EXPECT_EQ(window_text(first), L"蓝杉音频调整");

    // Each call and the display state after it: shown while it is 1. setdisp
    // 2 hides and keeps the value; init with show 0 leaves it hidden.
    const std::pair<void (*)(), uint8_t> steps[] = {
        {[] { audiomix_setdisp(1); }, 1},        {[] { audiomix_setdisp(2); }, 2},
        {[] { audiomix_init(44100, 2, 0); }, 2}, {[] { audiomix_init(48000, 2, 1); }, 1},
        {[] { audiomix_begin(0); }, 0},
    };
    for (const auto& [call, status] : steps) {
        call();
        pump();
        EXPECT_EQ(IsWindowVisible(first) != FALSE, status == 1) << "status " << int{status};
        EXPECT_EQ(audiomix_get_dispstatus(), status);
    }
    EXPECT_EQ(find_control_window(), first);

    audiomix_close();
    EXPECT_FALSE(IsWindow(first));
    audiomix_begin(0);
    EXPECT_NE(find_control_window(), nullptr);
}

TEST_F(WindowLifecycle, CallsFromAnotherThreadNeitherBlockNorBreakTheWindow) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    HWND w = find_control_window();
    ASSERT_NE(w, nullptr);
    // The other thread calls while this thread does not pump: nothing may
    // wait for the window thread.
    std::thread([] {
        audiomix_init(48000, 2, 1);
        audiomix_setdisp(1);
        audiomix_set_title("from another thread");
        int16_t buffer[512] = {};
        audiomix_change(buffer, sizeof buffer, 1);
    }).join();
    EXPECT_EQ(audiomix_get_sample(), 48000) << "the format changes at once";
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(w) && window_text(w) == L"from another thread"; }));

    // Closing from another thread: the window thread destroys the window the
    // next time it dispatches messages.
    std::thread([] { audiomix_close(); }).join();
    EXPECT_TRUE(pump_until([&] { return !IsWindow(w); }));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
}

TEST_F(WindowLifecycle, FiftyOpenCloseCyclesLeaveTheObjectCountsWhereTheyWere) {
    int16_t buffer[2 * 2048];
    for (int i = 0; i < 2 * 2048; ++i) buffer[i] = static_cast<int16_t>(((i * 7919) % 30000) - 15000);
    long gdi = 0, windows = 0;
    // The first cycle loads what stays loaded (classes, the common controls,
    // the fonts' caches): the counts are taken after it.
    for (int cycle = 0; cycle <= 50; ++cycle) {
        audiomix_begin(0x00102030);
        audiomix_init(cycle % 2 ? 44100 : 22050, 2, 1);
        audiomix_set_title("\xD2\xF4\xC0\xD6 cycle");
        pump(5);
        audiomix_change(buffer, sizeof buffer, 1);
        audiomix_init(48000, 1, 1);  // a repeated init keeps one DC
        audiomix_change(buffer, sizeof buffer, 1);
        audiomix_close();
        if (cycle > 0) continue;
        pump(50);
        gdi = gdi_object_count();
        windows = top_window_count();
    }
    pump(50);
    EXPECT_EQ(gdi_object_count(), gdi);
    EXPECT_EQ(top_window_count(), windows);
}

// The frame's close button, found where the window answers HTCLOSE on the
// caption, hides the window without destroying it.
TEST_F(ControlWindow, ClickingTheCloseButtonHidesTheWindowForLater) {
    save_screenshot(capture_window(window), L"window_shown");
    click_at(close_button_of(window));
    EXPECT_TRUE(pump_until([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    audiomix_setdisp(1);
    pump(50);
    EXPECT_TRUE(IsWindowVisible(window));
}

// Host titles are bytes in the host's ANSI code page; a Chinese host's is
// GBK (936). The wine environment runs with a Chinese locale for these.
TEST_F(ControlWindow, GbkTitleBecomesChineseText) {
    if (GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not GBK (LC_ALL=zh_CN.UTF-8)";
    audiomix_set_title("\xD2\xF4\xC0\xD6 - \xB2\xA5\xB7\xC5\xC6\xF7");  // 音乐 - 播放器
    EXPECT_EQ(window_text(window), L"音乐 - 播放器");
    pump(100);
    save_screenshot(capture_window(window), L"window_chinese_title");
}

}  // namespace
}  // namespace window_test
