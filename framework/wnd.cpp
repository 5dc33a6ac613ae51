#include "framework/wnd.h"

#include "framework/pretranslate.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "framework/module.h"

namespace audiomix {

namespace {

// The property that holds a window's object. A property rather than
// GWLP_USERDATA: the dispatcher asks foreign windows (a child control's
// notification source) for their object, and only a property tells for sure
// that the value is ours.
constexpr wchar_t kObjectProperty[] = L"audiomix.CWnd";
// The procedure a subclassed window had before ours, for messages that
// arrive after its object let go while another hook still calls us.
constexpr wchar_t kPreviousProperty[] = L"audiomix.prev";

// The object being created by CreateEx, for the WM_NCCREATE of its class.
struct CreationParams {
    CWnd* object;
};

HWND child_of(const Message& msg) {
    switch (msg.message) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(msg.lParam);
        case WM_NOTIFY: return msg.lParam != 0 ? reinterpret_cast<const NMHDR*>(msg.lParam)->hwndFrom : nullptr;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(msg.lParam);
            return msg.wParam != 0 && item != nullptr ? item->hwndItem : nullptr;
        }
        default: return nullptr;
    }
}

// The messages being handled on this thread, innermost first. Kept here, not
// in the objects, so that a handler may destroy its own object: after the
// handler returns, the dispatcher touches nothing of the object.
struct ActiveMessage {
    CWnd* window;
    Message* message;
    ActiveMessage* outer;
};
thread_local ActiveMessage* t_active = nullptr;

class ActiveScope {
public:
    ActiveScope(CWnd* window, Message* message) : entry_{window, message, t_active} { t_active = &entry_; }
    ~ActiveScope() { t_active = entry_.outer; }
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;

private:
    ActiveMessage entry_;
};

bool entry_matches(const MessageEntry& e, const Message& msg, UINT key, bool reflected) {
    if (e.message != key) return false;
    if (msg.message == WM_COMMAND) {
        if (e.code != HIWORD(msg.wParam)) return false;
        return reflected || e.id == LOWORD(msg.wParam);
    }
    if (msg.message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(msg.lParam);
        if (header == nullptr || e.code != header->code) return false;
        return reflected || e.id == header->idFrom;
    }
    return true;
}

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd == nullptr) return;
    if (m_created) {
        // Destroys the window; WM_NCDESTROY detaches this object on the way.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty));
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
}

void CWnd::Detach() {
    if (m_hWnd == nullptr) return;
    if (::GetPropW(m_hWnd, kObjectProperty) == this) ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr) return FALSE;
    Attach(hwnd);
    PreSubclassWindow();
    m_prevProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
    if (m_prevProc == &FrameworkWindowProc) m_prevProc = ::DefWindowProcW;
    ::SetPropW(hwnd, kPreviousProperty, reinterpret_cast<HANDLE>(m_prevProc));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr) return nullptr;
    // Only when nobody hooked the window after us; otherwise the hook keeps
    // calling our procedure, which passes unbound windows straight on.
    if (m_prevProc != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &FrameworkWindowProc) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
        ::RemovePropW(hwnd, kPreviousProperty);
    }
    Detach();
    m_created = false;
    return hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    HWND parentOrOwner, UINT id) {
    if (m_hWnd != nullptr) return FALSE;
    CreationParams params{this};
    HMENU menu = (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parentOrOwner, menu, library_instance(), &params);
    if (hwnd == nullptr) {
        m_hWnd = nullptr;
        return FALSE;
    }
    if (m_hWnd == nullptr) SubclassWindow(hwnd);  // a class not routed through us
    m_created = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LPCWSTR CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    // One name per argument set, kept for the life of the process.
    struct Registered {
        UINT style;
        HCURSOR cursor;
        HBRUSH background;
        HICON icon;
        wchar_t name[96];
    };
    static std::vector<Registered> registered;
    for (const Registered& r : registered)
        if (r.style == classStyle && r.cursor == cursor && r.background == background && r.icon == icon) return r.name;

    Registered r{classStyle, cursor, background, icon, {}};
    std::swprintf(r.name, sizeof r.name / sizeof r.name[0], L"audiomix:%x:%p:%p:%p", classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    HINSTANCE instance = library_instance();
    // A class left behind by an earlier load of the library at the same
    // instance would point at a procedure that no longer exists.
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, r.name, &existing) && existing.lpfnWndProc != &FrameworkWindowProc)
        ::UnregisterClassW(r.name, instance);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &FrameworkWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = r.name;
    if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    registered.push_back(r);
    return registered.back().name;
}

void CWnd::ScreenToClient(RECT* rect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2); }

void CWnd::ClientToScreen(RECT* rect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rect), 2); }

CString CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return CString();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return CString(std::move(text));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

const MessageMap* CWnd::Map() {
    static constexpr MessageMap map{nullptr, nullptr, 0};
    return &map;
}

LRESULT CWnd::Default() {
    const ActiveMessage* active = t_active;
    while (active != nullptr && active->window != this) active = active->outer;
    if (active == nullptr) return 0;
    const Message& m = *active->message;
    WNDPROC proc = m_prevProc != nullptr ? m_prevProc : ::DefWindowProcW;
    return ::CallWindowProcW(proc, m_hWnd, m.message, m.wParam, m.lParam);
}

bool CWnd::Dispatch(Message& msg, bool reflected) {
    const UINT key = reflected ? kReflectBase + msg.message : msg.message;
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base != nullptr ? map->base() : nullptr) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageEntry& e = map->entries[i];
            if (!entry_matches(e, msg, key, reflected)) continue;
            e.handler(*this, msg);
            return true;
        }
    }
    return false;
}

bool CWnd::ReflectToChild(Message& msg) {
    HWND child = child_of(msg);
    if (msg.message == WM_MEASUREITEM && msg.wParam != 0)  // names the control by id only
        child = ::GetDlgItem(m_hWnd, static_cast<int>(msg.wParam));
    if (child == nullptr || child == m_hWnd) return false;
    CWnd* control = FromHandlePermanent(child);
    if (control == nullptr) return false;
    bool handled = false;
    {
        ActiveScope scope(control, &msg);
        handled = control->Dispatch(msg, true);
    }
    if (!handled) return false;
    if (msg.passToParent) {
        msg.passToParent = false;
        return false;
    }
    return true;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Message msg{message, wParam, lParam, 0, false};
    HWND hwnd = m_hWnd;
    LRESULT result = 0;
    {
        ActiveScope scope(this, &msg);
        try {
            if (ReflectToChild(msg) || Dispatch(msg, false))
                result = msg.result;
            else
                result = Default();
        } catch (...) {
            // Nothing may unwind into the system's code; the message counts
            // as handled with a neutral result.
            result = 0;
        }
    }
    // A handler may have deleted this object (not while handling
    // WM_NCDESTROY itself): from here on, members only for WM_NCDESTROY.
    if (message == WM_NCDESTROY && m_hWnd == hwnd) {
        ::RemovePropW(hwnd, kPreviousProperty);
        Detach();
        m_created = false;
        if (m_pretranslating) {
            m_pretranslating = false;
            pretranslate_detach();
        }
        PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = CWnd::FromHandlePermanent(hwnd);
    if (self == nullptr && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto* params = create != nullptr ? static_cast<const CreationParams*>(create->lpCreateParams) : nullptr;
        if (params != nullptr && params->object != nullptr && params->object->m_hWnd == nullptr) {
            self = params->object;
            self->Attach(hwnd);
            self->m_prevProc = ::DefWindowProcW;
        }
    }
    if (self == nullptr) {
        // A window whose object has gone (or never came): hand it on to
        // whatever this procedure replaced, or to the default.
        auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProperty));
        if (message == WM_NCDESTROY) ::RemovePropW(hwnd, kPreviousProperty);
        if (previous != nullptr) return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->WindowProc(message, wParam, lParam);
}

}  // namespace audiomix
