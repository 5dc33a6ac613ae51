// The resources inside audiomix.dll: the four dialog templates control by
// control (id, class, style, rectangle, text, order) against a table typed
// here from the window descriptions, the icons at both sizes, the bitmaps
// with their sizes and depths. Each template is also created, shown and
// photographed into <build>/screenshots, and its Chinese texts must have
// glyphs in the font the dialog gets.
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "window_harness.h"

namespace {

using window_test::dll_module;
using window_test::pump;

// ---- Dialog template reader ------------------------------------------------------

struct Item {
    DWORD style = 0, ex_style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    DWORD id = 0;
    std::wstring cls;   // predefined classes by name
    std::wstring text;
};

struct Template {
    bool extended = false;
    DWORD style = 0, ex_style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::wstring title;
    int point_size = 0;
    std::wstring face;
    std::vector<Item> items;
};

class Reader {
public:
    Reader(const uint8_t* p, size_t size) : p_(p), size_(size) {}
    bool ok() const { return ok_; }
    uint16_t word() {
        if (at_ + 2 > size_) return ok_ = false, 0;
        at_ += 2;
        return static_cast<uint16_t>(p_[at_ - 2] | p_[at_ - 1] << 8);
    }
    uint32_t dword() {
        const uint32_t lo = word();
        return lo | static_cast<uint32_t>(word()) << 16;
    }
    int16_t coord() { return static_cast<int16_t>(word()); }
    void skip(size_t n) { at_ + n <= size_ ? at_ += n : (ok_ = false, 0); }
    std::wstring string() {
        std::wstring s;
        for (uint16_t c = word(); c != 0 && ok_; c = word()) s += static_cast<wchar_t>(c);
        return s;
    }
    // A string, or 0xFFFF and an ordinal (returned as "#n").
    std::wstring string_or_ordinal() {
        if (at_ + 2 <= size_ && p_[at_] == 0xFF && p_[at_ + 1] == 0xFF) {
            word();
            return L"#" + std::to_wstring(word());
        }
        return string();
    }
    void align4() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }

private:
    const uint8_t* p_;
    size_t size_, at_ = 0;
    bool ok_ = true;
};

std::wstring class_name(const std::wstring& raw) {
    static const wchar_t* const predefined[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    if (raw.size() > 1 && raw[0] == L'#') {
        const int atom = std::stoi(raw.substr(1));
        if (atom >= 0x80 && atom <= 0x85) return predefined[atom - 0x80];
    }
    return raw;
}

bool load_template(int id, Template& t) {
    HRSRC res = FindResourceW(dll_module(), MAKEINTRESOURCEW(id), RT_DIALOG);
    if (res == nullptr) return false;
    Reader r(static_cast<const uint8_t*>(LockResource(LoadResource(dll_module(), res))),
             SizeofResource(dll_module(), res));
    const uint32_t first = r.dword();
    t.extended = first == 0xFFFF0001u;
    if (t.extended) {
        r.dword();  // help id
        t.ex_style = r.dword();
        t.style = r.dword();
    } else {
        t.style = first;
        t.ex_style = r.dword();
    }
    const int count = r.word();
    t.x = r.coord(), t.y = r.coord(), t.w = r.coord(), t.h = r.coord();
    r.string_or_ordinal();  // menu
    r.string_or_ordinal();  // class
    t.title = r.string();
    if (t.style & DS_SETFONT) {
        t.point_size = r.word();
        if (t.extended) r.skip(4);  // weight, italic, charset
        t.face = r.string();
    }
    for (int i = 0; i < count && r.ok(); ++i) {
        r.align4();
        Item item;
        if (t.extended) {
            r.dword();  // help id
            item.ex_style = r.dword();
            item.style = r.dword();
        } else {
            item.style = r.dword();
            item.ex_style = r.dword();
        }
        item.x = r.coord(), item.y = r.coord(), item.w = r.coord(), item.h = r.coord();
        item.id = t.extended ? r.dword() : r.word();
        item.cls = class_name(r.string_or_ordinal());
        item.text = r.string_or_ordinal();
        r.skip(r.word());  // creation data
        t.items.push_back(item);
    }
    return r.ok();
}

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::string narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) {
        char buf[8];
        std::snprintf(buf, sizeof buf, c < 128 ? "%c" : "\\u%04x", static_cast<unsigned>(c));
        s += buf;
    }
    return s;
}

// ---- What the templates must hold ------------------------------------------------------

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCaption = kChild | SS_LEFT;
constexpr DWORD kGroupTitle = kChild | SS_CENTER | SS_CENTERIMAGE;
constexpr DWORD kSlider = kChild | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | TBS_ENABLESELRANGE | WS_TABSTOP;
constexpr DWORD kBox = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kBandSlider = WS_CHILD | TBS_VERT | TBS_BOTH | TBS_NOTICKS | TBS_ENABLESELRANGE | WS_TABSTOP | WS_DISABLED;

constexpr int kFree = -1;  // position left to the page's layout

struct Expected {
    DWORD id;
    const wchar_t* cls;
    const wchar_t* text;  // nullptr: not fixed
    DWORD style;
    int x, y, w, h;
};

const wchar_t kTrackbar[] = L"msctls_trackbar32";

// Main control window.
const Expected kMainItems[] = {
    {1000, L"SysTabControl32", L"", kChild, 2, 5, 287, 208},
    {1001, L"Static", nullptr, kChild | WS_BORDER | WS_GROUP | SS_CENTER | SS_CENTERIMAGE, 7, 217, 280, 21},
};

// Effect page, in template order, which is its keyboard order.
const Expected kEffectItems[] = {
    {1105, L"Button", L"", kGroupBox, 4, 3, 267, 38},
    {1003, L"Button", L"图形均衡器", kCheckBox, 15, 18, 62, 11},
    {1004, L"Button", L"混响效果器", kCheckBox, 81, 17, 62, 11},
    {1005, L"Button", L"压缩效果器", kCheckBox, 147, 17, 62, 11},
    {1106, L"Button", L"", kGroupBox, 3, 42, 270, 45},
    {1084, L"Static", L"阀值", kCaption, 32, 57, 16, 8},
    {1020, kTrackbar, L"", kSlider, 53, 57, 44, 12},
    {1001, L"Static", L"压缩效果器调整", kGroupTitle, 10, 41, 68, 12},
    {1085, L"Static", L"比率", kCaption, 135, 58, 16, 8},
    {1021, kTrackbar, L"", kSlider, 156, 58, 44, 12},
    {1086, L"Static", L"触发时长", kCaption, 25, 71, 37, 8},
    {1022, kTrackbar, L"", kSlider, 60, 71, 38, 12},
    {1087, L"Static", L"释放时长", kCaption, 126, 71, 35, 8},
    {1023, kTrackbar, L"", kSlider, 163, 71, 38, 12},
    {1002, L"Button", L"缺省", kPushButton, 228, 59, 40, 20},
    {1107, L"Button", L"", kGroupBox, 4, 88, 268, 64},
    {1071, L"Static", L"混响效果器调整", kGroupTitle, 10, 87, 68, 12},
    {1083, L"Edit", L"", kBox, 99, 57, 24, 12},
    {1088, L"Edit", L"", kBox, 99, 71, 24, 11},
    {1089, L"Edit", L"", kBox, 201, 57, 24, 12},
    {1090, L"Edit", L"", kBox, 201, 71, 24, 12},
    {1091, L"Static", L"增益", kCaption, 32, 102, 16, 8},
    {1024, kTrackbar, L"", kSlider, 53, 102, 44, 12},
    {1092, L"Static", L"深度", kCaption, 135, 103, 16, 8},
    {1025, kTrackbar, L"", kSlider, 156, 103, 44, 12},
    {1093, L"Edit", L"", kBox, 99, 102, 24, 12},
    {1094, L"Edit", L"", kBox, 201, 102, 24, 12},
    {1095, L"Static", L"反馈", kCaption, 32, 117, 16, 8},
    {1026, kTrackbar, L"", kSlider, 53, 117, 44, 12},
    {1096, L"Static", L"预延", kCaption, 135, 118, 16, 8},
    {1027, kTrackbar, L"", kSlider, 156, 118, 44, 12},
    {1097, L"Edit", L"", kBox, 99, 117, 24, 12},
    {1098, L"Edit", L"", kBox, 201, 117, 24, 12},
    {1099, L"Static", L"反馈时长", kCaption, 23, 131, 34, 8},
    {1028, kTrackbar, L"", kSlider, 59, 131, 38, 12},
    {1100, L"Static", L"衰减时长", kCaption, 123, 132, 35, 8},
    {1029, kTrackbar, L"", kSlider, 161, 132, 38, 12},
    {1101, L"Edit", L"", kBox, 99, 131, 24, 12},
    {1102, L"Edit", L"", kBox, 201, 131, 24, 12},
    {1006, L"Button", L"缺省", kPushButton, 228, 111, 40, 20},
    {1052, L"Static", L"音效控制开关", kGroupTitle, 10, 2, 68, 12},
    {1010, L"Button", L"关闭", kPushButton, 225, 152, 45, 23},
    {1007, L"Button", L"先均衡后混响", kCheckBox, 5, 158, 72, 13},
    {1008, L"Button", L"先混响后均衡", kCheckBox, 83, 157, 72, 13},
    {1011, L"Button", L"调整", kPushButton, 222, 12, 45, 23},
};

std::vector<Expected> eq_items() {
    std::vector<Expected> v = {
        {1003, L"Button", L"二级调整", kCheckBox, 3, 2, 52, 12},
        {1004, L"Button", L"调谐联动", kCheckBox, 60, 2, 52, 12},
        {1005, L"Static", L"预增益", kCaption, 122, 4, 24, 9},
        {1006, kTrackbar, L"Slider1", kSlider, 148, 1, 46, 13},
        {1007, L"Button", L"10频段", kCheckBox, 196, 0, 38, 14},
        {1008, L"Button", L"15频段", kCheckBox | WS_DISABLED, 235, 0, 38, 14},
        {1012, L"Button", L"25频段", kCheckBox | WS_DISABLED, 196, 16, 38, 14},
        {1013, L"Button", L"31频段", kCheckBox | WS_DISABLED, 235, 16, 38, 14},
        {1009, L"ComboBox", L"", kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL | WS_TABSTOP, 2, 15, 148, 127},
        {1010, L"Button", L"", kPushButton | BS_ICON, 153, 13, 16, 16},
        {1011, L"Button", L"", kPushButton | BS_ICON, 171, 13, 16, 16},
        {1082, L"Button", L"", kGroupBox, 4, 31, 268, 142},
        {1016, L"Static", L"+20", kCaption, kFree, kFree, 13, 8},
        {1017, L"Static", L"+20", kCaption, kFree, kFree, 13, 8},
        {1015, L"Static", L"0", kCaption, kFree, kFree, 13, 8},
        {1018, L"Static", L"0", kCaption, kFree, kFree, 13, 8},
        {1014, L"Static", L"-20", kCaption, kFree, kFree, 13, 8},
        {1019, L"Static", L"-20", kCaption, kFree, kFree, 13, 8},
    };
    for (DWORD id = 1020; id <= 1051; ++id) v.push_back({id, kTrackbar, L"Slider2", kBandSlider, kFree, kFree, 12, 56});
    for (int band = 0; band < 32; ++band) {
        const DWORD id = band == 0 ? 1001 : band == 1 ? 1002 : 1050 + band;
        v.push_back({id, L"Static", L"", id == 1081 ? WS_CHILD | SS_LEFT : kCaption, kFree, kFree, 16, 10});
    }
    return v;
}

const Expected kPresetNameItems[] = {
    {1001, L"Static", L"保存文件名称", kCaption, 30, 41, 52, 10},
    {1083, L"Edit", L"", kBox, 86, 36, 124, 17},
    {1002, L"Button", L"确定", kPushButton, 55, 77, 55, 24},
    {1003, L"Button", L"放弃", kPushButton, 126, 76, 55, 24},
};

void expect_items(const Template& t, const std::vector<Expected>& expected) {
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const Item& got = t.items[i];
        SCOPED_TRACE("template position " + std::to_string(i) + ", control " + std::to_string(e.id));
        EXPECT_EQ(got.id, e.id);
        EXPECT_EQ(lower(got.cls), lower(e.cls)) << narrow(got.cls);
        EXPECT_EQ(got.style, e.style) << std::hex << "got 0x" << got.style << ", expected 0x" << e.style;
        EXPECT_EQ(got.ex_style, 0u);
        if (e.text != nullptr) {
            EXPECT_EQ(got.text, e.text) << narrow(got.text);
        }
        if (e.x != kFree) {
            EXPECT_EQ((std::vector<int>{got.x, got.y}), (std::vector<int>{e.x, e.y}));
        }
        EXPECT_EQ((std::vector<int>{got.w, got.h}), (std::vector<int>{e.w, e.h}));
    }
}

// ---- Template tests ----------------------------------------------------------------------

class LibraryResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(dll_module(), nullptr) << "audiomix.dll did not load"; }
};

TEST_F(LibraryResources, DialogTemplatesInSimplifiedChineseControlByControl) {
    constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    constexpr DWORD kPage = WS_CHILD | DS_MODALFRAME | DS_SETFONT;
    struct Dialog {
        int id;
        bool extended;
        DWORD style;
        int w, h;
        const wchar_t* title;
        std::vector<Expected> items;
    };
    const Dialog dialogs[] = {
        {1000, false, kPopup, 302, 253, L"蓝杉音频调整", {std::begin(kMainItems), std::end(kMainItems)}},
        {1016, false, kPage, 275, 176, L"", {std::begin(kEffectItems), std::end(kEffectItems)}},
        {1017, true, kPage, 275, 174, L"", eq_items()},
        {1025, false, kPopup, 242, 141, L"", {std::begin(kPresetNameItems), std::end(kPresetNameItems)}},
    };
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.id);
        EXPECT_NE(FindResourceExW(dll_module(), RT_DIALOG, MAKEINTRESOURCEW(d.id),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
                  nullptr);
        Template t;
        ASSERT_TRUE(load_template(d.id, t));
        EXPECT_EQ(t.extended, d.extended);
        EXPECT_EQ(t.style, d.style);
        EXPECT_EQ((std::vector<int>{t.x, t.y, t.w, t.h}), (std::vector<int>{0, 0, d.w, d.h}));
        EXPECT_EQ(t.title, d.title) << narrow(t.title);
        EXPECT_EQ(t.point_size, 9);
        EXPECT_EQ(t.face, L"宋体");
        expect_items(t, d.items);
    }
}

TEST_F(LibraryResources, EqualiserBandControlsStartInsideTheBandFrame) {
    Template t;
    ASSERT_TRUE(load_template(1017, t));
    const Item* frame = nullptr;
    for (const Item& item : t.items)
        if (item.id == 1082) frame = &item;
    ASSERT_NE(frame, nullptr);
    for (const Item& item : t.items) {
        const bool band = (item.id >= 1014 && item.id <= 1081) || item.id == 1001 || item.id == 1002;
        if (!band) continue;
        EXPECT_GE(item.x, frame->x) << item.id;
        EXPECT_GE(item.y, frame->y) << item.id;
        EXPECT_LE(item.x + item.w, frame->x + frame->w) << item.id;
        EXPECT_LE(item.y + item.h, frame->y + frame->h) << item.id;
    }
}

// ---- Icons and bitmaps -------------------------------------------------------------------

// Width, height and whether any pixel is partly transparent.
struct IconLook {
    int width = 0, height = 0;
    bool soft_edges = false;
};

IconLook look_at(HICON icon) {
    IconLook look;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return look;
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    look.width = bm.bmWidth;
    look.height = bm.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight)
        for (uint32_t p : px) look.soft_edges |= (p >> 24) != 0 && (p >> 24) != 255;
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return look;
}

TEST_F(LibraryResources, IconsHold16And32PixelImagesWithAlpha) {
    for (int id = 1014; id <= 1030; ++id) {
        SCOPED_TRACE(id);
        HRSRC res = FindResourceW(dll_module(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
        ASSERT_NE(res, nullptr);
        const auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(dll_module(), res)));
        ASSERT_GE(SizeofResource(dll_module(), res), 6u + 14u * 2);
        ASSERT_EQ(dir[4] | dir[5] << 8, 2) << "images in the group";
        for (int i = 0; i < 2; ++i) {
            const uint8_t* e = dir + 6 + 14 * i;  // GRPICONDIRENTRY
            EXPECT_EQ(e[0], 16 << i);
            EXPECT_EQ(e[1], e[0]) << "square";
            EXPECT_EQ(e[6] | e[7] << 8, 32) << "bits per pixel";
        }
        for (int size : {16, 32}) {
            HICON icon = static_cast<HICON>(LoadImageW(dll_module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << size;
            const IconLook look = look_at(icon);
            EXPECT_EQ(look.width, size);
            EXPECT_EQ(look.height, size);
            EXPECT_TRUE(look.soft_edges) << "alpha channel lost at " << size;
            DestroyIcon(icon);
        }
    }
}

TEST_F(LibraryResources, BitmapsHaveTheirSizesAndDepths) {
    struct Facts {
        int id, width, height, bits;
    };
    std::vector<Facts> expected = {{1013, 150, 150, 4}, {1031, 802, 366, 24}};
    for (int id = 1001; id <= 1012; ++id) expected.push_back({id, 0, 0, 24});  // any small size
    for (const Facts& e : expected) {
        SCOPED_TRACE(e.id);
        HRSRC res = FindResourceW(dll_module(), MAKEINTRESOURCEW(e.id), RT_BITMAP);
        ASSERT_NE(res, nullptr);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll_module(), res)));
        EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(header->biBitCount, e.bits);
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
        // Loaded the way the windows load them: a device bitmap.
        HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(dll_module(), MAKEINTRESOURCEW(e.id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bmp, nullptr);
        BITMAP bm{};
        GetObjectW(bmp, sizeof bm, &bm);
        DeleteObject(bmp);
        EXPECT_EQ(bm.bmWidth, e.width ? e.width : header->biWidth);
        EXPECT_EQ(bm.bmHeight, e.height ? e.height : std::abs(header->biHeight));
        EXPECT_GT(bm.bmWidth, 0);
        EXPECT_LE(bm.bmWidth, e.width ? e.width : 128);
        EXPECT_LE(bm.bmHeight, e.height ? e.height : 64);
    }
}

// ---- The templates on screen ----------------------------------------------------------------

// A dialog procedure that only puts the skin behind the controls (tiled, as
// the windows do) and lets captions show it, so the pictures show how text
// reads on the skin.
HBRUSH g_skin_brush = nullptr;

// Tiles the skin over the client area, from its top-left corner.
void tile(HDC dc, HWND wnd) {
    RECT rc;
    GetClientRect(wnd, &rc);
    POINT origin{0, 0};
    SetBrushOrgEx(dc, 0, 0, &origin);
    FillRect(dc, &rc, g_skin_brush);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
}

INT_PTR CALLBACK preview_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_ERASEBKGND) {
        tile(reinterpret_cast<HDC>(wp), wnd);
        SetWindowLongPtrW(wnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    if (msg == WM_CTLCOLORSTATIC) {
        // The skin continues under the control: align the pattern with the
        // dialog's client origin.
        const HDC dc = reinterpret_cast<HDC>(wp);
        POINT at{0, 0};
        MapWindowPoints(reinterpret_cast<HWND>(lp), wnd, &at, 1);
        SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(6, 76, 98));
        return reinterpret_cast<INT_PTR>(g_skin_brush);
    }
    return FALSE;
}

LRESULT CALLBACK host_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_ERASEBKGND) return DefWindowProcW(wnd, msg, wp, lp);
    tile(reinterpret_cast<HDC>(wp), wnd);
    return TRUE;
}

// Characters of the text that the control's font has no glyph for.
int missing_glyphs(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size());
    int missing = static_cast<int>(text.size());
    if (GetGlyphIndicesW(dc, text.c_str(), missing, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR) {
        missing = 0;
        for (WORD g : glyphs) missing += g == 0xFFFF;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return missing;
}

struct Shown {
    HWND host = nullptr;  // the window photographed
    HWND dialog = nullptr;
};

Shown show_template(int id, bool child) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSW wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"audiomix_resources_test_host";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    Shown s;
    if (child) {
        s.host = CreateWindowExW(WS_EX_TOPMOST, L"audiomix_resources_test_host", L"", WS_POPUP, 40, 40, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        s.dialog = CreateDialogParamW(dll_module(), MAKEINTRESOURCEW(id), s.host, preview_proc, 0);
        if (s.dialog == nullptr) return s;
        RECT r;
        GetWindowRect(s.dialog, &r);
        SetWindowPos(s.host, HWND_TOPMOST, 40, 40, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
        ShowWindow(s.dialog, SW_SHOW);
    } else {
        s.dialog = s.host = CreateDialogParamW(dll_module(), MAKEINTRESOURCEW(id), nullptr, preview_proc, 0);
        if (s.dialog == nullptr) return s;
        SetWindowPos(s.dialog, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    UpdateWindow(s.host);
    pump(400);
    return s;
}

TEST_F(LibraryResources, TemplatesShowTheirChineseTextOnScreen) {
    struct Preview {
        int id;
        bool child;
        int skin_bitmap;
        const wchar_t* file;
    };
    const Preview previews[] = {
        {1000, false, 1031, L"template_1000_main"},
        {1016, true, 1031, L"template_1016_effect_page"},
        {1017, true, 1031, L"template_1017_eq_page"},
        {1025, false, 1013, L"template_1025_preset_name"},
    };
    for (const Preview& p : previews) {
        SCOPED_TRACE(p.id);
        HBITMAP skin = static_cast<HBITMAP>(
            LoadImageW(dll_module(), MAKEINTRESOURCEW(p.skin_bitmap), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(skin, nullptr);
        g_skin_brush = CreatePatternBrush(skin);
        const Shown s = show_template(p.id, p.child);
        ASSERT_NE(s.dialog, nullptr) << "CreateDialogParamW failed, error " << GetLastError();
        EXPECT_TRUE(IsWindowVisible(s.dialog));

        Template t;
        ASSERT_TRUE(load_template(p.id, t));
        for (const Item& item : t.items) {
            HWND control = GetDlgItem(s.dialog, static_cast<int>(item.id));
            EXPECT_NE(control, nullptr) << "control " << item.id << " not created";
            bool chinese = false;
            for (wchar_t c : item.text) chinese |= c >= 0x4E00 && c <= 0x9FFF;
            if (control != nullptr && chinese) {
                EXPECT_EQ(missing_glyphs(control, item.text), 0) << "control " << item.id << ": " << narrow(item.text);
            }
        }

        const window_test::Capture shot = window_test::capture_window(s.host);
        EXPECT_TRUE(window_test::save_screenshot(shot, p.file));
        // Something was drawn: the picture is not one flat colour.
        bool varied = false;
        for (uint32_t px : shot.pixels) varied |= px != shot.pixels.front();
        EXPECT_TRUE(varied);
        DestroyWindow(s.host);
        pump(50);
        DeleteObject(g_skin_brush);
        DeleteObject(skin);
    }
}

}  // namespace
