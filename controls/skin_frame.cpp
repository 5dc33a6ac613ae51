#include "controls/skin_frame.h"

#include <windowsx.h>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "controls/fill_gradient.h"
#include "framework/module.h"
#include "framework/wnd.h"

namespace audiomix {

static_assert(kHitClient == HTCLIENT && kHitCaption == HTCAPTION && kHitSysMenu == HTSYSMENU && kHitMenu == HTMENU &&
                  kHitMinButton == HTMINBUTTON && kHitMaxButton == HTMAXBUTTON && kHitLeft == HTLEFT &&
                  kHitRight == HTRIGHT && kHitTop == HTTOP && kHitTopLeft == HTTOPLEFT && kHitTopRight == HTTOPRIGHT &&
                  kHitBottom == HTBOTTOM && kHitBottomLeft == HTBOTTOMLEFT && kHitBottomRight == HTBOTTOMRIGHT &&
                  kHitClose == HTCLOSE,
              "frame_geometry.h repeats the HT* codes");

namespace {

constexpr COLORREF kFrameGrey = RGB(207, 207, 207);
constexpr CaptionButton kButtons[] = {CaptionButton::Close, CaptionButton::Maximise, CaptionButton::Minimise,
                                      CaptionButton::Extra};

bool is_sizing_hit(int hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }

void draw_stroke(HDC dc, const Stroke& stroke) {
    if (stroke.count < 2) return;
    HPEN pen = ::CreatePen(PS_SOLID, stroke.width, stroke.colour);
    if (pen == nullptr) return;
    HGDIOBJ previous = ::SelectObject(dc, pen);
    ::MoveToEx(dc, stroke.points[0].x, stroke.points[0].y, nullptr);
    for (int k = 1; k < stroke.count; ++k) ::LineTo(dc, stroke.points[k].x, stroke.points[k].y);
    ::SelectObject(dc, previous);
    ::DeleteObject(pen);
}

}  // namespace

CSkinFrame::CSkinFrame() : m_colourA(kFrameGrey), m_colourB(kFrameGrey), m_geometry(frame_setup_geometry()) {}

CSkinFrame::~CSkinFrame() {
    HookWindow(static_cast<HWND>(nullptr));
    if (m_icon != nullptr) ::DestroyIcon(m_icon);
}

void CSkinFrame::ApplyTitle(CWnd* window, int32_t& firstTitle, BYTE closeNotifiesOwner) {
    Setup();
    if (firstTitle == 1) {
        Install(window);
        m_closeNotifiesOwner = closeNotifiesOwner;
        firstTitle = 0;
    }
    window->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
}

void CSkinFrame::Setup() {
    if (m_setUp) m_colourA = m_colourB = kFrameGrey;
    m_geometry = frame_setup_geometry();
    // A repeated setup keeps the buttons where the installed window's style
    // put them.
    if (IsHooked()) frame_place_buttons(m_geometry, m_style);
    m_setUp = true;
}

BOOL CSkinFrame::Install(CWnd* window) { return Install(window != nullptr ? window->m_hWnd : nullptr); }

BOOL CSkinFrame::Install(HWND window) {
    if (!m_setUp || window == nullptr) return FALSE;
    if (!HookWindow(window)) return FALSE;
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    m_style.thickFrame = (style & WS_THICKFRAME) != 0;
    m_style.minimiseBox = (style & WS_MINIMIZEBOX) != 0;
    m_style.maximiseBox = (style & WS_MAXIMIZEBOX) != 0;
    ::SetWindowLongPtrW(window, GWL_STYLE,
                        style & ~static_cast<LONG_PTR>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    frame_place_buttons(m_geometry, m_style);
    m_placement = FramePlacement{};
    m_hot = m_pressed = 0;
    m_regionSize = {0, 0};

    const int length = ::GetWindowTextLengthW(window);
    m_caption.assign(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(window, &m_caption[0], length + 1);
    m_caption.resize(static_cast<size_t>(got > 0 ? got : 0));

    if (m_icon == nullptr)
        m_icon = static_cast<HICON>(::LoadImageW(library_instance(), MAKEINTRESOURCEW(kFrameIconResource), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    EnsureFont();
    return TRUE;
}

FrameState CSkinFrame::GetState() const {
    FrameState state;
    state.style = m_style;
    state.closeNotifiesOwner = m_closeNotifiesOwner != 0;
    state.maximised = m_placement.state == Placement::Maximised;
    state.active = m_active;
    return state;
}

void CSkinFrame::EnsureFont() {
    if (m_captionFont.m_hObject != nullptr) return;
    // A little smaller than the system's small caption, at least 12 pixels.
    int height = ::GetSystemMetrics(SM_CYSMCAPTION) - 3;
    if (height < 12) height = 12;
    m_captionFont.CreateFont(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}

// ---- window procedure

LRESULT CSkinFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_setUp) return Default();
    switch (message) {
        case WM_NCCALCSIZE: {
            RECT* rect =
                wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
            *rect = to_rect(frame_client_rect(m_geometry, to_pixel_rect(*rect)));
            return 0;
        }
        case WM_NCHITTEST: return HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_NCPAINT: RedrawFrame(); return 0;
        case WM_NCACTIVATE:
            m_active = wParam != FALSE;
            RedrawFrame();
            return TRUE;
        case WM_ACTIVATE: {
            const WORD state = LOWORD(wParam);
            m_active = state == WA_ACTIVE || state == WA_CLICKACTIVE;
            // The dialog manager restores the focus on activation.
            const LRESULT result = Default();
            RedrawFrame();
            return result;
        }
        case WM_SIZE: {
            const LRESULT result = Default();
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            RedrawFrame();
            return result;
        }
        case WM_SETTEXT: {
            // The default handling paints the system caption straight away
            // when the window has one; take the caption style away meanwhile
            // (no frame change is applied, so nothing moves).
            const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
            const bool caption = (style & WS_CAPTION) == WS_CAPTION;
            if (caption) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
            const LRESULT result = Default();
            if (caption) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            m_caption = text != nullptr ? text : L"";
            RedrawFrame();
            return result;
        }
        case WM_SHOWWINDOW:
            if (wParam) ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
            return Default();
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {kFrameMinTrackWidth, kFrameMinTrackHeight};
            return 0;
        }
        case WM_WINDOWPOSCHANGING:
        case WM_SIZING: return 0;
        case WM_NCMOUSEMOVE: {
            const int hit = static_cast<int>(wParam);
            if (hit != m_hot) {
                m_hot = hit;
                RedrawFrame();
            }
            // No WM_NCMOUSELEAVE without asking: it clears the hot button.
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, m_hWnd, 0};
            ::TrackMouseEvent(&track);
            if (hit == HTCAPTION || is_sizing_hit(hit)) return Default();
            return 0;
        }
        case WM_NCMOUSELEAVE:
            if (m_hot != 0 || m_pressed != 0) {
                m_hot = m_pressed = 0;
                RedrawFrame();
            }
            return 0;
        case WM_NCLBUTTONDOWN: {
            const int hit = static_cast<int>(wParam);
            m_hot = m_pressed = hit;
            RedrawFrame();
            if (is_sizing_hit(hit) || (hit == HTCAPTION && m_placement.state != Placement::Maximised)) {
                const LRESULT result = Default();
                // The move / size loop has ended by now.
                if (m_hWnd != nullptr) {
                    m_hot = m_pressed = 0;
                    RedrawFrame();
                }
                return result;
            }
            return 0;
        }
        case WM_NCLBUTTONUP: {
            const int hit = static_cast<int>(wParam);
            if (hit == m_pressed) PressButton(hit);
            if (m_hWnd != nullptr) {
                m_hot = m_pressed = 0;
                RedrawFrame();
            }
            return 0;
        }
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTCAPTION && m_style.thickFrame) ToggleMaximise();
            m_hot = m_pressed = 0;
            RedrawFrame();
            return 0;
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP: return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MAXIMIZE: Maximise(); return 0;
                case SC_MINIMIZE: Minimise(); return 0;
                case SC_RESTORE: Restore(); return 0;
                default: return Default();
            }
        case WM_COMMAND:
            if (lParam == 0) return 0;
            return Default();
        default: return Default();
    }
}

int CSkinFrame::HitTest(POINT screen) const {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    const PixelPoint p{screen.x - window.left, screen.y - window.top};
    return frame_hit_test(m_geometry, GetState(), window.right - window.left, window.bottom - window.top, p,
                          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
}

void CSkinFrame::PressButton(int hit) {
    HWND window = m_hWnd;
    switch (hit) {
        case HTCLOSE:
            if (m_closeNotifiesOwner)
                ::SendMessageW(window, kFrameCommandMessage, kFrameCommandId, kFrameCommandClose);
            else
                ::SendMessageW(window, WM_CLOSE, 0, 0);
            break;
        case HTMENU:
            if (m_closeNotifiesOwner) ::SendMessageW(window, kFrameCommandMessage, kFrameCommandId, kFrameCommandExtra);
            break;
        case HTMINBUTTON:
            if (m_style.minimiseBox) Minimise();
            break;
        case HTMAXBUTTON:
            if (m_style.maximiseBox) ToggleMaximise();
            break;
        default: break;
    }
}

// ---- placement

void CSkinFrame::Maximise() {
    RECT current, work;
    ::GetWindowRect(m_hWnd, &current);
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return;
    PixelRect target;
    if (!placement_maximise(m_placement, m_style, to_pixel_rect(current), to_pixel_rect(work), &target)) return;
    ::SetWindowPos(m_hWnd, nullptr, target.left, target.top, target.width(), target.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawFrame();
}

void CSkinFrame::Restore() {
    if (m_placement.state == Placement::Minimised || ::IsIconic(m_hWnd)) {
        placement_unminimise(m_placement);
        ::ShowWindow(m_hWnd, SW_RESTORE);
        RedrawFrame();
        return;
    }
    PixelRect target;
    if (!placement_restore(m_placement, &target)) return;
    ::SetWindowPos(m_hWnd, nullptr, target.left, target.top, target.width(), target.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawFrame();
}

void CSkinFrame::ToggleMaximise() {
    if (m_placement.state == Placement::Maximised)
        Restore();
    else
        Maximise();
}

void CSkinFrame::Minimise() {
    placement_minimise(m_placement);
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
}

// ---- painting

void CSkinFrame::RedrawFrame() {
    if (m_hWnd == nullptr || !::IsWindowVisible(m_hWnd) || ::IsIconic(m_hWnd)) return;
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    if (w <= 0 || h <= 0) return;
    ApplyRegion(w, h);

    HDC target = ::GetWindowDC(m_hWnd);
    if (target == nullptr) return;
    HDC memory = ::CreateCompatibleDC(target);
    HBITMAP bitmap = memory != nullptr ? ::CreateCompatibleBitmap(target, w, h) : nullptr;
    if (bitmap != nullptr) {
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        PaintFrame(memory, w, h);
        // Only the frame: the client area belongs to the dialog.
        const RECT client = to_rect(frame_client_rect(m_geometry, {0, 0, w, h}));
        ::ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);
        ::BitBlt(target, 0, 0, w, h, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
    }
    if (memory != nullptr) ::DeleteDC(memory);
    ::ReleaseDC(m_hWnd, target);
}

void CSkinFrame::ApplyRegion(int w, int h) {
    if (m_regionSize.cx == w && m_regionSize.cy == h) return;
    m_regionSize = {w, h};
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (region == nullptr) return;
    frame_region_runs(w, h, [region](const SolidFill& run) {
        HRGN part = ::CreateRectRgn(run.rect.left, run.rect.top, run.rect.right, run.rect.bottom);
        if (part == nullptr) return;
        ::CombineRgn(region, region, part, RGN_OR);
        ::DeleteObject(part);
    });
    // The window owns the region from here on. No redraw: the caller paints.
    if (::SetWindowRgn(m_hWnd, region, FALSE) == 0) ::DeleteObject(region);
}

void CSkinFrame::PaintFrame(HDC dc, int w, int h) {
    const FrameState state = GetState();
    const uint32_t skin = default_engine().view()->link.skinColour;
    auto fill = [dc](const SolidFill& f) { FillSolid(dc, f); };

    frame_background(m_geometry, w, h, skin, state.active, fill);
    frame_caption(w, skin, ::GetSysColor(COLOR_3DSHADOW), state, fill);

    const int icon_width = ::GetSystemMetrics(SM_CXSMICON);
    const int icon_height = ::GetSystemMetrics(SM_CYSMICON);
    if (m_icon != nullptr)
        ::DrawIconEx(dc, m_geometry.iconLeft, m_geometry.iconTop, m_icon, icon_width, icon_height, 0, nullptr,
                     DI_NORMAL);

    EnsureFont();
    if (!m_caption.empty()) {
        RECT text = to_rect(frame_caption_text_rect(m_geometry, state, w, icon_width));
        HGDIOBJ previous = ::SelectObject(dc, m_captionFont);
        const int mode = ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        ::SetBkMode(dc, mode);
        ::SelectObject(dc, previous);
    }

    for (CaptionButton button : kButtons) {
        if (!frame_has_button(state, button)) continue;
        const PixelRect r = frame_caption_button_rect(m_geometry, button, w);
        const int hit = frame_button_hit(button);
        const ButtonLook look =
            m_pressed == hit ? ButtonLook::Pressed : (m_hot == hit ? ButtonLook::Hot : ButtonLook::Normal);
        const ButtonFace face = frame_button_face_look(button, look, skin);
        frame_button_face(r, face.colour, face.style, fill);
        for (const Stroke& line : frame_button_border(r)) draw_stroke(dc, line);
        const PictureShapes picture =
            frame_button_picture(frame_button_picture_of(button, state.maximised), r, face.colour);
        for (int k = 0; k < picture.strokeCount; ++k) draw_stroke(dc, picture.strokes[k]);
        for (int k = 0; k < picture.fillCount; ++k) FillSolid(dc, picture.fills[k]);
    }
}

}  // namespace audiomix
