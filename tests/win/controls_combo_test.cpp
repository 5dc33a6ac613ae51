// The skinned combo box on a real window under wine: the list opened and an
// item chosen with real mouse and keyboard input, the parent's selection
// notices, and the drawn field and list items probed against the pure item
// paint.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "controls/colour.h"
#include "controls/combo_rules.h"
#include "controls/skin_combo_box.h"
#include "native/test_support.h"
#include "window_harness.h"

namespace audiomix {
namespace {

using namespace window_test;

constexpr int kBoxId = 1009;
constexpr int kItemHeight = 18;
constexpr uint32_t kSkin = make_rgb(6, 76, 98);

// Counts the selection notices the box sends its parent.
struct NoticeParent : CWnd {
    int selChanges = 0, lastSel = -2;
    void OnSelChange() {
        ++selChanges;
        lastSel = static_cast<int>(SendDlgItemMessageW(m_hWnd, kBoxId, CB_GETCURSEL, 0, 0));
    }
    static const MessageMap* Map() {
        static constexpr MessageEntry entries[] = {OnCommand(CBN_SELCHANGE, kBoxId, Handle<&NoticeParent::OnSelChange>)};
        static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return Map(); }
};

// Remembers how the selection field was last drawn (item -2: never).
struct RecordingCombo : CSkinComboBox {
    RECT fieldRect{};
    int fieldItem = -2;
    bool fieldSelected = false;
    void DrawItem(const DRAWITEMSTRUCT* item) override {
        if (item != nullptr && (item->itemState & ODS_COMBOBOXEDIT) != 0) {
            fieldRect = item->rcItem;
            fieldItem = static_cast<int>(item->itemID);
            fieldSelected = (item->itemState & ODS_SELECTED) != 0;
        }
        CSkinComboBox::DrawItem(item);
    }
};

struct Bench {
    NoticeParent parent;
    RecordingCombo box;
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");

    Bench() {
        parent.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"combo bench",
                        WS_POPUP | WS_VISIBLE, RECT{200, 200, 480, 420}, nullptr, 0);
        box.SubclassWindow(CreateWindowExW(0, L"COMBOBOX", L"",
                                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST |
                                               CBS_OWNERDRAWFIXED,
                                           10, 10, 220, 190, parent.m_hWnd, reinterpret_cast<HMENU>(kBoxId),
                                           nullptr, nullptr));
        box.SetFont(font);
        box.SetItemHeight(-1, kItemHeight);
        box.SetItemHeight(0, kItemHeight);
        // The equaliser page's look.
        box.m_textEffect = kComboTextDarkShadow;
        box.m_bkStyle = 21;
        box.m_highlightColor = RGB(255, 105, 255);
        box.SetTextColor(RGB(255, 255, 0));
        box.SetBkColor(kSkin);
        for (const wchar_t* name : {L"10频段缺省模式", L"Rock摇滚模式", L"流行音乐", L"古典音乐", L"人声"})
            box.AddItem(name);
        SetForegroundWindow(parent.m_hWnd);
        pump(100);
    }
    ~Bench() {
        parent.DestroyWindow();
        DeleteObject(font);
    }

    HWND list() const {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(box.m_hWnd, &info);
        return info.hwndList;
    }
    // List item n in screen coordinates.
    RECT list_item(int n) const {
        RECT r{};
        SendMessageW(list(), LB_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // The selection field as last drawn, in screen coordinates.
    RECT field() const {
        RECT r = box.fieldRect;
        MapWindowPoints(box.m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void click_field() {
        RECT r;
        GetWindowRect(box.m_hWnd, &r);
        click_at({(r.left + r.right) / 2 - 20, r.top + kItemHeight / 2 + 2});
    }
    bool dropped(bool state) {
        return pump_until([&] { return (box.GetDroppedState() != FALSE) == state; }, 2000);
    }
    // A column near the right end of an item on screen (past any text)
    // against the item paint, top to bottom.
    void expect_item(const RECT& item, int index, bool selected) {
        const int w = item.right - item.left, h = item.bottom - item.top, x = w - 4;
        ASSERT_EQ(h, kItemHeight);
        const ComboItemPaint paint = combo_item_paint(box.GetLook(), {0, 0, w, h}, index, selected);
        audiomix::testing::Canvas want(w, h);
        combo_face_fills(paint, want);
        combo_frame_fills(paint, want);
        const Capture c = capture_screen(item);
        for (int y = 0; y < h; ++y) EXPECT_EQ(c.at(x, y), want.at(x, y)) << "item " << index << " row " << y;
    }
    void expect_list_item(int n, bool selected) { expect_item(list_item(n), n, selected); }
};

TEST(SkinComboBoxWin, ItemsKeepTheirTextsAndTheColoursOfTheirTime) {
    Bench bench;
    CSkinComboBox& box = bench.box;
    EXPECT_EQ(box.GetItemText(1), CString(L"Rock摇滚模式"));
    EXPECT_TRUE(box.GetItemText(5).IsEmpty());
    EXPECT_TRUE(box.GetItemText(-1).IsEmpty());

    box.SetTextColor(RGB(1, 2, 3));
    box.SetBkColor(RGB(4, 5, 6));
    EXPECT_EQ(box.AddItem(L"新建"), 5);
    std::vector<uint32_t> text(5, RGB(255, 255, 0)), bk(5, kSkin);
    text.push_back(RGB(1, 2, 3));
    bk.push_back(RGB(4, 5, 6));
    EXPECT_EQ(box.RecordedTextColours(), text);
    EXPECT_EQ(box.RecordedBkColours(), bk);
    // Resetting forgets texts and text colours; the items stay until the
    // caller empties the control.
    box.ResetItems();
    EXPECT_EQ(box.GetItemTextCount(), 0);
    EXPECT_TRUE(box.RecordedTextColours().empty());
    EXPECT_EQ(box.RecordedBkColours(), bk);
    EXPECT_EQ(box.GetCount(), 6);
}

TEST(SkinComboBoxWin, ARealClickOpensTheListAndAClickOnAnItemChoosesIt) {
    Bench bench;
    bench.box.SetCurSel(1);
    pump(50);
    bench.click_field();
    ASSERT_TRUE(bench.dropped(true));
    ASSERT_TRUE(IsWindowVisible(bench.list()));
    pump(100);
    // The chosen item is the highlighted one, the others plain.
    bench.expect_list_item(1, true);
    bench.expect_list_item(0, false);
    bench.expect_list_item(4, false);
    // Hovering an item moves the highlight onto it.
    move_mouse(centre_of(bench.list_item(3)));
    ASSERT_TRUE(pump_until([&] { return SendMessageW(bench.list(), LB_GETCURSEL, 0, 0) == 3; }, 2000));
    pump(60);
    bench.expect_list_item(3, true);
    bench.expect_list_item(1, false);
    RECT shot, listRect;
    GetWindowRect(bench.parent.m_hWnd, &shot);
    GetWindowRect(bench.list(), &listRect);
    UnionRect(&shot, &shot, &listRect);
    save_screenshot(capture_screen(shot), L"combo_open");

    const int before = bench.parent.selChanges;
    click_at(centre_of(bench.list_item(3)));
    EXPECT_TRUE(bench.dropped(false));
    EXPECT_EQ(bench.box.GetCurSel(), 3);
    EXPECT_GT(bench.parent.selChanges, before);
    EXPECT_EQ(bench.parent.lastSel, 3);
    // The field shows item 3, drawn as the rules say for the state it got.
    pump(100);
    ASSERT_EQ(bench.box.fieldItem, 3);
    bench.expect_item(bench.field(), 3, bench.box.fieldSelected);
    save_screenshot(capture_window(bench.parent.m_hWnd), L"combo_chosen");
}

TEST(SkinComboBoxWin, KeysChooseItemsAndNotifyTheParent) {
    Bench bench;
    bench.box.SetCurSel(0);
    // A click on the closed box gives it the focus; a second one closes the list.
    bench.click_field();
    ASSERT_TRUE(bench.dropped(true));
    bench.click_field();
    ASSERT_TRUE(bench.dropped(false));
    ASSERT_EQ(GetFocus(), bench.box.m_hWnd);

    // On the closed box each key chooses at once, with a notice (the one
    // past the end may or may not send one): {key, selection, notices}.
    const int before = bench.parent.selChanges;
    const int steps[][3] = {{VK_DOWN, 1, 1}, {VK_DOWN, 2, 2}, {VK_END, 4, 3}, {VK_DOWN, 4, -1}, {VK_UP, 3, -1}};
    for (const auto& s : steps) {
        press_key(static_cast<WORD>(s[0]));
        pump(80);
        EXPECT_EQ(bench.box.GetCurSel(), s[1]) << s[0];
        EXPECT_EQ(bench.parent.lastSel, s[1]) << s[0];
        if (s[2] >= 0) {
            EXPECT_EQ(bench.parent.selChanges - before, s[2]) << s[0];
        }
    }
    pump(60);
    EXPECT_EQ(bench.box.fieldItem, 3);

    // In the open list the arrows move the highlight and Enter takes it.
    press_key(VK_F4);
    ASSERT_TRUE(bench.dropped(true));
    for (WORD key : {VK_UP, VK_UP}) {
        press_key(key);
        pump(80);
    }
    bench.expect_list_item(1, true);
    bench.expect_list_item(3, false);
    press_key(VK_RETURN);
    EXPECT_TRUE(bench.dropped(false));
    EXPECT_EQ(bench.box.GetCurSel(), 1);
    EXPECT_EQ(bench.parent.lastSel, 1);
}

}  // namespace
}  // namespace audiomix
