#include "controls/skin_tool_tip.h"

#include <iterator>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "framework/gdi.h"

namespace audiomix {

namespace {

constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX;

PixelPoint cursor_position(POINT* out) {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    if (out != nullptr) *out = p;
    return {p.x, p.y};
}

}  // namespace

CSkinToolTip::CSkinToolTip()
    : m_font(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))), m_textColour(::GetSysColor(COLOR_WINDOWTEXT)) {}

CSkinToolTip::~CSkinToolTip() {
    // Destroy here, while the message table still reaches OnDestroy.
    if (m_hWnd != nullptr) DestroyWindow();
}

const MessageMap* CSkinToolTip::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_PAINT, Handle<&CSkinToolTip::OnPaint>),
        OnMessage(WM_PRINTCLIENT, Handle<&CSkinToolTip::OnPrintClient>),
        OnMessage(WM_CREATE, Handle<&CSkinToolTip::OnCreate>),
        OnMessage(WM_TIMER, Handle<&CSkinToolTip::OnTimer>),
        OnMessage(WM_DESTROY, Handle<&CSkinToolTip::OnDestroy>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

BOOL CSkinToolTip::Create(CWnd* owner) { return Create(owner != nullptr ? owner->m_hWnd : nullptr); }

BOOL CSkinToolTip::Create(HWND owner) {
    if (m_hWnd != nullptr) return FALSE;
    m_owner = owner;
    LPCWSTR cls = RegisterWndClass(0);
    if (cls == nullptr) return FALSE;
    const RECT empty{0, 0, 0, 0};
    // Topmost like the windows it explains: the control window stays on top
    // of everything, and a tip below it would never be seen.
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, L"", WS_POPUP, empty, owner, 0)) return FALSE;
    SetFont(m_font, FALSE);
    return TRUE;
}

bool CSkinToolTip::EnsureWindow() { return m_hWnd != nullptr || Create(m_owner); }

void CSkinToolTip::AddTool(HWND control, LPCWSTR text, HICON icon) {
    if (control == nullptr) return;
    Tool tool;
    tool.text = text != nullptr ? text : L"";
    tool.icon = icon;
    m_tools.set(reinterpret_cast<uintptr_t>(control), std::move(tool));
}

void CSkinToolTip::RemoveTool(HWND control) { m_tools.remove(reinterpret_cast<uintptr_t>(control)); }

const CSkinToolTip::Tool* CSkinToolTip::ToolUnderCursor(POINT* cursor) const {
    POINT p;
    cursor_position(&p);
    if (cursor != nullptr) *cursor = p;
    HWND under = ::WindowFromPoint(p);
    return under != nullptr ? m_tools.find(reinterpret_cast<uintptr_t>(under)) : nullptr;
}

void CSkinToolTip::RelayEvent(const MSG* msg) {
    if (msg == nullptr) return;
    switch (msg->message) {
        case WM_MOUSEMOVE: {
            POINT cursor;
            const Tool* tool = ToolUnderCursor(&cursor);
            Perform(m_logic.mouse_move({cursor.x, cursor.y}, tool != nullptr), tool, true);
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: Perform(m_logic.button_down(), nullptr, false); break;
        default: break;
    }
}

void CSkinToolTip::Perform(const ToolTipActions& a, const Tool* tool, bool takeIcon) {
    if (a.takeTool && tool != nullptr) {
        if (takeIcon) SetIcon(tool->icon);
        m_text = tool->text;
    }
    if (a.startShowTimer) {
        const PixelPoint anchor = m_logic.anchor();
        const POINT at{anchor.x, anchor.y};
        const std::wstring text = m_text;
        ShowAt(&at, text.c_str());
    }
    if (a.killShowTimer && m_hWnd != nullptr) {
        KillTimer(kToolTipShowTimer);
        m_showTimer = 0;
    }
    if (a.show) ShowBubble();
    if (a.startWatchTimer && m_hWnd != nullptr) m_watchTimer = SetTimer(kToolTipWatchTimer, kToolTipWatchPeriodMs);
    if (a.killWatchTimer && m_hWnd != nullptr) {
        KillTimer(kToolTipWatchTimer);
        m_watchTimer = 0;
    }
    if (a.hide) Hide();
}

void CSkinToolTip::ShowAt(const POINT* point, LPCWSTR text) {
    POINT at;
    if (point != nullptr)
        at = *point;
    else
        cursor_position(&at);
    m_logic.set_anchor({at.x, at.y});
    m_text = text != nullptr ? text : L"";
    if (!EnsureWindow()) return;
    m_showTimer = SetTimer(kToolTipShowTimer, kToolTipShowDelayMs);
}

void CSkinToolTip::SetIcon(HICON icon) {
    m_icon = icon;
    m_iconWidth = m_iconHeight = 0;
    ICONINFO info{};
    if (icon != nullptr && ::GetIconInfo(icon, &info)) {
        m_iconWidth = static_cast<int>(info.xHotspot) * 2;
        m_iconHeight = static_cast<int>(info.yHotspot) * 2;
        // GetIconInfo hands out copies of the icon's bitmaps.
        if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    }
    if (m_hWnd != nullptr) Invalidate();
}

BubbleGeometry CSkinToolTip::MeasureBubble() const {
    RECT text{0, 0, 0, 0};
    HDC dc = ::GetDC(m_hWnd);
    if (dc != nullptr) {
        HGDIOBJ previous = ::SelectObject(dc, m_font);
        ::DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &text, kTextFormat | DT_CALCRECT);
        ::SelectObject(dc, previous);
        ::ReleaseDC(m_hWnd, dc);
    }
    return tool_tip_bubble(text.right - text.left, text.bottom - text.top, m_iconWidth, m_iconHeight);
}

HRGN CSkinToolTip::MakeRegion(const BubbleGeometry& b) {
    HRGN region =
        ::CreateRoundRectRgn(b.body.left, b.body.top, b.body.right, b.body.bottom, b.cornerWidth, b.cornerHeight);
    const POINT tail[3] = {{b.tail[0].x, b.tail[0].y}, {b.tail[1].x, b.tail[1].y}, {b.tail[2].x, b.tail[2].y}};
    HRGN triangle = ::CreatePolygonRgn(tail, 3, WINDING);
    if (region != nullptr && triangle != nullptr) ::CombineRgn(region, region, triangle, RGN_OR);
    if (triangle != nullptr) ::DeleteObject(triangle);
    return region;
}

void CSkinToolTip::ShowBubble() {
    if (!EnsureWindow()) return;
    m_bubble = MeasureBubble();
    // The window owns the region from here on.
    SetWindowRgn(MakeRegion(m_bubble), TRUE);
    const PixelPoint at = tool_tip_position(m_bubble, m_logic.anchor());
    SetWindowPos(HWND_TOP, at.x, at.y, m_bubble.width, m_bubble.windowHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    // SWP_SHOWWINDOW on a window of unchanged size may not repaint it.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CSkinToolTip::Hide() {
    if (m_hWnd != nullptr && IsWindowVisible()) ShowWindow(SW_HIDE);
}

void CSkinToolTip::OnPaint() {
    CPaintDC dc(m_hWnd);
    Paint(dc);
}

void CSkinToolTip::OnPrintClient(Message& msg) {
    Paint(reinterpret_cast<HDC>(msg.wParam));
    msg.result = 0;
}

void CSkinToolTip::Paint(HDC dc) { PaintBubble(dc, m_bubble); }

void CSkinToolTip::PaintBubble(HDC dc, const BubbleGeometry& bubble) {
    if (dc == nullptr || bubble.width <= 0) return;
    const ToolTipColours colours = tool_tip_colours(default_engine().view()->link.skinPanelColour);
    HRGN region = MakeRegion(bubble);
    if (region == nullptr) return;
    CBrush fill, shadow, light;
    fill.CreateSolidBrush(colours.fill);
    shadow.CreateSolidBrush(colours.shadowFrame);
    light.CreateSolidBrush(colours.lightFrame);

    ::FillRgn(dc, region, fill);
    const RECT client{0, 0, bubble.width, bubble.windowHeight};
    FillGradient(dc, colours.gradientBase, client, m_gradientStyle, GradientSet::ToolTip);
    ::FrameRgn(dc, region, fill, 3, 3);
    ::OffsetRgn(region, -1, -1);
    ::FrameRgn(dc, region, shadow, 1, 1);
    ::OffsetRgn(region, 1, 1);
    ::FrameRgn(dc, region, light, 1, 1);
    ::DeleteObject(region);

    const PixelRect text_rect = tool_tip_text_rect(bubble, m_icon != nullptr, m_iconWidth);
    HGDIOBJ previous_font = ::SelectObject(dc, m_font);
    const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
    auto draw = [&](COLORREF colour, int dx, int dy) {
        RECT r = to_rect(text_rect.offset(dx, dy));
        ::SetTextColor(dc, colour);
        ::DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &r, kTextFormat);
    };
    draw(m_textColour, 0, 0);
    PixelPoint emboss;
    if (tool_tip_emboss_offset(m_embossMode, &emboss)) draw(RGB(255, 255, 255), emboss.x, emboss.y);
    ::SetBkMode(dc, previous_mode);
    ::SelectObject(dc, previous_font);

    if (m_icon != nullptr && tool_tip_draws_icon(m_iconHeight))
        ::DrawIconEx(dc, 12, 1, m_icon, m_iconWidth, m_iconHeight - 2, 0, nullptr, DI_NORMAL);
}

void CSkinToolTip::OnCreate(Message& msg) {
    m_logic.created();
    msg.result = Default();
}

void CSkinToolTip::OnTimer(Message& msg) {
    POINT cursor;
    if (msg.wParam == kToolTipShowTimer) {
        const Tool* tool = ToolUnderCursor(&cursor);
        Perform(m_logic.show_timer({cursor.x, cursor.y}, tool != nullptr), tool, false);
    } else if (msg.wParam == kToolTipWatchTimer) {
        cursor_position(&cursor);
        Perform(m_logic.watch_timer({cursor.x, cursor.y}), nullptr, false);
    }
    msg.result = 0;
}

void CSkinToolTip::OnDestroy(Message& msg) {
    if (m_showTimer != 0) KillTimer(kToolTipShowTimer);
    if (m_watchTimer != 0) KillTimer(kToolTipWatchTimer);
    m_showTimer = m_watchTimer = 0;
    msg.result = Default();
}

}  // namespace audiomix
