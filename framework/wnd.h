// CWnd: a C++ object bound to one window. The object pointer lives in the
// window itself (a window property), never in a global map, and every
// message of a bound window runs through one framework window procedure that
// scans the class's message tables (message_map.h). Nothing thrown by a
// handler leaves the window procedure.
//
// Binding:
//   - SubclassWindow(hwnd) / SubclassDlgItem(id, parent): take over an
//     existing window (a dialog's control); DDX_Control does this.
//   - CreateEx(...) with a class from RegisterWndClass(): a window of our own.
//   - CDialog::Create / DoModal (dialog.h).
// A window that is destroyed detaches itself (m_hWnd becomes null) and then
// calls PostNcDestroy(). An object destroyed before its window gives the
// window back its previous procedure (subclassed controls) or destroys it
// (windows it created).
//
// The wrappers below are thin: the same names and arguments as the Win32
// functions they call, on this object's window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/message_map.h"
#include "framework/text.h"

namespace audiomix {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null for windows that are not ours.
    static CWnd* FromHandlePermanent(HWND hwnd);

    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creates a window of a class registered by RegisterWndClass (or any
    // class whose procedure is DefWindowProc-like: the object is bound at
    // WM_NCCREATE only for RegisterWndClass classes, else right after).
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  HWND parentOrOwner, UINT id);
    virtual BOOL DestroyWindow();

    // A window class routed through the framework procedure, registered once
    // per set of arguments in the library's module; returns its name.
    static LPCWSTR RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                    HICON icon = nullptr);

    // ---- message machinery
    static const MessageMap* Map();
    virtual const MessageMap* GetMessageMap() const { return Map(); }
    // Runs the previous window procedure on the message being handled.
    LRESULT Default();
    // Called by SubclassWindow before the procedure is replaced.
    virtual void PreSubclassWindow() {}
    // Offered each message retrieved for this window or a descendant while
    // a modeless dialog of the library exists on the thread (pretranslate.h);
    // TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* msg) {
        (void)msg;
        return FALSE;
    }
    // Called after the window has been destroyed and detached; may delete
    // the object (nothing of it is used afterwards).
    virtual void PostNcDestroy() {}

    // ---- window wrappers
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(POINT* point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(RECT* rect) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    CString GetWindowText() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    // Returns TRUE when the style changed; with swpFlags, also SetWindowPos
    // (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags).
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }

protected:
    WNDPROC m_prevProc = nullptr;  // where Default() sends messages

private:
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);

    void Attach(HWND hwnd);
    void Detach();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(Message& msg, bool reflected);
    bool ReflectToChild(Message& msg);

    bool m_created = false;         // made by CreateEx / CDialog::Create: destroyed with the object
    bool m_pretranslating = false;  // a modeless dialog keeps the thread's hook
    friend class CDialog;
};

// The one window procedure of every bound window.
LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- the common controls the windows bind

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

// The trackbar.
class CSliderCtrl : public CWnd {
public:
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetRange(int min, int max, BOOL redraw = FALSE) {
        SendMessage(TBM_SETRANGEMIN, FALSE, min);
        SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), max);
    }
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    void SetSelection(int start, int end) {
        SendMessage(TBM_SETSELSTART, FALSE, start);
        SendMessage(TBM_SETSELEND, TRUE, end);
    }
    void SetTicFreq(int freq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(freq)); }
};

class CTabCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int item) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(item))); }
    BOOL GetItem(int item, TCITEMW* data) const {
        return static_cast<BOOL>(SendMessage(TCM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(data)));
    }
    int InsertItem(int item, const TCITEMW* data) {
        return static_cast<int>(
            SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(data)));
    }
    BOOL GetItemRect(int item, RECT* rect) const {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
    }
    HIMAGELIST GetImageList() const { return reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)); }
    HIMAGELIST SetImageList(HIMAGELIST list) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
    }
};

}  // namespace audiomix
