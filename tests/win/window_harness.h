// Shared support of the window tests: the DLL loaded as a host loads it, the
// control window found among the thread's windows, message pumping, real
// mouse input, screen captures with pixel access, BMP screenshots, the
// process's GDI and USER object counts, and message boxes answered from a
// watcher thread.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audiomix.h"
#include "enum_windows.h"

namespace window_test {

// ---- the library, by name, as a host loads it

struct Exports {
    void(__cdecl* begin)(uint32_t);
    void(__cdecl* close)();
    int32_t(__cdecl* change)(int16_t*, int32_t, uint8_t);
    void(__cdecl* init)(int32_t, int32_t, int32_t);
    void(__cdecl* setiir)(uint8_t);
    void(__cdecl* setdisp)(uint8_t);
    void(__cdecl* datarefresh)();
    uint8_t(__cdecl* get_dispstatus)();
    int32_t(__cdecl* get_sample)();
    void(__cdecl* set_mainwnd)(void*);
    int32_t(__cdecl* get_ch)();
    void(__cdecl* set_title)(const char*);
};

inline std::wstring exe_dir() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

template <typename F>
void bind(HMODULE module, F& target, const char* name) {
    target = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

inline HMODULE dll_module() {
    static HMODULE module = LoadLibraryW((exe_dir() + L"\\audiomix.dll").c_str());
    return module;
}

inline const Exports& dll() {
    static const Exports exports = [] {
        Exports e{};
        HMODULE m = dll_module();
        if (m == nullptr) return e;
        bind(m, e.begin, "audiomix_begin");
        bind(m, e.close, "audiomix_close");
        bind(m, e.change, "audiomix_change");
        bind(m, e.init, "audiomix_init");
        bind(m, e.setiir, "audiomix_setiir");
        bind(m, e.setdisp, "audiomix_setdisp");
        bind(m, e.datarefresh, "audiomix_datarefresh");
        bind(m, e.get_dispstatus, "audiomix_get_dispstatus");
        bind(m, e.get_sample, "audiomix_get_sample");
        bind(m, e.set_mainwnd, "audiomix_set_mainwnd");
        bind(m, e.get_ch, "audiomix_get_ch");
        bind(m, e.set_title, "audiomix_set_title");
        return e;
    }();
    return exports;
}

// ---- messages

// Sees each message before it is dispatched (a tool tip's RelayEvent).
using Relay = std::function<void(MSG&)>;

// Dispatches this thread's messages for about ms milliseconds.
inline void pump(DWORD ms = 50, const Relay& relay = {}) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (relay) relay(msg);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

// Runs step() until done() holds or timeout_ms passed; returns done().
template <typename Done, typename Step>
bool poll(Done done, DWORD timeout_ms, Step step) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return done();
        step();
    }
    return true;
}

// Pumps until done() holds or timeout_ms passed; returns done().
template <typename Done>
bool pump_until(Done done, DWORD timeout_ms = 3000, const Relay& relay = {}) {
    return poll(done, timeout_ms, [&] { pump(5, relay); });
}

// Polls with plain sleeps (for a thread that owns no windows).
template <typename Done>
bool wait_until(Done done, DWORD timeout_ms = 3000) {
    return poll(done, timeout_ms, [] { Sleep(10); });
}

// ---- the control window

constexpr int kTabControlId = 1000;
constexpr int kStatusLabelId = 1001;

inline bool is_class(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpiW(cls, name) == 0;
}

// The control window: the top-level dialog of this thread with the tab strip
// 1000 and the status label 1001.
inline HWND find_control_window() {
    HWND found = nullptr;
    for_each_thread_window(GetCurrentThreadId(), [&found](HWND hwnd) {
        HWND tab = GetDlgItem(hwnd, kTabControlId);
        if (is_class(hwnd, L"#32770") && tab != nullptr && is_class(tab, L"SysTabControl32") &&
            GetDlgItem(hwnd, kStatusLabelId) != nullptr) {
            found = hwnd;
            return false;
        }
        return true;
    });
    return found;
}

inline std::wstring window_text(HWND hwnd) {
    wchar_t buffer[1024] = {};
    const int n = GetWindowTextW(hwnd, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n : 0);
}

// The pages: child dialogs of the tab strip (in z-order).
inline std::vector<HWND> pages_of(HWND tab) {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(tab, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (is_class(child, L"#32770")) pages.push_back(child);
    return pages;
}

// The page of the tab strip that holds control id.
inline HWND page_with(HWND tab, int id) {
    for (HWND page : pages_of(tab))
        if (GetDlgItem(page, id) != nullptr) return page;
    return nullptr;
}

// ---- real mouse input

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

// ---- screen captures

// What the screen shows over a rectangle, as 0x00BBGGRR pixels (row-major).
struct Capture {
    RECT area{};
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const {  // relative to area's top-left
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
        return pixels[static_cast<size_t>(y) * width + x];
    }
};

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
constexpr uint32_t swap_red_blue(uint32_t c) { return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16); }

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
    Capture capture(const RECT& area) const {
        GdiFlush();
        Capture c{area, w, h, std::vector<uint32_t>(bits, bits + w * h)};
        for (uint32_t& p : c.pixels) p = swap_red_blue(p);
        return c;
    }
    Capture capture() const { return capture({0, 0, w, h}); }

    int w, h;
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

inline Capture capture_screen(const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return Capture{area, 0, 0, {}};
    MemoryDib dib(w, h);
    HDC screen = GetDC(nullptr);
    BitBlt(dib.dc, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return dib.capture(area);
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

// ---- screenshots (BMP: no encoder needed)

// <build>/screenshots: the first folder above the executable that holds
// CMakeCache.txt.
inline std::wstring screenshot_dir() {
    std::wstring dir = exe_dir();
    for (int up = 0; up < 6; ++up) {
        if (GetFileAttributesW((dir + L"\\CMakeCache.txt").c_str()) != INVALID_FILE_ATTRIBUTES) break;
        const size_t cut = dir.find_last_of(L"\\/");
        if (cut == std::wstring::npos) break;
        dir = dir.substr(0, cut);
    }
    dir += L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

inline bool save_screenshot(const Capture& c, const wchar_t* name) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = c.width;
    info.biHeight = c.height;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + 4 * c.pixels.size());
    std::vector<uint32_t> rows;
    for (int y = c.height - 1; y >= 0; --y)
        for (int x = 0; x < c.width; ++x) rows.push_back(swap_red_blue(c.at(x, y)));
    FILE* f = _wfopen((screenshot_dir() + L"\\" + name + L".bmp").c_str(), L"wb");
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

// USER objects of this process: GetGuiResources where it answers, else the
// windows of this process, probed by handle index with IsWindow (wine takes a
// 16-bit handle for the full one).
inline long user_object_count() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    long live = 0;
    const DWORD self = GetCurrentProcessId();
    for (uintptr_t index = 2; index < 0x10000; index += 2) {
        HWND hwnd = reinterpret_cast<HWND>(index);
        if (!IsWindow(hwnd)) continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == self) ++live;
    }
    return live;
}

inline bool gui_resources_reported() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
}

// ---- colours

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// ---- real keyboard input (goes to the focused window of the foreground thread)

// Types text as the keyboard would, one UTF-16 unit per key (Chinese too).
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

// ---- dialogs of another thread (a test thread driving a modal dialog)

inline bool is_dialog_with(HWND hwnd, int child_id) {
    return is_class(hwnd, L"#32770") && IsWindowVisible(hwnd) && GetDlgItem(hwnd, child_id) != nullptr;
}

// The first visible dialog of a thread that has a child with the given id.
inline HWND find_thread_dialog(DWORD thread, int child_id) {
    HWND found = nullptr;
    for_each_thread_window(thread, [&found, child_id](HWND hwnd) {
        if (is_dialog_with(hwnd, child_id)) found = hwnd;
        return found == nullptr;
    });
    return found;
}

// A message box is a dialog whose text is the static 0xFFFF.
constexpr int kMessageBoxTextId = 0xFFFF;
inline HWND find_message_box(DWORD thread) { return find_thread_dialog(thread, kMessageBoxTextId); }

struct SeenMessageBox {
    std::wstring text, caption;
};

// A watcher thread finds every message box this process opens, notes its
// text and caption and presses answer (IDOK, IDYES ...) in it, so a test
// driving a window on its own thread never hangs in the box's modal loop.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(int answer = IDOK) : m_answer(answer), m_thread([this] { Run(); }) {}
    ~MessageBoxWatch() {
        m_stop = true;
        m_thread.join();
    }
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    void SetAnswer(int answer) { m_answer = answer; }
    std::vector<SeenMessageBox> Seen() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }
    size_t Count() const { return Seen().size(); }

private:
    void Run() {
        std::vector<HWND> answered;  // until gone: a new box may reuse a handle
        while (!m_stop) {
            answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND h) { return !IsWindow(h); }),
                           answered.end());
            for_each_top_window([&](HWND box) {
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                if (pid != GetCurrentProcessId() || !is_dialog_with(box, kMessageBoxTextId) ||
                    std::find(answered.begin(), answered.end(), box) != answered.end())
                    return true;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_seen.push_back({window_text(GetDlgItem(box, kMessageBoxTextId)), window_text(box)});
                }
                answered.push_back(box);
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(m_answer.load(), BN_CLICKED), 0);
                return true;
            });
            Sleep(30);
        }
    }

    std::atomic<int> m_answer;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::thread m_thread;
};

// Centres, in screen coordinates for a window or a child control.
inline POINT centre_of(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline POINT window_centre(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return centre_of(r);
}
inline POINT control_centre(HWND dialog, int id) { return window_centre(GetDlgItem(dialog, id)); }

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
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tab, &centre);
        click_at(centre);
    }
    void show_eq_page() const {
        click_tab(1);
        ASSERT_TRUE(pump_until([&] { return IsWindowVisible(eq_page) != FALSE; }));
    }

    HWND window = nullptr, tab = nullptr, effect_page = nullptr, eq_page = nullptr;
};

}  // namespace window_test
