// The preset-name dialog run modally on the test thread while a second
// thread plays the user: real keys for the name (Chinese too), real clicks on
// the buttons and the frame's close button, message boxes read and answered.
// An accepted name comes back as GBK bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "api/default_engine.h"
#include "window/preset_name_dlg.h"
#include "model/preset_store.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using namespace window_test;

constexpr int kName = CPresetNameDlg::kNameId, kConfirm = CPresetNameDlg::kConfirmId;
constexpr int kGiveUp = CPresetNameDlg::kGiveUpId;

constexpr UINT kReadTips = WM_APP + 77;

// Notes, on kReadTips, the tool tips showing (on the dialog's own thread).
class TestDlg : public CPresetNameDlg {
public:
    std::wstring tipsShown;

    static const MessageMap* Map() {
        static constexpr MessageEntry entries[] = {OnMessage(kReadTips, Handle<&TestDlg::ReadTips>)};
        static constexpr MessageMap map{&CPresetNameDlg::Map, entries, std::size(entries)};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return Map(); }

    void ReadTips() {
        for (CSkinButton* b : {&ConfirmButton(), &GiveUpButton()}) {
            const CSkinToolTip* tip = b->GetToolTip();
            if (tip != nullptr && tip->IsShown() && tipsShown.find(tip->GetText()) == std::wstring::npos)
                tipsShown += tip->GetText() + L";";
        }
    }
    std::string name() const { return std::string(m_presetName, strnlen(m_presetName, sizeof m_presetName)); }
};

// The user, on the second thread.
struct User {
    DWORD thread = GetCurrentThreadId();  // the dialog's: User is made there
    HWND dialog = nullptr;

    std::wstring name() const { return window_text(GetDlgItem(dialog, kName)); }
    void click(int id) const { click_at(control_centre(dialog, id)); }
    // Back into the name box (the buttons took the focus), emptied, the name
    // typed and confirmed with a click.
    void confirm(const std::wstring& typed, const wchar_t* screenshot = nullptr) const {
        click(kName);
        SetDlgItemTextW(dialog, kName, L"");
        type_text(typed);
        wait_until([&] { return name() == typed; });
        if (screenshot != nullptr) save_screenshot(capture_window(dialog), screenshot);
        click(kConfirm);
    }
};

class PresetNameDialog : public ::testing::Test {
protected:
    void SetUp() override {
        auto s = default_engine().edit();
        s->link.skinColour = kSkinBaseColour;
        LoadPresets(default_presets(), nullptr);
    }
    // Runs the dialog modally here while script(user) plays the user; a
    // dialog the script left open is closed with "放弃" and fails the test.
    template <typename Script>
    void run(TestDlg& dialog, Script script) {
        User user;
        bool found = false, leftOpen = false;
        std::thread second([&] {
            found = wait_until([&] { return (user.dialog = find_thread_dialog(user.thread, kName)) != nullptr; }, 5000);
            if (!found) return;
            Sleep(150);
            SetForegroundWindow(user.dialog);  // keys go to its focus: the name box
            script(user);
            leftOpen = !wait_until([&] { return !IsWindow(user.dialog); });
            if (!leftOpen) return;
            PostMessageW(user.dialog, WM_COMMAND, MAKEWPARAM(kGiveUp, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(user.dialog, kGiveUp)));
        });
        dialog.DoModal();
        second.join();
        EXPECT_TRUE(found) << "the dialog never appeared";
        EXPECT_FALSE(leftOpen) << "the dialog did not close by itself";
    }
};

TEST_F(PresetNameDialog, StartsSkinnedWithFrameIconsAndToolTips) {
    TestDlg dialog;
    POINT client{};
    RECT window{};
    LONG style = 0;
    int ownerDrawn = 0;
    run(dialog, [&](User& u) {
        GetWindowRect(u.dialog, &window);
        ClientToScreen(u.dialog, &client);
        style = GetWindowLongW(u.dialog, GWL_STYLE);
        for (int id : {kConfirm, kGiveUp})
            ownerDrawn += (GetWindowLongW(GetDlgItem(u.dialog, id), GWL_STYLE) & 0xF) == BS_OWNERDRAW;
        save_screenshot(capture_window(u.dialog), L"preset_name_dialog_empty");
        for (int id : {kConfirm, kGiveUp}) {
            const size_t seen = dialog.tipsShown.size();
            move_mouse(control_centre(u.dialog, id));
            wait_until([&] { return SendMessageW(u.dialog, kReadTips, 0, 0), dialog.tipsShown.size() > seen; }, 20000);
        }
        save_screenshot(capture_window(u.dialog), L"preset_name_dialog_tip");
        press_key(VK_ESCAPE);
    });
    EXPECT_EQ(ownerDrawn, 2) << "the buttons draw their icons";
    EXPECT_EQ(dialog.tipsShown, L"保存;返回;");  // hovering one button, then the other
    // The frame's borders: the client starts 10 in and 33 down.
    EXPECT_EQ(client.x - window.left, 10);
    EXPECT_EQ(client.y - window.top, 33);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_EQ(dialog.m_saved, 0);
}

// Each name confirmed in a dialog of its own. An accepted one comes back as
// GBK bytes; a refused one brings a message box and leaves the dialog open
// with the name in place until a valid one. Taken names are compared
// case-sensitively, with every record of any band count.
TEST_F(PresetNameDialog, NamesComeBackAsGbkBytesOrAreRefusedUntilAValidOne) {
    std::string ones;  // 一 is D2BB: 31 of them and a letter are exactly 63 bytes
    for (int i = 0; i < 31; ++i) ones += "\xD2\xBB";
    const struct {
        std::wstring typed;
        std::string gbk;            // accepted: the bytes returned
        const wchar_t* refusal;     // refused: the message exactly, or a word of it
        bool exact;
    } names[] = {
        {L"测试中文", "\xB2\xE2\xCA\xD4\xD6\xD0\xCE\xC4", nullptr, false},  // code page 936
        {L"   ", "   ", nullptr, false},
        {std::wstring(31, L'一') + L"a", ones + "a", nullptr, false},
        {L"rock摇滚模式", "rock\xD2\xA1\xB9\xF6\xC4\xA3\xCA\xBD", nullptr, false},
        {L"", "", L"必须输入音效模式名称", true},
        {L"Rock摇滚模式", "", L"输入音效模式名称已存在", true},
        {L"31频段缺省模式", "", L"输入音效模式名称已存在", true},
        {std::wstring(32, L'一'), "", L"过长", false},  // 64 bytes
        {L"音乐ก", "", L"无法保存", false},             // a Thai letter: no GBK code
    };
    for (size_t i = 0; i < std::size(names); ++i) {
        const auto& n = names[i];
        SCOPED_TRACE(i);
        TestDlg dialog;
        MessageBoxWatch boxes;
        std::wstring kept;  // the name box after the refusal, if the dialog stayed
        run(dialog, [&](User& u) {
            u.confirm(n.typed, i == 0 ? L"preset_name_dialog" : nullptr);
            if (n.refusal == nullptr) return;
            wait_until([&] { return boxes.Count() > 0 && find_message_box(u.thread) == nullptr; }, 10000);
            Sleep(100);
            kept = IsWindowVisible(u.dialog) ? u.name() : L"(closed)";
            u.confirm(L"mine");
        });
        const std::vector<SeenMessageBox> seen = boxes.Seen();
        EXPECT_EQ(dialog.m_saved, 1);
        if (n.refusal == nullptr) {
            EXPECT_EQ(seen.size(), 0u);
            EXPECT_EQ(dialog.name(), n.gbk);
            continue;
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"音效保存");
        if (n.exact)
            EXPECT_EQ(seen[0].text, n.refusal);
        else
            EXPECT_NE(seen[0].text.find(n.refusal), std::wstring::npos) << seen[0].text;
        EXPECT_EQ(kept, n.typed);
        EXPECT_EQ(dialog.name(), "mine");
    }
}

// With a valid name typed, Escape, Enter in the name box, the frame's close
// button and "放弃" all close the dialog without saving; after the first
// (fonts, classes and caches are made once per process) the GDI objects and
// the top-level windows stay as many as they were.
TEST_F(PresetNameDialog, EveryOtherWayOfClosingSavesNothingAndLeaksNothing) {
    const struct {
        const char* name;
        void (*close)(User&);
    } ways[] = {
        {"escape", [](User&) { press_key(VK_ESCAPE); }},
        {"enter", [](User&) { press_key(VK_RETURN); }},
        {"frame close", [](User& u) { click_at(close_button_of(u.dialog)); }},
        {"give up", [](User& u) { u.click(kGiveUp); }},
    };
    long gdi = 0, windows = 0;
    for (const auto& way : ways) {
        if (&way == ways + 1) {
            pump(50);
            gdi = gdi_object_count();
            windows = top_window_count();
        }
        SCOPED_TRACE(way.name);
        TestDlg dialog;
        MessageBoxWatch boxes;
        run(dialog, [&](User& u) {
            type_text(L"新模式");
            wait_until([&] { return u.name() == L"新模式"; });
            way.close(u);
        });
        EXPECT_EQ(dialog.m_saved, 0);
        EXPECT_EQ(dialog.name(), "");
        EXPECT_EQ(boxes.Count(), 0u);
    }
    pump(50);
    EXPECT_EQ(gdi_object_count(), gdi);
    EXPECT_EQ(top_window_count(), windows);
}

}  // namespace
}  // namespace audiomix
