// CBaseTabCtrl: the main window's tab strip. Besides being a tab control it
// owns up to 16 pages (dialogs created from their templates as its children),
// places them under the tabs and shows the selected one. It paints itself:
// a tiled skin bitmap (or a flat colour) behind gradient or bitmap tab faces
// with raised text and icons. A click on a tab needs no notification: the
// system control selects it and repaints, and painting shows the page of
// the selected tab and hides the others.
//
// The geometry is in window/tab_geometry.h (pure). The owner binds the control
// with DDX_Control, attaches an image list (TCM_SETIMAGELIST), writes the
// public colours and styles, then AddPage()s its page objects, which it owns
// and keeps alive as long as the control.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

namespace audiomix {

class CBaseTabCtrl : public CTabCtrl {
public:
    static constexpr int kMaxPages = 16;

    CBaseTabCtrl();
    ~CBaseTabCtrl() override;

    // Adds a tab and creates page from templateId as a child of this
    // control, hidden and in place. FALSE when 16 pages exist.
    BOOL AddPage(const wchar_t* title, CDialog* page, UINT templateId, int imageIndex, UINT unselectedBitmapId = 0,
                 UINT selectedBitmapId = 0);
    // Makes page index current (the old one hidden and saved with
    // UpdateData(TRUE), the new one loaded and shown). FALSE when out of range.
    BOOL SelectPage(int index);
    // Places page index under the tab strip, hidden.
    void PositionPage(int index);
    // Takes ownership of bitmap (none allowed); FALSE and no bitmap when its
    // size cannot be read.
    BOOL SetBackgroundBitmap(HBITMAP bitmap);
    BOOL SetBackgroundBitmap(UINT resourceId);

    int GetPageCount() const { return m_pageCount; }
    int GetCurrentPage() const { return m_currentPage; }
    CDialog* GetPage(int index) const { return index >= 0 && index < m_pageCount ? m_pages[index] : nullptr; }

    // Written directly by the owner.
    COLORREF m_selectedTabColour = RGB(98, 98, 0);
    COLORREF m_unselectedTabColour = RGB(32, 64, 192);
    int m_tabGradientStyle = 10;
    int m_tabTextEffect = 0;  // 0 plain, 1 raised, else shadowed
    COLORREF m_tabTextColour = RGB(0, 0, 255);
    COLORREF m_backgroundColour = RGB(231, 236, 247);
    int m_textTopOffset = 3;
    int m_textLeftOffset = 3;

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

protected:
    void PreSubclassWindow() override;

private:
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnPrintClient(Message& msg);
    void PaintBackground(HDC dc);
    void PaintTabs(HDC dc);
    void PaintBitmapFace(HDC dc, UINT bitmapId, const RECT& face, bool selected);

    int m_pageCount = 0;
    int m_currentPage = 0;
    UINT m_templateIds[kMaxPages] = {};
    UINT m_tabBitmaps[kMaxPages][2] = {};  // unselected, selected
    CDialog* m_pages[kMaxPages] = {};
    HBITMAP m_background = nullptr;
    int m_backgroundWidth = 0;
    int m_backgroundHeight = 0;
    CFont m_tabFont;
};

}  // namespace audiomix
