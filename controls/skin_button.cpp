#include "controls/skin_button.h"

#include <iterator>
#include <vector>

#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "framework/module.h"

namespace audiomix {

static_assert(kBsOwnerDraw == BS_OWNERDRAW, "button_rules.h repeats BS_OWNERDRAW");

namespace {

PixelRect pixel(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT win(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The same icon with every non-black pixel of its colour image turned grey;
// the mask is shared. Null when the icon cannot be read.
HICON make_grey_icon(HICON source) {
    ICONINFO info{};
    if (source == nullptr || !::GetIconInfo(source, &info)) return nullptr;
    HICON result = nullptr;
    BITMAP bm{};
    if (info.hbmColor != nullptr && ::GetObjectW(info.hbmColor, sizeof bm, &bm) != 0 && bm.bmWidth > 0 &&
        bm.bmHeight > 0) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
        HDC screen = ::GetDC(nullptr);
        if (::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS) !=
            0) {
            for (uint32_t& p : pixels) p = button_grey_pixel(p);
            HBITMAP grey = ::CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
            if (grey != nullptr &&
                ::SetDIBits(screen, grey, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS) != 0) {
                ICONINFO copy = info;
                copy.hbmColor = grey;
                result = ::CreateIconIndirect(&copy);
            }
            if (grey != nullptr) ::DeleteObject(grey);
        }
        ::ReleaseDC(nullptr, screen);
    }
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    return result;
}

// Twice the hot spot: the icon's size as its resource gives it.
bool icon_size(HICON icon, int* width, int* height) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return false;
    *width = static_cast<int>(info.xHotspot * 2);
    *height = static_cast<int>(info.yHotspot * 2);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

CSkinButton::CSkinButton()
    : m_faceColour{RGB(16, 16, 196), RGB(32, 192, 32), RGB(16, 128, 196)}, m_colours{::GetSysColor(COLOR_BTNFACE),
                                                                                     ::GetSysColor(COLOR_BTNTEXT),
                                                                                     RGB(0, 150, 150),
                                                                                     ::GetSysColor(COLOR_BTNTEXT),
                                                                                     ::GetSysColor(COLOR_BTNFACE),
                                                                                     ::GetSysColor(COLOR_BTNTEXT)} {}

CSkinButton::~CSkinButton() {
    FreeBackground();
    FreeIcons();
    if (m_cursor != nullptr) ::DestroyCursor(m_cursor);
}

const MessageMap* CSkinButton::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_SETCURSOR, Handle<&CSkinButton::OnSetCursor>),
        OnMessage(WM_KILLFOCUS, Handle<&CSkinButton::OnEndHover>),
        OnMessage(WM_CANCELMODE, Handle<&CSkinButton::OnEndHover>),
        OnMessage(WM_MOUSELEAVE, Handle<&CSkinButton::OnEndHover>),
        OnMessage(WM_ACTIVATE, Handle<&CSkinButton::OnActivate>),
        OnMessage(WM_MOUSEMOVE, Handle<&CSkinButton::OnMouseMove>),
        OnMessage(WM_LBUTTONDOWN, Handle<&CSkinButton::OnMouseButton>),
        OnMessage(WM_LBUTTONUP, Handle<&CSkinButton::OnMouseButton>),
        OnMessage(WM_RBUTTONDOWN, Handle<&CSkinButton::OnMouseButton>),
        OnMessage(WM_LBUTTONDBLCLK, Handle<&CSkinButton::OnDoubleClick>),
        OnMessage(WM_SYSCOLORCHANGE, Handle<&CSkinButton::OnSysColorChange>),
        OnMessage(WM_ENABLE, Handle<&CSkinButton::OnEnable>),
        OnMessage(WM_GETDLGCODE, Handle<&CSkinButton::OnGetDlgCode>),
        OnMessage(BM_SETSTYLE, Handle<&CSkinButton::OnSetStyle>),
        OnMessage(BM_SETCHECK, Handle<&CSkinButton::OnSetCheck>),
        OnMessage(BM_GETCHECK, Handle<&CSkinButton::OnGetCheck>),
        OnReflectedCommand(BN_CLICKED, Handle<&CSkinButton::OnClicked>),
        OnReflected(WM_CTLCOLORBTN, Handle<&CSkinButton::OnCtlColor>),
        OnReflected(WM_DRAWITEM, Handle<&CSkinButton::OnDrawItem>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

void CSkinButton::PreSubclassWindow() {
    const ButtonAttach attach = button_attach(GetStyle());
    m_checkBoxMode = attach.checkBoxMode;
    m_default = attach.defaultButton;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(attach.style));
}

// ---- setters

void CSkinButton::Repaint(BOOL repaint) {
    if (repaint && m_hWnd != nullptr) Invalidate();
}

void CSkinButton::FreeIcons() {
    for (Icon& icon : m_icons) {
        if (icon.handle != nullptr) ::DestroyIcon(icon.handle);
        icon = Icon{};
    }
}

void CSkinButton::SetIcon(int iconIn, int iconOut) {
    FreeIcons();
    const HINSTANCE module = library_instance();
    auto load = [module](int id) {
        return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    };
    m_icons[0].handle = load(iconIn);
    if (iconOut == kGreyCopy)
        m_icons[1].handle = make_grey_icon(m_icons[0].handle);
    else if (iconOut != 0)
        m_icons[1].handle = load(iconOut);
    for (Icon& icon : m_icons) {
        if (icon.handle != nullptr && !icon_size(icon.handle, &icon.width, &icon.height)) {
            // Unreadable: draw without icons rather than with a wrong size.
            FreeIcons();
            break;
        }
    }
    Repaint(TRUE);
}

int CSkinButton::SetColor(int index, COLORREF colour, BOOL repaint) {
    const int result = button_set_colour(m_colours, index, colour);
    if (result == BTNST_OK) Repaint(repaint);
    return result;
}

int CSkinButton::OffsetColor(int index, int offset, BOOL repaint) {
    const int result = button_offset_colour_at(m_colours, index, offset);
    if (result == BTNST_OK) Repaint(repaint);
    return result;
}

void CSkinButton::SetCheck(int check, BOOL repaint) {
    if (!m_checkBoxMode) return;
    m_checked = button_check_value(static_cast<uintptr_t>(check));
    Repaint(repaint);
}

void CSkinButton::SetTooltipText(LPCWSTR text, BOOL activate) {
    if (m_hWnd == nullptr) return;
    if (!m_toolTip) {
        m_toolTip = std::make_unique<CSkinToolTip>();
        if (!m_toolTip->Create(this)) {
            m_toolTip.reset();
            return;
        }
    }
    m_toolTip->RemoveTool(this);
    if (activate) m_toolTip->AddTool(this, text != nullptr ? text : L"");
}

void CSkinButton::DrawTransparent(BOOL repaint) {
    m_transparent = true;
    FreeBackground();
    Repaint(repaint);
}

void CSkinButton::FreeBackground() {
    if (m_backgroundDc != nullptr) {
        if (m_oldBackgroundBitmap != nullptr) ::SelectObject(m_backgroundDc, m_oldBackgroundBitmap);
        ::DeleteDC(m_backgroundDc);
    }
    if (m_backgroundBitmap != nullptr) ::DeleteObject(m_backgroundBitmap);
    m_backgroundDc = nullptr;
    m_backgroundBitmap = nullptr;
    m_oldBackgroundBitmap = nullptr;
}

// ---- messages

void CSkinButton::Relay(const Message& msg) {
    if (!m_toolTip) return;
    MSG relayed{};
    relayed.hwnd = m_hWnd;
    relayed.message = msg.message;
    relayed.wParam = msg.wParam;
    relayed.lParam = msg.lParam;
    relayed.time = static_cast<DWORD>(::GetMessageTime());
    const DWORD pos = ::GetMessagePos();
    relayed.pt = {static_cast<SHORT>(LOWORD(pos)), static_cast<SHORT>(HIWORD(pos))};
    m_toolTip->RelayEvent(&relayed);
}

void CSkinButton::LeaveHover() {
    if (!m_hovered) return;
    m_hovered = false;
    Invalidate();
}

void CSkinButton::OnSetCursor(Message& msg) {
    if (m_cursor != nullptr) {
        ::SetCursor(m_cursor);
        msg.result = TRUE;
        return;
    }
    msg.result = Default();
}

void CSkinButton::OnEndHover(Message& msg) {
    msg.result = Default();
    LeaveHover();
}

void CSkinButton::OnActivate(Message& msg) {
    msg.result = Default();
    if (LOWORD(msg.wParam) == WA_INACTIVE) LeaveHover();
}

void CSkinButton::OnMouseMove(Message& msg) {
    Relay(msg);
    msg.result = Default();
    if (!m_flat) return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    const bool over = ::WindowFromPoint(cursor) == m_hWnd;
    const bool left_down = (msg.wParam & MK_LBUTTON) != 0;
    switch (button_hover(true, left_down, m_hovered, over, m_trackAlways != FALSE, ::GetActiveWindow() != nullptr)) {
        case HoverAction::Enter: {
            m_hovered = true;
            Invalidate();
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = m_hWnd;
            ::TrackMouseEvent(&track);
            break;
        }
        case HoverAction::Leave: LeaveHover(); break;
        case HoverAction::None: break;
    }
}

void CSkinButton::OnMouseButton(Message& msg) {
    Relay(msg);
    msg.result = Default();
}

void CSkinButton::OnDoubleClick(Message& msg) {
    // A double click counts as a second click.
    Relay(msg);
    msg.result = ::CallWindowProcW(m_prevProc, m_hWnd, WM_LBUTTONDOWN, msg.wParam, msg.lParam);
}

void CSkinButton::OnSysColorChange(Message& msg) {
    msg.result = Default();
    FreeBackground();
    Invalidate();
}

void CSkinButton::OnClicked(Message& msg) {
    msg.passToParent = true;
    msg.result = 0;
    ::SetFocus(m_hWnd);
    if (m_checkBoxMode) {
        m_checked = !m_checked;
        Invalidate();
    }
}

void CSkinButton::OnEnable(Message& msg) {
    msg.result = Default();
    if (msg.wParam == FALSE) {
        HWND parent = GetParent();
        if (parent != nullptr && ::GetFocus() == m_hWnd) {
            HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
            ::SetFocus(next != nullptr && next != m_hWnd ? next : parent);
        }
        LeaveHover();
    }
}

void CSkinButton::OnGetDlgCode(Message& msg) {
    LRESULT code = Default();
    code |= m_default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    msg.result = code;
}

void CSkinButton::OnCtlColor(Message& msg) { msg.result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)); }

void CSkinButton::OnSetStyle(Message& msg) {
    // The dialog manager moves the default look around with BM_SETSTYLE;
    // keep owner-drawn and only note the default state.
    m_default = (msg.wParam & 0xF) == BS_DEFPUSHBUTTON;
    msg.result = ::CallWindowProcW(m_prevProc, m_hWnd, BM_SETSTYLE,
                                   (msg.wParam & ~static_cast<WPARAM>(0xF)) | BS_OWNERDRAW, msg.lParam);
}

void CSkinButton::OnSetCheck(Message& msg) {
    if (m_checkBoxMode) {
        m_checked = button_check_value(msg.wParam);
        Invalidate();
    }
    msg.result = 0;
}

void CSkinButton::OnGetCheck(Message& msg) { msg.result = m_checked ? BST_CHECKED : BST_UNCHECKED; }

void CSkinButton::OnDrawItem(Message& msg) {
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(msg.lParam));
    msg.result = TRUE;
}

// ---- painting

void CSkinButton::OnDrawBackground(HDC dc, const RECT& rect, COLORREF colour) { FillSolid(dc, {pixel(rect), colour}); }

void CSkinButton::OnDrawBorder(HDC dc, const RECT& rect, bool pressed) {
    const COLORREF light = ::GetSysColor(COLOR_3DHILIGHT), dark = ::GetSysColor(COLOR_3DSHADOW);
    const COLORREF top_left = pressed ? dark : light, bottom_right = pressed ? light : dark;
    const PixelRect r = pixel(rect);
    FillSolid(dc, {{r.left, r.top, r.right - 1, r.top + 1}, top_left});
    FillSolid(dc, {{r.left, r.top, r.left + 1, r.bottom - 1}, top_left});
    FillSolid(dc, {{r.right - 1, r.top, r.right, r.bottom}, bottom_right});
    FillSolid(dc, {{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right});
}

void CSkinButton::PaintBackgroundCopy(HDC dc, const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HWND parent = GetParent();
    if (m_backgroundDc == nullptr && parent != nullptr) {
        // Ask the parent to paint itself into a bitmap of our size, shifted
        // so that our window rectangle lands on it.
        RECT window;
        GetWindowRect(&window);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
        m_backgroundDc = ::CreateCompatibleDC(dc);
        m_backgroundBitmap = ::CreateCompatibleBitmap(dc, width, height);
        if (m_backgroundDc == nullptr || m_backgroundBitmap == nullptr) {
            FreeBackground();
            return;
        }
        m_oldBackgroundBitmap = ::SelectObject(m_backgroundDc, m_backgroundBitmap);
        POINT old{};
        ::SetViewportOrgEx(m_backgroundDc, -window.left, -window.top, &old);
        ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_backgroundDc), PRF_CLIENT | PRF_ERASEBKGND);
        ::SetViewportOrgEx(m_backgroundDc, old.x, old.y, nullptr);
    }
    if (m_backgroundDc != nullptr) ::BitBlt(dc, rect.left, rect.top, width, height, m_backgroundDc, 0, 0, SRCCOPY);
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->hDC == nullptr) return;
    HDC dc = item->hDC;
    const int saved = ::SaveDC(dc);
    const ButtonPaintState state =
        button_paint_state((item->itemState & ODS_SELECTED) != 0, (item->itemState & ODS_FOCUS) != 0,
                           (item->itemState & ODS_DISABLED) != 0, false, m_checkBoxMode, m_checked);
    ::SetBkMode(dc, TRANSPARENT);
    RECT rect = item->rcItem;
    const bool hovered = m_hovered && !state.disabled;
    const bool flat = m_flat != FALSE;

    if (button_black_frame(flat, state.focused, m_default)) {
        ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&rect, -1, -1);
    }

    const SkinButtonFace face =
        button_face(m_transparent, hovered, state, m_faceStyle, m_faceColour, m_colours, m_shadow == 1, pixel(rect));
    switch (face.kind) {
        case ButtonFaceKind::Transparent: PaintBackgroundCopy(dc, rect); break;
        case ButtonFaceKind::Solid: OnDrawBackground(dc, rect, face.colour); break;
        case ButtonFaceKind::Bevel: {
            // Not used by the pages: a plain face with a light and a dark edge.
            FillSolid(dc, {pixel(rect), face.colour});
            OnDrawBorder(dc, rect, face.style > 3);
            break;
        }
        case ButtonFaceKind::Gradient:
            if (face.shadow) FillGradient(dc, face.shadowColour, win(face.shadowRect), face.style, GradientSet::Button);
            FillGradient(dc, face.colour, rect, face.style, GradientSet::Button);
            break;
    }

    switch (button_border(flat, hovered, state.pressed, m_borderWhenFlat != FALSE)) {
        case ButtonBorder::Raised3D: ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT); break;
        case ButtonBorder::PressedFrame: {
            const PixelRect r = pixel(rect);
            const COLORREF c = ::GetSysColor(COLOR_3DSHADOW);
            FillSolid(dc, {{r.left, r.top, r.right, r.top + 1}, c});
            FillSolid(dc, {{r.left, r.bottom - 1, r.right, r.bottom}, c});
            FillSolid(dc, {{r.left, r.top, r.left + 1, r.bottom}, c});
            FillSolid(dc, {{r.right - 1, r.top, r.right, r.bottom}, c});
            break;
        }
        case ButtonBorder::FlatRaised: OnDrawBorder(dc, rect, false); break;
        case ButtonBorder::FlatSunken: OnDrawBorder(dc, rect, true); break;
        case ButtonBorder::None: break;
    }

    const CString text = GetWindowText();
    const bool has_caption = !text.IsEmpty();
    const int index = button_icon_index(m_checkBoxMode, state.pressed, hovered, m_icons[1].handle != nullptr);
    const Icon& icon = m_icons[index];
    const ButtonLayout layout =
        button_layout(pixel(rect), m_iconAlign, has_caption, icon.handle != nullptr ? icon.width : 0,
                      icon.handle != nullptr ? icon.height : 0, state.pressed, m_checkBoxMode);
    if (layout.hasIcon)
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.handle), 0, layout.icon.x, layout.icon.y,
                     icon.width, icon.height, DST_ICON | (state.disabled ? DSS_DISABLED : DSS_NORMAL));

    if (has_caption) {
        RECT caption = win(layout.caption);
        RECT measured = caption;
        ::DrawTextW(dc, text, text.GetLength(), &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        const RECT centred =
            win(button_centre_text(layout.caption, measured.right - measured.left, measured.bottom - measured.top));
        const ButtonCaption plan = button_caption(state.disabled, hovered, state.pressed, m_textEffect, m_colours,
                                                  ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DSHADOW));
        if (plan.hasBackground) ::SetBkColor(dc, plan.background);
        for (int i = 0; i < plan.count; ++i) {
            RECT r = centred;
            ::OffsetRect(&r, plan.passes[i].dx, plan.passes[i].dy);
            ::SetTextColor(dc, plan.passes[i].colour);
            ::DrawTextW(dc, text, text.GetLength(), &r, DT_WORDBREAK | DT_CENTER);
        }
    }

    if (button_draws_focus(flat, m_focusWhenFlat != FALSE, state.focused)) {
        const RECT focus = win(button_focus_rect(pixel(rect)));
        ::DrawFocusRect(dc, &focus);
    }
    ::RestoreDC(dc, saved);
}

}  // namespace audiomix
