// The skinned controls' painters under wine: each paints into a 32-bit DIB
// section and the pixels are compared with what the pure band, frame and
// bubble rules say; Chinese text must come out in real glyphs.
#include <algorithm>
#include <string>
#include <vector>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "controls/frame_geometry.h"
#include "controls/skin_frame.h"
#include "controls/skin_label.h"
#include "controls/skin_tool_tip.h"
#include "window_harness.h"

namespace audiomix {
namespace {

constexpr uint32_t kSkin = make_rgb(6, 76, 98);
constexpr uint32_t kSentinel = make_rgb(1, 2, 3);

// Every drawing starts on a colour no fill produces.
struct Dib : window_test::MemoryDib {
    Dib(int width, int height) : MemoryDib(width, height, kSentinel) {}
};

// What the pure fills say each pixel becomes.
struct Expected {
    int w, h;
    std::vector<uint32_t> px;
    Expected(int width, int height, uint32_t background)
        : w(width), h(height), px(static_cast<size_t>(width * height), background) {}
    void operator()(const SolidFill& f) {
        for (int y = std::max(0, f.rect.top); y < std::min(h, f.rect.bottom); ++y)
            for (int x = std::max(0, f.rect.left); x < std::min(w, f.rect.right); ++x)
                px[static_cast<size_t>(y * w + x)] = f.colour;
    }
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

// ---- gradient

TEST(GradientPainter, EveryBandLandsWhereTheBandRuleSaysForEverySet) {
    const GradientSet sets[] = {GradientSet::Tab, GradientSet::Button, GradientSet::ToolTip,
                                GradientSet::Label, GradientSet::ComboBox, GradientSet::ListMenu};
    const int styles[] = {0, 7, 8, 9, 10, 11, 17, 18, 19, 20, 21, 22, 27, 28, 37, 38, 47, 57, 58, 77, 107};
    const RECT rects[] = {{3, 4, 103, 34}, {0, 0, 64, 64}, {10, 2, 31, 23}};
    const uint32_t base = make_rgb(58, 128, 150);
    Dib dib(110, 70);
    for (GradientSet set : sets) {
        for (int style : styles) {
            for (const RECT& r : rects) {
                dib.clear(kSentinel);
                FillGradient(dib.dc, base, r, style, set);
                Expected expected(dib.w, dib.h, kSentinel);
                gradient_bands(set, base, to_pixel_rect(r), style, expected);
                int wrong = 0;
                for (int y = 0; y < dib.h; ++y)
                    for (int x = 0; x < dib.w; ++x) wrong += dib.at(x, y) != expected.at(x, y);
                EXPECT_EQ(wrong, 0) << "set " << static_cast<int>(set) << " style " << style << " rect "
                                    << r.left << "," << r.top << "," << r.right << "," << r.bottom;
            }
        }
    }
}

TEST(GradientPainter, LeavesTheDeviceContextAsItWasAndFreesItsBrushes) {
    Dib dib(60, 40);
    HGDIOBJ brush = GetCurrentObject(dib.dc, OBJ_BRUSH);
    FillGradient(dib.dc, kSkin, {0, 0, 60, 40}, 21, GradientSet::Label);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
    const long before = window_test::gdi_object_count();
    for (int k = 0; k < 200; ++k) FillGradient(dib.dc, kSkin, {0, 0, 60, 40}, 7 + k % 30, GradientSet::ToolTip);
    EXPECT_EQ(window_test::gdi_object_count(), before);
}

// ---- label

class LabelPaint : public ::testing::Test {
protected:
    static constexpr int kW = 420, kH = 34;

    void SetUp() override {
        host = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 60, 60, 500, 120, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND stat = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 20, 30,
                                    kW, kH, host, reinterpret_cast<HMENU>(1001), GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(stat, nullptr);
        ASSERT_TRUE(label.SubclassWindow(stat));
    }
    // The main window's status label.
    void make_status_label(const wchar_t* text) {
        label.m_bkStyle = 21;
        label.SetBkColor(kSkin).SetTextColor(RGB(2, 2, 2)).SetFontName(L"宋体").SetEmboss(TRUE, 1).SetFontSize(12);
        label.SetWindowText(text);
    }

    void TearDown() override { DestroyWindow(host); }

    HWND host = nullptr;
    CSkinLabel label;
};

// Pixels in a rectangle of the DIB that pass a test.
template <typename Test>
int count(const Dib& dib, Test test, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += test(dib.at(x, y));
    return n;
}

// Text is anti-aliased: dark means every component at most 40, light at least 230.
bool dark(uint32_t c) { return std::max({red_of(c), green_of(c), blue_of(c)}) <= 40; }
bool light(uint32_t c) { return std::min({red_of(c), green_of(c), blue_of(c)}) >= 230; }

TEST_F(LabelPaint, StatusLabelFaceFollowsStyle21AroundItsText) {
    make_status_label(L"欢迎使用广告人声静态调整效果器");
    Dib dib(kW, kH);
    label.Paint(dib.dc);
    window_test::save_screenshot(dib.capture(), L"controls_status_label");

    // The face: style 21 of the label's repertoire in the panel colour
    // lightened twice by 51; its rounded corners show the panel colour.
    Expected expected(kW, kH, kSkin);
    gradient_bands(GradientSet::Label, LightenColor(LightenColor(kSkin, 51), 51), {0, 0, kW, kH}, 21, expected);
    // The text is centred: the left and right 40 columns hold only the face.
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x : {0, 1, 2, 10, 39, kW - 40, kW - 3, kW - 2, kW - 1}) wrong += dib.at(x, y) != expected.at(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(dib.at(0, kH - 1), kSkin);  // the last band is inset 2
    EXPECT_EQ(dib.at(1, kH - 1), kSkin);

    // Dark text with a white copy one pixel down and right. The face has no
    // near-white pixels, and near-black ones only in its last rows (amounts
    // of 160 and more: value <= 15, i >= 32).
    EXPECT_EQ(count(dib, dark, 0, 0, 40, 31), 0);
    EXPECT_EQ(count(dib, light, 0, 0, 40, kH), 0);
    EXPECT_GT(count(dib, dark, 40, 0, kW - 40, 31), 15);
    EXPECT_GT(count(dib, light, 40, 0, kW - 40, kH), 150);
}

TEST_F(LabelPaint, OneLineTextIsCentredBothWaysAndABreakKeepsItOnTop) {
    label.m_bkStyle = 0;
    label.SetBkColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0)).SetFontName(L"宋体").SetFontSize(12);
    auto ink_rows = [&](const wchar_t* text, int* first, int* last, int* left, int* right) {
        label.SetWindowText(text);
        Dib dib(kW, kH);
        label.Paint(dib.dc);
        *first = kH, *last = -1, *left = kW, *right = -1;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (dib.at(x, y) != RGB(255, 255, 255)) {
                    *first = std::min(*first, y), *last = std::max(*last, y);
                    *left = std::min(*left, x), *right = std::max(*right, x);
                }
    };
    int first, last, left, right;
    ink_rows(L"调整", &first, &last, &left, &right);
    ASSERT_GE(last, first);
    EXPECT_NEAR((first + last) / 2.0, (kH - 1) / 2.0, 3.0);
    EXPECT_NEAR((left + right) / 2.0, (kW - 1) / 2.0, 3.0);

    ink_rows(L"调整\r\n效果", &first, &last, &left, &right);
    ASSERT_GE(last, first);
    EXPECT_LT(first, 4);  // top-aligned: DT_VCENTER needs a single line
    EXPECT_NEAR((left + right) / 2.0, (kW - 1) / 2.0, 3.0);
}

TEST_F(LabelPaint, ChineseTextRendersInRealGlyphs) {
    make_status_label(L"欢迎");
    HDC dc = GetDC(label.m_hWnd);
    HGDIOBJ old = SelectObject(dc, label.GetLabelFont());
    const std::wstring text = L"欢迎使用广告人声静态调整效果器";
    std::vector<WORD> glyphs(text.size());
    ASSERT_NE(GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                               GGI_MARK_NONEXISTING_GLYPHS),
              GDI_ERROR);
    for (size_t i = 0; i < glyphs.size(); ++i) EXPECT_NE(glyphs[i], 0xFFFF) << "character " << i;
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(label.m_hWnd, dc);
    RecordProperty("face", std::string(face, face + wcslen(face)).c_str());

    // Different characters give different ink (missing glyphs would all be one box).
    auto ink = [&](const wchar_t* t) {
        label.SetWindowText(t);
        Dib dib(kW, kH);
        label.Paint(dib.dc);
        std::vector<bool> mask;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) mask.push_back(dib.at(x, y) == RGB(2, 2, 2));
        return mask;
    };
    EXPECT_NE(ink(L"欢"), ink(L"调"));
}

TEST_F(LabelPaint, FontSettersBuildTheFont) {
    label.SetFontSize(12);
    EXPECT_EQ(label.GetLogFont().lfHeight, -12);
    LOGFONTW actual{};
    GetObjectW(label.GetLabelFont(), sizeof actual, &actual);
    EXPECT_EQ(actual.lfHeight, -12);
    label.SetFontBold(TRUE).SetFontName(L"楷体");
    GetObjectW(label.GetLabelFont(), sizeof actual, &actual);
    EXPECT_EQ(actual.lfWeight, FW_BOLD);
    EXPECT_STREQ(actual.lfFaceName, L"楷体");
}

TEST_F(LabelPaint, TransparentLabelLeavesTheBackgroundAlone) {
    label.m_bkStyle = 21;
    label.SetBkColor(kSkin).SetTextColor(RGB(0, 0, 0)).SetTransparent(TRUE);
    label.SetWindowText(L"透明");
    Dib dib(kW, kH);
    dib.clear(RGB(200, 10, 10));
    label.Paint(dib.dc);
    EXPECT_EQ(count(dib, [](uint32_t c) { return c == RGB(200, 10, 10); }, 0, 0, 60, kH), 60 * kH);
    EXPECT_GT(count(dib, [](uint32_t c) { return std::max({red_of(c), green_of(c), blue_of(c)}) <= 100; }, 0, 0, kW,
                    kH),
              20);
}

TEST_F(LabelPaint, TiledBitmapUnderACapsule) {
    // A 16 x 16 bitmap of two colours, tiled; style 17 draws the capsule over it.
    Dib tile(16, 16);
    tile.clear(RGB(250, 0, 0));
    RECT half{0, 0, 8, 16};
    HBRUSH green = CreateSolidBrush(RGB(0, 250, 0));
    FillRect(tile.dc, &half, green);
    DeleteObject(green);
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, 16, 16);
    HDC copy_dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(copy_dc, copy);
    BitBlt(copy_dc, 0, 0, 16, 16, tile.dc, 0, 0, SRCCOPY);
    SelectObject(copy_dc, old);
    DeleteDC(copy_dc);
    ReleaseDC(nullptr, screen);

    ASSERT_TRUE(label.SetBitmap(copy));
    label.m_bkStyle = 17;
    label.SetBkColor(kSkin);
    Dib dib(kW, kH);
    label.Paint(dib.dc);
    // The capsule (h = 34, half 17) leaves row 0 unpainted up to column
    // k = trunc(17 - cos(16/17 * 90 deg) * 17) = 15 and never paints the last
    // row: there the tiles show, green columns 0-7 and red 8-15 of each 16.
    EXPECT_EQ(dib.at(0, 0), RGB(0, 250, 0));
    EXPECT_EQ(dib.at(8, 0), RGB(250, 0, 0));
    EXPECT_EQ(dib.at(14, 0), RGB(250, 0, 0));
    EXPECT_EQ(dib.at(16 * 12 + 3, kH - 1), RGB(0, 250, 0));
    EXPECT_EQ(dib.at(16 * 12 + 8, kH - 1), RGB(250, 0, 0));
    EXPECT_EQ(dib.at(kW - 1, kH - 1), RGB(0, 250, 0));  // 419 = 26 * 16 + 3
    // The middle row is the face, full width.
    Expected expected(kW, kH, 0);
    gradient_bands(GradientSet::Label, LightenColor(LightenColor(kSkin, 51), 51), {0, 0, kW, kH}, 17, expected);
    EXPECT_EQ(dib.at(0, kH / 2), expected.at(0, kH / 2));
    EXPECT_EQ(dib.at(kW - 1, kH / 2), expected.at(kW - 1, kH / 2));
}

// ---- tool tip bubble

TEST(ToolTipPaint, BubbleFaceAndFrames) {
    default_engine().edit()->link.skinPanelColour = kSkin;
    CSkinToolTip tip;
    const BubbleGeometry b = tool_tip_bubble(120, 16, 0, 0);
    Dib dib(b.width + 10, b.windowHeight + 10);
    tip.PaintBubble(dib.dc, b);
    window_test::save_screenshot(dib.capture(), L"controls_tool_tip_bubble");

    const ToolTipColours colours = tool_tip_colours(kSkin);
    Expected face(dib.w, dib.h, kSentinel);
    gradient_bands(GradientSet::ToolTip, colours.gradientBase, {0, 0, b.width, b.windowHeight}, 7, face);

    // Frames follow the region's edge; find it from the region itself.
    HRGN region = CSkinToolTip::MakeRegion(b);
    RECT box;
    GetRgnBox(region, &box);
    const int mid = b.height / 2;
    EXPECT_EQ(dib.at(box.left, mid), colours.lightFrame);
    EXPECT_EQ(dib.at(box.left + 1, mid), colours.fill);
    EXPECT_EQ(dib.at(box.left + 2, mid), colours.fill);
    EXPECT_EQ(dib.at(box.left + 3, mid), face.at(box.left + 3, mid));
    EXPECT_EQ(dib.at(box.right - 1, mid), colours.lightFrame);
    EXPECT_EQ(dib.at(box.right - 2, mid), colours.shadowFrame);
    EXPECT_EQ(dib.at(box.right - 3, mid), colours.fill);
    EXPECT_EQ(dib.at(box.right - 4, mid), face.at(box.right - 4, mid));
    EXPECT_EQ(dib.at(b.width / 2, box.top), colours.lightFrame);
    EXPECT_EQ(dib.at(b.width / 2, box.top + 3), face.at(b.width / 2, box.top + 3));
    // Inside the tail.
    const int tx = b.width - 18, ty = b.height + 2;
    ASSERT_TRUE(PtInRegion(region, tx, ty));
    EXPECT_EQ(dib.at(tx, ty), face.at(tx, ty));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 2, b.windowHeight - 2));
    EXPECT_TRUE(PtInRegion(region, b.tail[1].x - 1, b.tail[1].y - 3));
    DeleteObject(region);
}

// ---- frame

TEST(FramePaint, FramePixelsFollowTheFramePainters) {
    default_engine().edit()->link.skinColour = kSkin;
    CSkinFrame frame;
    frame.Setup();
    frame.m_closeNotifiesOwner = 1;
    const int w = 453, h = 411;
    Dib dib(w, h);
    frame.PaintFrame(dib.dc, w, h);
    window_test::save_screenshot(dib.capture(), L"controls_frame_painted");

    const FrameState state = frame.GetState();
    const FrameGeometry& g = frame.GetGeometry();
    Expected fills(w, h, kSentinel);
    frame_background(g, w, h, kSkin, state.active, fills);
    frame_caption(w, kSkin, GetSysColor(COLOR_3DSHADOW), state, fills);

    // Everything but the caption text and the buttons is exactly the fills.
    const PixelRect text = frame_caption_text_rect(g, state, w, GetSystemMetrics(SM_CXSMICON));
    const PixelRect close = frame_caption_button_rect(g, CaptionButton::Close, w);
    const PixelRect extra = frame_caption_button_rect(g, CaptionButton::Extra, w);
    int wrong = 0, checked = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Buttons draw their border one pixel beyond right and bottom.
            const PixelRect grow_close{close.left, close.top, close.right + 1, close.bottom + 1};
            const PixelRect grow_extra{extra.left, extra.top, extra.right + 1, extra.bottom + 1};
            if (text.contains(x, y) || grow_close.contains(x, y) || grow_extra.contains(x, y)) continue;
            ++checked;
            wrong += dib.at(x, y) != fills.at(x, y);
        }
    EXPECT_EQ(wrong, 0) << "of " << checked;

    // Button faces: normal look, style 8 in the skin's inverse darkened by 17.
    const ButtonFace look = frame_button_face_look(CaptionButton::Close, ButtonLook::Normal, kSkin);
    Expected face(w, h, kSentinel);
    frame_button_face(close, look.colour, look.style, face);
    for (int y = close.top + 3; y < close.bottom - 2; ++y)
        EXPECT_EQ(dib.at(close.right - 2, y), face.at(close.right - 2, y)) << y;
    // Border: black top line at T + 2, black right edge at x = R, white left line at L + 1.
    EXPECT_EQ(dib.at(close.left + 5, close.top + 2), RGB(0, 0, 0));
    EXPECT_EQ(dib.at(close.right, close.top + 10), RGB(0, 0, 0));
    EXPECT_EQ(dib.at(close.left + 1, close.top + 10), RGB(255, 255, 255));
    EXPECT_EQ(dib.at(close.left + 5, close.top + 1), RGB(255, 255, 255));
    // The extra button's four squares.
    const int a = extra.left + 1, bb = extra.top + 1;
    EXPECT_EQ(dib.at(a + 7, bb + 7), RGB(255, 55, 55));
    EXPECT_EQ(dib.at(a + 12, bb + 7), RGB(55, 255, 55));
    EXPECT_EQ(dib.at(a + 7, bb + 12), InvertColor(look.colour));
    EXPECT_EQ(dib.at(a + 12, bb + 12), RGB(255, 255, 55));
    // The close cross: the white 1-pixel stroke passes through (a + 8, b + 8).
    const int ca = close.left + 1, cb = close.top + 1;
    EXPECT_EQ(dib.at(ca + 8, cb + 8), RGB(255, 255, 255));
}

}  // namespace
}  // namespace audiomix
