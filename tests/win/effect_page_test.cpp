// The effect page driven as a user drives it: real mouse drags and clicks,
// real typing, the host told through its window. The library is linked in
// (with its resources) so the default engine's settings can be read directly;
// the rules behind each control are proven natively, here that the controls
// reach them and show their results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/default_engine.h"
#include "audiomix.h"
#include "window_harness.h"

namespace window_test {
namespace {

// A copy of the default engine's settings as they are now.
audiomix::Settings settings() { return *audiomix::default_engine().view(); }

void clear_changed() { audiomix::default_engine().edit()->settingsChanged = 0; }

// The tap delays the second reverb line runs with.
std::vector<uint16_t> taps() {
    const audiomix::ReverbVoice voice = settings().chain.reverb[1];
    return {voice.tapDelay, voice.tapDelay + voice.tapCount};
}

constexpr UINT kSettingsChanged = 39321;

// The host's window: notes each "settings changed" and whether the control
// window was still visible when it came.
struct Received {
    WPARAM wParam;
    LPARAM lParam;
    bool windowVisible;
};
std::vector<Received> g_received;

LRESULT CALLBACK host_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSettingsChanged) return DefWindowProcW(hwnd, message, wParam, lParam);
    g_received.push_back({wParam, lParam, IsWindowVisible(find_control_window()) != FALSE});
    return 0;
}

class EffectPage : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"effect_page_test_host";
        RegisterClassW(&wc);
        host = CreateWindowW(wc.lpszClassName, L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                             nullptr);
        g_received.clear();
        audiomix_set_mainwnd(host);
        page = effect_page;
    }
    void TearDown() override {
        ControlWindow::TearDown();
        DestroyWindow(host);
    }

    std::wstring text(int id) const { return window_text(item(id)); }

    // Clicks into a box, selects its text and types, one key at a time (each
    // keystroke is a change of its own).
    void type_into(int box, const wchar_t* typed) {
        click(box);
        SendMessageW(item(box), EM_SETSEL, 0, -1);
        type_text(typed);
        pump(150);
    }

    HWND host = nullptr;
};

TEST_F(EffectPage, SlidersAndBoxesActOnTheEngineAndShowEachOther) {
    EXPECT_EQ(pos(1020), -settings().compThresholdDb) << "sliders show losses negated";
    EXPECT_EQ(text(1083), std::to_wstring(settings().compThresholdDb));
    EXPECT_EQ(settings().settingsChanged, 0) << "showing the page is not a change";
    save_screenshot(capture_window(window), L"effect_page_initial");

    // A real drag of the comb gain: both reverb lines and the box follow.
    const std::vector<uint16_t> tapsBefore = taps();
    ASSERT_EQ(drag_to(1024, 30), 30);
    EXPECT_EQ(settings().reverb[0].combDb, -30);
    EXPECT_EQ(settings().reverb[1].combDb, -30);
    EXPECT_NE(taps(), tapsBefore) << "letting go redraws the taps";
    EXPECT_EQ(text(1093), L"-30");
    EXPECT_EQ(settings().settingsChanged, 1);

    // A typed number moves the slider and the engine; one out of range is
    // refused and the box goes back to the stored value.
    type_into(1094, L"50");
    EXPECT_EQ(pos(1025), 50);
    EXPECT_EQ(settings().chain.reverb[0].tapCount, 50);
    clear_changed();
    type_into(1094, L"0");
    EXPECT_EQ(text(1094), L"50");
    EXPECT_EQ(settings().chain.reverb[1].tapCount, 50);
    EXPECT_EQ(settings().settingsChanged, 0);

    // Text that is no number is prompted and changes nothing.
    MessageBoxWatch boxes;
    const int decay = settings().reverb[0].decayM;
    type_into(1098, L"x");
    ASSERT_TRUE(pump_until([&] { return boxes.Count() >= 1; }));
    pump(100);
    EXPECT_EQ(boxes.Seen()[0].text, L"请输入一个整数。");
    EXPECT_EQ(settings().reverb[0].decayM, decay);
}

TEST_F(EffectPage, SwitchesAndOrderControls) {
    click(1003);
    EXPECT_TRUE(checked(1003));
    EXPECT_EQ(settings().chain.eqOn, 1);
    EXPECT_EQ(settings().settingsChanged, 1);
    click(1003);
    EXPECT_EQ(settings().chain.eqOn, 0);
    click(1004);
    click(1005);
    EXPECT_EQ(settings().chain.reverbOn, 1);
    EXPECT_EQ(settings().chain.compOn, 1);

    clear_changed();
    click(1007);  // the equaliser already goes first: stays, no change
    EXPECT_TRUE(checked(1007));
    EXPECT_FALSE(checked(1008));
    EXPECT_EQ(settings().settingsChanged, 0);
    click(1008);
    EXPECT_TRUE(checked(1008));
    EXPECT_FALSE(checked(1007));
    EXPECT_EQ(settings().chain.reverbFirst, 1);
    EXPECT_EQ(settings().settingsChanged, 1);

    // The host switched the equaliser on: the box does not follow, and a
    // click then only confirms what runs.
    audiomix_setiir(1);
    clear_changed();
    pump(50);
    EXPECT_FALSE(checked(1003));
    click(1003);
    EXPECT_TRUE(checked(1003));
    EXPECT_EQ(settings().chain.eqOn, 1);
    EXPECT_EQ(settings().settingsChanged, 0);
    save_screenshot(capture_window(window), L"effect_page_switched");
}

TEST_F(EffectPage, CloseAndAdjustTellTheHostOnlyAfterAChange) {
    click(1011);
    EXPECT_TRUE(g_received.empty()) << "nothing changed yet";
    click(1004);
    click(1011);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].wParam, 1111u);
    EXPECT_EQ(g_received[0].lParam, 20);
    EXPECT_EQ(settings().settingsChanged, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    type_into(1093, L"-33");
    click(1010);
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_TRUE(g_received[1].windowVisible) << "the host hears before the window hides";
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);

    audiomix_setdisp(1);
    pump(150);
    click(1010);
    EXPECT_EQ(g_received.size(), 2u) << "a second close has nothing to tell";

    // Without a host window the change is kept for later.
    audiomix_setdisp(1);
    pump(150);
    audiomix_set_mainwnd(nullptr);
    click(1005);
    click(1011);
    EXPECT_EQ(settings().settingsChanged, 1);
    EXPECT_EQ(g_received.size(), 2u);
}

}  // namespace
}  // namespace window_test
