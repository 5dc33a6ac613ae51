// The effect page driven as a user drives it: real mouse drags and clicks,
// real typing, the host told through its window. The library is linked in
// (with its resources) so the default engine's settings can be read directly.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "audiomix.h"
#include "api/default_engine.h"
#include "window_harness.h"

namespace window_test {
namespace {

// A copy of the default engine's settings as they are now.
audiomix::Settings settings() { return *audiomix::default_engine().view(); }

void clear_changed() { audiomix::default_engine().edit()->settingsChanged = 0; }

constexpr UINT kSettingsChanged = 39321;

// Expected float values, from the text of each rule: 10^(dB/20) with dB a
// whole number times single-precision 0.05.
float gain_of_db(int dB) { return static_cast<float>(std::pow(10.0, dB * static_cast<double>(0.05f))); }

struct HostWindow {
    HostWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"effect_page_test_host";
        RegisterClassW(&wc);
        hwnd = CreateWindowW(wc.lpszClassName, L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~HostWindow() { DestroyWindow(hwnd); }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && message == kSettingsChanged) {
            self->received.push_back({wParam, lParam, IsWindowVisible(find_control_window()) != FALSE});
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    struct Received {
        WPARAM wParam;
        LPARAM lParam;
        bool windowVisible;
    };
    HWND hwnd = nullptr;
    std::vector<Received> received;
};

class EffectPage : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        audiomix_set_mainwnd(host.hwnd);
        page = effect_page;
    }

    HWND item(int id) const { return GetDlgItem(page, id); }
    int pos(int slider) const { return static_cast<int>(SendMessageW(item(slider), TBM_GETPOS, 0, 0)); }
    std::wstring text(int id) const { return window_text(item(id)); }
    bool checked(int id) const { return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    POINT centre_on_screen(HWND hwnd, RECT r) const {
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(hwnd, &p);
        return p;
    }
    POINT thumb_centre(int slider) const {
        RECT r;
        SendMessageW(item(slider), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return centre_on_screen(item(slider), r);
    }
    void click(int id) {
        RECT r;
        GetClientRect(item(id), &r);
        click_at(centre_on_screen(item(id), r));
    }

    // Presses the thumb and moves the pointer a pixel at a time until the
    // trackbar reaches target, then lets go. Returns the final position.
    int drag_to(int slider, int target) {
        POINT p = thumb_centre(slider);
        move_mouse(p);
        pump(40);
        mouse_button(true);
        pump(40);
        const int step = target > pos(slider) ? 1 : -1;
        for (int i = 0; i < 400 && pos(slider) != target; ++i) {
            p.x += step;
            move_mouse(p);
            pump(8);
        }
        mouse_button(false);
        pump(120);
        return pos(slider);
    }

    // Clicks into a box, selects its text and pastes over it: one change.
    void paste_into(int box, const wchar_t* pasted) {
        click(box);
        SendMessageW(item(box), EM_SETSEL, 0, -1);
        SendMessageW(item(box), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted));
        pump(100);
    }

    // Clicks into a box, selects its text and types, one key at a time (each
    // keystroke is a change of its own).
    void type_into(int box, const wchar_t* typed) {
        click(box);
        SendMessageW(item(box), EM_SETSEL, 0, -1);
        type_text(typed);
        pump(150);
    }

    static std::vector<uint16_t> taps(const audiomix::ReverbVoice& voice) {
        return {voice.tapDelay, voice.tapDelay + voice.tapCount};
    }

    HostWindow host;
    HWND page = nullptr;
};

TEST_F(EffectPage, ShowsTheEngineAfterInit) {
    // Sliders show the stored values, negated where the value is a loss.
    EXPECT_EQ(pos(1020), -settings().compThresholdDb);
    EXPECT_EQ(pos(1021), settings().compRatio);
    EXPECT_EQ(pos(1022), settings().compAttackMs);
    EXPECT_EQ(pos(1023), settings().compReleaseMs);
    EXPECT_EQ(pos(1024), 10);  // combDb -10
    EXPECT_EQ(pos(1025), 20);
    EXPECT_EQ(pos(1026), 10);
    EXPECT_EQ(pos(1027), 10);
    EXPECT_EQ(pos(1028), 20);
    EXPECT_EQ(pos(1029), 5);
    EXPECT_EQ(text(1083), L"-20");
    EXPECT_EQ(text(1093), L"-10");
    EXPECT_EQ(text(1094), L"20");
    EXPECT_EQ(text(1102), L"5");
    // Ranges, selection marks and tick frequencies of two representative
    // sliders, one per group.
    EXPECT_EQ(SendMessageW(item(1020), TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(item(1020), TBM_GETRANGEMAX, 0, 0), 60);
    EXPECT_EQ(SendMessageW(item(1026), TBM_GETSELSTART, 0, 0), 30);
    EXPECT_EQ(SendMessageW(item(1026), TBM_GETSELEND, 0, 0), 100);
    // Switches start off, the equaliser goes first.
    EXPECT_FALSE(checked(1003) || checked(1004) || checked(1005));
    EXPECT_TRUE(checked(1007));
    EXPECT_FALSE(checked(1008));
    EXPECT_EQ(settings().settingsChanged, 0) << "showing the page is not a change";
    save_screenshot(capture_window(window), L"effect_page_initial");
}

TEST_F(EffectPage, DraggingTheGainSliderAndLettingGoRedrawsBothLines) {
    const audiomix::Settings before = settings();
    const int wet = before.reverb[0].wetDb;
    ASSERT_EQ(drag_to(1024, 30), 30);
    const audiomix::Settings after = settings();
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(after.reverb[c].combDb, -30);
        EXPECT_FLOAT_EQ(after.chain.reverb[c].combGain, gain_of_db(-30));
        EXPECT_EQ(after.reverb[c].wetDb, wet);
    }
    EXPECT_EQ(text(1093), L"-30");
    EXPECT_NE(taps(after.chain.reverb[0]), taps(before.chain.reverb[0]));
    EXPECT_NE(taps(after.chain.reverb[1]), taps(before.chain.reverb[1]));
    EXPECT_EQ(after.settingsChanged, 1);
}

TEST_F(EffectPage, ThresholdInUseLiesThreeDecibelsBelowTheShownNumber) {
    ASSERT_EQ(drag_to(1020, 26), 26);
    EXPECT_EQ(settings().compThresholdDb, -26);
    EXPECT_EQ(text(1083), L"-26");
    EXPECT_FLOAT_EQ(settings().chain.compThreshold, gain_of_db(-29));
    // The box refuses the slider's far end.
    paste_into(1083, L"-60");
    EXPECT_EQ(settings().compThresholdDb, -26);
    EXPECT_EQ(text(1083), L"-26");
}

TEST_F(EffectPage, AttackAndReleaseTiesGoToTheReleaseSide) {
    type_into(1088, L"10");
    EXPECT_EQ(settings().compAttackMs, 10);
    EXPECT_EQ(settings().compReleaseMs, 10);
    EXPECT_EQ(pos(1022), 10);
    EXPECT_EQ(settings().chain.compAvgCoef, settings().chain.compReleaseCoef);
    type_into(1090, L"11");
    EXPECT_EQ(settings().chain.compAvgCoef, settings().chain.compAttackCoef);
    type_into(1089, L"0");
    EXPECT_EQ(settings().chain.compSlope, 0.0f);
    EXPECT_EQ(pos(1021), 0);
}

TEST_F(EffectPage, TypedNumbersAreAppliedOrRefused) {
    type_into(1094, L"50");
    for (const audiomix::ReverbVoice& voice : settings().chain.reverb) EXPECT_EQ(voice.tapCount, 50);
    EXPECT_EQ(pos(1025), 50);
    const auto drawn = taps(settings().chain.reverb[0]);
    clear_changed();
    for (const wchar_t* refused : {L"0", L"101"}) {
        paste_into(1094, refused);
        EXPECT_EQ(text(1094), L"50") << "refused " << refused;
        EXPECT_EQ(settings().chain.reverb[1].tapCount, 50);
        EXPECT_EQ(taps(settings().chain.reverb[0]), drawn);
        EXPECT_EQ(settings().settingsChanged, 0);
    }
    paste_into(1097, L"-1");
    EXPECT_EQ(settings().reverb[0].wetDb, -10);
    EXPECT_EQ(text(1097), L"-10");
    type_into(1097, L"-2");
    EXPECT_EQ(settings().reverb[0].wetDb, -2);
    EXPECT_FLOAT_EQ(settings().chain.reverb[1].wetGain, gain_of_db(-2));
    EXPECT_EQ(pos(1026), 2);
}

TEST_F(EffectPage, TextThatIsNotANumberIsPromptedAndChangesNothing) {
    MessageBoxWatch boxes;
    type_into(1098, L"x");
    ASSERT_TRUE(pump_until([&] { return boxes.Count() >= 1; }));
    pump(100);
    EXPECT_EQ(boxes.Seen()[0].text, L"请输入一个整数。");
    EXPECT_EQ(settings().reverb[0].decayM, 10);
    // A lone sign or an emptied box waits for the rest of the number, and
    // goes back to the stored value when the user leaves it.
    const size_t prompts = boxes.Count();
    type_into(1101, L"-");
    SendMessageW(item(1101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    pump(100);
    click(1094);
    EXPECT_EQ(boxes.Count(), prompts);
    EXPECT_EQ(text(1101), L"20");
    EXPECT_EQ(settings().reverb[1].combM, 20);
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
    click(1007);  // already checked: stays, no change
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

TEST_F(EffectPage, DefaultButtonsRestoreSlidersBoxesAndEngine) {
    drag_to(1024, 40);
    type_into(1094, L"77");
    type_into(1090, L"500");
    type_into(1089, L"9");
    click(1006);
    const int expected[] = {10, 20, 10, 10, 20, 5};  // 1024 .. 1029
    for (int i = 0; i < 6; ++i) EXPECT_EQ(pos(1024 + i), expected[i]) << 1024 + i;
    EXPECT_EQ(text(1094), L"20");
    const audiomix::Settings restored = settings();
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(restored.chain.reverb[c].tapCount, 20);
        EXPECT_EQ(restored.reverb[c].combDb, -10);
        EXPECT_FLOAT_EQ(restored.chain.reverb[c].combGain, gain_of_db(-10));
    }
    click(1002);
    EXPECT_EQ(pos(1022), 1);
    EXPECT_EQ(pos(1023), 10);
    EXPECT_EQ(pos(1021), 5);
    EXPECT_EQ(pos(1020), 20);
    EXPECT_EQ(text(1090), L"10");
    EXPECT_EQ(settings().compReleaseMs, 10);
    EXPECT_FLOAT_EQ(settings().chain.compSlope, 0.5f);
    EXPECT_FLOAT_EQ(settings().chain.compThreshold, gain_of_db(-23));
    EXPECT_EQ(settings().chain.compAvgCoef, settings().chain.compAttackCoef);
}

TEST_F(EffectPage, CloseAndAdjustTellTheHostOnlyAfterAChange) {
    click(1011);
    EXPECT_TRUE(host.received.empty()) << "nothing changed yet";
    click(1004);
    click(1011);
    ASSERT_EQ(host.received.size(), 1u);
    EXPECT_EQ(host.received[0].wParam, 1111u);
    EXPECT_EQ(host.received[0].lParam, 20);
    EXPECT_EQ(settings().settingsChanged, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    type_into(1093, L"-33");
    click(1010);
    ASSERT_EQ(host.received.size(), 2u);
    EXPECT_TRUE(host.received[1].windowVisible) << "the host hears before the window hides";
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(settings().chain.displayShown, 0);
    EXPECT_EQ(audiomix_get_dispstatus(), 0);

    audiomix_setdisp(1);
    pump(150);
    click(1010);
    EXPECT_EQ(host.received.size(), 2u) << "a second close has nothing to tell";
}

TEST_F(EffectPage, WithoutAHostWindowTheChangeIsKept) {
    audiomix_set_mainwnd(nullptr);
    click(1005);
    click(1011);
    EXPECT_EQ(settings().settingsChanged, 1);
    EXPECT_TRUE(host.received.empty());
}

TEST_F(EffectPage, InitFromAnotherThreadResetsNowAndShowsItLater) {
    type_into(1094, L"50");
    ASSERT_EQ(settings().chain.reverb[0].tapCount, 50);
    // The window thread is busy joining: a reset that waited for it would
    // never return.
    std::thread([] { audiomix_init(48000, 2, 1); }).join();
    EXPECT_EQ(settings().chain.reverb[0].tapCount, 20);
    EXPECT_EQ(settings().chain.reverb[1].tapCount, 20);
    EXPECT_TRUE(pump_until([&] { return text(1094) == L"20"; }));
    EXPECT_EQ(pos(1025), 20);
}

TEST_F(EffectPage, TabKeyFollowsTheTemplateOrder) {
    // The tab stops in template order, with a host loop that knows nothing
    // of dialogs (no IsDialogMessage): the library takes its own keys.
    const int expected[] = {1003, 1004, 1005, 1020, 1021, 1022, 1023, 1002, 1083, 1088,
                            1089, 1090, 1024, 1025, 1093, 1094, 1026, 1027, 1097, 1098,
                            1028, 1029, 1101, 1102, 1006, 1010, 1007, 1008, 1011, 1003};
    SetFocus(item(1003));
    std::vector<int> visited;
    for (size_t i = 1; i < std::size(expected); ++i) {
        press_key(VK_TAB);
        pump(60);
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(visited, std::vector<int>(std::begin(expected) + 1, std::end(expected)));
}

}  // namespace
}  // namespace window_test
