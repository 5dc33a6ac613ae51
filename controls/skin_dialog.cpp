#include "controls/skin_dialog.h"

#include <iterator>

#include "framework/gdi.h"
#include "framework/module.h"
#include "framework/tile_grid.h"

namespace audiomix {

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CSkinDialog::~CSkinDialog() {
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
}

const MessageMap* CSkinDialog::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_LBUTTONDOWN, Handle<&CSkinDialog::OnLButtonDown>),
        OnMessage(WM_ERASEBKGND, Handle<&CSkinDialog::OnEraseBkgnd>),
        OnMessage(WM_SIZE, Handle<&CSkinDialog::OnSize>),
        OnMessage(WM_PRINTCLIENT, Handle<&CSkinDialog::OnPrintClient>),
    };
    static constexpr MessageMap map{&CDialog::Map, entries, std::size(entries)};
    return &map;
}

BOOL CSkinDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CSkinDialog::SetBitmap(UINT resourceId) {
    HANDLE image = ::LoadImageW(library_instance(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    return SetBitmap(static_cast<HBITMAP>(image));
}

BOOL CSkinDialog::SetBitmap(HBITMAP bitmap) {
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    m_bitmap = bitmap;
    m_bitmapWidth = m_bitmapHeight = 0;
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        m_bitmap = nullptr;
        return FALSE;
    }
    m_bitmapWidth = info.bmWidth;
    m_bitmapHeight = info.bmHeight;
    if (m_hWnd != nullptr) Invalidate();
    return TRUE;
}

void CSkinDialog::TileBackground(HDC dc) {
    if (m_bitmap == nullptr) return;
    RECT client;
    GetClientRect(&client);
    const TileGrid grid = tile_grid(client.right, client.bottom, m_bitmapWidth, m_bitmapHeight);
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return;
    ScopedSelect keep(memory, m_bitmap);
    for (int32_t column = 0; column < grid.columns; ++column)
        for (int32_t row = 0; row < grid.rows; ++row)
            ::BitBlt(dc, grid.x(column), grid.y(row), m_bitmapWidth, m_bitmapHeight, memory, 0, 0, SRCCOPY);
}

void CSkinDialog::OnLButtonDown(Message& msg) {
    // Grabbing the client area moves the window as the caption would.
    if (m_dragEnabled) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, msg.lParam);
    msg.result = Default();
}

BOOL CSkinDialog::OnEraseBkgnd(HDC dc) {
    const BOOL result = static_cast<BOOL>(Default());
    TileBackground(dc);
    return result;
}

void CSkinDialog::OnSize() {
    Default();
    if (m_bitmap != nullptr) Invalidate();
}

void CSkinDialog::OnPrintClient(Message& msg) {
    // Captures of the dialog (WM_PRINT) get the tiled background too.
    if ((msg.lParam & PRF_ERASEBKGND) != 0) TileBackground(reinterpret_cast<HDC>(msg.wParam));
    msg.result = Default();
}

}  // namespace audiomix
