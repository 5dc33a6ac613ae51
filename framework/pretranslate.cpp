#include "framework/pretranslate.h"

#include <windows.h>

#include "framework/wnd.h"

namespace audiomix {

namespace {

// Per thread, as the hook itself is.
thread_local HHOOK t_hook = nullptr;
thread_local int t_users = 0;

void offer(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr;) {
        CWnd* window = CWnd::FromHandlePermanent(hwnd);
        if (window != nullptr && window->PreTranslateMessage(msg)) {
            msg->message = WM_NULL;
            return;
        }
        if ((::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) return;
        hwnd = ::GetParent(hwnd);
    }
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg != nullptr && msg->hwnd != nullptr) offer(msg);
    }
    return ::CallNextHookEx(t_hook, code, removal, lParam);
}

}  // namespace

void pretranslate_attach() {
    if (t_users++ == 0) t_hook = ::SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, ::GetCurrentThreadId());
}

void pretranslate_detach() {
    if (t_users == 0 || --t_users > 0) return;
    if (t_hook != nullptr) ::UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
}

}  // namespace audiomix
