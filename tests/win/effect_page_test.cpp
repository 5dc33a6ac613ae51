// The effect page driven as a user drives it: real mouse drags and clicks,
// real typing, the host told through its window. The library is linked in
// (with its resources) so the default engine's settings can be read directly.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "audiomix.h"
#include "controls/slider_geometry.h"
#include "api/default_engine.h"
#include "message_box_watch.h"
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

class EffectPage : public ::testing::Test {
protected:
    void SetUp() override {
        audiomix_begin(0);
        audiomix_set_mainwnd(host.hwnd);
        audiomix_init(44100, 2, 1);
        window = find_control_window();
        ASSERT_NE(window, nullptr);
        page = page_with(GetDlgItem(window, kTabControlId), 1105);
        ASSERT_NE(page, nullptr);
        // Where the page must be fully on screen for real input.
        SetWindowPos(window, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        pump(200);
        ASSERT_TRUE(IsWindowVisible(page));
    }
    void TearDown() override {
        audiomix_close();
        pump(20);
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
    HWND window = nullptr, page = nullptr;
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

TEST_F(EffectPage, SliderThumbsOnScreenMatchTheirFigures) {
    const audiomix::SliderColours colours =
        audiomix::slider_colours(RGB(255, 0, 0), GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_BTNFACE),
                                 GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DHILIGHT));
    for (int slider : {1020, 1027}) {
        RECT thumb;
        SendMessageW(item(slider), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        const audiomix::ThumbFigure f = audiomix::slider_thumb({thumb.left, thumb.top, thumb.right, thumb.bottom},
                                                               audiomix::ThumbShape::Both, true, colours);
        const Capture shot = capture_window(item(slider));
        for (int i = 0; i < f.pixelCount; ++i)
            EXPECT_EQ(shot.at(f.pixels[i].x, f.pixels[i].y), f.pixelColours[i]) << slider << " corner " << i;
        for (int i = 0; i < f.gripDotCount; ++i)
            EXPECT_EQ(shot.at(f.gripDots[i].x, f.gripDots[i].y), colours.light2) << slider << " grip dot " << i;
        ASSERT_GT(f.pixelCount + f.gripDotCount, 0);
    }
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

TEST_F(EffectPage, KeyboardOnASliderKeepsGainsInStep) {
    SetFocus(item(1026));
    press_key(VK_HOME);  // wet level 0 dB: the box refuses it, the gain follows anyway
    pump(150);
    EXPECT_EQ(pos(1026), 0);
    const audiomix::Settings top = settings();
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(top.reverb[c].wetDb, 0);
        EXPECT_FLOAT_EQ(top.chain.reverb[c].wetGain, 1.0f);
    }
    press_key(VK_END);
    pump(150);
    EXPECT_EQ(settings().reverb[1].wetDb, -100);
    EXPECT_FLOAT_EQ(settings().chain.reverb[1].wetGain, gain_of_db(-100));
    EXPECT_EQ(text(1097), L"-100");
}

// Anything a user does, in any order, while audio runs: the engine stays
// inside the ranges the controls allow and nothing leaks.
TEST_F(EffectPage, RandomInputWhileAudioRunsStaysInRange) {
    MessageBoxWatch boxes;
    std::atomic<bool> stop{false};
    std::thread audio;
    auto start_audio = [&] {
        stop = false;
        audio = std::thread([&] {
            std::vector<int16_t> buffer(2 * 512);
            uint32_t seed = 1;
            while (!stop) {
                for (int16_t& s : buffer) s = static_cast<int16_t>((seed = seed * 1664525u + 1013904223u) >> 16);
                audiomix_change(buffer.data(), static_cast<int32_t>(buffer.size() * 2), 1);
            }
        });
    };
    auto stop_audio = [&] {
        stop = true;
        audio.join();
        pump(100);
    };
    start_audio();
    long gdiBefore = 0, userBefore = 0;
    std::mt19937 rng(7);
    const int sliders[] = {1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029};
    const int buttons[] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1011};
    const int boxesIds[] = {1083, 1088, 1089, 1090, 1093, 1094, 1097, 1098, 1101, 1102};
    const WORD keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
    const wchar_t* typed[] = {L"7", L"-", L"999", L"-45", L"abc", L"0", L"-100", L"12345678901"};
    for (int round = 0; round < 70; ++round) {
        if (round == 10) {
            // Counted after every kind of action has run once: tool tips,
            // cached backgrounds and the prompt's icon exist from then on.
            type_into(1098, L"x");
            pump_until([&] { return boxes.Count() > 0; });
            // Counted with the level display idle (it draws from the audio
            // thread with objects of its own) and the focus where it ends,
            // away from the boxes' caret.
            SetFocus(item(1020));
            stop_audio();
            gdiBefore = gdi_object_count();
            userBefore = user_object_count();
            start_audio();
        }
        switch (rng() % 4) {
        case 0: {
            const int s = sliders[rng() % 10];
            const RECT channel = [&] {
                RECT r;
                SendMessageW(item(s), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
                return r;
            }();
            POINT p = thumb_centre(s);
            move_mouse(p);
            mouse_button(true);
            for (int i = 0; i < 6; ++i) {
                p.x = channel.left + static_cast<int>(rng() % (channel.right - channel.left + 20)) - 10;
                POINT q = p;
                ClientToScreen(item(s), &q);
                move_mouse({q.x, thumb_centre(s).y});
                pump(3);
            }
            mouse_button(false);
            pump(10);
            break;
        }
        case 1:
            SetFocus(item(sliders[rng() % 10]));
            press_key(keys[rng() % 8]);
            pump(10);
            break;
        case 2: click(buttons[rng() % 8]); break;
        default: type_into(boxesIds[rng() % 10], typed[rng() % 8]); break;
        }
    }
    SetFocus(item(1020));  // leaving a box puts back what it refused
    pump(200);
    stop_audio();

    const audiomix::Settings end = settings();
    EXPECT_TRUE(end.compThresholdDb >= -60 && end.compThresholdDb <= -1) << end.compThresholdDb;
    EXPECT_TRUE(end.compRatio >= 0 && end.compRatio <= 10);
    EXPECT_TRUE(end.compAttackMs >= 1 && end.compAttackMs <= 1000);
    EXPECT_TRUE(end.compReleaseMs >= 1 && end.compReleaseMs <= 1000);
    for (int c = 0; c < 2; ++c) {
        const audiomix::ReverbShape& shape = end.reverb[c];
        const audiomix::ReverbVoice& voice = end.chain.reverb[c];
        EXPECT_TRUE(shape.combDb >= -80 && shape.combDb <= 0);
        EXPECT_TRUE(voice.tapCount >= 1 && voice.tapCount <= 100);
        EXPECT_TRUE(shape.wetDb >= -100 && shape.wetDb <= 0);
        EXPECT_TRUE(shape.decayM >= 1 && shape.decayM <= 1000);
        EXPECT_TRUE(shape.combM >= 1 && shape.combM <= 1000);
        EXPECT_TRUE(shape.baseM >= 0 && shape.baseM <= 100);
        EXPECT_FLOAT_EQ(voice.combGain, gain_of_db(shape.combDb));
        EXPECT_FLOAT_EQ(voice.wetGain, gain_of_db(shape.wetDb));
    }
    EXPECT_EQ(end.chain.reverb[0].tapCount, end.chain.reverb[1].tapCount);
    // Every box shows its engine value (a refused number has gone back).
    const struct {
        int box;
        int value;
    } shown[] = {{1083, end.compThresholdDb}, {1089, end.compRatio}, {1094, end.chain.reverb[0].tapCount},
                 {1102, end.reverb[0].baseM}};
    for (const auto& s : shown) EXPECT_EQ(text(s.box), std::to_wstring(s.value)) << s.box;
    EXPECT_EQ(gdi_object_count(), gdiBefore);
    EXPECT_EQ(user_object_count(), userBefore);
}

}  // namespace
}  // namespace window_test
