// The equaliser page driven as a user drives it: band-count buttons, band
// sliders by mouse and keyboard, presets chosen in the box, saved through
// the name dialog and deleted, with the preset file checked byte for byte.
// The library is linked in, so the engine's settings can be read directly;
// the preset file sits beside the test executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "api/default_engine.h"
#include "audiomix.h"
#include "controls/skin_combo_box.h"
#include "model/preset_store.h"
#include "window_harness.h"

namespace window_test {
namespace {

// A copy of the default engine's settings as they are now.
audiomix::Settings settings() { return *audiomix::default_engine().view(); }

constexpr int kBandButtons[4] = {1007, 1008, 1012, 1013};
constexpr int kSecondPass = 1003, kLinked = 1004, kPresetBox = 1009, kSave = 1010, kDelete = 1011;

int slider_id(int band) { return 1020 + band; }
int label_id(int band) { return band == 0 ? 1001 : band == 1 ? 1002 : 1050 + band; }

std::string preset_file() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + "audioeqset.eq";
}

std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One user record as the file holds it, built byte by byte.
std::vector<unsigned char> record_bytes(const char* gbkName, int32_t bands, const std::vector<int32_t>& gains) {
    std::vector<unsigned char> r(196, 0);
    std::memcpy(r.data(), gbkName, std::strlen(gbkName));
    auto put = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) r[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(64, bands);
    for (size_t b = 0; b < gains.size(); ++b) put(68 + 4 * b, gains[b]);
    return r;
}

int32_t le32(const std::vector<unsigned char>& bytes, size_t at) {
    return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                static_cast<uint32_t>(bytes[at + 3]) << 24);
}

class EqPage : public ControlWindow {
protected:
    void SetUp() override {
        std::remove(preset_file().c_str());
        WriteUserPresets();
        ControlWindow::SetUp();
        page = eq_page;
        show_eq_page();
    }
    void TearDown() override {
        ControlWindow::TearDown();
        std::remove(preset_file().c_str());
    }
    virtual void WriteUserPresets() {}

    HWND item(int id) const { return GetDlgItem(page, id); }
    int pos(int band) const { return static_cast<int>(SendMessageW(item(slider_id(band)), TBM_GETPOS, 0, 0)); }
    bool shown(int id) const { return IsWindowVisible(item(id)) && IsWindowEnabled(item(id)); }
    void click(int id) { click_at(control_centre(page, id)); }
    int shown_sliders() const {
        int n = 0;
        for (int b = 0; b < 32; ++b) n += shown(slider_id(b)) ? 1 : 0;
        return n;
    }
    std::vector<std::wstring> box_items() const {
        std::vector<std::wstring> items;
        const int n = static_cast<int>(SendMessageW(item(kPresetBox), CB_GETCOUNT, 0, 0));
        auto* box = static_cast<audiomix::CSkinComboBox*>(audiomix::CWnd::FromHandlePermanent(item(kPresetBox)));
        for (int i = 0; i < n; ++i) items.push_back(box->GetItemText(i).c_str());
        return items;
    }
    // Chooses item n of the preset box from the keyboard, as a user would.
    void choose_preset(int n) {
        SetFocus(item(kPresetBox));
        press_key(VK_HOME);
        pump(30);
        for (int i = 0; i < n; ++i) {
            press_key(VK_DOWN);
            pump(30);
        }
        pump(60);
    }

    HWND page = nullptr;
};

TEST_F(EqPage, BandCountButtonsSwitchLayouts) {
    EXPECT_EQ(shown_sliders(), 10);
    SetFocus(item(1006));
    press_key(VK_HOME);  // pre-gain far down: a band count puts it back to 0 dB
    pump(60);
    const LRESULT centre = (SendMessageW(item(1006), TBM_GETRANGEMIN, 0, 0) + SendMessageW(item(1006), TBM_GETRANGEMAX, 0, 0)) / 2;
    EXPECT_EQ(window_text(item(label_id(9))), L"16K");
    save_screenshot(capture_window(window), L"eq_page_10");
    for (int i : {1, 2, 3, 0}) {
        const int bands[4] = {10, 15, 25, 31};
        click(kBandButtons[i]);
        pump(100);
        EXPECT_EQ(shown_sliders(), bands[i]);
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(SendMessageW(item(kBandButtons[b]), BM_GETCHECK, 0, 0) == BST_CHECKED, b == i);
        const bool twoRows = bands[i] > 15;
        EXPECT_EQ(IsWindowVisible(item(1017)) != FALSE, twoRows);
        EXPECT_EQ(IsWindowVisible(item(1019)) != FALSE, twoRows);
        for (int b = 0; b < bands[i]; ++b) EXPECT_EQ(pos(b), 25);
        if (bands[i] == 25) {
            // 13 above, 12 below, both rows from the same left edge.
            RECT first, lower;
            GetWindowRect(item(slider_id(0)), &first);
            GetWindowRect(item(slider_id(13)), &lower);
            EXPECT_EQ(first.left, lower.left);
            EXPECT_GT(lower.top, first.bottom);
            EXPECT_EQ(window_text(item(label_id(13))), L"1K");
            EXPECT_EQ(window_text(item(label_id(24))), L"20K");
        }
        std::wstring name = L"eq_page_" + std::to_wstring(bands[i]);
        save_screenshot(capture_window(window), name.c_str());
        EXPECT_EQ(settings().eqBandCount, bands[i]);
        EXPECT_EQ(settings().eqPreGainValue, 0.0f);
        EXPECT_EQ(SendMessageW(item(1006), TBM_GETPOS, 0, 0), centre);
        EXPECT_EQ(box_items().front(), std::to_wstring(bands[i]) + L"频段缺省模式");
    }
}

TEST_F(EqPage, LowRatesOfferOnlyTenBands) {
    audiomix_init(22050, 2, 1);
    pump(100);
    EXPECT_TRUE(shown(1007));
    for (int id : {1008, 1012, 1013}) EXPECT_FALSE(IsWindowEnabled(item(id))) << id;
    EXPECT_EQ(window_text(item(label_id(9))), L"11K");
}

TEST_F(EqPage, LinkedTuningFollowsASingleJump) {
    click(kBandButtons[3]);
    click(kLinked);
    EXPECT_EQ(SendMessageW(item(kLinked), BM_GETCHECK, 0, 0), BST_CHECKED);
    SetFocus(item(slider_id(10)));
    press_key(VK_HOME);
    pump(150);
    const int gains[5] = {12, 15, 20, 15, 12};
    const int positions[5] = {10, 6, 0, 6, 10};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(settings().bandGainDb[8 + k], gains[k]) << "band " << 8 + k;
        EXPECT_EQ(pos(8 + k), positions[k]) << "band " << 8 + k;
    }
    EXPECT_EQ(settings().eqBandValue[10], 20.0f);
    EXPECT_EQ(settings().eqBandValue[7], 0.0f);
    EXPECT_EQ(settings().settingsChanged, 1);
}

TEST_F(EqPage, BandSlidersByMouseAndKeys) {
    // A real drag of band 3's thumb upwards, pixel by pixel, to position 5.
    RECT thumb;
    SendMessageW(item(slider_id(3)), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT p{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ClientToScreen(item(slider_id(3)), &p);
    move_mouse(p);
    pump(40);
    mouse_button(true);
    for (int i = 0; i < 300 && pos(3) > 5; ++i) {
        --p.y;
        move_mouse(p);
        pump(8);
    }
    mouse_button(false);
    pump(100);
    ASSERT_EQ(pos(3), 5);
    EXPECT_FLOAT_EQ(settings().eqBandValue[3], 16.0f);
    EXPECT_EQ(settings().bandGainDb[3], 16);
    EXPECT_EQ(pos(2), 25) << "linked tuning is off";
    SetFocus(item(slider_id(0)));
    press_key(VK_END);
    pump(60);
    EXPECT_FLOAT_EQ(settings().eqBandValue[0], -20.0f);
    press_key(VK_UP);
    pump(60);
    EXPECT_EQ(pos(0), 49);
    EXPECT_FLOAT_EQ(settings().eqBandValue[0], 20.0f - 0.8f * 49);
    // The pre-gain: far left is -18.
    SetFocus(item(1006));
    press_key(VK_HOME);
    pump(60);
    EXPECT_FLOAT_EQ(settings().eqPreGainValue, -18.0f);
}

TEST_F(EqPage, ChoosingAPresetMovesSlidersAndEngine) {
    const std::vector<std::wstring> expected = {L"10频段缺省模式", L"Normal自然模式", L"Rock摇滚模式",
                                                L"POP流行模式",    L"重金属模式",     L"超低音模式",
                                                L"重金属超低音模式", L"SoftRock柔和模式"};
    EXPECT_EQ(box_items(), expected);
    choose_preset(4);
    EXPECT_EQ(SendMessageW(item(kPresetBox), CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(pos(0), 37);
    EXPECT_EQ(pos(6), 5);
    EXPECT_EQ(settings().eqBandValue[0], -10.0f);
    EXPECT_EQ(settings().eqBandValue[6], 16.0f);
    EXPECT_EQ(settings().settingsChanged, 1);
    save_screenshot(capture_window(window), L"eq_page_preset_chosen");
}

// The name dialog runs modally inside the click; a second thread plays the
// user there: types the name and confirms, or gives up.
struct NameDialogUser {
    NameDialogUser(DWORD pageThread, std::wstring name, bool confirm)
        : worker([=] {
              HWND dialog = nullptr;
              if (!wait_until([&] { return (dialog = find_thread_dialog(pageThread, 1083)) != nullptr; }, 5000))
                  return;
              found = true;
              SetForegroundWindow(dialog);
              Sleep(100);
              click_at(control_centre(dialog, 1083));
              type_text(name);
              Sleep(150);
              click_at(control_centre(dialog, confirm ? 1002 : 1003));
          }) {}
    ~NameDialogUser() { worker.join(); }
    bool found = false;
    std::thread worker;
};

// One older user preset of 10 bands and one of 15 bands in the file.
class EqPageWithUserPresets : public EqPage {
    void WriteUserPresets() override {
        std::ofstream out(preset_file(), std::ios::binary);
        for (const auto& r : {record_bytes("old", 10, std::vector<int32_t>(10, 2)),
                              record_bytes("fifteen", 15, std::vector<int32_t>(15, 1))})
            out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
    }
};

TEST_F(EqPageWithUserPresets, SaveAndDeleteRewriteTheFile) {
    EXPECT_EQ(box_items().back(), L"old");
    SetFocus(item(slider_id(2)));
    press_key(VK_PRIOR);  // page up: +8 dB by 10 positions
    pump(100);
    const int position2 = pos(2);
    {
        NameDialogUser user(GetCurrentThreadId(), L"我的音效", true);
        click(kSave);
        pump(300);
    }
    std::vector<unsigned char> file = read_file(preset_file());
    ASSERT_EQ(file.size(), 3u * 196);
    const unsigned char gbk[] = {0xCE, 0xD2, 0xB5, 0xC4, 0xD2, 0xF4, 0xD0, 0xA7, 0x00};
    EXPECT_EQ(0, std::memcmp(&file[2 * 196], gbk, sizeof gbk));
    EXPECT_EQ(le32(file, 2 * 196 + 64), 10);
    EXPECT_EQ(le32(file, 2 * 196 + 68 + 8), static_cast<int32_t>(20 - 0.8 * position2));
    EXPECT_EQ(file[2 * 196 + 192], 0);
    EXPECT_EQ(box_items().back(), L"我的音效");
    EXPECT_EQ(SendMessageW(item(kPresetBox), CB_GETCURSEL, 0, 0), static_cast<LRESULT>(box_items().size() - 1));
    // The host's preset functions read the table the page saved into: the
    // eight 10-band built-ins, "old", the new one.
    ASSERT_EQ(audiomix_preset_count(), 10);
    char name[64];
    EXPECT_EQ(audiomix_preset_name(9, name, sizeof name), 12);
    EXPECT_STREQ(name, "我的音效");

    {
        // A built-in name is refused; the user then gives up.
        MessageBoxWatch boxes;
        NameDialogUser user(GetCurrentThreadId(), L"Rock摇滚模式", true);
        std::thread giveUp([&] {
            wait_until([&] { return boxes.Count() > 0; }, 5000);
            Sleep(300);
            HWND dialog = find_thread_dialog(GetWindowThreadProcessId(window, nullptr), 1083);
            if (dialog != nullptr) click_at(control_centre(dialog, 1003));
        });
        click(kSave);
        pump(300);
        giveUp.join();
        ASSERT_GE(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Seen()[0].text, L"输入音效模式名称已存在");
    }
    EXPECT_EQ(read_file(preset_file()).size(), 3u * 196);

    // Deleting a built-in is refused; deleting "old" rewrites the file.
    MessageBoxWatch boxes(IDOK);
    choose_preset(2);
    click(kDelete);
    pump(200);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, L"内置音效，无法删除");
    EXPECT_EQ(boxes.Seen()[0].caption, L"音效删除");
    boxes.SetAnswer(IDYES);
    choose_preset(8);  // "old"
    click(kDelete);
    pump(200);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Seen()[1].text, L"确认删除音效old 吗");
    file = read_file(preset_file());
    ASSERT_EQ(file.size(), 2u * 196);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data())), "fifteen");
    EXPECT_EQ(0, std::memcmp(&file[196], gbk, sizeof gbk));
    EXPECT_EQ(SendMessageW(item(kPresetBox), CB_GETCURSEL, 0, 0), 0);
    for (int b = 0; b < 10; ++b) EXPECT_EQ(pos(b), 25);
    ASSERT_EQ(audiomix_preset_count(), 9);
    EXPECT_EQ(audiomix_preset_name(8, name, sizeof name), 12);
    EXPECT_STREQ(name, "我的音效");
}

TEST_F(EqPage, HostChangesAppearWhenThePageComesBack) {
    // Back to the effect page, then the host switches to 31 bands and
    // lifts band 20.
    click_tab(0);
    ASSERT_EQ(audiomix_param_set("eq.bands", 31), 0);
    ASSERT_EQ(audiomix_param_set("eq.band.20", 8), 0);
    ASSERT_EQ(audiomix_param_set("eq.second_pass", 1), 0);
    click_tab(1);
    pump(100);
    EXPECT_EQ(shown_sliders(), 31);
    EXPECT_EQ(pos(20), 15);  // trunc(25 - 1.25 x 8)
    EXPECT_EQ(SendMessageW(item(kBandButtons[3]), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(item(kSecondPass), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(settings().eqBandValue[20], 8.0f) << "showing the page changes nothing";
}

}  // namespace
}  // namespace window_test
