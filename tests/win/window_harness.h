// Shared support of the window tests: the control window found among the
// thread's windows, message pumping, real mouse and keyboard input, screen
// captures with pixel access, BMP screenshots, the process's GDI objects and
// top-level windows, and message boxes answered as they open.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "api/window_rules.h"
#include "audiomix.h"

namespace window_test {

using audiomix::kSkinBaseColour;

// ---- enumeration with a lambda: EnumThreadWindows calls back through a
// CALLBACK (stdcall) function, which a lambda does not convert to on 32-bit x86

template <typename Visit>
BOOL CALLBACK visit_window(HWND hwnd, LPARAM param) {
    return (*reinterpret_cast<Visit*>(param))(hwnd) ? TRUE : FALSE;
}

// visit(HWND) returns false to stop the enumeration.
template <typename Visit>
void for_each_thread_window(DWORD thread, Visit visit) {
    EnumThreadWindows(thread, visit_window<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// ---- messages

// Dispatches this thread's messages for about ms milliseconds.
inline void pump(DWORD ms = 50) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

// Pumps (or, for a thread that owns no windows, sleeps) until done() holds
// or timeout_ms passed; returns done().
template <typename Done>
bool pump_until(Done done, DWORD timeout_ms = 3000, bool pumping = true) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return done();
        pumping ? pump(5) : Sleep(10);
    }
    return true;
}

template <typename Done>
bool wait_until(Done done, DWORD timeout_ms = 3000) {
    return pump_until(done, timeout_ms, false);
}

// ---- the control window

constexpr int kTabControlId = 1000;
constexpr int kStatusLabelId = 1001;

inline bool is_class(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpiW(cls, name) == 0;
}

// The control window: the top-level window of this thread with the tab
// strip 1000 and the status label 1001.
inline HWND find_control_window() {
    HWND found = nullptr;
    for_each_thread_window(GetCurrentThreadId(), [&found](HWND hwnd) {
        if (GetDlgItem(hwnd, kTabControlId) != nullptr && GetDlgItem(hwnd, kStatusLabelId) != nullptr) found = hwnd;
        return found == nullptr;
    });
    return found;
}

inline std::wstring window_text(HWND hwnd) {
    wchar_t buffer[1024] = {};
    const int n = GetWindowTextW(hwnd, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n : 0);
}

// The page (child dialog of the tab strip) that holds control id.
inline HWND page_with(HWND tab, int id) {
    for (HWND child = GetWindow(tab, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (is_class(child, L"#32770") && GetDlgItem(child, id) != nullptr) return child;
    return nullptr;
}

// ---- real input

inline void move_mouse(POINT screen) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + w - 1) / w);
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + h - 1) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

inline void mouse_button(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

// Moves the pointer to a screen point and clicks there, dispatching the
// resulting messages in between as a user's pace would.
inline void click_at(POINT screen) {
    move_mouse(screen);
    pump(60);
    mouse_button(true);
    pump(60);
    mouse_button(false);
    pump(120);
}

// Types text as the keyboard would, one UTF-16 unit per key (Chinese too),
// into the focused window of the foreground thread.
inline void type_text(const std::wstring& text) {
    for (wchar_t ch : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = ch;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
        Sleep(5);
    }
}

// Presses and releases one virtual key.
inline void press_key(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

// Centres, in screen coordinates, of a rectangle, a window, a dialog's control.
inline POINT centre_of(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline POINT control_centre(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return centre_of(r);
}

// The centre of a skinned frame's close button: where the window answers
// HTCLOSE along its caption's middle row.
inline POINT close_button_of(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    const int y = r.top + 13;
    int left = r.right, right = r.left;
    for (int x = r.left; x < r.right; ++x)
        if (SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    return {(left + right) / 2, y};
}

// ---- screen captures

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
constexpr uint32_t swap_red_blue(uint32_t c) { return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16); }

// What the screen shows over a rectangle: DIB pixels, row by row, top down;
// at() answers COLORREF values.
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const {  // relative to the rectangle's top-left
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
        return swap_red_blue(pixels[static_cast<size_t>(y) * width + x]);
    }
};

// A top-down 32-bit DIB selected into a memory DC, filled with one colour;
// at() answers COLORREF values.
class MemoryDib {
public:
    MemoryDib(int width, int height, uint32_t fill = 0) : w(width), h(height) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, bitmap);
        clear(fill);
    }
    ~MemoryDib() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemoryDib(const MemoryDib&) = delete;
    MemoryDib& operator=(const MemoryDib&) = delete;

    void clear(uint32_t colour) {
        GdiFlush();
        std::fill(bits, bits + w * h, swap_red_blue(colour));
    }
    uint32_t at(int x, int y) const {
        GdiFlush();
        return swap_red_blue(bits[y * w + x]);
    }

    int w, h;
    HDC dc = nullptr;
    uint32_t* bits = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

inline Capture capture_screen(const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return Capture{};
    MemoryDib dib(w, h);
    HDC screen = GetDC(nullptr);
    BitBlt(dib.dc, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return Capture{w, h, std::vector<uint32_t>(dib.bits, dib.bits + w * h)};
}

inline Capture capture_window(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return capture_screen(r);
}

// The client area of a window, in screen coordinates.
inline RECT client_on_screen(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---- screenshots (BMP: no encoder needed), into <build>/screenshots: the
// test program runs from <build>/tests/win

inline bool save_screenshot(const Capture& c, const wchar_t* name) {
    wchar_t path[MAX_PATH];
    std::wstring dir(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    dir = dir.substr(0, dir.find_last_of(L"\\/")) + L"\\..\\..\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = c.width;
    info.biHeight = -c.height;  // top-down
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + 4 * c.pixels.size());
    std::vector<uint32_t> rows;  // without the alpha byte icons leave set: viewers would honour it
    for (uint32_t pixel : c.pixels) rows.push_back(pixel & 0xFFFFFFu);
    FILE* f = _wfopen((dir + L"\\" + name + L".bmp").c_str(), L"wb");
    if (f == nullptr) return false;
    const bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
                    fwrite(rows.data(), 4, rows.size(), f) == rows.size();
    fclose(f);
    return ok;
}

// ---- object counts

// GDI objects of this process. GetGuiResources where it answers; wine 8
// returns 0 there, so otherwise every handle index is probed with
// GetObjectType (wine accepts a handle without its generation number in the
// upper word, so each live object answers exactly once).
inline long gdi_object_count() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    long live = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    return live;
}

// Top-level windows of this thread (the control window, its tool tips).
inline long top_window_count() {
    long n = 0;
    for_each_thread_window(GetCurrentThreadId(), [&n](HWND) { return ++n > 0; });
    return n;
}

// ---- dialogs of another thread (a test thread driving a modal dialog)

// The first visible dialog of a thread that has a child with the given id.
inline HWND find_thread_dialog(DWORD thread, int child_id) {
    HWND found = nullptr;
    for_each_thread_window(thread, [&found, child_id](HWND hwnd) {
        if (is_class(hwnd, L"#32770") && IsWindowVisible(hwnd) && GetDlgItem(hwnd, child_id)) found = hwnd;
        return found == nullptr;
    });
    return found;
}

// A message box is a dialog whose text is the static 0xFFFF.
constexpr int kMessageBoxTextId = 0xFFFF;

struct SeenMessageBox {
    std::wstring text, caption;
};

// While it lives, every message box this thread opens (in any modal loop) is
// noted with its text and caption and answered (IDOK, IDYES ...) as soon as
// it is activated, so a test never hangs in the box's loop.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(int answer = IDOK) : m_answer(answer) {
        s_watch = this;
        m_hook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxWatch() {
        UnhookWindowsHookEx(m_hook);
        s_watch = nullptr;
    }
    void SetAnswer(int answer) { m_answer = answer; }
    std::vector<SeenMessageBox> Seen() const {  // other threads may ask
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }
    size_t Count() const { return Seen().size(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        HWND box = reinterpret_cast<HWND>(wParam);
        MessageBoxWatch* self = s_watch;
        if (code == HCBT_ACTIVATE && self != nullptr && is_class(box, L"#32770") &&
            GetDlgItem(box, kMessageBoxTextId) != nullptr &&
            std::find(self->m_boxes.begin(), self->m_boxes.end(), box) == self->m_boxes.end()) {
            self->m_boxes.push_back(box);  // activated again later: answered already
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_seen.push_back({window_text(GetDlgItem(box, kMessageBoxTextId)), window_text(box)});
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(self->m_answer, BN_CLICKED), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MessageBoxWatch* s_watch = nullptr;
    int m_answer;
    HHOOK m_hook = nullptr;
    std::vector<HWND> m_boxes;
    mutable std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
};

// ---- the shared fixture: the linked library's control window, shown topmost
// at (20, 20) so that real input reaches it, with both pages found

class ControlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        audiomix_begin(0);
        audiomix_init(44100, 2, 1);
        window = find_control_window();
        ASSERT_NE(window, nullptr);
        tab = GetDlgItem(window, kTabControlId);
        effect_page = page_with(tab, 1105);
        eq_page = page_with(tab, 1009);
        ASSERT_TRUE(effect_page != nullptr && eq_page != nullptr);
        SetWindowPos(window, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        pump(200);
        ASSERT_TRUE(IsWindowVisible(effect_page));
    }
    void TearDown() override {
        audiomix_close();
        pump(20);
    }
    void click_tab(int item) const {
        RECT r;
        SendMessageW(tab, TCM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&r), 2);
        click_at(centre_of(r));
    }
    void show_eq_page() const {
        click_tab(1);
        ASSERT_TRUE(pump_until([&] { return IsWindowVisible(eq_page) != FALSE; }));
        ASSERT_FALSE(IsWindowVisible(effect_page));
    }

    // Controls of the page a test works on.
    HWND item(int id) const { return GetDlgItem(page, id); }
    int pos(int slider) const { return static_cast<int>(SendMessageW(item(slider), TBM_GETPOS, 0, 0)); }
    bool checked(int id) const { return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void click(int id) const { click_at(control_centre(page, id)); }
    void key(int id, WORD vk) const {
        SetFocus(item(id));
        press_key(vk);
        pump(80);
    }

    // Presses the slider's thumb and moves the pointer a pixel at a time
    // along it until the slider reaches target, then lets go. Returns the
    // final position.
    int drag_to(int slider, int target) const {
        RECT r;
        SendMessageW(item(slider), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(item(slider), nullptr, reinterpret_cast<POINT*>(&r), 2);
        POINT p = centre_of(r);
        move_mouse(p);
        pump(40);
        mouse_button(true);
        pump(40);
        const int step = target > pos(slider) ? 1 : -1;
        LONG& along = (GetWindowLongW(item(slider), GWL_STYLE) & TBS_VERT) != 0 ? p.y : p.x;
        for (int i = 0; i < 400 && pos(slider) != target; ++i) {
            along += step;
            move_mouse(p);
            pump(8);
        }
        mouse_button(false);
        pump(120);
        return pos(slider);
    }

    HWND window = nullptr, tab = nullptr, effect_page = nullptr, eq_page = nullptr, page = nullptr;
};

}  // namespace window_test
