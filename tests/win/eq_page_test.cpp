// The equaliser page driven as a user drives it: band-count buttons, band
// sliders by mouse and keys, presets chosen in the skinned box, saved through
// the name dialog and deleted. The rules behind the page (scales, layouts,
// linked tuning, the preset file) are proven natively; here that the page
// reaches them and shows what the engine runs. The preset file sits beside
// the test executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "api/default_engine.h"
#include "audiomix.h"
#include "controls/skin_combo_box.h"
#include "model/eq_rules.h"
#include "window_harness.h"

namespace window_test {
namespace {

using audiomix::eq_band_value_from_position;

// A copy of the default engine's settings as they are now.
audiomix::Settings settings() { return *audiomix::default_engine().view(); }

constexpr int kBandButtons[4] = {1007, 1008, 1012, 1013};
constexpr int kBandCounts[4] = {10, 15, 25, 31};
constexpr int kSecondPass = 1003, kPreGain = 1006, kPresetBox = 1009, kSave = 1010, kDelete = 1011;
constexpr int kCentre = audiomix::kBandSliderMax / 2;

int slider_id(int band) { return 1020 + band; }

std::string preset_file() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + "audioeqset.eq";
}

// The host's name of preset n, from UTF-8 into UTF-16.
std::wstring host_preset_name(int n) {
    char utf8[64] = {};
    audiomix_preset_name(n, utf8, sizeof utf8);
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 64);
    return wide;
}

class EqPage : public ControlWindow {
protected:
    void SetUp() override {
        std::remove(preset_file().c_str());
        ControlWindow::SetUp();
        page = eq_page;
        show_eq_page();
    }
    void TearDown() override {
        ControlWindow::TearDown();
        std::remove(preset_file().c_str());
    }

    int band_pos(int band) const { return pos(slider_id(band)); }
    int shown_sliders() const {
        int n = 0;
        for (int b = 0; b < 32; ++b) n += IsWindowVisible(item(slider_id(b))) && IsWindowEnabled(item(slider_id(b)));
        return n;
    }
    audiomix::CSkinComboBox& box() const {
        return *static_cast<audiomix::CSkinComboBox*>(audiomix::CWnd::FromHandlePermanent(item(kPresetBox)));
    }
    // The texts the box draws, item by item (owner-drawn: the control keeps none).
    std::vector<std::wstring> box_items() const {
        std::vector<std::wstring> items;
        for (int i = 0; i < box().GetCount(); ++i) items.push_back(box().GetItemText(i).c_str());
        return items;
    }
    HWND list() const {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(item(kPresetBox), &info);
        return info.hwndList;
    }
    // Item n of the open list, in screen coordinates.
    RECT list_item(int n) const {
        RECT r{};
        SendMessageW(list(), LB_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Chooses item n of the preset box from the keyboard, as a user would.
    void choose_preset(int n) {
        key(kPresetBox, VK_HOME);
        for (int i = 0; i < n; ++i) key(kPresetBox, VK_DOWN);
    }
};

TEST_F(EqPage, BandCountButtonsSwitchLayouts) {
    EXPECT_EQ(shown_sliders(), 10);
    key(kPreGain, VK_HOME);  // pre-gain far down: a band count puts it back to 0 dB
    save_screenshot(capture_window(window), L"eq_page_10");
    for (int i : {1, 2, 3, 0}) {
        const int bands = kBandCounts[i];
        click(kBandButtons[i]);
        pump(100);
        save_screenshot(capture_window(window), (L"eq_page_" + std::to_wstring(bands)).c_str());
        EXPECT_EQ(shown_sliders(), bands);
        for (int b = 0; b < 4; ++b) EXPECT_EQ(checked(kBandButtons[b]), b == i);
        for (int b = 0; b < bands; ++b) EXPECT_EQ(band_pos(b), kCentre) << "band " << b;
        EXPECT_EQ(IsWindowVisible(item(1017)) != FALSE, bands > 15) << "a second row's captions";
        EXPECT_EQ(settings().eqBandCount, bands);
        EXPECT_EQ(settings().eqPreGainValue, 0.0f);
        EXPECT_EQ(SendMessageW(item(kPreGain), TBM_GETPOS, 0, 0), audiomix::kPreGainSliderMax / 2);
        EXPECT_EQ(box_items().front(), std::to_wstring(bands) + L"频段缺省模式");
    }
    // Below full rate only ten bands are offered.
    audiomix_init(22050, 2, 1);
    pump(100);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(IsWindowEnabled(item(kBandButtons[i])) != FALSE, i == 0);
}

TEST_F(EqPage, BandSlidersAndPreGainByMouseAndKeys) {
    ASSERT_EQ(drag_to(slider_id(3), 5), 5);  // a real drag of band 3 upwards
    EXPECT_FLOAT_EQ(settings().eqBandValue[3], eq_band_value_from_position(5));
    EXPECT_EQ(band_pos(2), kCentre) << "linked tuning is off";
    EXPECT_EQ(settings().settingsChanged, 1);

    key(slider_id(0), VK_END);
    EXPECT_FLOAT_EQ(settings().eqBandValue[0], eq_band_value_from_position(audiomix::kBandSliderMax));
    key(kPreGain, VK_HOME);
    EXPECT_FLOAT_EQ(settings().eqPreGainValue, audiomix::eq_pregain_value_from_position(0));
}

TEST_F(EqPage, TheBoxListsTheHostsPresetsAndAClickInItsListAppliesOne) {
    const std::vector<std::wstring> items = box_items();
    ASSERT_EQ(static_cast<int>(items.size()), audiomix_preset_count());
    for (int i = 0; i < audiomix_preset_count(); ++i) EXPECT_EQ(items[i], host_preset_name(i));

    // Opened with a real click; hovering an item moves the highlight onto it
    // (how the items look is proven natively and seen in the screenshot).
    click(kPresetBox);
    ASSERT_TRUE(pump_until([&] { return box().GetDroppedState() != FALSE; }, 2000));
    move_mouse(centre_of(list_item(4)));
    ASSERT_TRUE(pump_until([&] { return SendMessageW(list(), LB_GETCURSEL, 0, 0) == 4; }, 2000));
    pump(60);
    RECT shot, open;
    GetWindowRect(window, &shot);
    GetWindowRect(list(), &open);
    UnionRect(&shot, &shot, &open);
    save_screenshot(capture_screen(shot), L"eq_page_preset_list");

    click_at(centre_of(list_item(4)));
    EXPECT_TRUE(pump_until([&] { return box().GetDroppedState() == FALSE; }, 2000));
    EXPECT_EQ(box().GetCurSel(), 4);
    int moved = 0;
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(band_pos(b), audiomix::eq_band_position_from_value(settings().eqBandValue[b])) << "band " << b;
        moved += band_pos(b) != kCentre;
    }
    EXPECT_GE(moved, 5);
    EXPECT_EQ(settings().settingsChanged, 1);
}

TEST_F(EqPage, SaveAddsThePresetForTheHostAndDeleteAsksFirst) {
    const int builtIns = audiomix_preset_count();
    // The name dialog runs modally inside the click; a second thread plays
    // the user there: types the name and confirms.
    std::thread user([page_thread = GetCurrentThreadId()] {
        HWND dialog = nullptr;
        if (!wait_until([&] { return (dialog = find_thread_dialog(page_thread, 1083)) != nullptr; }, 5000)) return;
        SetForegroundWindow(dialog);
        Sleep(100);
        click_at(control_centre(dialog, 1083));
        type_text(L"我的音效");
        Sleep(150);
        click_at(control_centre(dialog, 1002));
    });
    click(kSave);
    pump(300);
    user.join();
    ASSERT_EQ(audiomix_preset_count(), builtIns + 1);
    EXPECT_EQ(host_preset_name(builtIns), L"我的音效");
    EXPECT_EQ(box_items().back(), L"我的音效");
    EXPECT_EQ(box().GetCurSel(), builtIns);

    // Deleting a built-in is refused; deleting our own asks and rewrites.
    MessageBoxWatch boxes(IDOK);
    choose_preset(2);
    click(kDelete);
    pump(200);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, L"内置音效，无法删除");
    EXPECT_EQ(boxes.Seen()[0].caption, L"音效删除");
    boxes.SetAnswer(IDYES);
    choose_preset(builtIns);
    click(kDelete);
    pump(200);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Seen()[1].text, L"确认删除音效我的音效 吗");
    EXPECT_EQ(audiomix_preset_count(), builtIns);
    EXPECT_EQ(box_items().size(), static_cast<size_t>(builtIns));
    EXPECT_EQ(box().GetCurSel(), 0);
}

TEST_F(EqPage, HostChangesAppearWhenThePageComesBack) {
    // Back to the effect page by its tab, then the host switches to 31
    // bands and lifts band 20.
    click_tab(0);
    ASSERT_TRUE(pump_until([&] { return IsWindowVisible(effect_page) && !IsWindowVisible(eq_page); }));
    ASSERT_EQ(audiomix_param_set("eq.bands", 31), 0);
    ASSERT_EQ(audiomix_param_set("eq.band.20", 8), 0);
    ASSERT_EQ(audiomix_param_set("eq.second_pass", 1), 0);
    show_eq_page();
    pump(100);
    EXPECT_EQ(shown_sliders(), 31);
    EXPECT_EQ(band_pos(20), audiomix::eq_band_position_from_value(8));
    EXPECT_TRUE(checked(kBandButtons[3]));
    EXPECT_TRUE(checked(kSecondPass));
    EXPECT_EQ(settings().eqBandValue[20], 8.0f) << "showing the page changes nothing";
}

}  // namespace
}  // namespace window_test
