// audiomix-host: a small Windows host for audiomix.dll, for demonstrations
// and for trying the control window by hand. It loads the DLL beside itself,
// takes every export by ordinal, calls them in the documented order, shows
// the control window and plays music (built in, or a looped 16-bit WAV file)
// through audiomix_change on a second thread in real-time-sized buffers, as
// a player would. There is no sound device: the processed audio is dropped.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audiomix.h"
#include "capture.h"
#include "library.h"
#include "music.h"
#include "options.h"
#include "wav_file.h"

namespace {

// "audiomix 音频调整演示" in GBK: a host hands the title over in its ANSI
// code page, which on a Simplified Chinese system is 936.
const char kTitleGbk[] = "audiomix \xD2\xF4\xC6\xB5\xB5\xF7\xD5\xFB\xD1\xDD\xCA\xBE";
constexpr UINT kGbkCodePage = 936;
constexpr uint32_t kSkinColour = 0x00624C06;  // RGB(6, 76, 98)
constexpr double kScreenshotAfter = 2.0;      // seconds of audio before the picture

std::wstring widen(const std::string& text, UINT code_page = CP_UTF8) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    return w;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring exe_dir() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool read_file(const std::wstring& path, std::vector<uint8_t>& bytes) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (f == nullptr) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("audiomix-host: ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

double dbfs(int peak) { return peak > 0 ? 20 * std::log10(peak / 32768.0) : -120.0; }

// ---- What is played -----------------------------------------------------------------

struct Programme {
    int rate = 44100;
    int channels = 2;
    std::function<void(int16_t*, int)> fill;  // next frames, interleaved
};

Programme built_in_music() {
    Programme p;
    auto music = std::make_shared<host::Music>(p.rate);
    const int channels = p.channels;
    p.fill = [music, channels](int16_t* out, int frames) { music->render(out, frames, channels); };
    return p;
}

Programme looped_wav(host::WavData wav) {
    Programme p;
    p.rate = wav.rate;
    p.channels = wav.channels;
    auto data = std::make_shared<host::WavData>(std::move(wav));
    auto at = std::make_shared<size_t>(0);
    p.fill = [data, at](int16_t* out, int frames) {
        const size_t want = static_cast<size_t>(frames) * data->channels;
        for (size_t i = 0; i < want; ++i) {
            out[i] = data->samples[*at];
            *at = (*at + 1) % data->samples.size();
        }
    };
    return p;
}

// ---- The audio thread ---------------------------------------------------------------------

struct AudioState {
    std::atomic<bool> stop{false};
    std::atomic<long long> buffers{0};
    std::atomic<int> peak_in{0}, peak_out{0};  // since the last report
};

void raise_to(std::atomic<int>& peak, int value) {
    int seen = peak.load();
    while (value > seen && !peak.compare_exchange_weak(seen, value)) {}
}

int buffer_peak(const std::vector<int16_t>& buf) {
    int peak = 0;
    for (int16_t s : buf) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// One buffer every frames / rate seconds, on a fixed schedule; the output
// is measured and dropped.
void play(const host::Library& lib, Programme& programme, int frames, AudioState& state) {
    using clock = std::chrono::steady_clock;
    std::vector<int16_t> buf(static_cast<size_t>(frames) * programme.channels);
    const auto period = std::chrono::duration_cast<clock::duration>(
        std::chrono::duration<double>(static_cast<double>(frames) / programme.rate));
    auto next = clock::now();
    while (!state.stop.load()) {
        programme.fill(buf.data(), frames);
        raise_to(state.peak_in, buffer_peak(buf));
        lib.change(buf.data(), static_cast<int32_t>(buf.size() * sizeof(int16_t)), 1);
        raise_to(state.peak_out, buffer_peak(buf));
        ++state.buffers;
        next += period;
        const auto now = clock::now();
        if (next < now - std::chrono::milliseconds(200)) next = now;  // fell far behind: no burst
        std::this_thread::sleep_until(next);
    }
}

// ---- Windows ---------------------------------------------------------------------------------

LRESULT CALLBACK host_window_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == AUDIOMIX_MSG_SETTINGS_CHANGED) {
        say("settings changed (message 0x%X, wParam %lld, lParam %lld)", msg, static_cast<long long>(wp),
            static_cast<long long>(lp));
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

HWND create_host_window() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = host_window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"audiomix_host_main";
    RegisterClassW(&wc);
    // Hidden: it only receives the library's notifications.
    return CreateWindowExW(0, wc.lpszClassName, L"audiomix host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           320, 200, nullptr, nullptr, wc.hInstance, nullptr);
}

struct Search {
    HWND exclude;
    HWND found;
};

// The library creates its window on the thread that calls audiomix_begin,
// which is this one: the dialog among this thread's top-level windows.
HWND find_control_window(HWND host_window) {
    Search search{host_window, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t cls[64] = {};
            GetClassNameW(wnd, cls, 64);
            if (wnd != s->exclude && std::wstring(cls) == L"#32770") {
                s->found = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD g_main_thread = 0;

BOOL WINAPI on_console_event(DWORD) {
    PostThreadMessageW(g_main_thread, WM_QUIT, 0, 0);
    return TRUE;
}

std::vector<std::string> arguments() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(utf8(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace

int main() {
    host::Options options;
    const std::string error = host::parse_options(arguments(), options);
    if (!error.empty()) {
        std::fprintf(stderr, "audiomix-host: %s\n%s", error.c_str(), host::usage());
        return 2;
    }
    if (options.help) {
        std::fputs(host::usage(), stdout);
        return 0;
    }

    Programme programme = built_in_music();
    if (!options.wav.empty()) {
        std::vector<uint8_t> bytes;
        if (!read_file(widen(options.wav), bytes)) {
            std::fprintf(stderr, "audiomix-host: cannot read %s\n", options.wav.c_str());
            return 1;
        }
        host::WavData wav;
        const std::string why = host::decode_wav(bytes, wav);
        if (!why.empty()) {
            std::fprintf(stderr, "audiomix-host: %s: %s\n", options.wav.c_str(), why.c_str());
            return 1;
        }
        say("playing %s: %d Hz, %d channel(s), %.1f s, looped", options.wav.c_str(), wav.rate, wav.channels,
            static_cast<double>(wav.samples.size()) / wav.channels / wav.rate);
        programme = looped_wav(std::move(wav));
    } else {
        say("playing the built-in music: %d Hz, %d channels", programme.rate, programme.channels);
    }

    g_main_thread = GetCurrentThreadId();
    SetConsoleCtrlHandler(on_console_event, TRUE);
    const HWND host_window = create_host_window();

    host::Library lib;
    const std::string load_error = host::load_library(exe_dir() + L"audiomix.dll", lib);
    if (!load_error.empty()) {
        std::fprintf(stderr, "audiomix-host: %s\n", load_error.c_str());
        return 1;
    }

    // The documented order: begin (creates the window and clears the host
    // window), then the host window, the title, and the format.
    lib.begin(kSkinColour);
    lib.set_mainwnd(host_window);
    lib.set_title(kTitleGbk);
    if (GetACP() != kGbkCodePage)
        say("note: the ANSI code page is %u, not %u; the GBK title shows as Chinese only under a Chinese locale",
            GetACP(), kGbkCodePage);
    lib.init(programme.rate, programme.channels, 1);
    say("audiomix_init(%d, %d, 1): library reports %d Hz, %d channel(s), display %d", programme.rate,
        programme.channels, lib.get_sample(), lib.get_ch(), lib.get_dispstatus());

    HWND control = find_control_window(host_window);
    if (control != nullptr) {
        if (!IsWindowVisible(control)) lib.setdisp(1);
        const int n = GetWindowTextLengthW(control);
        std::wstring caption(static_cast<size_t>(n) + 1, L'\0');
        GetWindowTextW(control, &caption[0], n + 1);
        caption.resize(static_cast<size_t>(n));
        say("control window %p \"%s\" %s", static_cast<void*>(control), utf8(caption).c_str(),
            IsWindowVisible(control) ? "shown" : "hidden");
    } else {
        say("no control window (this build of the library runs without one); playing anyway");
    }
    if (options.seconds > 0)
        say("running for %.1f s", options.seconds);
    else
        say("running until the control window is closed");

    AudioState audio;
    std::thread player([&] { play(lib, programme, options.frames, audio); });
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

    const double shot_at = options.seconds > 0 ? std::min(kScreenshotAfter, options.seconds * 0.8) : kScreenshotAfter;
    bool shot_done = options.screenshot.empty();
    bool seen_shown = control != nullptr && IsWindowVisible(control);
    double next_report = 1.0;
    bool running = true;
    int exit_code = 0;
    while (running) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                running = false;
                break;
            }
            // Tab, arrows and Enter move through the control window's pages.
            if (control != nullptr && IsWindow(control) && IsDialogMessageW(control, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const double t = elapsed();
        if (t >= next_report) {
            next_report += 1.0;
            say("%4.1f s: %lld buffers, peak in %.1f dBFS, out %.1f dBFS, display %s", t, audio.buffers.load(),
                dbfs(audio.peak_in.exchange(0)), dbfs(audio.peak_out.exchange(0)),
                lib.get_dispstatus() == 1 ? "shown" : "hidden");
        }
        if (!shot_done && t >= shot_at) {
            shot_done = true;
            if (control == nullptr || !IsWindowVisible(control)) {
                say("no control window on screen: no screenshot taken");
            } else if (host::capture_window(control, widen(options.screenshot))) {
                say("screenshot of the control window written to %s", options.screenshot.c_str());
            } else {
                say("could not write the screenshot %s", options.screenshot.c_str());
                exit_code = 1;
            }
        }
        if (options.seconds > 0 && t >= options.seconds) running = false;
        if (control != nullptr) {
            const bool shown = IsWindow(control) && IsWindowVisible(control);
            seen_shown |= shown;
            if (seen_shown && !shown) {
                say("control window closed");
                running = false;
            }
        }
    }

    audio.stop = true;
    player.join();
    const double seconds = elapsed();
    say("played %lld buffers (%.1f s of audio) in %.1f s", audio.buffers.load(),
        static_cast<double>(audio.buffers.load()) * options.frames / programme.rate, seconds);
    lib.close();
    host::unload_library(lib);
    DestroyWindow(host_window);
    return exit_code;
}
