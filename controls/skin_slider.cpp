#include "controls/skin_slider.h"

#include <iterator>

#include "controls/colour.h"

namespace audiomix {

namespace {

enum Pen { kThumb, kLight1, kLight2, kDark1, kDark2, kDarkMid, kShadowMid, kHighlight, kBlue };

bool valid_colour(COLORREF c) { return (c & 0xff000000u) == 0; }

void fill_solid(HDC dc, int l, int t, int r, int b, COLORREF colour) {
    if (r <= l || b <= t) return;
    const RECT rc{l, t, r, b};
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

// Top and left edges in topLeft, right and bottom edges in bottomRight.
void draw_3d_rect(HDC dc, const PixelRect& r, COLORREF topLeft, COLORREF bottomRight) {
    fill_solid(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    fill_solid(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    fill_solid(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    fill_solid(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
}

void draw_line(HDC dc, HPEN pen, const SliderLine& l) {
    if (l.count < 2) return;
    const HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, l.points[0].x, l.points[0].y, nullptr);
    for (int i = 1; i < l.count; ++i) ::LineTo(dc, l.points[i].x, l.points[i].y);
    ::SelectObject(dc, old);
}

PixelRect to_pixel(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

CSkinSlider::CSkinSlider()
    : m_thumbColour(::GetSysColor(COLOR_BTNFACE)),
      m_channelColour(::GetSysColor(COLOR_WINDOW)),
      m_selectionColour(::GetSysColor(COLOR_HIGHLIGHT)) {
    Rebuild();
}

CSkinSlider::~CSkinSlider() {
    FreeBackground();
    // The pens free themselves.
}

void CSkinSlider::FreeBackground() {
    if (m_bgDC != nullptr) {
        ::SelectObject(m_bgDC, m_bgOldBitmap);
        ::DeleteDC(m_bgDC);
        m_bgDC = nullptr;
        m_bgOldBitmap = nullptr;
    }
    m_bgBitmap.DeleteObject();
}

void CSkinSlider::OnWindowPosChanged(Message& msg) {
    // Moved or resized, the slider sees another part of its parent.
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(msg.lParam);
    if (pos != nullptr && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) FreeBackground();
    msg.result = Default();
}

const MessageMap* CSkinSlider::Map() {
    static constexpr MessageEntry entries[] = {
        OnReflectedNotify(NM_CUSTOMDRAW, Handle<&CSkinSlider::OnCustomDraw>),
        OnMessage(WM_ERASEBKGND, Handle<&CSkinSlider::OnEraseBkgnd>),
        OnMessage(WM_WINDOWPOSCHANGED, Handle<&CSkinSlider::OnWindowPosChanged>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

void CSkinSlider::Rebuild() {
    m_colours = slider_colours(m_thumbColour, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_BTNFACE),
                               ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_3DHILIGHT));
    const COLORREF colours[8] = {m_colours.thumb, m_colours.light1,  m_colours.light2,    m_colours.dark1,
                                 m_colours.dark2, m_colours.darkMid, m_colours.shadowMid, m_colours.highlight};
    for (int i = 0; i < 8; ++i) {
        m_pens[i].DeleteObject();
        m_pens[i].CreatePen(PS_SOLID, 1, colours[i]);
    }
    m_pens[kBlue].DeleteObject();
    m_pens[kBlue].CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
}

BOOL CSkinSlider::SetThumbColor(COLORREF colour) {
    if (!valid_colour(colour)) return FALSE;
    m_thumbColour = colour;
    Rebuild();
    if (m_hWnd != nullptr) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

BOOL CSkinSlider::SetChannelColor(COLORREF colour) {
    if (!valid_colour(colour)) return FALSE;
    m_channelColour = colour;
    Rebuild();
    return TRUE;
}

BOOL CSkinSlider::SetSelectionColor(COLORREF colour) {
    if (!valid_colour(colour)) return FALSE;
    m_selectionColour = colour;
    Rebuild();
    if (m_hWnd != nullptr) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

BOOL CSkinSlider::OnEraseBkgnd(HDC) { return TRUE; }

void CSkinSlider::OnCustomDraw(NMHDR* header, LRESULT* result) {
    const NMCUSTOMDRAW* cd = reinterpret_cast<const NMCUSTOMDRAW*>(header);
    *result = CDRF_DODEFAULT;
    if (cd->dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
    } else if (cd->dwDrawStage == CDDS_ITEMPREPAINT) {
        if (cd->dwItemSpec == TBCD_THUMB) {
            const int saved = ::SaveDC(cd->hdc);
            PaintThumb(cd->hdc, cd->rc, cd->uItemState);
            ::RestoreDC(cd->hdc, saved);
            *result = CDRF_SKIPDEFAULT;
        } else if (cd->dwItemSpec == TBCD_CHANNEL) {
            const int saved = ::SaveDC(cd->hdc);
            PaintChannel(cd->hdc, cd->rc);
            ::RestoreDC(cd->hdc, saved);
            *result = CDRF_SKIPDEFAULT;
        }
        // TBCD_TICS: the system's ticks.
    }
}

void CSkinSlider::PaintThumb(HDC dc, const RECT& item, UINT itemState) {
    const COLORREF normal = m_thumbColour;
    const bool dragging = (itemState & CDIS_SELECTED) != 0;
    if (dragging) {
        m_thumbColour = DarkenColor(normal, 51);
        Rebuild();
    }
    const DWORD style = GetStyle();
    const ThumbShape shape = (style & TBS_BOTH)  ? ThumbShape::Both
                             : (style & TBS_TOP) ? ThumbShape::PointUp
                                                 : ThumbShape::PointDown;
    const ThumbFigure f = slider_thumb(to_pixel(item), shape, IsWindowEnabled() != FALSE, m_colours);

    const COLORREF frameColour = ::GetSysColor(COLOR_WINDOWFRAME);
    const HPEN framePen = ::CreatePen(PS_SOLID, 1, frameColour);
    const HBRUSH faceBrush = ::CreateSolidBrush(m_thumbColour);
    const HGDIOBJ oldPen = ::SelectObject(dc, framePen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, faceBrush);
    if (f.rounded) {
        ::RoundRect(dc, f.frame.left, f.frame.top, f.frame.right, f.frame.bottom, 2, 2);
        draw_3d_rect(dc, f.bevel, m_colours.light1, m_colours.dark1);
    } else if (f.polygonCount > 0) {
        ::MoveToEx(dc, f.polygon[0].x, f.polygon[0].y, nullptr);
        for (int i = 1; i < f.polygonCount; ++i) ::LineTo(dc, f.polygon[i].x, f.polygon[i].y);
        ::FloodFill(dc, f.floodSeed.x, f.floodSeed.y, frameColour);
    }
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(faceBrush);
    ::DeleteObject(framePen);

    for (int i = 0; i < f.pixelCount; ++i) ::SetPixel(dc, f.pixels[i].x, f.pixels[i].y, f.pixelColours[i]);
    for (int i = 0; i < f.bevelLineCount; ++i) {
        const SliderLine& l = f.bevelLines[i];
        const Pen pen = l.colour == m_colours.light1   ? kLight1
                        : l.colour == m_colours.light2 ? kLight2
                        : l.colour == m_colours.dark1  ? kDark1
                                                       : kDark2;
        draw_line(dc, m_pens[pen], l);
    }
    for (int i = 0; i < f.gripCount; ++i)
        draw_line(dc, m_pens[f.grip[i].colour == m_colours.light1 ? kLight1 : kDark2], f.grip[i]);
    for (int i = 0; i < f.gripDotCount; ++i) ::SetPixel(dc, f.gripDots[i].x, f.gripDots[i].y, m_colours.light2);

    if (dragging) {
        m_thumbColour = normal;
        Rebuild();
    }
}

void CSkinSlider::CacheBackground(HDC dc) {
    RECT client;
    GetClientRect(&client);
    RECT window;
    GetWindowRect(&window);
    const HWND parent = GetParent();
    POINT origin{window.left, window.top};
    ::ScreenToClient(parent, &origin);
    m_bgDC = ::CreateCompatibleDC(dc);
    m_bgBitmap.CreateCompatibleBitmap(dc, client.right, client.bottom);
    m_bgOldBitmap = ::SelectObject(m_bgDC, m_bgBitmap);
    const HDC parentDC = ::GetDC(parent);
    ::BitBlt(m_bgDC, 0, 0, client.right, client.bottom, parentDC, origin.x, origin.y, SRCCOPY);
    ::ReleaseDC(parent, parentDC);
}

// Puts the cached parent pixels back wherever the trackbar painted its own
// background colour, so the channel sits on the page's skin.
void CSkinSlider::MakeChannelTransparent(HDC dc, const RECT& item) {
    const int w = item.right - item.left;
    const int h = item.bottom - item.top;
    if (w <= 0 || h <= 0) return;
    const HDC memDC = ::CreateCompatibleDC(dc);
    const HBITMAP memBitmap = ::CreateCompatibleBitmap(dc, w, h);
    const HGDIOBJ oldMem = ::SelectObject(memDC, memBitmap);
    ::BitBlt(memDC, 0, 0, w, h, dc, item.left, item.top, SRCCOPY);

    RECT client;
    GetClientRect(&client);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, m_bgDC, 0, 0, SRCCOPY);

    // Mask: white where the copy shows the background colour, black elsewhere.
    const HDC maskDC = ::CreateCompatibleDC(dc);
    const HBITMAP maskBitmap = ::CreateBitmap(w, h, 1, 1, nullptr);
    const HGDIOBJ oldMask = ::SelectObject(maskDC, maskBitmap);
    const COLORREF oldMemBk = ::SetBkColor(memDC, ::GetBkColor(dc));
    ::BitBlt(maskDC, 0, 0, w, h, memDC, 0, 0, SRCCOPY);
    ::SetBkColor(memDC, oldMemBk);

    const COLORREF oldBk = ::SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    ::BitBlt(dc, item.left, item.top, w, h, memDC, 0, 0, SRCINVERT);
    ::BitBlt(dc, item.left, item.top, w, h, maskDC, 0, 0, SRCAND);
    ::BitBlt(dc, item.left, item.top, w, h, memDC, 0, 0, SRCINVERT);
    ::SetBkColor(dc, oldBk);
    ::SetTextColor(dc, oldText);

    ::SelectObject(maskDC, oldMask);
    ::DeleteObject(maskBitmap);
    ::DeleteDC(maskDC);
    ::SelectObject(memDC, oldMem);
    ::DeleteObject(memBitmap);
    ::DeleteDC(memDC);
}

void CSkinSlider::PaintChannel(HDC dc, const RECT& item) {
    if (m_bgDC == nullptr) CacheBackground(dc);
    MakeChannelTransparent(dc, item);

    const COLORREF channel = IsWindowEnabled() ? m_channelColour : ::GetSysColor(COLOR_BTNFACE);
    RECT reported{};
    SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&reported));
    const bool vertical = slider_channel_vertical(to_pixel(reported), (GetStyle() & TBS_VERT) != 0);
    const SliderRange range{GetRangeMin(), GetRangeMax(), static_cast<int>(SendMessage(TBM_GETSELSTART)),
                            static_cast<int>(SendMessage(TBM_GETSELEND))};
    const ChannelFigure f = slider_channel(to_pixel(item), vertical, range, m_colours, channel, m_scaleMarks == 0);

    draw_3d_rect(dc, f.bevel, channel, m_colours.darkMid);
    if (f.rounded) {
        const HBRUSH brush = ::CreateSolidBrush(channel);
        const HGDIOBJ oldPen = ::SelectObject(dc, m_pens[kDarkMid]);
        const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        ::RoundRect(dc, f.bevel.left, f.bevel.top, f.bevel.right, f.bevel.bottom, 2, 2);
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(brush);
    }
    draw_line(dc, m_pens[kShadowMid], f.shadowEdge);
    draw_line(dc, m_pens[kHighlight], f.highlightEdge);
    if (f.hasSelection && !f.selection.empty()) {
        const HBRUSH brush = ::CreateSolidBrush(m_selectionColour);
        const RECT s{f.selection.left, f.selection.top, f.selection.right, f.selection.bottom};
        ::FillRect(dc, &s, brush);
        ::DeleteObject(brush);
    }
    for (int i = 0; i < f.markCount; ++i) draw_line(dc, m_pens[kHighlight], f.marks[i]);
}

}  // namespace audiomix
