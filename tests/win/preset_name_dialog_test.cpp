// The preset-name dialog run modally on the test thread while a second
// thread plays the user: real keys for the name (Chinese too), real clicks on
// the buttons and the frame's close button, the mouse resting on the buttons
// for their tool tips, message boxes read and answered. An accepted name
// comes back as GBK bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "api/default_engine.h"
#include "controls/gradient.h"
#include "model/preset_store.h"
#include "native/test_support.h"
#include "window/preset_name_dlg.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using namespace window_test;

constexpr int kName = CPresetNameDlg::kNameId, kConfirm = CPresetNameDlg::kConfirmId;
constexpr int kGiveUp = CPresetNameDlg::kGiveUpId;

constexpr UINT kReadTips = WM_APP + 77;

// Notes, on kReadTips, the tool tips showing (on the dialog's own thread):
// their texts, and where the last one sits and how it is shaped.
class TestDlg : public CPresetNameDlg {
public:
    std::wstring tipsShown;
    RECT tipRect{};
    BubbleGeometry bubble{};

    static const MessageMap* Map() {
        static constexpr MessageEntry entries[] = {OnMessage(kReadTips, Handle<&TestDlg::ReadTips>)};
        static constexpr MessageMap map{&CPresetNameDlg::Map, entries, std::size(entries)};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return Map(); }

    void ReadTips() {
        for (CSkinButton* b : {&ConfirmButton(), &GiveUpButton()}) {
            const CSkinToolTip* shown = b->GetToolTip();
            if (shown == nullptr || !shown->IsShown()) continue;
            if (tipsShown.find(shown->GetText()) == std::wstring::npos) tipsShown += shown->GetText() + L";";
            ::GetWindowRect(shown->m_hWnd, &tipRect);
            bubble = shown->MeasureBubble();
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
        default_engine().edit()->link.skinColour = kSkinBaseColour;
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
            if (leftOpen)
                PostMessageW(user.dialog, WM_COMMAND, MAKEWPARAM(kGiveUp, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(user.dialog, kGiveUp)));
        });
        dialog.DoModal();
        second.join();
        EXPECT_TRUE(found) << "the dialog never appeared";
        EXPECT_FALSE(leftOpen) << "the dialog did not close by itself";
    }
};

// Hovering each button shows its tool tip: its tail's tip on the mouse and
// its face the tool tip's gradient (style 7) at a point clear of text and
// frames (the bubble's shape is proven natively, seen in the screenshot).
TEST_F(PresetNameDialog, StartsSkinnedWithFrameIconsAndToolTips) {
    TestDlg dialog;
    POINT client{}, mouse{};
    RECT window{};
    int ownerDrawn = 0;
    Capture tipShot;
    run(dialog, [&](User& u) {
        GetWindowRect(u.dialog, &window);
        ClientToScreen(u.dialog, &client);
        for (int id : {kConfirm, kGiveUp})
            ownerDrawn += (GetWindowLongW(GetDlgItem(u.dialog, id), GWL_STYLE) & 0xF) == BS_OWNERDRAW;
        save_screenshot(capture_window(u.dialog), L"preset_name_dialog_empty");
        for (int id : {kConfirm, kGiveUp}) {
            const size_t seen = dialog.tipsShown.size();
            mouse = control_centre(u.dialog, id);
            move_mouse(mouse);
            wait_until([&] { return SendMessageW(u.dialog, kReadTips, 0, 0), dialog.tipsShown.size() > seen; }, 20000);
        }
        Sleep(100);
        tipShot = capture_screen(dialog.tipRect);
        save_screenshot(capture_window(u.dialog), L"preset_name_dialog_tip");
        press_key(VK_ESCAPE);
    });
    EXPECT_EQ(ownerDrawn, 2) << "the buttons draw their icons";
    EXPECT_EQ(dialog.tipsShown, L"保存;返回;");  // hovering one button, then the other
    // The frame's borders: the client starts 10 in and 33 down.
    EXPECT_EQ(client.x - window.left, 10);
    EXPECT_EQ(client.y - window.top, 33);

    const BubbleGeometry& b = dialog.bubble;
    EXPECT_EQ(dialog.tipRect.left + b.tail[1].x, mouse.x);
    EXPECT_EQ(dialog.tipRect.top + b.tail[1].y, mouse.y);
    const ToolTipColours colours = tool_tip_colours(default_engine().view()->link.skinPanelColour);
    audiomix::testing::Canvas face(b.width, b.windowHeight);
    gradient_bands(GradientSet::ToolTip, colours.gradientBase, {0, 0, b.width, b.windowHeight}, 7, face);
    EXPECT_EQ(tipShot.at(b.width - 8, 5), face.at(b.width - 8, 5));
}

// Each name confirmed in a dialog of its own. An accepted one comes back in
// code page 936 (GBK); a refused one brings a message box and leaves the
// dialog open with the name in place until a valid one. Taken names are
// compared case-sensitively, with every record of any band count.
TEST_F(PresetNameDialog, NamesComeBackAsGbkBytesOrAreRefusedUntilAValidOne) {
    const struct {
        std::wstring typed;
        const wchar_t* refusal;  // a word of the message, or nullptr: accepted
    } names[] = {
        {L"测试中文", nullptr},
        {L"   ", nullptr},
        {std::wstring(31, L'一') + L"a", nullptr},  // 63 bytes
        {L"rock摇滚模式", nullptr},
        {L"", L"必须输入音效模式名称"},
        {L"Rock摇滚模式", L"输入音效模式名称已存在"},
        {L"31频段缺省模式", L"输入音效模式名称已存在"},
        {std::wstring(32, L'一'), L"过长"},  // 64 bytes
        {L"音乐ก", L"无法保存"},             // a Thai letter: no GBK code
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
            // The box disables the dialog while it is up.
            wait_until([&] { return boxes.Count() > 0 && IsWindowEnabled(u.dialog); }, 10000);
            Sleep(100);
            kept = IsWindowVisible(u.dialog) ? u.name() : L"(closed)";
            u.confirm(L"mine");
        });
        const std::vector<SeenMessageBox> seen = boxes.Seen();
        EXPECT_EQ(dialog.m_saved, 1);
        if (n.refusal == nullptr) {
            char gbk[128] = {};
            WideCharToMultiByte(936, 0, n.typed.c_str(), -1, gbk, sizeof gbk, nullptr, nullptr);
            EXPECT_EQ(seen.size(), 0u);
            EXPECT_EQ(dialog.name(), gbk);
            continue;
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"音效保存");
        EXPECT_NE(seen[0].text.find(n.refusal), std::wstring::npos) << seen[0].text;
        EXPECT_EQ(kept, n.typed);
        EXPECT_EQ(dialog.name(), "mine");
    }
}

// With a valid name typed, Escape, Enter in the name box, the frame's close
// button and "放弃" all close the dialog without saving.
TEST_F(PresetNameDialog, EveryOtherWayOfClosingSavesNothing) {
    const struct {
        const char* name;
        void (*close)(User&);
    } ways[] = {
        {"escape", [](User&) { press_key(VK_ESCAPE); }},
        {"enter", [](User&) { press_key(VK_RETURN); }},
        {"frame close", [](User& u) { click_at(close_button_of(u.dialog)); }},
        {"give up", [](User& u) { u.click(kGiveUp); }},
    };
    for (const auto& way : ways) {
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
}

}  // namespace
}  // namespace audiomix
