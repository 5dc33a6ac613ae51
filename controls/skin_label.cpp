#include "controls/skin_label.h"

#include <iterator>

#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "controls/label_rules.h"

namespace audiomix {

static_assert(kDtLeft == DT_LEFT && kDtCenter == DT_CENTER && kDtRight == DT_RIGHT && kDtVCenter == DT_VCENTER &&
                  kDtSingleLine == DT_SINGLELINE,
              "label_rules.h repeats the DrawText flags");
static_assert(kSsRight == SS_RIGHT && kSsCenterImage == SS_CENTERIMAGE, "label_rules.h repeats the static styles");

namespace {

constexpr UINT kLinkClickedCode = 0x8200;

// The shell is not one of the library's imports; opening a link is rare
// enough to look it up when it happens.
void open_with_shell(HWND owner, const wchar_t* target) {
    HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    if (shell == nullptr) return;
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    auto execute = reinterpret_cast<ShellExecuteFn>(reinterpret_cast<void*>(::GetProcAddress(shell, "ShellExecuteW")));
    if (execute != nullptr) execute(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    ::FreeLibrary(shell);
}

}  // namespace

CSkinLabel::CSkinLabel() : m_bkColour(::GetSysColor(COLOR_BTNFACE)), m_textColour(::GetSysColor(COLOR_WINDOWTEXT)) {
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_logFont, &m_logFont);
    // Let the font mapper pick any script: the labels are Chinese.
    m_logFont.lfCharSet = DEFAULT_CHARSET;
}

CSkinLabel::~CSkinLabel() {
    if (m_hWnd != nullptr && m_timerRunning) KillTimer(kLabelBlinkTimer);
}

const MessageMap* CSkinLabel::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_PAINT, Handle<&CSkinLabel::OnPaint>),
        OnMessage(WM_PRINTCLIENT, Handle<&CSkinLabel::OnPrintClient>),
        OnMessage(WM_ERASEBKGND, Handle<&CSkinLabel::OnEraseBkgnd>),
        OnMessage(WM_SETTEXT, Handle<&CSkinLabel::OnSetText>),
        OnMessage(WM_TIMER, Handle<&CSkinLabel::OnTimer>),
        OnMessage(WM_SETCURSOR, Handle<&CSkinLabel::OnSetCursor>),
        OnMessage(WM_LBUTTONDOWN, Handle<&CSkinLabel::OnLButtonDown>),
        OnMessage(WM_SYSCOLORCHANGE, Handle<&CSkinLabel::OnSysColorChange>),
    };
    static constexpr MessageMap map{&CStatic::Map, entries, std::size(entries)};
    return &map;
}

// ---- setters

CSkinLabel& CSkinLabel::SetBkColor(COLORREF colour) {
    m_bkColour = colour;
    m_bkBrush.CreateSolidBrush(colour);
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetTextColor(COLORREF colour) {
    m_textColour = colour;
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetText(LPCWSTR text) {
    if (m_hWnd != nullptr) SetWindowText(text != nullptr ? text : L"");
    return *this;
}

CSkinLabel& CSkinLabel::SetFontBold(BOOL bold) {
    m_logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontName(LPCWSTR faceName) {
    ::lstrcpynW(m_logFont.lfFaceName, faceName != nullptr ? faceName : L"", LF_FACESIZE);
    RebuildFont();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontUnderline(BOOL underline) {
    m_logFont.lfUnderline = underline ? TRUE : FALSE;
    RebuildFont();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontItalic(BOOL italic) {
    m_logFont.lfItalic = italic ? TRUE : FALSE;
    RebuildFont();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontSize(int size) {
    m_logFont.lfHeight = -size;
    RebuildFont();
    return *this;
}

CSkinLabel& CSkinLabel::SetSunken(BOOL sunken) {
    if (m_hWnd != nullptr) {
        if (sunken)
            ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
        else
            ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    }
    return *this;
}

CSkinLabel& CSkinLabel::SetBorder(BOOL border) {
    if (m_hWnd != nullptr) {
        if (border)
            ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
        else
            ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    }
    return *this;
}

CSkinLabel& CSkinLabel::SetTransparent(BOOL transparent) {
    m_transparent = transparent != FALSE;
    if (m_hWnd != nullptr) {
        Invalidate();
        UpdateWindow();
    }
    return *this;
}

CSkinLabel& CSkinLabel::FlashText(BOOL flash) {
    if (flash) {
        StopBlinking();
        m_blinkPhase = 0;
        if (m_hWnd != nullptr) m_timerRunning = SetTimer(kLabelBlinkTimer, kLabelTextBlinkMs) != 0;
        m_blinkMode = 1;
    } else {
        StopBlinking();
        m_blinkMode = 0;
        Refresh();
    }
    return *this;
}

CSkinLabel& CSkinLabel::FlashBackground(BOOL flash) {
    if (flash) {
        StopBlinking();
        m_blinkPhase = 0;
        if (m_hWnd != nullptr) m_timerRunning = SetTimer(kLabelBlinkTimer, kLabelBackgroundBlinkMs) != 0;
        m_blinkMode = 2;
    } else {
        StopBlinking();
    }
    return *this;
}

CSkinLabel& CSkinLabel::SetLink(BOOL isLink, BOOL openOnClick) {
    m_isLink = isLink != FALSE;
    m_openOnClick = openOnClick != FALSE;
    if (m_hWnd != nullptr) {
        if (m_isLink)
            ModifyStyle(0, SS_NOTIFY);
        else
            ModifyStyle(SS_NOTIFY, 0);
    }
    return *this;
}

CSkinLabel& CSkinLabel::SetLinkCursor(HCURSOR cursor) {
    m_linkCursor = cursor;
    return *this;
}

CSkinLabel& CSkinLabel::SetEmboss(BOOL enabled, int direction) {
    m_emboss = enabled != FALSE;
    m_embossDirection = direction;
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetRotation(int degrees, BOOL enabled) {
    m_rotated = enabled != FALSE;
    m_logFont.lfEscapement = degrees * 10;
    m_logFont.lfOrientation = degrees * 10;
    RebuildFont();
    return *this;
}

BOOL CSkinLabel::SetBitmap(UINT resourceId) {
    CBitmap loaded;
    if (!loaded.LoadBitmap(resourceId)) return FALSE;
    return SetBitmap(static_cast<HBITMAP>(loaded.Detach()));
}

BOOL CSkinLabel::SetBitmap(HBITMAP bitmap) {
    m_bitmap.Attach(bitmap);
    m_bitmapWidth = m_bitmapHeight = 0;
    BITMAP info{};
    if (bitmap != nullptr && m_bitmap.GetBitmap(&info) != 0) {
        m_bitmapWidth = info.bmWidth;
        m_bitmapHeight = info.bmHeight;
    }
    if (m_hWnd != nullptr) Invalidate();
    return bitmap != nullptr;
}

void CSkinLabel::RebuildFont() {
    m_font.CreateFontIndirect(&m_logFont);
    Refresh();
}

void CSkinLabel::Refresh() {
    if (m_hWnd != nullptr) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CSkinLabel::StopBlinking() {
    if (m_timerRunning && m_hWnd != nullptr) KillTimer(kLabelBlinkTimer);
    m_timerRunning = false;
}

// ---- messages

void CSkinLabel::OnPaint() {
    CPaintDC dc(m_hWnd);
    Paint(dc);
}

void CSkinLabel::OnPrintClient(Message& msg) {
    Paint(reinterpret_cast<HDC>(msg.wParam));
    msg.result = 0;
}

BOOL CSkinLabel::OnEraseBkgnd(HDC) {
    // Paint covers the client area (or, transparent, must leave it alone).
    return TRUE;
}

void CSkinLabel::OnSetText(Message& msg) {
    // The static control would draw the new text itself, in its own look;
    // store the text without it and repaint ours.
    msg.result = ::DefWindowProcW(m_hWnd, WM_SETTEXT, msg.wParam, msg.lParam);
    if (m_transparent) {
        // What the parent left under the old text has to come back.
        HWND parent = GetParent();
        RECT rect;
        GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        ::RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    } else {
        Refresh();
    }
}

void CSkinLabel::OnTimer(Message& msg) {
    m_blinkPhase = m_blinkPhase == 0 ? 1 : 0;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    msg.result = 0;
}

void CSkinLabel::OnSetCursor(Message& msg) {
    if (m_linkCursor != nullptr) {
        ::SetCursor(m_linkCursor);
        msg.result = TRUE;
        return;
    }
    msg.result = Default();
}

void CSkinLabel::OnLButtonDown(Message& msg) {
    if (m_openOnClick) {
        open_with_shell(GetParent(), GetWindowText());
    } else {
        NMHDR header{};
        header.hwndFrom = m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
        header.code = kLinkClickedCode;
        ::SendMessageW(GetParent(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
    msg.result = 0;
}

void CSkinLabel::OnSysColorChange() {
    m_faceBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Refresh();
}

// ---- painting

void CSkinLabel::Paint(HDC target) {
    if (m_hWnd == nullptr || target == nullptr) return;
    RECT client;
    GetClientRect(&client);
    if (m_font.m_hObject == nullptr) m_font.CreateFontIndirect(&m_logFont);

    auto paint_into = [&](HDC dc) {
        ScopedSelect font(dc, m_font);
        if (!m_transparent) PaintBackground(dc, client);
        PaintText(dc, client);
    };
    if (m_transparent) {
        paint_into(target);
    } else {
        CBufferDC buffer(target, client);
        paint_into(buffer);
    }
}

void CSkinLabel::PaintBackground(HDC dc, const RECT& client) {
    const PixelRect area = to_pixel_rect(client);
    auto fill = [dc](const SolidFill& f) { FillSolid(dc, f); };

    if (m_blinkMode == 2 && m_blinkPhase == 0) {
        // The dark phase of a blinking background.
        FillSolid(dc, {area, DarkenColor(m_bkColour, 64)});
        return;
    }
    const bool has_bitmap = m_bitmap.m_hObject != nullptr && m_bitmapWidth > 0 && m_bitmapHeight > 0;
    const LabelBackground plan = label_background(false, has_bitmap, m_bkStyle, m_shadowMode, m_bkColour, area);
    switch (plan.kind) {
        case LabelBackgroundKind::None: return;
        case LabelBackgroundKind::Solid: {
            if (m_bkBrush.m_hObject == nullptr && m_faceBrush.m_hObject == nullptr)
                m_faceBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
            ::FillRect(
                dc, &client,
                m_bkBrush.m_hObject != nullptr ? static_cast<HBRUSH>(m_bkBrush) : static_cast<HBRUSH>(m_faceBrush));
            return;
        }
        case LabelBackgroundKind::Bevel: label_bevel(area, m_bkStyle, m_bkColour, fill); return;
        case LabelBackgroundKind::Bitmap: {
            CDC memory;
            if (memory.CreateCompatibleDC(dc)) {
                ScopedSelect keep(memory, m_bitmap);
                const TileGrid grid = label_tiles(area.width(), area.height(), m_bitmapWidth, m_bitmapHeight);
                for (int row = 0; row < grid.rows; ++row)
                    for (int column = 0; column < grid.columns; ++column)
                        ::BitBlt(dc, grid.x(column), grid.y(row), m_bitmapWidth, m_bitmapHeight, memory, 0, 0, SRCCOPY);
            }
            break;
        }
        case LabelBackgroundKind::Gradient:
            // Shaped faces leave corners; they show the background colour
            // rather than whatever the buffer held.
            FillSolid(dc, {area, m_bkColour});
            break;
    }
    if (!plan.gradient) return;
    if (plan.shadow) FillGradient(dc, plan.shadowColour, to_rect(plan.shadowRect), m_bkStyle, GradientSet::Label);
    FillGradient(dc, plan.gradientColour, to_rect(plan.gradientRect), m_bkStyle, GradientSet::Label);
}

void CSkinLabel::PaintText(HDC dc, const RECT& client) {
    const CString text = GetWindowText();
    if (text.IsEmpty()) return;
    ::SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = label_text_colour(m_blinkMode, m_blinkPhase, m_textColour, m_bkColour);

    if (m_rotated) {
        const UINT previous = ::SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        ::SetTextColor(dc, colour);
        ::TextOutW(dc, (client.left + client.right) / 2, (client.top + client.bottom) / 2, text, text.GetLength());
        ::SetTextAlign(dc, previous);
        return;
    }

    const UINT format = label_text_format(m_customFormat, m_format, GetStyle(), label_has_line_break(text.c_str()));
    auto draw = [&](COLORREF c, int dx, int dy) {
        RECT r = client;
        ::OffsetRect(&r, dx, dy);
        ::SetTextColor(dc, c);
        ::DrawTextW(dc, text, text.GetLength(), &r, format);
    };
    if (m_shadowMode == 1) {
        // A copy set off down and right under the text proper.
        const bool dark = m_blinkMode == 1 && m_blinkPhase == 0;
        draw(dark ? RGB(196, 196, 196) : RGB(0, 0, 0), 2, 2);
        draw(dark ? RGB(68, 68, 68) : RGB(255, 255, 5), 0, 0);
    } else {
        draw(colour, 0, 0);
    }
    if (m_emboss) {
        const PixelPoint offset = label_emboss_offset(m_embossDirection);
        draw(RGB(255, 255, 255), offset.x, offset.y);
    }
}

}  // namespace audiomix
