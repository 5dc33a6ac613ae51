// The resources inside audiomix.dll: the four dialog templates control by
// control (id, class, style, rectangle, text, order) against a table typed
// here from the window descriptions, the icons at both sizes, the bitmaps
// with their sizes and depths. Each template is also created, shown and
// photographed into <build>/screenshots, and its Chinese texts must have
// glyphs in the font the dialog gets.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// ---- The library -----------------------------------------------------------------

std::wstring exe_dir() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// Loaded once and kept: the dialogs created below run on its templates.
HMODULE library() {
    static HMODULE module = LoadLibraryW((exe_dir() + L"audiomix.dll").c_str());
    return module;
}

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
        if (at_ + 2 > size_) return fail(), 0;
        const uint16_t v = static_cast<uint16_t>(p_[at_] | p_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    uint32_t dword() {
        const uint32_t lo = word();
        return lo | static_cast<uint32_t>(word()) << 16;
    }
    int16_t coord() { return static_cast<int16_t>(word()); }
    uint8_t byte() {
        if (at_ + 1 > size_) return fail(), 0;
        return p_[at_++];
    }
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
    void skip(size_t n) { at_ + n <= size_ ? at_ += n : (fail(), 0); }

private:
    void fail() { ok_ = false; }
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
    HRSRC res = FindResourceW(library(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (res == nullptr) return false;
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(library(), res)));
    Reader r(data, SizeofResource(library(), res));
    const uint32_t first = r.dword();
    t.extended = (first & 0xFFFF) == 1 && (first >> 16) == 0xFFFF;
    int count = 0;
    if (t.extended) {
        r.dword();  // help id
        t.ex_style = r.dword();
        t.style = r.dword();
    } else {
        t.style = first;
        t.ex_style = r.dword();
    }
    count = r.word();
    t.x = r.coord(), t.y = r.coord(), t.w = r.coord(), t.h = r.coord();
    r.string_or_ordinal();  // menu
    r.string_or_ordinal();  // class
    t.title = r.string();
    if (t.style & DS_SETFONT) {
        t.point_size = r.word();
        if (t.extended) {
            r.word();  // weight
            r.byte();  // italic
            r.byte();  // charset
        }
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
        if (c < 128) {
            s += static_cast<char>(c);
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            s += buf;
        }
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

// Effect page, in template order.
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

// The keyboard order of the effect page, as its description lists it.
const DWORD kEffectTabOrder[] = {1105, 1003, 1004, 1005, 1106, 1084, 1020, 1001, 1085, 1021, 1086, 1022,
                                 1087, 1023, 1002, 1107, 1071, 1083, 1088, 1089, 1090, 1091, 1024, 1092,
                                 1025, 1093, 1094, 1095, 1026, 1096, 1027, 1097, 1098, 1099, 1028, 1100,
                                 1029, 1101, 1102, 1006, 1052, 1010, 1007, 1008, 1011};

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
            EXPECT_EQ(got.x, e.x);
            EXPECT_EQ(got.y, e.y);
        }
        EXPECT_EQ(got.w, e.w);
        EXPECT_EQ(got.h, e.h);
    }
}

template <size_t N>
std::vector<Expected> list(const Expected (&a)[N]) {
    return std::vector<Expected>(a, a + N);
}

// ---- Template tests ----------------------------------------------------------------------

class LibraryResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(library(), nullptr) << "audiomix.dll did not load"; }
};

TEST_F(LibraryResources, FourDialogTemplatesInSimplifiedChinese) {
    for (int id : {1000, 1016, 1017, 1025}) {
        EXPECT_NE(FindResourceExW(library(), MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
                  nullptr)
            << "dialog " << id;
    }
}

TEST_F(LibraryResources, MainWindowTemplate) {
    Template t;
    ASSERT_TRUE(load_template(1000, t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.w, t.h}), (std::vector<int>{0, 0, 302, 253}));
    EXPECT_EQ(t.title, L"蓝杉音频调整") << narrow(t.title);
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, L"宋体");
    expect_items(t, list(kMainItems));
}

TEST_F(LibraryResources, EffectPageTemplate) {
    Template t;
    ASSERT_TRUE(load_template(1016, t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_CHILD | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.w, t.h}), (std::vector<int>{0, 0, 275, 176}));
    EXPECT_EQ(t.title, L"");
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, L"宋体");
    expect_items(t, list(kEffectItems));
}

TEST_F(LibraryResources, EffectPageTabOrder) {
    Template t;
    ASSERT_TRUE(load_template(1016, t));
    std::vector<DWORD> ids;
    for (const Item& item : t.items) ids.push_back(item.id);
    EXPECT_EQ(ids, std::vector<DWORD>(std::begin(kEffectTabOrder), std::end(kEffectTabOrder)));
}

TEST_F(LibraryResources, EqualiserPageTemplateIsExtended) {
    Template t;
    ASSERT_TRUE(load_template(1017, t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_CHILD | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.w, t.h}), (std::vector<int>{0, 0, 275, 174}));
    EXPECT_EQ(t.title, L"");
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, L"宋体");
    expect_items(t, eq_items());
}

TEST_F(LibraryResources, EqualiserBandControlsStartInsideTheBandFrame) {
    Template t;
    ASSERT_TRUE(load_template(1017, t));
    const Item* frame = nullptr;
    for (const Item& item : t.items)
        if (item.id == 1082) frame = &item;
    ASSERT_NE(frame, nullptr);
    for (const Item& item : t.items) {
        const bool band = (item.id >= 1014 && item.id <= 1051) || item.id == 1001 || item.id == 1002 ||
                          (item.id >= 1052 && item.id <= 1081);
        if (!band) continue;
        EXPECT_GE(item.x, frame->x) << item.id;
        EXPECT_GE(item.y, frame->y) << item.id;
        EXPECT_LE(item.x + item.w, frame->x + frame->w) << item.id;
        EXPECT_LE(item.y + item.h, frame->y + frame->h) << item.id;
    }
}

TEST_F(LibraryResources, PresetNameTemplate) {
    Template t;
    ASSERT_TRUE(load_template(1025, t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.w, t.h}), (std::vector<int>{0, 0, 242, 141}));
    EXPECT_EQ(t.title, L"");
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, L"宋体");
    expect_items(t, list(kPresetNameItems));
}

// ---- Icons and bitmaps -------------------------------------------------------------------

TEST_F(LibraryResources, IconGroupsHold16And32PixelImagesWith32Bits) {
    for (int id = 1014; id <= 1030; ++id) {
        SCOPED_TRACE(id);
        HRSRC res = FindResourceW(library(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
        ASSERT_NE(res, nullptr);
        const auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(library(), res)));
        ASSERT_GE(SizeofResource(library(), res), 6u);
        const int count = dir[4] | dir[5] << 8;
        ASSERT_EQ(count, 2);
        ASSERT_GE(SizeofResource(library(), res), 6u + 14u * count);
        std::vector<int> sizes;
        for (int i = 0; i < count; ++i) {
            const uint8_t* e = dir + 6 + 14 * i;  // GRPICONDIRENTRY
            sizes.push_back(e[0]);
            EXPECT_EQ(e[1], e[0]) << "square";
            EXPECT_EQ(e[6] | e[7] << 8, 32) << "bits per pixel";
        }
        EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
    }
}

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

TEST_F(LibraryResources, IconsLoadAtBothSizesWithAlpha) {
    for (int id = 1014; id <= 1030; ++id) {
        for (int size : {16, 32}) {
            SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
            HICON icon = static_cast<HICON>(LoadImageW(library(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr);
            const IconLook look = look_at(icon);
            EXPECT_EQ(look.width, size);
            EXPECT_EQ(look.height, size);
            EXPECT_TRUE(look.soft_edges) << "alpha channel lost";
            DestroyIcon(icon);
        }
    }
}

struct BitmapFacts {
    int id, width, height, bits;
};

TEST_F(LibraryResources, BitmapsHaveTheirSizesAndDepths) {
    std::vector<BitmapFacts> expected = {{1013, 150, 150, 4}, {1031, 802, 366, 24}};
    for (int id = 1001; id <= 1012; ++id) expected.push_back({id, 0, 0, 24});  // any small size
    for (const BitmapFacts& e : expected) {
        SCOPED_TRACE(e.id);
        HRSRC res = FindResourceW(library(), MAKEINTRESOURCEW(e.id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
        ASSERT_NE(res, nullptr);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(library(), res)));
        EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(header->biBitCount, e.bits);
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));

        HBITMAP bmp = static_cast<HBITMAP>(
            LoadImageW(library(), MAKEINTRESOURCEW(e.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bmp, nullptr);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(bmp, sizeof ds, &ds), static_cast<int>(sizeof ds));
        if (e.width != 0) {
            EXPECT_EQ(ds.dsBm.bmWidth, e.width);
            EXPECT_EQ(ds.dsBm.bmHeight, e.height);
        } else {
            EXPECT_GT(ds.dsBm.bmWidth, 0);
            EXPECT_LE(ds.dsBm.bmWidth, 128);
            EXPECT_LE(ds.dsBm.bmHeight, 64);
        }
        EXPECT_EQ(ds.dsBmih.biBitCount, e.bits);
        // The way the windows load them: a device bitmap of the same size.
        HBITMAP plain = static_cast<HBITMAP>(LoadImageW(library(), MAKEINTRESOURCEW(e.id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(plain, nullptr);
        BITMAP bm{};
        GetObjectW(plain, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, ds.dsBm.bmWidth);
        EXPECT_EQ(bm.bmHeight, ds.dsBm.bmHeight);
        DeleteObject(plain);
        DeleteObject(bmp);
    }
}

// ---- The templates on screen ----------------------------------------------------------------

// A dialog procedure that only puts the skin behind the controls (tiled, as
// the windows do) and lets captions show it, so the pictures show how text
// reads on the skin.
HBITMAP g_skin = nullptr;
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
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_ERASEBKGND:
        tile(reinterpret_cast<HDC>(wp), wnd);
        SetWindowLongPtrW(wnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
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
    default:
        return FALSE;
    }
}

LRESULT CALLBACK host_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        tile(reinterpret_cast<HDC>(wp), wnd);
        return TRUE;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

void pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// PNG with stored (uncompressed) deflate blocks: no library needed.
uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

bool write_png(const std::wstring& path, int w, int h, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + static_cast<size_t>(y) * w * 3, rgb.begin() + static_cast<size_t>(y + 1) * w * 3);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
    for (size_t at = 0; at < raw.size() || at == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(n & 0xFF), z.push_back(n >> 8), z.push_back(~n & 0xFF), z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
        if (last) break;
    }
    const uint32_t adler = b << 16 | a;
    for (int s = 24; s >= 0; s -= 8) z.push_back(static_cast<uint8_t>(adler >> s));

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<uint8_t>(data.size() >> s));
        const size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        const uint32_t crc = crc32(png.data() + start, png.size() - start);
        for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<uint8_t>(crc >> s));
    };
    std::vector<uint8_t> ihdr;
    for (uint32_t v : {static_cast<uint32_t>(w), static_cast<uint32_t>(h)})
        for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<uint8_t>(v >> s));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    chunk("IHDR", ihdr);
    chunk("IDAT", z);
    chunk("IEND", {});
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

// <build>/screenshots, from <build>/tests/win/the.exe, unless AUDIOMIX_SCREENSHOT_DIR says.
std::wstring screenshot_dir() {
    wchar_t env[MAX_PATH];
    std::wstring dir;
    if (GetEnvironmentVariableW(L"AUDIOMIX_SCREENSHOT_DIR", env, MAX_PATH) > 0) {
        dir = env;
    } else {
        dir = exe_dir();  // <build>\tests\win\ .
        for (int up = 0; up < 2; ++up) dir = dir.substr(0, dir.find_last_of(L'\\', dir.size() - 2) + 1);
        dir += L"screenshots";
    }
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

// What the screen shows over the window's rectangle.
bool screenshot(HWND wnd, const std::wstring& name, std::vector<uint8_t>* rgb_out = nullptr) {
    RECT r;
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    const auto* px = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        rgb[i * 3] = static_cast<uint8_t>(px[i] >> 16);
        rgb[i * 3 + 1] = static_cast<uint8_t>(px[i] >> 8);
        rgb[i * 3 + 2] = static_cast<uint8_t>(px[i]);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (rgb_out != nullptr) *rgb_out = rgb;
    return write_png(screenshot_dir() + name, w, h, rgb);
}

// Characters of the text that the control's font has no glyph for.
int missing_glyphs(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(text.size());
    int missing = 0;
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR) {
        missing = static_cast<int>(text.size());
    } else {
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

void init_common_controls() {
    // comctl32 is already loaded by the library; registering the classes is
    // what the dialogs need.
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (comctl == nullptr) comctl = LoadLibraryW(L"comctl32.dll");
    auto init = reinterpret_cast<Init>(reinterpret_cast<void (*)()>(GetProcAddress(comctl, "InitCommonControlsEx")));
    if (init == nullptr) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    init(&icc);
}

Shown show_template(int id, bool child) {
    static bool registered = false;
    if (!registered) {
        init_common_controls();
        WNDCLASSW wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"audiomix_resources_test_host";
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        RegisterClassW(&wc);
        registered = true;
    }
    Shown s;
    if (child) {
        s.host = CreateWindowExW(WS_EX_TOPMOST, L"audiomix_resources_test_host", L"", WS_POPUP, 40, 40, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        s.dialog = CreateDialogParamW(library(), MAKEINTRESOURCEW(id), s.host, preview_proc, 0);
        if (s.dialog == nullptr) return s;
        RECT r;
        GetWindowRect(s.dialog, &r);
        SetWindowPos(s.host, HWND_TOPMOST, 40, 40, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
        ShowWindow(s.dialog, SW_SHOW);
    } else {
        s.dialog = CreateDialogParamW(library(), MAKEINTRESOURCEW(id), nullptr, preview_proc, 0);
        s.host = s.dialog;
        if (s.dialog == nullptr) return s;
        SetWindowPos(s.dialog, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    UpdateWindow(s.host);
    pump(400);
    return s;
}

void close(const Shown& s) {
    if (s.host != nullptr) DestroyWindow(s.host);
    pump(50);
}

struct Preview {
    int id;
    bool child;
    int skin_bitmap;
    const wchar_t* file;
};

TEST_F(LibraryResources, TemplatesShowTheirChineseTextOnScreen) {
    const Preview previews[] = {
        {1000, false, 1031, L"template_1000_main.png"},
        {1016, true, 1031, L"template_1016_effect_page.png"},
        {1017, true, 1031, L"template_1017_eq_page.png"},
        {1025, false, 1013, L"template_1025_preset_name.png"},
    };
    for (const Preview& p : previews) {
        SCOPED_TRACE(p.id);
        g_skin = static_cast<HBITMAP>(LoadImageW(library(), MAKEINTRESOURCEW(p.skin_bitmap), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(g_skin, nullptr);
        g_skin_brush = CreatePatternBrush(g_skin);
        const Shown s = show_template(p.id, p.child);
        ASSERT_NE(s.dialog, nullptr) << "CreateDialogParamW failed, error " << GetLastError();
        EXPECT_TRUE(IsWindowVisible(s.dialog));

        Template t;
        ASSERT_TRUE(load_template(p.id, t));
        int controls = 0;
        for (const Item& item : t.items) {
            HWND control = GetDlgItem(s.dialog, static_cast<int>(item.id));
            EXPECT_NE(control, nullptr) << "control " << item.id << " not created";
            if (control == nullptr) continue;
            ++controls;
            bool chinese = false;
            for (wchar_t c : item.text) chinese |= c >= 0x4E00 && c <= 0x9FFF;
            if (chinese) {
                EXPECT_EQ(missing_glyphs(control, item.text), 0) << "control " << item.id << ": " << narrow(item.text);
            }
        }
        EXPECT_EQ(controls, static_cast<int>(t.items.size()));

        std::vector<uint8_t> rgb;
        EXPECT_TRUE(screenshot(s.host, p.file, &rgb));
        // Something was drawn: the picture is not one flat colour.
        bool varied = false;
        for (size_t i = 3; i < rgb.size() && !varied; i += 3) varied = rgb[i] != rgb[0] || rgb[i + 1] != rgb[1];
        EXPECT_TRUE(varied);
        close(s);
        DeleteObject(g_skin_brush);
        DeleteObject(g_skin);
        g_skin = nullptr;
    }
}

}  // namespace
