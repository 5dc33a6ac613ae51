// CSkinLabel: the static text control of the dialogs. Bound to a dialog's
// static control (DDX_Control), it paints its own background (solid colour,
// bevel, banded gradient, or a tiled bitmap with a gradient over it) and its
// text in its own font and colour, optionally embossed, blinking, rotated or
// acting as a link.
//
//   m_status.m_bkStyle = 21;
//   m_status.SetBkColor(panel).SetTextColor(RGB(2, 2, 2)).SetFontName(L"宋体")
//           .SetEmboss(TRUE, 1).SetFontSize(12);
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace audiomix {

class CSkinLabel : public CStatic {
public:
    CSkinLabel();
    ~CSkinLabel() override;

    // Background style: 0 solid, 1-6 bevel, 7 and above a gradient of the
    // label's repertoire (over a bitmap only above 16). Written directly.
    int m_bkStyle = 0;

    virtual CSkinLabel& SetBkColor(COLORREF colour);
    virtual CSkinLabel& SetTextColor(COLORREF colour);
    virtual CSkinLabel& SetText(LPCWSTR text);
    virtual CSkinLabel& SetFontBold(BOOL bold);
    virtual CSkinLabel& SetFontName(LPCWSTR faceName);
    virtual CSkinLabel& SetFontUnderline(BOOL underline);
    virtual CSkinLabel& SetFontItalic(BOOL italic);
    virtual CSkinLabel& SetFontSize(int size);  // character height in pixels
    virtual CSkinLabel& SetSunken(BOOL sunken);
    virtual CSkinLabel& SetBorder(BOOL border);
    virtual CSkinLabel& SetTransparent(BOOL transparent);
    virtual CSkinLabel& FlashText(BOOL flash);
    virtual CSkinLabel& FlashBackground(BOOL flash);
    virtual CSkinLabel& SetLink(BOOL isLink, BOOL openOnClick);
    virtual CSkinLabel& SetLinkCursor(HCURSOR cursor);
    virtual CSkinLabel& SetEmboss(BOOL enabled, int direction);
    virtual CSkinLabel& SetRotation(int degrees, BOOL enabled);

    // Background bitmap: a bitmap resource of the library, or a ready bitmap
    // (owned from then on).
    BOOL SetBitmap(UINT resourceId);
    BOOL SetBitmap(HBITMAP bitmap);
    // A DrawText format to use instead of the one derived from the style.
    void SetTextFormat(UINT format) {
        m_customFormat = true;
        m_format = format;
    }
    // Shadow mode 1 puts a shadow copy under the gradient face and under the
    // text (a dark copy two pixels down and right, the text itself yellow).
    // 0, the default, draws neither.
    void SetShadowMode(int mode) { m_shadowMode = mode; }

    COLORREF GetBkColor() const { return m_bkColour; }
    COLORREF GetTextColor() const { return m_textColour; }
    const LOGFONTW& GetLogFont() const { return m_logFont; }
    HFONT GetLabelFont() const { return static_cast<HFONT>(m_font.m_hObject); }

    // Paints the whole control into dc (WM_PAINT, WM_PRINTCLIENT).
    void Paint(HDC dc);

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnPaint();
    void OnPrintClient(Message& msg);
    BOOL OnEraseBkgnd(HDC dc);
    void OnSetText(Message& msg);
    void OnTimer(Message& msg);
    void OnSetCursor(Message& msg);
    void OnLButtonDown(Message& msg);
    void OnSysColorChange();

    void RebuildFont();
    void Refresh();
    void PaintBackground(HDC dc, const RECT& client);
    void PaintText(HDC dc, const RECT& client);
    void StopBlinking();

    COLORREF m_bkColour;
    COLORREF m_textColour;
    CBrush m_faceBrush;  // COLOR_BTNFACE
    CBrush m_bkBrush;    // SetBkColor's
    bool m_customFormat = false;
    UINT m_format = 0;
    int m_shadowMode = 0;
    LOGFONTW m_logFont{};
    CFont m_font;
    int m_blinkPhase = 0;
    bool m_timerRunning = false;
    int m_blinkMode = 0;  // 0 none, 1 text, 2 background
    bool m_transparent = false;
    bool m_isLink = false;
    bool m_openOnClick = false;
    HCURSOR m_linkCursor = nullptr;
    bool m_emboss = false;
    int m_embossDirection = 0;
    bool m_rotated = false;
    CBitmap m_bitmap;
    int m_bitmapWidth = 0;
    int m_bitmapHeight = 0;
};

}  // namespace audiomix
