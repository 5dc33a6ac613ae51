// The skinned combo box on a real window under wine: items added through the
// object, the list opened and an item chosen with real mouse and keyboard
// input, the parent's selection notices, and the drawn field and list items
// probed against the pure item paint.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "controls/colour.h"
#include "controls/combo_rules.h"
#include "controls/skin_combo_box.h"
#include "window_harness.h"

namespace audiomix {
namespace {

constexpr int kBoxId = 1009;
constexpr int kItemHeight = 18;
constexpr uint32_t kSkin = make_rgb(6, 76, 98);
const wchar_t* const kNames[] = {L"10频段缺省模式", L"Rock摇滚模式", L"流行音乐", L"古典音乐", L"人声"};

// Counts the selection notices the box sends its parent.
class NoticeParent : public CWnd {
public:
    int selChanges = 0;
    int lastSel = -2;

    static const MessageMap* Map() {
        static constexpr MessageEntry entries[] = {
            OnCommand(CBN_SELCHANGE, kBoxId, Handle<&NoticeParent::OnSelChange>),
        };
        static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnSelChange() {
        ++selChanges;
        lastSel = static_cast<int>(::SendMessageW(::GetDlgItem(m_hWnd, kBoxId), CB_GETCURSEL, 0, 0));
    }
};

// Remembers how the selection field was last drawn.
class RecordingCombo : public CSkinComboBox {
public:
    bool fieldDrawn = false;
    RECT fieldRect{};
    int fieldItem = -2;
    UINT fieldState = 0;

    void DrawItem(const DRAWITEMSTRUCT* item) override {
        if (item != nullptr && (item->itemState & ODS_COMBOBOXEDIT) != 0) {
            fieldDrawn = true;
            fieldRect = item->rcItem;
            fieldItem = static_cast<int>(item->itemID);
            fieldState = item->itemState;
        }
        CSkinComboBox::DrawItem(item);
    }
};

// What the fills of one item leave at (x, y) of its rectangle (text aside).
uint32_t expected_pixel(const ComboLook& look, int width, int height, int index, bool selected, int x, int y) {
    const ComboItemPaint paint = combo_item_paint(look, {0, 0, width, height}, index, selected);
    uint32_t colour = 0xFFFFFFFFu;
    const auto probe = [&](const SolidFill& f) {
        if (f.rect.contains(x, y)) colour = f.colour;
    };
    combo_face_fills(paint, probe);
    combo_frame_fills(paint, probe);
    return colour;
}

struct Bench {
    NoticeParent parent;
    RecordingCombo box;
    HFONT font = nullptr;

    Bench() {
        parent.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"combo bench",
                        WS_POPUP | WS_VISIBLE, RECT{200, 200, 480, 420}, nullptr, 0);
        HWND hwnd = CreateWindowExW(0, L"COMBOBOX", L"",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST |
                                        CBS_OWNERDRAWFIXED,
                                    10, 10, 220, 190, parent.m_hWnd, reinterpret_cast<HMENU>(kBoxId), nullptr, nullptr);
        box.SubclassWindow(hwnd);
        font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
        box.SetFont(font);
        box.SetItemHeight(-1, kItemHeight);
        box.SetItemHeight(0, kItemHeight);
        // The equaliser page's look.
        box.m_textEffect = kComboTextDarkShadow;
        box.m_bkStyle = 21;
        box.m_highlightColor = RGB(255, 105, 255);
        box.SetTextColor(RGB(255, 255, 0));
        box.SetBkColor(kSkin);
        for (const wchar_t* name : kNames) box.AddItem(name);
        SetForegroundWindow(parent.m_hWnd);
        window_test::pump(100);
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
    POINT field_centre() const {
        RECT r;
        GetWindowRect(box.m_hWnd, &r);
        return {(r.left + r.right) / 2 - 20, r.top + kItemHeight / 2 + 2};
    }
    POINT list_item_centre(int n) const {
        RECT r{};
        SendMessageW(list(), LB_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(list(), &p);
        return p;
    }
    bool open() {
        window_test::click_at(field_centre());
        return window_test::pump_until([&] { return box.GetDroppedState() != FALSE; }, 2000);
    }
    // Compares a column near the right end of list item n (past any text)
    // with the item paint, top to bottom.
    void expect_list_item(int n, bool selected) {
        HWND lb = list();
        RECT r{};
        SendMessageW(lb, LB_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&r));
        const RECT client = window_test::client_on_screen(lb);
        const window_test::Capture c = window_test::capture_screen(client);
        const int w = r.right - r.left, h = r.bottom - r.top;
        ASSERT_EQ(h, kItemHeight);
        const int x = w - 4;
        for (int y = 0; y < h; ++y)
            EXPECT_EQ(c.at(r.left + x, r.top + y),
                      expected_pixel(box.GetLook(), w, h, n, selected, x, y))
                << "item " << n << " row " << y;
    }
};

TEST(SkinComboBoxWin, ItemsKeepTheirTextsAndTheColoursOfTheirTime) {
    Bench bench;
    ASSERT_NE(bench.box.m_hWnd, nullptr);
    EXPECT_EQ(bench.box.GetCount(), 5);
    EXPECT_EQ(bench.box.GetItemTextCount(), 5);
    EXPECT_EQ(bench.box.GetItemText(1), CString(L"Rock摇滚模式"));
    EXPECT_TRUE(bench.box.GetItemText(5).IsEmpty());
    EXPECT_TRUE(bench.box.GetItemText(-1).IsEmpty());
    // Every item's data is the one shared empty text.
    const auto* first = reinterpret_cast<const wchar_t*>(bench.box.GetItemData(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[0], L'\0');
    EXPECT_EQ(bench.box.GetItemData(4), bench.box.GetItemData(0));

    bench.box.SetTextColor(RGB(1, 2, 3));
    bench.box.SetBkColor(RGB(4, 5, 6));
    EXPECT_EQ(bench.box.AddItem(L"新建"), 5);
    ASSERT_EQ(bench.box.RecordedTextColours().size(), 6u);
    EXPECT_EQ(bench.box.RecordedTextColours()[0], RGB(255, 255, 0));
    EXPECT_EQ(bench.box.RecordedTextColours()[5], RGB(1, 2, 3));
    EXPECT_EQ(bench.box.RecordedBkColours()[0], kSkin);
    EXPECT_EQ(bench.box.RecordedBkColours()[5], RGB(4, 5, 6));

    // Resetting forgets texts and text colours; the control keeps its items
    // until the caller empties it, and then draws them without text.
    bench.box.ResetItems();
    EXPECT_EQ(bench.box.GetItemTextCount(), 0);
    EXPECT_TRUE(bench.box.RecordedTextColours().empty());
    EXPECT_EQ(bench.box.RecordedBkColours().size(), 6u);
    EXPECT_EQ(bench.box.GetCount(), 6);
}

TEST(SkinComboBoxWin, ARealClickOpensTheListAndAClickOnAnItemChoosesIt) {
    Bench bench;
    bench.box.SetCurSel(1);
    window_test::pump(50);
    ASSERT_TRUE(bench.open());
    HWND lb = bench.list();
    ASSERT_NE(lb, nullptr);
    ASSERT_TRUE(IsWindowVisible(lb));
    window_test::pump(100);

    // The chosen item is the highlighted one, the others plain.
    bench.expect_list_item(1, true);
    bench.expect_list_item(0, false);
    bench.expect_list_item(4, false);

    // Hovering an item moves the highlight onto it.
    window_test::move_mouse(bench.list_item_centre(3));
    ASSERT_TRUE(window_test::pump_until(
        [&] { return SendMessageW(lb, LB_GETCURSEL, 0, 0) == 3; }, 2000));
    window_test::pump(60);
    bench.expect_list_item(3, true);
    bench.expect_list_item(1, false);

    RECT shot;
    GetWindowRect(bench.parent.m_hWnd, &shot);
    RECT list_rect;
    GetWindowRect(lb, &list_rect);
    UnionRect(&shot, &shot, &list_rect);
    window_test::save_screenshot(window_test::capture_screen(shot), L"combo_open");

    const int before = bench.parent.selChanges;
    window_test::click_at(bench.list_item_centre(3));
    EXPECT_TRUE(window_test::pump_until([&] { return bench.box.GetDroppedState() == FALSE; }, 2000));
    EXPECT_EQ(bench.box.GetCurSel(), 3);
    EXPECT_GT(bench.parent.selChanges, before);
    EXPECT_EQ(bench.parent.lastSel, 3);

    // The field now shows item 3, drawn as the rules say for the state the
    // box gave it.
    window_test::pump(100);
    ASSERT_TRUE(bench.box.fieldDrawn);
    EXPECT_EQ(bench.box.fieldItem, 3);
    const RECT f = bench.box.fieldRect;
    const int w = f.right - f.left, h = f.bottom - f.top;
    POINT origin{f.left, f.top};
    ClientToScreen(bench.box.m_hWnd, &origin);
    const window_test::Capture c = window_test::capture_screen(RECT{origin.x, origin.y, origin.x + w, origin.y + h});
    const bool selected = (bench.box.fieldState & ODS_SELECTED) != 0;
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(c.at(w - 4, y), expected_pixel(bench.box.GetLook(), w, h, 3, selected, w - 4, y)) << "row " << y;
    window_test::save_screenshot(window_test::capture_window(bench.parent.m_hWnd), L"combo_chosen");
}

TEST(SkinComboBoxWin, ArrowKeysChooseItemsAndNotifyTheParent) {
    Bench bench;
    bench.box.SetCurSel(0);
    // A click on the closed box gives it the focus; a second one closes the list.
    ASSERT_TRUE(bench.open());
    window_test::click_at(bench.field_centre());
    ASSERT_TRUE(window_test::pump_until([&] { return bench.box.GetDroppedState() == FALSE; }, 2000));
    ASSERT_EQ(GetFocus(), bench.box.m_hWnd);

    const auto press = [](WORD key) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = key;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
        window_test::pump(80);
    };
    const int before = bench.parent.selChanges;
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(bench.box.GetCurSel(), 2);
    EXPECT_EQ(bench.parent.selChanges, before + 2);
    EXPECT_EQ(bench.parent.lastSel, 2);
    press(VK_END);
    EXPECT_EQ(bench.box.GetCurSel(), 4);
    EXPECT_EQ(bench.parent.selChanges, before + 3);
    press(VK_DOWN);  // already the last item
    EXPECT_EQ(bench.box.GetCurSel(), 4);
    press(VK_UP);
    EXPECT_EQ(bench.box.GetCurSel(), 3);
    EXPECT_EQ(bench.parent.lastSel, 3);
    window_test::pump(60);
    EXPECT_EQ(bench.box.fieldItem, 3);

    // In the open list the arrows move the highlight and Enter takes it.
    press(VK_F4);
    ASSERT_TRUE(window_test::pump_until([&] { return bench.box.GetDroppedState() != FALSE; }, 2000));
    press(VK_UP);
    press(VK_UP);
    bench.expect_list_item(1, true);
    bench.expect_list_item(3, false);
    press(VK_RETURN);
    EXPECT_TRUE(window_test::pump_until([&] { return bench.box.GetDroppedState() == FALSE; }, 2000));
    EXPECT_EQ(bench.box.GetCurSel(), 1);
    EXPECT_EQ(bench.parent.lastSel, 1);
}

TEST(SkinComboBoxWin, TheEmptyFieldAndRepeatedOpeningsKeepGdiCountsFlat) {
    Bench bench;
    bench.box.SetCurSel(-1);
    bench.box.RedrawWindow();
    window_test::pump(60);
    ASSERT_TRUE(bench.box.fieldDrawn);
    EXPECT_EQ(bench.box.fieldItem, -1);

    bench.box.ShowDropDown(TRUE);
    window_test::pump(40);
    bench.box.ShowDropDown(FALSE);
    window_test::pump(40);
    const long gdi = window_test::gdi_object_count();
    for (int i = 0; i < 8; ++i) {
        bench.box.ShowDropDown(TRUE);
        window_test::pump(30);
        bench.box.SetCurSel(i % 5);
        bench.box.ShowDropDown(FALSE);
        window_test::pump(30);
    }
    EXPECT_EQ(window_test::gdi_object_count(), gdi);
}

}  // namespace
}  // namespace audiomix
