// The preset-name dialog run modally on the test thread while a second
// thread plays the user: real keyboard input for the name (Chinese included),
// real clicks on the buttons and the frame's close button, and the message
// boxes found, read and dismissed. The name comes back as GBK bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine_state.h"
#include "eqpage/preset_name_dlg.h"
#include "eqpage/preset_store.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using window_test::click_at;
using window_test::control_centre;
using window_test::press_key;
using window_test::type_text;
using window_test::wait_until;

constexpr uint32_t kSkin = RGB(6, 76, 98);
constexpr UINT kSnapshotMessage = WM_APP + 77;
constexpr wchar_t kMessageTitle[] = L"音效保存";

// The dialog's own state, read on its thread when the driver asks.
struct Snapshot {
    bool confirmTipShown = false;
    std::wstring confirmTip;
    bool giveUpTipShown = false;
    std::wstring giveUpTip;
};

class TestDlg : public CPresetNameDlg {
public:
    Snapshot snapshot;
    // Read in OnInitDialog, after the dialog's own start-up.
    bool frameSetUp = false;
    int dragEnabled = -1;
    int bitmapWidth = 0, bitmapHeight = 0;
    COLORREF labelColour = 0;
    bool buttonsOwnerDrawn = false;

    static const MessageMap* Map() {
        static constexpr MessageEntry entries[] = {
            OnMessage(kSnapshotMessage, Handle<&TestDlg::OnSnapshot>),
        };
        static constexpr MessageMap map{&CPresetNameDlg::Map, entries, std::size(entries)};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return Map(); }

    BOOL OnInitDialog() override {
        const BOOL result = CPresetNameDlg::OnInitDialog();
        frameSetUp = Frame().IsSetUp();
        dragEnabled = IsDragEnabled();
        bitmapWidth = GetBitmapWidth();
        bitmapHeight = GetBitmapHeight();
        labelColour = CaptionLabel().GetTextColor();
        buttonsOwnerDrawn = (ConfirmButton().GetStyle() & 0xF) == BS_OWNERDRAW &&
                            (GiveUpButton().GetStyle() & 0xF) == BS_OWNERDRAW;
        return result;
    }

private:
    void OnSnapshot() {
        const auto read = [](CSkinButton& button, bool& shown, std::wstring& text) {
            CSkinToolTip* tip = button.GetToolTip();
            shown = tip != nullptr && tip->IsShown();
            text = tip != nullptr ? tip->GetText() : std::wstring();
        };
        read(ConfirmButton(), snapshot.confirmTipShown, snapshot.confirmTip);
        read(GiveUpButton(), snapshot.giveUpTipShown, snapshot.giveUpTip);
    }
};

// One message box as the driver found it.
struct SeenBox {
    std::wstring text;
    std::wstring caption;
    bool dialogStayed = false;  // the name dialog was still open after it
};

// What the driver thread saw; read by the test thread after join().
struct Driver {
    DWORD dialogThread = 0;
    HWND dialog = nullptr;
    bool found = false;
    bool rescued = false;  // the script left the dialog open and the driver closed it
    std::vector<SeenBox> boxes;
    std::wstring editTextAtBox;

    // Keys go to the foreground window's focus, which starts in the name box.
    void bring_forward() { SetForegroundWindow(dialog); }
    // Back into the name box (a click, as the user would: the buttons took
    // the focus) and empty it.
    void clear_name() {
        click(CPresetNameDlg::kNameId);
        SetDlgItemTextW(dialog, CPresetNameDlg::kNameId, L"");
    }
    std::wstring name_text() const { return window_test::window_text(GetDlgItem(dialog, CPresetNameDlg::kNameId)); }
    void click(int id) { click_at(control_centre(dialog, id)); }

    // Waits for a message box, reads it, dismisses it with the Enter key and
    // notes whether the dialog outlived it.
    bool answer_box(const wchar_t* screenshot = nullptr) {
        HWND box = nullptr;
        if (!wait_until([&] { return (box = window_test::find_message_box(dialogThread)) != nullptr; }, 3000))
            return false;
        if (screenshot != nullptr) {
            Sleep(100);
            RECT both, r;
            GetWindowRect(dialog, &both);
            GetWindowRect(box, &r);
            UnionRect(&both, &both, &r);
            window_test::save_screenshot(window_test::capture_screen(both), screenshot);
        }
        SeenBox seen;
        seen.text = window_test::message_box_text(box);
        seen.caption = window_test::window_text(box);
        editTextAtBox = name_text();
        SetForegroundWindow(box);
        press_key(VK_RETURN);
        if (!wait_until([&] { return !IsWindow(box); }, 3000)) PostMessageW(box, WM_COMMAND, IDOK, 0);
        wait_until([&] { return !IsWindow(box); }, 2000);
        Sleep(100);
        seen.dialogStayed = IsWindow(dialog) && IsWindowVisible(dialog);
        boxes.push_back(seen);
        return true;
    }
};

// The centre of the frame's close button: it sits at {2, 3, 23, 24} from the
// window's right edge, x running from w - right - 2 to w - left - 2.
POINT frame_close_button(HWND dialog) {
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left;
    return POINT{r.left + ((w - 25) + (w - 4)) / 2, r.top + (3 + 24) / 2};
}

class PresetNameDialog : public ::testing::Test {
protected:
    void SetUp() override {
        engine.skinColour = kSkin;
        LoadPresets(nullptr);
    }

    // Runs dialog modally here while script(driver) plays the user on a
    // second thread; whatever the script leaves open is closed afterwards.
    template <typename Script>
    Driver run(TestDlg& dialog, Script script) {
        Driver driver;
        driver.dialogThread = GetCurrentThreadId();
        std::thread user([&] {
            driver.found = wait_until(
                [&] {
                    return (driver.dialog = window_test::find_thread_dialog(driver.dialogThread,
                                                                            CPresetNameDlg::kNameId)) != nullptr;
                },
                5000);
            if (!driver.found) return;
            Sleep(150);
            driver.bring_forward();
            script(driver);
            if (!wait_until([&] { return !IsWindow(driver.dialog); }, 3000)) {
                driver.rescued = true;
                if (HWND box = window_test::find_message_box(driver.dialogThread)) PostMessageW(box, WM_COMMAND, IDOK, 0);
                // "放弃" always ends the dialog, whatever else is broken.
                HWND giveUp = GetDlgItem(driver.dialog, CPresetNameDlg::kGiveUpId);
                PostMessageW(driver.dialog, WM_COMMAND, MAKEWPARAM(CPresetNameDlg::kGiveUpId, BN_CLICKED),
                             reinterpret_cast<LPARAM>(giveUp));
            }
        });
        dialog.m_saved = 0;
        dialog.DoModal();
        user.join();
        EXPECT_TRUE(driver.found) << "the dialog never appeared";
        EXPECT_FALSE(driver.rescued) << "the dialog did not close by itself";
        return driver;
    }

    static std::string name_bytes(const TestDlg& dialog) {
        return std::string(dialog.m_presetName, strnlen(dialog.m_presetName, sizeof dialog.m_presetName));
    }
    static bool name_untouched(const TestDlg& dialog) {
        for (char c : dialog.m_presetName)
            if (c != 0) return false;
        return true;
    }
};

TEST_F(PresetNameDialog, StartsSkinnedWithFrameIconsAndToolTips) {
    ASSERT_TRUE(preset_name_taken("Rock\xD2\xA1\xB9\xF6\xC4\xA3\xCA\xBD")) << "the built-ins are not loaded";
    TestDlg dialog;
    POINT clientOrigin{}, windowOrigin{};
    LONG style = 0;
    Snapshot confirmHover, giveUpHover;
    const Driver driver = run(dialog, [&](Driver& d) {
        RECT window;
        GetWindowRect(d.dialog, &window);
        windowOrigin = {window.left, window.top};
        ClientToScreen(d.dialog, &clientOrigin);
        style = GetWindowLongW(d.dialog, GWL_STYLE);
        window_test::save_screenshot(window_test::capture_window(d.dialog), L"preset_name_dialog_empty");

        window_test::move_mouse(control_centre(d.dialog, CPresetNameDlg::kConfirmId));
        wait_until([&] {
            SendMessageW(d.dialog, kSnapshotMessage, 0, 0);
            return dialog.snapshot.confirmTipShown;
        });
        confirmHover = dialog.snapshot;
        window_test::move_mouse(control_centre(d.dialog, CPresetNameDlg::kGiveUpId));
        wait_until([&] {
            SendMessageW(d.dialog, kSnapshotMessage, 0, 0);
            return dialog.snapshot.giveUpTipShown;
        });
        giveUpHover = dialog.snapshot;
        window_test::save_screenshot(window_test::capture_window(d.dialog), L"preset_name_dialog_tip");
        press_key(VK_ESCAPE);
    });
    EXPECT_TRUE(dialog.frameSetUp);
    EXPECT_EQ(dialog.dragEnabled, 0);
    EXPECT_EQ(dialog.bitmapWidth, 150);  // bitmap 1013 is 150 x 150
    EXPECT_EQ(dialog.bitmapHeight, 150);
    EXPECT_EQ(dialog.labelColour, kSkin);
    EXPECT_TRUE(dialog.buttonsOwnerDrawn);
    // The frame's borders: the client starts 10 in and 33 down.
    EXPECT_EQ(clientOrigin.x - windowOrigin.x, 10);
    EXPECT_EQ(clientOrigin.y - windowOrigin.y, 33);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_TRUE(confirmHover.confirmTipShown);
    EXPECT_EQ(confirmHover.confirmTip, L"保存");
    EXPECT_TRUE(giveUpHover.giveUpTipShown);
    EXPECT_EQ(giveUpHover.giveUpTip, L"返回");
    EXPECT_EQ(dialog.m_saved, 0);
    EXPECT_TRUE(driver.boxes.empty());
}

TEST_F(PresetNameDialog, ConfirmingATypedChineseNameHandsBackItsGbkBytes) {
    TestDlg dialog;
    std::wstring typed;
    run(dialog, [&](Driver& d) {
        type_text(L"测试中文");
        wait_until([&] { return d.name_text() == L"测试中文"; });
        typed = d.name_text();
        window_test::save_screenshot(window_test::capture_window(d.dialog), L"preset_name_dialog");
        d.click(CPresetNameDlg::kConfirmId);
    });
    EXPECT_EQ(typed, L"测试中文");
    EXPECT_EQ(dialog.m_saved, 1);
    // 测 B2E2, 试 CAD4, 中 D6D0, 文 CEC4 in code page 936, then the NUL.
    EXPECT_EQ(name_bytes(dialog), std::string("\xB2\xE2\xCA\xD4\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(dialog.m_presetName[8], '\0');
}

TEST_F(PresetNameDialog, AnEmptyNameIsRefusedAndTheDialogStaysOpen) {
    TestDlg dialog;
    const Driver driver = run(dialog, [&](Driver& d) {
        d.click(CPresetNameDlg::kConfirmId);
        if (!d.answer_box(L"preset_name_empty_refused")) return;
        d.click(CPresetNameDlg::kGiveUpId);
    });
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].text, L"必须输入音效模式名称");
    EXPECT_EQ(driver.boxes[0].caption, kMessageTitle);
    EXPECT_TRUE(driver.boxes[0].dialogStayed);
    EXPECT_EQ(dialog.m_saved, 0);
    EXPECT_TRUE(name_untouched(dialog));
}

TEST_F(PresetNameDialog, NamesInTheTableAreRefusedCaseSensitively) {
    TestDlg dialog;
    const Driver driver = run(dialog, [&](Driver& d) {
        type_text(L"Rock摇滚模式");
        d.click(CPresetNameDlg::kConfirmId);
        if (!d.answer_box()) return;
        // A 31-band built-in counts as well, whatever the page shows.
        d.clear_name();
        type_text(L"31频段缺省模式");
        d.click(CPresetNameDlg::kConfirmId);
        if (!d.answer_box()) return;
        d.clear_name();
        type_text(L"rock摇滚模式");
        d.click(CPresetNameDlg::kConfirmId);
    });
    ASSERT_EQ(driver.boxes.size(), 2u);
    for (const SeenBox& box : driver.boxes) {
        EXPECT_EQ(box.text, L"输入音效模式名称已存在");
        EXPECT_EQ(box.caption, kMessageTitle);
        EXPECT_TRUE(box.dialogStayed);
    }
    EXPECT_EQ(driver.editTextAtBox, L"31频段缺省模式");  // the name stays for editing
    EXPECT_EQ(dialog.m_saved, 1);
    // rock, then 摇 D2A1, 滚 B9F6, 模 C4A3, 式 CABD.
    EXPECT_EQ(name_bytes(dialog), std::string("rock\xD2\xA1\xB9\xF6\xC4\xA3\xCA\xBD"));
}

TEST_F(PresetNameDialog, ANameOfBlanksIsAccepted) {
    TestDlg dialog;
    run(dialog, [&](Driver& d) {
        type_text(L"   ");
        d.click(CPresetNameDlg::kConfirmId);
    });
    EXPECT_EQ(dialog.m_saved, 1);
    EXPECT_EQ(name_bytes(dialog), std::string("   "));
}

TEST_F(PresetNameDialog, NamesTooLongForTheRecordOrOutsideGbkAreRefused) {
    TestDlg dialog;
    const std::wstring thirty_one(31, L'一');  // 一 is D2BB: 62 bytes
    const Driver driver = run(dialog, [&](Driver& d) {
        type_text(thirty_one + L"一");  // 64 bytes
        d.click(CPresetNameDlg::kConfirmId);
        if (!d.answer_box()) return;
        d.clear_name();
        type_text(L"音乐ก");  // a Thai letter: no GBK code
        d.click(CPresetNameDlg::kConfirmId);
        if (!d.answer_box()) return;
        d.clear_name();
        type_text(thirty_one + L"a");  // exactly 63 bytes
        d.click(CPresetNameDlg::kConfirmId);
    });
    ASSERT_EQ(driver.boxes.size(), 2u);
    EXPECT_NE(driver.boxes[0].text.find(L"过长"), std::wstring::npos) << "too long";
    EXPECT_NE(driver.boxes[1].text.find(L"无法保存"), std::wstring::npos) << "unmappable";
    for (const SeenBox& box : driver.boxes) {
        EXPECT_EQ(box.caption, kMessageTitle);
        EXPECT_TRUE(box.dialogStayed);
    }
    EXPECT_EQ(dialog.m_saved, 1);
    std::string expected;
    for (int i = 0; i < 31; ++i) expected += "\xD2\xBB";
    expected += "a";
    EXPECT_EQ(name_bytes(dialog), expected);
    EXPECT_EQ(dialog.m_presetName[63], '\0');
}

// Escape, Enter in the name box, the frame's close button and "放弃" all
// close the dialog without saving, even with a valid name typed.
TEST_F(PresetNameDialog, EveryOtherWayOfClosingSavesNothing) {
    struct Way {
        const char* name;
        void (*close)(Driver&);
    };
    const Way ways[] = {
        {"escape", [](Driver&) { press_key(VK_ESCAPE); }},
        {"enter", [](Driver&) { press_key(VK_RETURN); }},
        {"frame close", [](Driver& d) { click_at(frame_close_button(d.dialog)); }},
        {"give up", [](Driver& d) { d.click(CPresetNameDlg::kGiveUpId); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TestDlg dialog;
        const Driver driver = run(dialog, [&](Driver& d) {
            type_text(L"新模式");
            wait_until([&] { return d.name_text() == L"新模式"; });
            way.close(d);
        });
        EXPECT_EQ(dialog.m_saved, 0);
        EXPECT_TRUE(name_untouched(dialog));
        EXPECT_TRUE(driver.boxes.empty());
    }
}

TEST_F(PresetNameDialog, OpeningAndClosingLeavesGdiAndUserCountsFlat) {
    const auto open_and_close = [this] {
        TestDlg dialog;
        run(dialog, [](Driver&) {
            type_text(L"名");
            Sleep(50);
            press_key(VK_ESCAPE);
        });
    };
    open_and_close();  // fonts, classes and caches made once per process
    window_test::pump(50);
    const long gdi = window_test::gdi_object_count();
    const long user = window_test::user_object_count();
    for (int i = 0; i < 4; ++i) open_and_close();
    window_test::pump(50);
    EXPECT_EQ(window_test::gdi_object_count(), gdi);
    EXPECT_EQ(window_test::user_object_count(), user);
}

}  // namespace
}  // namespace audiomix
