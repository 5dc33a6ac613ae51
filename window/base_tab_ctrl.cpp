#include "window/base_tab_ctrl.h"

#include <iterator>

#include "controls/fill_gradient.h"
#include "framework/module.h"
#include "framework/tile_grid.h"
#include "window/tab_geometry.h"

namespace audiomix {

namespace {

constexpr wchar_t kVerticalTabsMessage[] =
    L"CBaseTabCtrl属性页不支持纵向排列页标，请去掉TCS_VERTICAL属性设置以及相关风格设置代码代码";

}  // namespace

CBaseTabCtrl::CBaseTabCtrl() {
    m_tabFont.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"宋体");
}

CBaseTabCtrl::~CBaseTabCtrl() {
    // The pages belong to the owner; only our own GDI objects go here.
    if (m_background != nullptr) ::DeleteObject(m_background);
}

const MessageMap* CBaseTabCtrl::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_PAINT, Handle<&CBaseTabCtrl::OnPaint>),
        OnMessage(WM_ERASEBKGND, Handle<&CBaseTabCtrl::OnEraseBkgnd>),
        OnMessage(WM_PRINTCLIENT, Handle<&CBaseTabCtrl::OnPrintClient>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

void CBaseTabCtrl::PreSubclassWindow() {
    CTabCtrl::PreSubclassWindow();
    // Owner-drawn faces; and the pages paint their own area, so painting the
    // strip never draws over them first (no flicker when it repaints).
    ModifyStyle(0, TCS_OWNERDRAWFIXED | WS_CLIPCHILDREN);
}

BOOL CBaseTabCtrl::AddPage(const wchar_t* title, CDialog* page, UINT templateId, int imageIndex,
                           UINT unselectedBitmapId, UINT selectedBitmapId) {
    if (m_pageCount >= kMaxPages || page == nullptr) return FALSE;
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(title != nullptr ? title : L"");
    item.iImage = imageIndex;
    item.lParam = 0;
    InsertItem(m_pageCount, &item);

    const int index = m_pageCount;
    m_pages[index] = page;
    m_templateIds[index] = templateId;
    m_tabBitmaps[index][0] = unselectedBitmapId;
    m_tabBitmaps[index][1] = selectedBitmapId;

    page->DestroyWindow();
    page->Create(templateId, this);
    if (page->m_hWnd != nullptr) page->ShowWindow(SW_HIDE);
    PositionPage(index);
    ++m_pageCount;
    return TRUE;
}

void CBaseTabCtrl::PositionPage(int index) {
    if (index < 0 || index >= kMaxPages || m_pages[index] == nullptr || m_pages[index]->m_hWnd == nullptr) return;
    RECT client, first{};
    GetClientRect(&client);
    GetItemRect(0, &first);
    const DWORD style = GetStyle();
    const TabPlacement placement = (style & TCS_VERTICAL) != 0 ? TabPlacement::Vertical
                                   : (style & TCS_BOTTOM) != 0 ? TabPlacement::Bottom
                                                               : TabPlacement::Top;
    const PixelRect r = tab_page_rect(placement, to_pixel_rect(client), to_pixel_rect(first));
    m_pages[index]->SetWindowPos(HWND_TOP, r.left, r.top, r.width(), r.height(), SWP_HIDEWINDOW);
}

BOOL CBaseTabCtrl::SelectPage(int index) {
    if ((GetStyle() & TCS_VERTICAL) != 0) ::MessageBoxW(m_hWnd, kVerticalTabsMessage, nullptr, MB_OK);
    if (index < 0 || index >= m_pageCount) return FALSE;
    if (m_currentPage != -1 && m_currentPage < m_pageCount) {
        CDialog* old = m_pages[m_currentPage];
        old->ShowWindow(SW_HIDE);
        old->UpdateData(TRUE);
    }
    m_currentPage = index;
    SetCurSel(index);
    m_pages[index]->UpdateData(FALSE);
    m_pages[index]->ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CBaseTabCtrl::SetBackgroundBitmap(HBITMAP bitmap) {
    if (m_background != nullptr) ::DeleteObject(m_background);
    m_background = bitmap;
    m_backgroundWidth = m_backgroundHeight = 0;
    if (bitmap != nullptr) {
        BITMAP info{};
        if (::GetObjectW(bitmap, sizeof info, &info) == 0) {
            ::DeleteObject(bitmap);
            m_background = nullptr;
            return FALSE;
        }
        m_backgroundWidth = info.bmWidth;
        m_backgroundHeight = info.bmHeight;
    }
    if (m_hWnd != nullptr) Invalidate(TRUE);
    return TRUE;
}

BOOL CBaseTabCtrl::SetBackgroundBitmap(UINT resourceId) {
    HANDLE image = ::LoadImageW(library_instance(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    return SetBackgroundBitmap(static_cast<HBITMAP>(image));
}

BOOL CBaseTabCtrl::OnEraseBkgnd(HDC dc) {
    // The tab faces are painted opaque right after; leaving them out of the
    // erase keeps them from blinking when the strip repaints.
    const int saved = ::SaveDC(dc);
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        RECT item{};
        if (GetItemRect(i, &item)) ::ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
    }
    PaintBackground(dc);
    ::RestoreDC(dc, saved);
    return TRUE;
}

void CBaseTabCtrl::OnPaint() {
    CPaintDC dc(m_hWnd);
    PaintTabs(dc);
}

void CBaseTabCtrl::OnPrintClient(Message& msg) {
    HDC dc = reinterpret_cast<HDC>(msg.wParam);
    if ((msg.lParam & PRF_ERASEBKGND) != 0) PaintBackground(dc);
    PaintTabs(dc);
}

void CBaseTabCtrl::PaintBackground(HDC dc) {
    RECT client;
    GetClientRect(&client);
    if (m_background != nullptr) {
        const TileGrid grid = tile_grid(client.right, client.bottom, m_backgroundWidth, m_backgroundHeight);
        CDC memory;
        if (!memory.CreateCompatibleDC(dc)) return;
        ScopedSelect keep(memory, m_background);
        for (int32_t column = 0; column < grid.columns; ++column)
            for (int32_t row = 0; row < grid.rows; ++row)
                ::BitBlt(dc, grid.x(column), grid.y(row), m_backgroundWidth, m_backgroundHeight, memory, 0, 0, SRCCOPY);
        return;
    }
    CBrush brush;
    CPen pen;
    brush.CreateSolidBrush(m_backgroundColour);
    pen.CreatePen(PS_SOLID, 1, m_backgroundColour);
    {
        ScopedSelect keepBrush(dc, brush);
        ScopedSelect keepPen(dc, pen);
        ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    }
    const int count = GetItemCount();
    if (count <= 0) return;
    RECT last{};
    GetItemRect(count - 1, &last);
    PixelPoint points[5];
    tab_frame_points(to_pixel_rect(client), to_pixel_rect(last), points);
    CPen white;
    white.CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    ScopedSelect keepWhite(dc, white);
    POINT line[5];
    for (int i = 0; i < 5; ++i) line[i] = {points[i].x, points[i].y};
    ::Polyline(dc, line, 5);
}

void CBaseTabCtrl::PaintBitmapFace(HDC dc, UINT bitmapId, const RECT& face, bool selected) {
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(bitmapId)) return;
    BITMAP info{};
    bitmap.GetBitmap(&info);
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return;
    ScopedSelect keep(memory, bitmap);
    const TabBitmapPlacement p = tab_bitmap_face(to_pixel_rect(face), selected, info.bmWidth, info.bmHeight);
    const PixelRect& d = p.destination;
    if (p.stretch)
        ::StretchBlt(dc, d.left, d.top, d.width(), d.height(), memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    else
        ::BitBlt(dc, d.left, d.top, d.width(), d.height(), memory, 0, 0, SRCCOPY);
}

void CBaseTabCtrl::PaintTabs(HDC dc) {
    const int count = GetItemCount();
    const int selected = GetCurSel();
    if (count <= 0) return;
    HIMAGELIST images = GetImageList();

    for (int i = count - 1; i >= 0; --i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 63;
        if (!GetItem(i, &item)) return;

        const bool isSelected = i == selected;
        RECT itemRect{};
        GetItemRect(i, &itemRect);
        const PixelRect face = tab_face_rect(to_pixel_rect(itemRect), isSelected);
        const int saved = ::SaveDC(dc);

        const UINT bitmapId = i < kMaxPages ? m_tabBitmaps[i][isSelected ? 1 : 0] : 0;
        if (bitmapId != 0) {
            PaintBitmapFace(dc, bitmapId, to_rect(face), isSelected);
        } else {
            const COLORREF base = isSelected ? m_selectedTabColour : m_unselectedTabColour;
            FillGradient(dc, base, to_rect(face), m_tabGradientStyle, GradientSet::Tab);
        }

        const PixelRect inner = tab_inner_rect(face, m_textTopOffset, m_textLeftOffset);
        ::SelectObject(dc, m_tabFont);
        ::SetBkMode(dc, TRANSPARENT);
        TextPass passes[2];
        const int n = tab_text_passes(m_tabTextEffect, isSelected, m_tabTextColour, passes);
        const PixelRect textRect = tab_text_rect(inner);
        for (int p = 0; p < n; ++p) {
            RECT r = to_rect(textRect.offset(passes[p].dx, passes[p].dy));
            ::SetTextColor(dc, passes[p].colour);
            ::DrawTextW(dc, text, -1, &r, kTabTextFormat);
        }
        ::RestoreDC(dc, saved);

        if (i < m_pageCount && m_pages[i] != nullptr && m_pages[i]->m_hWnd != nullptr)
            m_pages[i]->ShowWindow(isSelected ? SW_SHOW : SW_HIDE);

        if (images != nullptr && item.iImage >= 0) {
            SIZE blank{0, 0};
            ::GetTextExtentPoint32W(dc, L" ", 1, &blank);
            const PixelPoint at = tab_icon_origin(inner, blank.cx);
            ImageList_Draw(images, item.iImage, dc, at.x, at.y, ILD_TRANSPARENT);
        }
    }
}

}  // namespace audiomix
