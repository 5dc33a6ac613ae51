// The shell of the Windows build: the real control window.
//
// Level display and window destruction. audiomix_change draws the display
// on the host's audio thread into control 1001 while the window thread may be
// destroying the window in audiomix_close. The audio path takes no lock:
//
//   - The drawing surface is one process-wide object that is never freed, so
//     a pointer the audio side took from the chain's parameters a moment
//     before audiomix_close cleared it still points at a live object.
//   - The surface publishes the control's DC through an atomic. A frame first
//     announces itself (drawing counter up), then reads the DC; a null DC
//     means no window, and the frame is skipped.
//   - Detaching (destroy, or a new DC) first unpublishes the DC, then waits
//     until no frame is in progress, and only then releases the DC and the
//     frame buffer. Both sides use sequentially consistent operations, so
//     either the frame sees the null DC, or the detacher sees the frame's
//     announcement and waits for it to end: no frame ever uses a released DC.
//   - The wait is the length of one frame (a few fills and lines into memory
//     and one BitBlt); the audio thread never waits for anything.
//
// Threads. The window belongs to the thread that called audiomix_begin. An
// export called from another thread must neither block on that thread (it
// may be waiting for the caller) nor use the window's DC there: closing,
// showing and retitling are posted to the window thread, and the display
// stops drawing at once (the DC itself is released by the thread that got it).
//
// A frame draws into a memory bitmap and copies it to the control with one
// BitBlt, so the display does not flicker. Its pen is the DC's own DC_PEN
// with the colour set per line, and fills are opaque ExtTextOut rectangles:
// the audio thread creates no GDI object at all (the buffer is made with the
// DC, on the window thread).
#include <atomic>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <thread>

#include <windows.h>

#include <commctrl.h>

#include "api/default_engine.h"
#include "api/shell.h"
#include "api/window_rules.h"
#include "dsp/level_display.h"
#include "framework/module.h"
#include "framework/text.h"
#include "window/audio_mix_dlg.h"

namespace audiomix {

namespace {

class GdiScopeSurface final : public ScopeSurface {
public:
    // Window thread. Draws from now on into control's client area, of the
    // given size; the DC is obtained here and kept until detach(). A repeated
    // attach to the same control and size keeps what it has.
    void attach(HWND control, int32_t width, int32_t height) {
        if (control_ == control && width == width_ && height == height_ && dc_ != nullptr) {
            target_.store(dc_);  // drawing again if it had been stopped
            return;
        }
        detach();
        if (control == nullptr || width <= 0 || height <= 0) return;
        HDC target = ::GetDC(control);
        if (target == nullptr) return;
        memory_ = ::CreateCompatibleDC(target);
        bitmap_ = memory_ != nullptr ? ::CreateCompatibleBitmap(target, width, height) : nullptr;
        if (bitmap_ == nullptr) {
            if (memory_ != nullptr) ::DeleteDC(memory_);
            memory_ = nullptr;
            ::ReleaseDC(control, target);
            return;
        }
        oldBitmap_ = ::SelectObject(memory_, bitmap_);
        oldPen_ = ::SelectObject(memory_, ::GetStockObject(DC_PEN));
        control_ = control;
        width_ = width;
        height_ = height;
        RECT client{};
        ::GetClientRect(control, &client);
        copyWidth_ = client.right < width ? client.right : width;
        copyHeight_ = client.bottom < height ? client.bottom : height;
        dc_ = target;
        target_.store(target);  // published last: the buffer is ready
    }

    // Any thread. No frame starts from now on, and none is running when
    // this returns. The DC stays held until detach().
    void stop_drawing() {
        target_.store(nullptr);
        while (drawing_.load() != 0) std::this_thread::yield();
    }

    // Window thread, for the window whose display this is (a later window
    // may already have taken over): stops drawing and gives back the DC and
    // the buffer.
    void detach(HWND control) {
        if (control != control_) return;
        detach();
    }

    void detach() {
        stop_drawing();
        if (dc_ != nullptr) ::ReleaseDC(control_, dc_);
        dc_ = nullptr;
        if (memory_ != nullptr) {
            ::SelectObject(memory_, oldPen_);
            ::SelectObject(memory_, oldBitmap_);
            ::DeleteDC(memory_);
        }
        if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
        memory_ = nullptr;
        bitmap_ = nullptr;
        control_ = nullptr;
        width_ = height_ = 0;
    }

    bool attached_to(HWND control) const { return control != nullptr && control_ == control && dc_ != nullptr; }

    // ---- audio thread
    bool begin_frame() override {
        drawing_.fetch_add(1);
        frameTarget_ = target_.load();
        if (frameTarget_ == nullptr) {
            drawing_.fetch_sub(1);
            return false;
        }
        return true;
    }

    void end_frame() override {
        ::BitBlt(frameTarget_, 0, 0, copyWidth_, copyHeight_, memory_, 0, 0, SRCCOPY);
        ::GdiFlush();
        frameTarget_ = nullptr;
        drawing_.fetch_sub(1);
    }

    void fill_rect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) override {
        const RECT r{left, top, right, bottom};
        ::SetBkColor(memory_, colour);
        ::ExtTextOutW(memory_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
    void set_pen(uint32_t colour) override { ::SetDCPenColor(memory_, colour); }
    void move_to(int32_t x, int32_t y) override { ::MoveToEx(memory_, x, y, nullptr); }
    void line_to(int32_t x, int32_t y) override { ::LineTo(memory_, x, y); }

private:
    std::atomic<HDC> target_{nullptr};  // the DC frames may use; null: skip
    HDC dc_ = nullptr;                  // the DC held (window thread)
    std::atomic<int> drawing_{0};
    HDC frameTarget_ = nullptr;
    HWND control_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    int32_t width_ = 0, height_ = 0;
    int32_t copyWidth_ = 0, copyHeight_ = 0;
};

// Never destroyed: the audio thread may hold its address at any time.
GdiScopeSurface& scope_surface_instance() {
    alignas(GdiScopeSurface) static unsigned char storage[sizeof(GdiScopeSurface)];
    static GdiScopeSurface* surface = new (storage) GdiScopeSurface;
    return *surface;
}

}  // namespace

// Receives the requests that other threads post for the window thread. A
// message-only window of its own, so that the request that destroys the
// dialog is not handled inside the dialog's own procedure (and the hooks on
// it) while the dialog object goes away.
class ShellCourier : public CWnd {
public:
    static constexpr UINT kDestroyRequest = WM_APP + 0x0A31;
    static constexpr UINT kCaptionRequest = WM_APP + 0x0A32;
    static constexpr UINT kResetPagesRequest = WM_APP + 0x0A33;

    explicit ShellCourier(ControlWindow& owner) : owner_(owner) {}
    BOOL Create() {
        const RECT none{0, 0, 0, 0};
        return CreateEx(0, RegisterWndClass(0), L"", 0, none, HWND_MESSAGE, 0);
    }

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnDestroyRequest();
    void OnCaptionRequest();
    void OnResetPagesRequest();

    ControlWindow& owner_;
};

// The dialog plus what the shell needs of it.
class ControlWindow : public CAudioMixDlg {
public:
    ControlWindow() : courier(*this) {}

    bool on_window_thread() const { return ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId(); }

    // Window thread: the display lets go of the DC first, then the window
    // goes, then the object.
    void destroy_now() {
        scope_surface_instance().detach(GetDlgItem(kStatusLabelId));
        HWND hwnd = m_hWnd;
        if (hwnd != nullptr) {
            ::CloseWindow(hwnd);
            ::DestroyWindow(hwnd);
        }
        courier.DestroyWindow();
        delete this;
    }

    // Window thread: the caption from host ANSI text (GBK on a Chinese
    // system) of at most 511 bytes.
    void apply_caption(const char* title) {
        const size_t length = strnlen(title, sizeof(HostLink::title) - 1);
        const CString caption = CString::FromCodePage(title, CP_ACP, static_cast<int>(length));
        SetWindowText(caption);
        InvalidateRect(nullptr, TRUE);
    }

    ShellCourier courier;
};

const MessageMap* ShellCourier::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(kDestroyRequest, Handle<&ShellCourier::OnDestroyRequest>),
        OnMessage(kCaptionRequest, Handle<&ShellCourier::OnCaptionRequest>),
        OnMessage(kResetPagesRequest, Handle<&ShellCourier::OnResetPagesRequest>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

void ShellCourier::OnDestroyRequest() { owner_.destroy_now(); }
// The exports keep the title in the engine's host link; by the time this
// runs it holds the latest one. Copied out: the window is retitled unlocked.
void ShellCourier::OnCaptionRequest() {
    char title[sizeof(HostLink::title)];
    {
        const auto s = default_engine().view();
        std::memcpy(title, s->link.title, sizeof title);
    }
    owner_.apply_caption(title);
}
// The engine was reset by the call that posted this; the controls follow.
void ShellCourier::OnResetPagesRequest() { owner_.ShowResetMixPages(); }

namespace {

HWND scope_control(ControlWindow* window) {
    return window != nullptr ? window->GetDlgItem(CAudioMixDlg::kStatusLabelId) : nullptr;
}

class WindowShell final : public Shell {
public:
    ControlWindow* create_window() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        auto* window = new (std::nothrow) ControlWindow;
        if (window == nullptr) return nullptr;
        // OnInitDialog writes the window's values into the default engine.
        if (!window->Create(CAudioMixDlg::kTemplateId, static_cast<HWND>(nullptr))) {
            // No window system (no desktop, no display): the object stays,
            // without a window, and has the window's effects on the engine
            // all the same, so audio comes out as with a window.
            windowless_startup(*default_engine().edit(), nullptr);
            return window;
        }
        window->courier.Create();
        HWND hwnd = window->m_hWnd;
        ::SetForegroundWindow(hwnd);
        ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        return window;
    }

    void destroy_window(ControlWindow* window) override {
        if (window == nullptr) return;
        if (window->m_hWnd == nullptr || window->on_window_thread()) {
            window->destroy_now();
            return;
        }
        // Another thread cannot destroy the window: the window thread does
        // it when it next dispatches messages. Drawing stops now.
        scope_surface_instance().stop_drawing();
        window->courier.PostMessage(ShellCourier::kDestroyRequest);
    }

    void show_window(ControlWindow* window, bool show) override {
        if (window == nullptr || window->m_hWnd == nullptr) return;
        const int command = show ? SW_SHOW : SW_HIDE;
        if (window->on_window_thread())
            window->ShowWindow(command);
        else
            ::ShowWindowAsync(window->m_hWnd, command);
    }

    void set_caption(ControlWindow* window, const char* title) override {
        if (window == nullptr || window->m_hWnd == nullptr || title == nullptr) return;
        if (window->on_window_thread())
            window->apply_caption(title);
        else
            window->courier.PostMessage(ShellCourier::kCaptionRequest);
    }

    ClientRect scope_rect(ControlWindow* window) override {
        RECT r{0, 0, 0, 0};
        if (HWND control = scope_control(window)) ::GetClientRect(control, &r);
        return {r.left, r.top, r.right, r.bottom};
    }

    ScopeSurface* scope_surface(ControlWindow* window) override {
        HWND control = scope_control(window);
        if (control == nullptr) return nullptr;
        GdiScopeSurface& surface = scope_surface_instance();
        // The DC is taken (and later released) on the window thread only.
        if (window->on_window_thread()) {
            RECT r{};
            ::GetClientRect(control, &r);
            // The display's height counts one row more than the client area
            // (bottom - top + 1); the buffer holds it, the copy clips it.
            surface.attach(control, r.right - r.left, r.bottom - r.top + 1);
        }
        return surface.attached_to(control) ? &surface : nullptr;
    }

    void reset_pages(ControlWindow* window) override {
        if (window == nullptr) return;
        if (window->m_hWnd == nullptr || window->on_window_thread()) {
            window->ResetMixPages();
            return;
        }
        // Another thread must not wait for the window's: the engine is
        // reset now, the controls when the window thread next runs.
        CAudioMixDlg::ResetMixPagesEngine();
        window->courier.PostMessage(ShellCourier::kResetPagesRequest);
    }

    bool module_path(char* buffer, size_t size) override {
        if (buffer == nullptr || size == 0) return false;
        std::wstring path(32768, L'\0');
        const DWORD n = ::GetModuleFileNameW(library_instance(), &path[0], static_cast<DWORD>(path.size()));
        if (n == 0 || n >= path.size()) return false;
        path.resize(n);
        return to_ansi_path(path, buffer, size);
    }

    char path_separator() const override { return '\\'; }

private:
    // The preset file is opened with the C runtime's ANSI functions, so the
    // path must be in the ANSI code page. A folder name that code page cannot
    // spell is replaced by its short (8.3) form, which is plain ASCII.
    static bool to_ansi_path(const std::wstring& path, char* buffer, size_t size) {
        if (convert(path, buffer, size)) return true;
        std::wstring shortPath(32768, L'\0');
        const DWORD n = ::GetShortPathNameW(path.c_str(), &shortPath[0], static_cast<DWORD>(shortPath.size()));
        if (n == 0 || n >= shortPath.size()) return false;
        shortPath.resize(n);
        return convert(shortPath, buffer, size);
    }

    static bool convert(const std::wstring& path, char* buffer, size_t size) {
        // A UTF-8 ANSI code page spells every path and takes no loss report.
        const bool utf8 = ::GetACP() == CP_UTF8;
        BOOL lossy = FALSE;
        const int n =
            ::WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()),
                                  buffer, static_cast<int>(size) - 1, nullptr, utf8 ? nullptr : &lossy);
        if (n <= 0 || lossy) return false;
        buffer[n] = '\0';
        return true;
    }
};

}  // namespace

Shell& shell() {
    static WindowShell instance;
    return instance;
}

}  // namespace audiomix
