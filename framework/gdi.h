// Device contexts and GDI objects. Every wrapper owns what it created and
// frees it in its destructor, so a control that holds a CFont or CBitmap
// member frees it with the control; objects made for one paint live on the
// stack of that paint. Select objects with ScopedSelect so the DC gets its
// previous object back before the object is deleted:
//
//   CPaintDC dc(this);
//   CBrush brush;  brush.CreateSolidBrush(colour);
//   {
//       ScopedSelect keep(dc, brush);
//       dc.Rectangle(rc);
//   }
//
// CBufferDC paints into a memory bitmap and copies it to the target when it
// goes out of scope (no flicker).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/module.h"

namespace audiomix {

class CWnd;

// ---- GDI objects

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    // Takes ownership of handle (the previous object is deleted).
    void Attach(HGDIOBJ handle) {
        DeleteObject();
        m_hObject = handle;
    }
    HGDIOBJ Detach() {
        HGDIOBJ h = m_hObject;
        m_hObject = nullptr;
        return h;
    }
    BOOL DeleteObject() {
        if (m_hObject == nullptr) return FALSE;
        const BOOL ok = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return ok;
    }
    int GetObject(int size, void* buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
};

class CPen : public CGdiObject {
public:
    BOOL CreatePen(int style, int width, COLORREF colour) {
        Attach(::CreatePen(style, width, colour));
        return m_hObject != nullptr;
    }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF colour) {
        Attach(::CreateSolidBrush(colour));
        return m_hObject != nullptr;
    }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCWSTR faceName) {
        Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                             outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
        return m_hObject != nullptr;
    }
    BOOL CreateFontIndirect(const LOGFONTW* font) {
        Attach(::CreateFontIndirectW(font));
        return m_hObject != nullptr;
    }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    // A bitmap resource of the library (LoadImage, IMAGE_BITMAP, own size).
    BOOL LoadBitmap(UINT resourceId) {
        Attach(::LoadImageW(library_instance(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        return m_hObject != nullptr;
    }
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height) {
        Attach(::CreateCompatibleBitmap(dc, width, height));
        return m_hObject != nullptr;
    }
    int GetBitmap(BITMAP* info) const { return ::GetObjectW(m_hObject, sizeof(BITMAP), info); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int l, int t, int r, int b) {
        Attach(::CreateRectRgn(l, t, r, b));
        return m_hObject != nullptr;
    }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
        Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
        return m_hObject != nullptr;
    }
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode) {
        Attach(::CreatePolygonRgn(points, count, mode));
        return m_hObject != nullptr;
    }
    // Combines a and b into this region (which must exist).
    int CombineRgn(HRGN a, HRGN b, int mode) { return ::CombineRgn(*this, a, b, mode); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

// ---- device contexts

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}  // borrowed: not deleted
    virtual ~CDC() {
        if (m_owned && m_hDC != nullptr) ::DeleteDC(m_hDC);
    }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A memory DC compatible with dc, deleted with this object.
    BOOL CreateCompatibleDC(HDC dc) {
        m_hDC = ::CreateCompatibleDC(dc);
        m_owned = m_hDC != nullptr;
        return m_owned;
    }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(const CGdiObject& object) { return ::SelectObject(m_hDC, object.m_hObject); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    // A solid fill without creating a brush (ExtTextOut with ETO_OPAQUE).
    void FillSolidRect(const RECT& rect, COLORREF colour);
    int FillRect(const RECT& rect, HBRUSH brush) { return ::FillRect(m_hDC, &rect, brush); }
    BOOL FillRgn(HRGN region, HBRUSH brush) { return ::FillRgn(m_hDC, region, brush); }
    BOOL FrameRgn(HRGN region, HBRUSH brush, int w, int h) { return ::FrameRgn(m_hDC, region, brush, w, h); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(const RECT& rc) { return ::Rectangle(m_hDC, rc.left, rc.top, rc.right, rc.bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL MoveTo(int x, int y) { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL BitBlt(int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, w, h, source, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
        return ::StretchBlt(m_hDC, x, y, w, h, source, sx, sy, sw, sh, rop);
    }
    int DrawText(LPCWSTR text, int length, RECT* rect, UINT format) {
        return ::DrawTextW(m_hDC, text, length, rect, format);
    }
    BOOL TextOut(int x, int y, LPCWSTR text, int length) { return ::TextOutW(m_hDC, x, y, text, length); }
    SIZE GetTextExtent(LPCWSTR text, int length) const {
        SIZE size{0, 0};
        ::GetTextExtentPoint32W(m_hDC, text, length, &size);
        return size;
    }
    BOOL DrawIconEx(int x, int y, HICON icon, int w, int h, UINT flags) {
        return ::DrawIconEx(m_hDC, x, y, icon, w, h, 0, nullptr, flags);
    }

protected:
    bool m_owned = false;
};

// BeginPaint / EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC() override {
        ::EndPaint(m_hWnd, &m_ps);
        m_hDC = nullptr;
    }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC / ReleaseDC of the client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetDC(hwnd); }
    ~CClientDC() override {
        if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

private:
    HWND m_hWnd;
};

// GetWindowDC / ReleaseDC of the whole window, non-client area included.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetWindowDC(hwnd); }
    ~CWindowDC() override {
        if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

private:
    HWND m_hWnd;
};

// A memory DC the size of area over a compatible bitmap; its coordinates are
// the target's. The destructor copies the area to the target (SRCCOPY),
// unless Discard() was called.
class CBufferDC : public CDC {
public:
    CBufferDC(HDC target, const RECT& area);
    ~CBufferDC() override;
    void Discard() { m_discard = true; }

private:
    HDC m_target;
    RECT m_area;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    POINT m_oldOrigin{0, 0};
    bool m_discard = false;
};

// Selects an object into a DC and restores the previous one on scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ScopedSelect(HDC dc, const CGdiObject& object) : ScopedSelect(dc, object.m_hObject) {}
    ~ScopedSelect() {
        if (m_old != nullptr) ::SelectObject(m_dc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// ---- image list

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Appends an icon (ImageList_ReplaceIcon at -1); the index or -1.
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    BOOL Draw(HDC dc, int image, POINT at, UINT style) {
        return ImageList_Draw(m_hImageList, image, dc, at.x, at.y, style);
    }
    BOOL DeleteImageList() {
        if (m_hImageList == nullptr) return FALSE;
        const BOOL ok = ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return ok;
    }
};

}  // namespace audiomix
