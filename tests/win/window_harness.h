// Shared support of the window tests: the DLL loaded as a host loads it, the
// control window found among the thread's windows, message pumping, real
// mouse input, screen captures with pixel access, PNG screenshots, and
// counting the process's GDI and USER objects.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
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

// Pumps until done() holds or timeout_ms passed; returns done().
template <typename Done>
bool pump_until(Done done, DWORD timeout_ms = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return done();
        pump(5);
    }
    return true;
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

inline Capture capture_screen(const RECT& area) {
    Capture c;
    c.area = area;
    c.width = area.right - area.left;
    c.height = area.bottom - area.top;
    if (c.width <= 0 || c.height <= 0) return c;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, c.width, c.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    c.pixels.resize(static_cast<size_t>(c.width) * c.height);
    const auto* src = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < c.pixels.size(); ++i) {
        const uint32_t bgra = src[i];  // DIB order: blue in the low byte
        c.pixels[i] = ((bgra >> 16) & 0xFF) | (bgra & 0xFF00) | ((bgra & 0xFF) << 16);
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return c;
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

// ---- drawing off screen

// A top-down 32-bit DIB selected into a memory DC, filled with one colour;
// at() answers COLORREF values (0x00BBGGRR).
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
        for (int i = 0; i < w * h; ++i) bits[i] = swap(colour);
    }
    uint32_t at(int x, int y) const {
        GdiFlush();
        return swap(bits[y * w + x]);
    }
    Capture capture() const {
        Capture c;
        c.width = w;
        c.height = h;
        c.area = {0, 0, w, h};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) c.pixels.push_back(at(x, y));
        return c;
    }

    int w, h;
    HDC dc = nullptr;

private:
    // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    static uint32_t swap(uint32_t c) { return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16); }
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

// ---- PNG screenshots (stored deflate blocks: no compressor needed)

inline uint32_t crc32_of(const uint8_t* data, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline void png_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32_of(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

inline std::vector<uint8_t> encode_png(const Capture& c) {
    std::vector<uint8_t> raw;  // filter byte 0, then RGB per row
    raw.reserve(static_cast<size_t>(c.height) * (1 + 3 * c.width));
    for (int y = 0; y < c.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < c.width; ++x) {
            const uint32_t p = c.at(x, y);
            raw.push_back(static_cast<uint8_t>(p & 0xFF));
            raw.push_back(static_cast<uint8_t>((p >> 8) & 0xFF));
            raw.push_back(static_cast<uint8_t>((p >> 16) & 0xFF));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        const bool last = pos + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n & 0xFF));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n & 0xFF));
        z.push_back(static_cast<uint8_t>((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
        pos += n;
        if (last) break;
    }
    put32(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(c.width));
    put32(header, static_cast<uint32_t>(c.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    png_chunk(out, "IHDR", header);
    png_chunk(out, "IDAT", z);
    png_chunk(out, "IEND", {});
    return out;
}

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
    const std::vector<uint8_t> png = encode_png(c);
    const std::wstring path = screenshot_dir() + L"\\" + name + L".png";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (f == nullptr) return false;
    const bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
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

// Polls done() with plain sleeps (for a thread that owns no windows).
template <typename Done>
bool wait_until(Done done, DWORD timeout_ms = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return done();
        Sleep(10);
    }
    return true;
}

// The first visible dialog of a thread that has a child with the given id.
inline HWND find_thread_dialog(DWORD thread, int child_id) {
    HWND found = nullptr;
    for_each_thread_window(thread, [&found, child_id](HWND hwnd) {
        if (is_class(hwnd, L"#32770") && IsWindowVisible(hwnd) && GetDlgItem(hwnd, child_id) != nullptr) {
            found = hwnd;
            return false;
        }
        return true;
    });
    return found;
}

// A message box is a dialog whose text is the static 0xFFFF.
constexpr int kMessageBoxTextId = 0xFFFF;
inline HWND find_message_box(DWORD thread) { return find_thread_dialog(thread, kMessageBoxTextId); }
inline std::wstring message_box_text(HWND box) { return window_text(GetDlgItem(box, kMessageBoxTextId)); }

// The centre of a child control in screen coordinates.
inline POINT control_centre(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

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
