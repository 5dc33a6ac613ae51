// The control window's life as the exports drive it: created hidden and
// topmost, shown and hidden, reused, destroyed; exports called out of order
// or from another thread; many open/close cycles without leaking objects.
#include <thread>

#include "window_harness.h"

namespace window_test {
namespace {

class WindowLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(dll_module(), nullptr) << "audiomix.dll not found beside the test";
        ASSERT_NE(dll().begin, nullptr);
    }
    void TearDown() override {
        dll().close();
        pump(20);
    }
};

// begin makes the window hidden, topmost and unowned with the template's
// caption; a second begin reuses and hides it; after close the next begin
// makes a new one.
TEST_F(WindowLifecycle, BeginMakesOrReusesTheWindowAndCloseDestroysIt) {
    ASSERT_EQ(find_control_window(), nullptr);
    dll().begin(0x00804020);
    HWND first = find_control_window();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_NE(GetWindowLongPtrW(first, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetParent(first), nullptr);
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
    EXPECT_EQ(window_text(first), L"蓝杉音频调整");

    dll().init(44100, 2, 1);
    pump();
    ASSERT_TRUE(IsWindowVisible(first));
    dll().begin(0);
    EXPECT_EQ(find_control_window(), first);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(dll().get_dispstatus(), 0);

    dll().close();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(find_control_window(), nullptr);
    dll().begin(0);
    EXPECT_NE(find_control_window(), nullptr);
}

TEST_F(WindowLifecycle, SetdispAndInitShowAndHide) {
    dll().begin(0);
    HWND w = find_control_window();
    ASSERT_NE(w, nullptr);
    // setdisp 2 hides and keeps the value; init with show 0 leaves it hidden.
    const struct {
        void (*call)();
        bool visible;
        uint8_t status;
    } steps[] = {
        {[] { dll().setdisp(1); }, true, 1},        {[] { dll().setdisp(2); }, false, 2},
        {[] { dll().init(44100, 2, 0); }, false, 2}, {[] { dll().init(48000, 2, 1); }, true, 1},
        {[] { dll().setdisp(0); }, false, 0},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].call();
        pump();
        EXPECT_EQ(IsWindowVisible(w) != FALSE, steps[i].visible) << "step " << i;
        EXPECT_EQ(dll().get_dispstatus(), steps[i].status) << "step " << i;
    }
}

TEST_F(WindowLifecycle, ExportsBeforeBeginAndAfterCloseAreHarmless) {
    int16_t buffer[2 * 1024] = {};
    for (int i = 0; i < 2048; ++i) buffer[i] = static_cast<int16_t>((i * 977) % 20000 - 10000);
    auto everything = [&] {
        dll().setdisp(1);
        dll().set_title("title");
        dll().setiir(1);
        dll().datarefresh();
        EXPECT_EQ(dll().change(buffer, sizeof buffer, 1), static_cast<int32_t>(sizeof buffer));
        dll().set_mainwnd(nullptr);
        dll().close();
        dll().close();
    };
    everything();  // no window yet
    EXPECT_EQ(find_control_window(), nullptr);
    dll().begin(0);
    dll().init(44100, 2, 1);
    pump();
    dll().close();
    everything();  // window gone
    EXPECT_EQ(find_control_window(), nullptr);
    // Without a window there is nothing to show: the state stays closed.
    dll().setdisp(1);
    EXPECT_EQ(dll().get_dispstatus(), 0);
}

TEST_F(WindowLifecycle, ExportsFromAnotherThreadNeitherBlockNorBreakTheWindow) {
    dll().begin(0);
    dll().init(44100, 2, 0);
    HWND w = find_control_window();
    ASSERT_NE(w, nullptr);
    // The other thread calls while this thread does not pump: nothing may
    // wait for the window thread.
    std::thread other([] {
        dll().setdisp(1);
        dll().set_title("from another thread");
        int16_t buffer[512] = {};
        dll().change(buffer, sizeof buffer, 1);
        dll().get_dispstatus();
    });
    other.join();
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(w) != FALSE; }));
    EXPECT_TRUE(pump_until([&] { return window_text(w) == L"from another thread"; }));

    // Closing from another thread: the window thread destroys the window the
    // next time it dispatches messages.
    std::thread closer([] { dll().close(); });
    closer.join();
    EXPECT_TRUE(pump_until([&] { return !IsWindow(w); }));
    EXPECT_EQ(dll().get_dispstatus(), 0);
}

TEST_F(WindowLifecycle, FiftyOpenCloseCyclesLeaveTheObjectCountsWhereTheyWere) {
    // One cycle first: the first window loads what stays loaded (classes,
    // the common controls, the fonts' caches).
    dll().begin(0);
    dll().init(44100, 2, 1);
    pump(50);
    dll().close();
    pump(50);
    const long gdi_before = gdi_object_count();
    const long user_before = user_object_count();
    RecordProperty("count_method", gui_resources_reported() ? "GetGuiResources" : "handle probing");

    int16_t buffer[2 * 2048];
    for (int i = 0; i < 2 * 2048; ++i) buffer[i] = static_cast<int16_t>(((i * 7919) % 30000) - 15000);
    for (int cycle = 0; cycle < 50; ++cycle) {
        dll().begin(0x00102030);
        dll().init(cycle % 2 ? 44100 : 22050, 2, 1);
        dll().set_title("\xD2\xF4\xC0\xD6 cycle");
        pump(5);
        dll().change(buffer, sizeof buffer, 1);
        dll().init(48000, 1, 1);  // a repeated init keeps one DC
        dll().change(buffer, sizeof buffer, 1);
        dll().setdisp(0);
        dll().close();
    }
    pump(50);
    EXPECT_EQ(gdi_object_count(), gdi_before);
    EXPECT_EQ(user_object_count(), user_before);
}

}  // namespace
}  // namespace window_test
