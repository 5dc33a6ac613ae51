// One long scripted host session that drives audiomix only through the
// exports of audiomix.h and records everything that comes back: every
// processed sample, every return value, the parameters read back. Run once
// natively (linked to libaudiomix.so) and once under wine (audiomix.dll
// loaded with LoadLibraryW and bound by ordinal, as a host binds it), the two
// recordings must be identical byte for byte.
//
//   host_session OUTPUT
//
// OUTPUT.steps lists the byte offset at which each step of the script starts,
// so a first difference can be traced to the step that produced it.
#include "audiomix.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

// ---------------------------------------------------------------- the exports

struct Api {
    decltype(&audiomix_begin) begin = nullptr;
    decltype(&audiomix_close) close = nullptr;
    decltype(&audiomix_change) change = nullptr;
    decltype(&audiomix_init) init = nullptr;
    decltype(&audiomix_setiir) setiir = nullptr;
    decltype(&audiomix_setdisp) setdisp = nullptr;
    decltype(&audiomix_datarefresh) datarefresh = nullptr;
    decltype(&audiomix_get_dispstatus) get_dispstatus = nullptr;
    decltype(&audiomix_get_sample) get_sample = nullptr;
    decltype(&audiomix_set_mainwnd) set_mainwnd = nullptr;
    decltype(&audiomix_get_ch) get_ch = nullptr;
    decltype(&audiomix_set_title) set_title = nullptr;
    decltype(&audiomix_param_set) param_set = nullptr;
    decltype(&audiomix_param_get) param_get = nullptr;
    decltype(&audiomix_param_name) param_name = nullptr;
};

#ifdef _WIN32
template <typename F>
bool bind_ordinal(HMODULE module, int ordinal, F& fn) {
    FARPROC proc = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    if (proc == nullptr) {
        std::fprintf(stderr, "host_session: audiomix.dll has no ordinal %d\n", ordinal);
        return false;
    }
    // Through void (*)(void), the one function pointer type every other
    // converts to without a cast-function-type warning.
    fn = reinterpret_cast<F>(reinterpret_cast<void (*)(void)>(proc));
    return true;
}

// The DLL beside this executable, by full path: no search order involved.
bool load_api(Api& api) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring dll(path, n);
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"audiomix.dll";
    HMODULE module = LoadLibraryW(dll.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "host_session: LoadLibraryW failed (%lu)\n",
                     static_cast<unsigned long>(GetLastError()));
        return false;
    }
    return bind_ordinal(module, 1, api.begin) && bind_ordinal(module, 2, api.close) &&
           bind_ordinal(module, 3, api.change) && bind_ordinal(module, 4, api.init) &&
           bind_ordinal(module, 5, api.setiir) && bind_ordinal(module, 8, api.setdisp) &&
           bind_ordinal(module, 9, api.datarefresh) &&
           bind_ordinal(module, 12, api.get_dispstatus) && bind_ordinal(module, 13, api.get_sample) &&
           bind_ordinal(module, 14, api.set_mainwnd) && bind_ordinal(module, 15, api.get_ch) &&
           bind_ordinal(module, 16, api.set_title) && bind_ordinal(module, 17, api.param_set) &&
           bind_ordinal(module, 18, api.param_get) && bind_ordinal(module, 19, api.param_name);
}

// A host keeps its message loop running between buffers.
void pump_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
#else
bool load_api(Api& api) {
    api = {&audiomix_begin,     &audiomix_close,          &audiomix_change,     &audiomix_init,
           &audiomix_setiir,    &audiomix_setdisp,        &audiomix_datarefresh, &audiomix_get_dispstatus,
           &audiomix_get_sample, &audiomix_set_mainwnd,   &audiomix_get_ch,     &audiomix_set_title,
           &audiomix_param_set, &audiomix_param_get,      &audiomix_param_name};
    return true;
}

void pump_messages() {}
#endif

// ---------------------------------------------------------------- recording

// Little-endian values appended to OUTPUT; step marks go to OUTPUT.steps.
class Recording {
public:
    bool open(const std::string& path) {
        data_ = std::fopen(path.c_str(), "wb");
        steps_ = std::fopen((path + ".steps").c_str(), "wb");  // same bytes on Windows
        return data_ != nullptr && steps_ != nullptr;
    }

    bool close() {
        bool ok = data_ != nullptr && steps_ != nullptr && !std::ferror(data_) && !std::ferror(steps_);
        if (data_ != nullptr) ok = std::fclose(data_) == 0 && ok;
        if (steps_ != nullptr) ok = std::fclose(steps_) == 0 && ok;
        data_ = steps_ = nullptr;
        return ok;
    }

    void step(const char* format, ...) {
        std::fprintf(steps_, "%llu %u ", static_cast<unsigned long long>(offset_), ++step_count_);
        va_list args;
        va_start(args, format);
        std::vfprintf(steps_, format, args);
        va_end(args);
        std::fputc('\n', steps_);
    }

    void bytes(const void* p, size_t n) {
        std::fwrite(p, 1, n, data_);
        offset_ += n;
    }
    // n little-endian bytes of v.
    void le(uint64_t v, int n) {
        unsigned char b[8];
        for (int i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
        bytes(b, static_cast<size_t>(n));
    }
    void u32(uint32_t v) { le(v, 4); }
    void i32(int32_t v) { le(static_cast<uint32_t>(v), 4); }
    void f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        le(bits, 8);
    }
    void text(const char* s) {
        u32(static_cast<uint32_t>(std::strlen(s)));
        bytes(s, std::strlen(s));
    }
    void samples(const int16_t* s, size_t count) {
        for (size_t i = 0; i < count; ++i) le(static_cast<uint16_t>(s[i]), 2);
    }

private:
    std::FILE* data_ = nullptr;
    std::FILE* steps_ = nullptr;
    uint64_t offset_ = 0;
    unsigned step_count_ = 0;
};

// ---------------------------------------------------------------- the input

// Our own generator: the C library's rand differs between the two builds.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    uint32_t below(uint32_t n) { return (next() >> 8) % n; }
    // Uniform in [-1, 1).
    double unit() { return static_cast<double>(next() >> 8) * (2.0 / 16777216.0) - 1.0; }

private:
    uint32_t state_;
};

constexpr double kPi = 3.14159265358979323846;

// sin of a phase given in 2^-32 turns, from + - * only (the C library's sin
// may round differently in the two runtimes; these operations cannot).
double sine(uint32_t phase) {
    double x = static_cast<double>(static_cast<int32_t>(phase)) * (kPi / 2147483648.0);
    if (x > kPi / 2) x = kPi - x;
    if (x < -kPi / 2) x = -kPi - x;
    const double x2 = x * x;
    return x * (1.0 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880 + x2 * (-1.0 / 39916800))))));
}

uint32_t phase_step(double hz) { return static_cast<uint32_t>(hz / 44100.0 * 4294967296.0); }

// Music-like test input: a few tones under a slow swell, noise, a click now
// and then, a stretch of digital silence and a clipped loud stretch in
// every cycle of 132300 frames. Continuous across buffers.
class Music {
public:
    void fill(int16_t* out, int32_t frames, int32_t channels) {
        for (int32_t f = 0; f < frames; ++f, ++frame_) {
            const uint32_t pos = static_cast<uint32_t>(frame_ % 132300);
            // Triangle swell over 40000 frames, 0.2 ... 1.
            const uint32_t t = static_cast<uint32_t>(frame_ % 40000);
            const double swell = 0.2 + 0.8 * static_cast<double>(t < 20000 ? t : 40000 - t) / 20000.0;
            for (int i = 0; i < kTones; ++i) phase_[i] += kStep[i];
            for (int32_t c = 0; c < channels; ++c) {
                double x = 0.0;
                for (int i = 0; i < kTones; ++i) x += kMix[c][i] * sine(phase_[i] + (c == 0 ? 0u : 0x40000000u));
                x = x * swell + 0.05 * noise_[c].unit();
                int32_t v;
                if (pos >= 110000 && pos < 120000) {
                    v = 0;
                } else if (pos >= 120000) {
                    x *= 4.0;  // clipped: long full-scale plateaus
                    v = quantise(x);
                } else if (frame_ % 5003 == 0) {
                    v = c == 0 ? 32767 : -32768;
                } else {
                    v = quantise(x);
                }
                out[f * channels + c] = static_cast<int16_t>(v);
            }
        }
    }

private:
    static int32_t quantise(double x) {
        const double s = x * 32767.0;
        if (s >= 32767.0) return 32767;
        if (s <= -32768.0) return -32768;
        return static_cast<int32_t>(s);
    }

    static constexpr int kTones = 5;
    const uint32_t kStep[kTones] = {phase_step(110.0), phase_step(329.63), phase_step(440.0),
                                    phase_step(1234.5), phase_step(7040.0)};
    const double kMix[2][kTones] = {{0.30, 0.20, 0.15, 0.10, 0.04}, {0.15, 0.25, 0.20, 0.05, 0.08}};
    uint32_t phase_[kTones] = {};
    uint64_t frame_ = 0;
    Lcg noise_[2] = {Lcg(12345u), Lcg(67890u)};
};

// ---------------------------------------------------------------- the script

struct Stats {
    uint64_t buffers = 0;
    uint64_t changed = 0;  // buffers the library altered
    uint64_t frames = 0;
    uint64_t accepted = 0;
    uint64_t refused = 0;
};

class Session {
public:
    Session(const Api& api, Recording& out) : api_(api), out_(out) {}

    const Stats& stats() const { return stats_; }

    void run() {
        out_.step("begin, main window, title");
        api_.begin(0x00336699u);
        api_.set_mainwnd(nullptr);
        api_.set_title("host session");
        readouts();

        init(44100, 2, 0);
        out_.step("44100/2, every stage off");
        buffers(6);
        scripted_44100();
        random_phases(24);

        init(48000, 2, 0);
        random_phases(10);
        refresh();
        random_phases(4);

        init(22050, 1, 0);
        random_phases(10);

        init(11025, 2, 0);
        random_phases(8);
        refresh();
        random_phases(2);

        // Unsupported rate: reverb and compressor run, the equaliser must not.
        init(32000, 2, 0);
        setiir(1);
        param("eq.bands", 15);
        random_phases(8);
        refresh();
        buffers(3);

        init(44100, 2, 0);
        display();
        odd_buffers();
        random_phases(6);

        out_.step("close, then more buffers (the equaliser still runs)");
        setiir(1);
        param("eq.band.3", 9);
        api_.close();
        readouts();
        buffers(8);
        param("reverb.on", 1);
        buffers(4);

        out_.step("begin again");
        api_.begin(0x00102030u);
        api_.set_mainwnd(nullptr);
        readouts();
        dump_params();
        buffers(4);
        init(44100, 2, 0);
        random_phases(6);
        api_.close();
        readouts();
    }

private:
    void readouts() {
        out_.i32(api_.get_sample());
        out_.i32(api_.get_ch());
        out_.i32(api_.get_dispstatus());
    }

    void init(int32_t rate, int32_t channels, int32_t show) {
        out_.step("init %d/%d show %d", rate, channels, show);
        api_.init(rate, channels, show);
        channels_ = channels;
        readouts();
        dump_params();
    }

    void setiir(uint8_t on) {
        out_.step("setiir %u", on);
        api_.setiir(on);
        out_.i32(on);
    }

    void refresh() {
        out_.step("datarefresh");
        api_.datarefresh();
    }

    void param(const char* name, double value) {
        const int32_t rc = api_.param_set(name, value);
        ++(rc == AUDIOMIX_PARAM_OK ? stats_.accepted : stats_.refused);
        out_.text(name);
        out_.f64(value);
        out_.i32(rc);
    }

    // Every parameter the library lists, with its value, plus the
    // truncating form of the name query.
    void dump_params() {
        out_.step("parameters");
        for (int32_t i = 0; i < 256; ++i) {
            char name[64];
            const int32_t length = api_.param_name(i, name, sizeof name);
            out_.i32(length);
            if (length == AUDIOMIX_PARAM_UNKNOWN) break;
            out_.text(name);
            double value = -12345.0;
            out_.i32(api_.param_get(name, &value));
            out_.f64(value);
            char cut[5];
            std::memset(cut, 'x', sizeof cut);
            out_.i32(api_.param_name(i, cut, sizeof cut));
            out_.bytes(cut, sizeof cut);
        }
    }

    // One buffer of the given length, processed and recorded.
    void buffer(int32_t frames, uint8_t draw = 0) {
        block_.assign(static_cast<size_t>(frames) * channels_, 0);
        music_.fill(block_.data(), frames, channels_);
        const int32_t bytes = frames * channels_ * 2;
        input_ = block_;
        out_.i32(api_.change(block_.data(), bytes, draw));
        out_.samples(block_.data(), block_.size());
        ++stats_.buffers;
        stats_.frames += static_cast<uint64_t>(frames);
        if (block_ != input_) ++stats_.changed;
        pump_messages();
    }

    // Lengths over 1 ... 4100 frames, the boundaries more often than chance.
    void buffers(int count, uint8_t draw = 0) {
        static const int32_t kEdges[] = {1, 2, 3, 64, 4099, 4100, 4101, 8200, 9000};
        for (int i = 0; i < count; ++i) {
            const uint32_t pick = sizes_.below(8);
            int32_t frames;
            if (pick == 0) {
                frames = kEdges[sizes_.below(sizeof kEdges / sizeof kEdges[0])];
            } else {
                frames = 1 + static_cast<int32_t>(sizes_.below(4100));
            }
            buffer(frames, draw);
        }
    }

    // Fixed moments at 44100 Hz: each stage alone, both orders, every layout.
    void scripted_44100() {
        out_.step("equaliser alone, 10 bands");
        param("eq.on", 1);
        for (int b = 0; b < 10; ++b) param(band(b), (b % 2 == 0 ? 1 : -1) * 2.5 * b);
        buffers(6);
        param("eq.pregain", -6);
        buffers(4);

        for (const int32_t layout : {15, 25, 31, 10}) {
            out_.step("equaliser with %d bands", layout);
            param("eq.bands", layout);
            for (int b = 0; b < layout; ++b) param(band(b), static_cast<double>((b * 7) % 41 - 20) / 2.0);
            buffers(4);
        }

        out_.step("equaliser second pass");
        param("eq.second_pass", 1);
        buffers(4);
        param("eq.second_pass", 0);

        out_.step("reverb alone");
        param("eq.on", 0);
        param("reverb.on", 1);
        buffers(6);
        param("reverb.taps", 100);
        param("reverb.decay_m", 700);
        param("reverb.wet_db", -2);
        param("reverb.comb_db", -3);
        buffers(6);

        out_.step("compressor alone");
        param("reverb.on", 0);
        param("comp.on", 1);
        param("comp.threshold_db", -40);
        param("comp.ratio", 10);
        buffers(6);

        out_.step("all stages, equaliser first then reverb first");
        param("eq.on", 1);
        param("reverb.on", 1);
        buffers(5);
        buffer(9000);  // runs as 4100 + 4100 + 800
        param("order.reverb_first", 1);
        buffers(5);
        refresh();
        buffers(3);

        out_.step("values out of range and unknown names");
        param("comp.ratio", 11);
        param("reverb.taps", 0);
        param("eq.band.3", 20.5);
        param("eq.pregain", -18.5);
        param("eq.band.10", 1);
        param("eq.band.03", 1);
        param("eq.bands", 12);
        param("eq.on", 2);
        param("reverb.taps", 2.5);
        param("no.such.parameter", 0);
        dump_params();
        buffers(3);
    }

    // Phases of a few buffers, each after a random handful of settings.
    void random_phases(int count) {
        for (int p = 0; p < count; ++p) {
            out_.step("random phase %d", p);
            const int changes = 1 + static_cast<int>(choices_.below(6));
            for (int c = 0; c < changes; ++c) random_setting();
            if (choices_.below(6) == 0) setiir(static_cast<uint8_t>(choices_.below(3)));
            if (choices_.below(8) == 0) refresh();
            buffers(2 + static_cast<int>(choices_.below(5)));
        }
        dump_params();
    }

    void random_setting() {
        Lcg& r = choices_;
        switch (r.below(14)) {
        case 0: param("eq.on", r.below(2)); break;
        case 1: param("reverb.on", r.below(2)); break;
        case 2: param("comp.on", r.below(2)); break;
        case 3: param("order.reverb_first", r.below(2)); break;
        case 4: {
            static const int32_t kLayouts[] = {10, 15, 25, 31};
            param("eq.bands", kLayouts[r.below(4)]);
            break;
        }
        case 5:
        case 6: {
            // Quarter-dB steps over the whole range; bands beyond the layout are refused.
            for (int b = 0; b < 31; ++b)
                if (r.below(3) == 0) param(band(b), static_cast<double>(static_cast<int32_t>(r.below(161)) - 80) / 4.0);
            break;
        }
        case 7: param("eq.pregain", static_cast<double>(static_cast<int32_t>(r.below(73)) - 36) / 2.0); break;
        case 8: param("eq.second_pass", r.below(2)); break;
        case 9:
            param("comp.threshold_db", -1.0 - r.below(59));
            param("comp.ratio", r.below(11));
            break;
        case 10:
            param("comp.attack_ms", 1 + r.below(1000));
            param("comp.release_ms", 1 + r.below(1000));
            break;
        case 11:
            param("reverb.taps", 1 + r.below(100));
            param("reverb.base_m", r.below(101));
            break;
        case 12:
            param("reverb.decay_m", 1 + r.below(1000));
            param("reverb.comb_m", 1 + r.below(1000));
            break;
        default:
            param("reverb.wet_db", -2.0 - r.below(99));
            param("reverb.comb_db", -1.0 - r.below(80));
            break;
        }
    }

    // The level display drawn while the window is shown; audio must not change.
    void display() {
        out_.step("display shown, drawn, hidden with 2");
        api_.setdisp(1);
        readouts();
        param("eq.on", 1);
        param("comp.on", 1);
        buffers(4, 1);
        api_.setdisp(2);
        readouts();
        buffers(2, 1);
        api_.setdisp(0);
        readouts();
    }

    // Lengths that are not whole frames, none, negative, no buffer at all.
    void odd_buffers() {
        out_.step("odd lengths and bad arguments");
        block_.assign(2 * 777 + 2, 0x1234);
        music_.fill(block_.data(), 777, 2);
        out_.i32(api_.change(block_.data(), 2 * 777 * 2 + 3, 0));  // 777 frames and 3 spare bytes
        out_.samples(block_.data(), block_.size());
        out_.i32(api_.change(block_.data(), 0, 0));
        out_.i32(api_.change(block_.data(), -4, 0));
        out_.i32(api_.change(nullptr, 400, 0));
        out_.samples(block_.data(), block_.size());
    }

    const char* band(int b) {
        std::snprintf(band_name_, sizeof band_name_, "eq.band.%d", b);
        return band_name_;
    }

    const Api& api_;
    Recording& out_;
    int32_t channels_ = 2;
    Music music_;
    Lcg sizes_{20240601u};
    Lcg choices_{777u};
    std::vector<int16_t> block_;
    std::vector<int16_t> input_;
    char band_name_[24] = {};
    Stats stats_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: host_session OUTPUT\n");
        return 2;
    }
    Api api;
    if (!load_api(api)) return 1;
    Recording out;
    if (!out.open(argv[1])) {
        std::fprintf(stderr, "host_session: cannot write %s\n", argv[1]);
        return 1;
    }
    Session session(api, out);
    session.run();
    if (!out.close()) {
        std::fprintf(stderr, "host_session: writing %s failed\n", argv[1]);
        return 1;
    }
    const Stats& s = session.stats();
    std::printf("host_session: %llu buffers (%llu frames), %llu changed by the library; %llu settings applied, %llu refused\n",
                static_cast<unsigned long long>(s.buffers), static_cast<unsigned long long>(s.frames),
                static_cast<unsigned long long>(s.changed), static_cast<unsigned long long>(s.accepted),
                static_cast<unsigned long long>(s.refused));
    // Identical recordings prove nothing if the library never touched the
    // audio or refused every setting.
    if (s.changed == 0 || s.accepted == 0) {
        std::fprintf(stderr, "host_session: the session did not exercise the library\n");
        return 3;
    }
    return 0;
}
