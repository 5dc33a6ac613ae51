// CSubclassWnd: hooks the window procedure of a window that is not ours to
// own (a dialog the framework already drives) and sees every message first.
// The hook object is found through a window property, not a global map;
// unhandled messages go on to the previous procedure with CallWindowProc.
//
// One hook of this kind per window. The hook takes itself off when the window
// is destroyed (WM_NCDESTROY) or the object goes, provided nobody hooked the
// window after it; otherwise it stays in the chain and passes everything on.
#pragma once

#include <windows.h>

namespace audiomix {

class CWnd;

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    virtual ~CSubclassWnd();
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    virtual BOOL HookWindow(CWnd* window);
    virtual BOOL HookWindow(HWND hwnd);  // null unhooks
    virtual BOOL IsHooked() const { return m_hWnd != nullptr; }

protected:
    // Handles one message of the hooked window; Default() passes it on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT Default();

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Unhook();

    WNDPROC m_previous = nullptr;
    // The message being handled, for Default().
    UINT m_message = 0;
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;
};

}  // namespace audiomix
