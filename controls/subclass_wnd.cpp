#include "controls/subclass_wnd.h"

#include "framework/wnd.h"

namespace audiomix {

namespace {
constexpr wchar_t kHookProperty[] = L"audiomix.CSubclassWnd";
// The procedure before ours, kept in the window too so that a link left in
// the chain after its object let go still forwards correctly.
constexpr wchar_t kPreviousProperty[] = L"audiomix.CSubclassWnd.prev";
// Marks a link whose object let go while a later hook still calls it; the
// window cannot be hooked again by this class until it is destroyed.
const HANDLE kOrphan = reinterpret_cast<HANDLE>(1);
}  // namespace

CSubclassWnd::~CSubclassWnd() { Unhook(); }

BOOL CSubclassWnd::HookWindow(CWnd* window) { return HookWindow(window != nullptr ? window->m_hWnd : nullptr); }

BOOL CSubclassWnd::HookWindow(HWND hwnd) {
    Unhook();
    if (hwnd == nullptr) return TRUE;
    if (!::IsWindow(hwnd) || ::GetPropW(hwnd, kHookProperty) != nullptr) return FALSE;
    if (!::SetPropW(hwnd, kHookProperty, this)) return FALSE;
    m_hWnd = hwnd;
    m_previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSubclassWnd::HookProc)));
    ::SetPropW(hwnd, kPreviousProperty, reinterpret_cast<HANDLE>(m_previous));
    return TRUE;
}

void CSubclassWnd::Unhook() {
    if (m_hWnd == nullptr) return;
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    if (current == &CSubclassWnd::HookProc) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        ::RemovePropW(m_hWnd, kHookProperty);
        ::RemovePropW(m_hWnd, kPreviousProperty);
    } else {
        // Someone hooked the window after us and will still call HookProc:
        // leave the chain intact; HookProc then only forwards.
        ::SetPropW(m_hWnd, kHookProperty, kOrphan);
    }
    m_hWnd = nullptr;
}

LRESULT CSubclassWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CSubclassWnd::Default() { return ::CallWindowProcW(m_previous, m_hWnd, m_message, m_wParam, m_lParam); }

LRESULT CALLBACK CSubclassWnd::HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const HANDLE property = ::GetPropW(hwnd, kHookProperty);
    auto* self = property == kOrphan ? nullptr : static_cast<CSubclassWnd*>(property);
    if (self == nullptr || self->m_hWnd != hwnd) {
        // An orphaned link of the chain only passes messages on.
        const auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProperty));
        if (message == WM_NCDESTROY) {
            ::RemovePropW(hwnd, kHookProperty);
            ::RemovePropW(hwnd, kPreviousProperty);
        }
        if (previous == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    const UINT savedMessage = self->m_message;
    const WPARAM savedWParam = self->m_wParam;
    const LPARAM savedLParam = self->m_lParam;
    self->m_message = message;
    self->m_wParam = wParam;
    self->m_lParam = lParam;
    if (message == WM_NCDESTROY) {
        // The window goes: take the hook off first, then let the rest of the
        // chain see the message. The object must not be touched afterwards.
        const WNDPROC previous = self->m_previous;
        self->Unhook();
        self->m_message = savedMessage;
        self->m_wParam = savedWParam;
        self->m_lParam = savedLParam;
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = self->Default();
    }
    self->m_message = savedMessage;
    self->m_wParam = savedWParam;
    self->m_lParam = savedLParam;
    return result;
}

}  // namespace audiomix
