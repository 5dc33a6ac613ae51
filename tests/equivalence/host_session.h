// A random host session that drives audiomix only through the exports of
// audiomix.h (the default engine with its window, presets and engines of its
// own) and records everything that comes back: every processed sample, every
// return value, the parameters read back. Its decisions come from a seeded
// generator (host_session) or from a fuzzer's bytes (exports_fuzz).
#ifndef AUDIOMIX_TESTS_HOST_SESSION_H
#define AUDIOMIX_TESTS_HOST_SESSION_H

#include "audiomix.h"
#include "export_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

struct Api {
#define AUDIOMIX_MEMBER(ordinal, name) decltype(&audiomix_##name) name = nullptr;
    AUDIOMIX_EXPORTS(AUDIOMIX_MEMBER)
#undef AUDIOMIX_MEMBER
};

#ifdef _WIN32
// The DLL beside this executable, by full path (no search order involved),
// bound by ordinal. A missing ordinal fails in the export tests.
inline bool load_api(Api& api) {
    wchar_t path[MAX_PATH];
    const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    const HMODULE module = LoadLibraryW((exe.substr(0, exe.find_last_of(L'\\') + 1) + L"audiomix.dll").c_str());
    // Through void (*)(void), the one function pointer type every other
    // converts to without a cast-function-type warning.
#define AUDIOMIX_BIND(ordinal, name)                 \
    api.name = reinterpret_cast<decltype(api.name)>( \
        reinterpret_cast<void (*)(void)>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
    AUDIOMIX_EXPORTS(AUDIOMIX_BIND)
#undef AUDIOMIX_BIND
    return module != nullptr;
}

// A host keeps its message loop running between buffers.
inline void pump_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
#else
inline bool load_api(Api& api) {
#define AUDIOMIX_BIND(ordinal, name) api.name = &audiomix_##name;
    AUDIOMIX_EXPORTS(AUDIOMIX_BIND)
#undef AUDIOMIX_BIND
    return true;
}

inline void pump_messages() {}
#endif

// Values appended to OUTPUT as they lie in memory (little-endian on every target).
class Recording {
public:
    bool open(const char* path) { return (file_ = std::fopen(path, "wb")) != nullptr; }
    bool close() {
        const bool ok = !std::ferror(file_);
        return std::fclose(file_) == 0 && ok;
    }
    void bytes(const void* p, size_t n) {
        if (file_ != nullptr) std::fwrite(p, 1, n, file_);  // none: not recorded
    }
    void put(int32_t v) { bytes(&v, sizeof v); }
    void put(double v) { bytes(&v, sizeof v); }
    template <typename T>
    void put(const std::vector<T>& v) {
        bytes(v.data(), v.size() * sizeof(T));
    }
    void text(const char* s) {
        put(static_cast<int32_t>(std::strlen(s)));
        bytes(s, std::strlen(s));
    }

private:
    std::FILE* file_ = nullptr;
};

// Each parameter with the values drawn for it: first + k * step for k below count.
struct Draw {
    const char* name;
    double first, step;
    uint32_t count;
};
// One row of draws per line.
// clang-format off
inline const Draw kDraws[] = {
    {"eq.on", 0, 1, 2},              {"reverb.on", 0, 1, 2},             {"comp.on", 0, 1, 2},
    {"order.reverb_first", 0, 1, 2}, {"comp.threshold_db", -59, 1, 59},  {"comp.ratio", 0, 1, 11},
    {"comp.attack_ms", 1, 1, 1000},  {"comp.release_ms", 1, 1, 1000},    {"reverb.comb_db", -80, 1, 80},
    {"reverb.taps", 1, 1, 100},      {"reverb.wet_db", -100, 1, 99},     {"reverb.decay_m", 1, 1, 1000},
    {"reverb.comb_m", 1, 1, 1000},   {"reverb.base_m", 0, 1, 101},       {"eq.bands", 10, 5, 5},
    {"eq.pregain", -18, 0.25, 145},  {"eq.second_pass", 0, 1, 2},        {"eq.band.%u", -20, 0.25, 161}};
// clang-format on
// Names no parameter has, and values no range holds or that are not whole.
inline const char* const kBadNames[] = {"eq.band.03", "eq.band.31", "eq.band.-1", "no.such.parameter", "EQ.ON", ""};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInfinity = std::numeric_limits<double>::infinity();
inline const double kOddValues[] = {-1e9, -100.5, -18.5, -0.25, 0.5, 2, 2.5, 11, 20.5, 1001, 1e9, kNaN, kInfinity};

class Session {
public:
    // Decisions from the fuzzer's bytes when given (the session ends with
    // them), else from our own seeded generator.
    Session(const Api& api, Recording& out, const uint8_t* data = nullptr, size_t size = 0)
        : api_(api), out_(out), data_(data), size_(size) {}

    uint64_t changed = 0;  // buffers the library altered
    uint64_t broken = 0;   // results against the documented ones

    void run(int steps) {
        api_.begin(0x00336699u);
        api_.set_mainwnd(nullptr);
        api_.set_title("host session");
        readouts();
        init();
        for (int s = 0; s < steps && (data_ == nullptr || pos_ < size_); ++s) {
            switch (below(20)) {
                case 0: init(); break;
                case 1: api_.setiir(static_cast<uint8_t>(below(3))); break;
                case 2: api_.datarefresh(); break;
                case 3:
                    api_.setdisp(static_cast<uint8_t>(below(3)));
                    readouts();
                    break;
                case 4: engines(); break;
                case 5: dump_params(nullptr); break;
                case 6: presets(nullptr); break;
                case 7:
                    // Closed, the equaliser still runs; begun again, the window is back.
                    if (below(2) == 0) {
                        api_.close();
                    } else {
                        api_.begin(below(0x1000000));
                        api_.set_mainwnd(nullptr);
                        // Any bytes as the caption, up to past the 511 kept.
                        std::string title(below(700), ' ');
                        for (char& c : title) c = static_cast<char>(1 + below(255));
                        api_.set_title(title.c_str());
                    }
                    readouts();
                    break;
                case 8:
                case 9:
                case 10:
                    for (uint32_t n = 1 + below(4); n > 0; --n) setting(nullptr);
                    break;
                default: buffers(1 + static_cast<int>(below(4))); break;
            }
        }
        for (Engine& e : engines_) api_.engine_destroy(e.engine);
        api_.close();
        readouts();
    }

private:
    struct Engine {
        audiomix_engine* engine;
        int32_t channels;
    };

    void readouts() {
        out_.put(api_.get_sample());
        out_.put(api_.get_ch());
        out_.put(api_.get_dispstatus());
    }

    // Rates with and without equaliser tables.
    void init() {
        static const int32_t kRates[] = {44100, 44100, 48000, 22050, 11025, 32000, 8000, 96000};
        channels_ = 1 + static_cast<int32_t>(below(4) != 0);
        api_.init(pick(kRates), channels_, 0);
        readouts();
        dump_params(nullptr);
        stages(nullptr);
    }

    // A random parameter and value: mostly in range (refused where not
    // whole, as some pre-gains and band counts), now and then an unknown name
    // or a value no range holds; the bands of every layout, shown or not.
    void setting(audiomix_engine* e) {
        const size_t count = sizeof kDraws / sizeof kDraws[0];
        const Draw& d = kDraws[std::min<size_t>(below(count + 8), count - 1)];  // bands nine times as often
        char name[24];
        std::snprintf(name, sizeof name, d.name, below(31));
        const double value = below(10) == 0 ? pick(kOddValues) : d.first + d.step * below(d.count);
        param(e, below(20) == 0 ? pick(kBadNames) : name, value);
    }

    void param(audiomix_engine* e, const char* name, double value) {
        const int32_t rc = e != nullptr ? api_.engine_param_set(e, name, value) : api_.param_set(name, value);
        out_.text(name);
        out_.put(value);
        out_.put(rc);
    }

    // Most stages on, as a fresh format starts with all of them off.
    void stages(audiomix_engine* e) {
        for (const char* stage : {"eq.on", "reverb.on", "comp.on"}) param(e, stage, below(4) != 0);
    }

    // Every parameter listed, with its value, and the truncating name query.
    void dump_params(audiomix_engine* e) {
        const auto name = [&](int32_t i, char* buffer, int32_t size) {
            return e != nullptr ? api_.engine_param_name(e, i, buffer, size) : api_.param_name(i, buffer, size);
        };
        for (int32_t i = 0; i < 256; ++i) {
            char full[64], cut[5];
            const int32_t length = name(i, full, sizeof full);
            out_.put(length);
            if (length == AUDIOMIX_PARAM_UNKNOWN) break;
            out_.text(full);
            double value = -12345.0;
            out_.put(e != nullptr ? api_.engine_param_get(e, full, &value) : api_.param_get(full, &value));
            out_.put(value);
            std::memset(cut, 'x', sizeof cut);
            out_.put(name(i, cut, sizeof cut));
            out_.bytes(cut, sizeof cut);
        }
    }

    // The list, names cut to any size, and one preset applied (or refused).
    void presets(audiomix_engine* e) {
        const int32_t count = e != nullptr ? api_.engine_preset_count(e) : api_.preset_count();
        out_.put(count);
        for (int32_t i = -1; i <= count; ++i) {
            char name[64];
            std::memset(name, 'x', sizeof name);
            const int32_t size = static_cast<int32_t>(below(sizeof name + 2)) - 1;
            out_.put(e != nullptr ? api_.engine_preset_name(e, i, name, size) : api_.preset_name(i, name, size));
            out_.bytes(name, sizeof name);
        }
        const int32_t index = static_cast<int32_t>(below(static_cast<uint32_t>(count) + 2)) - 1;
        out_.put(e != nullptr ? api_.engine_preset_apply(e, index) : api_.preset_apply(index));
    }

    // Lengths over 1 ... 4100 frames, the boundaries more often than chance,
    // now and then spare bytes after the whole frames, no length, a negative
    // one or no buffer at all; the level display drawn now and then.
    void buffers(int count) {
        static const int32_t kEdges[] = {1, 2, 3, 64, 4099, 4100, 4101, 8200, 9000};
        for (int i = 0; i < count; ++i) {
            const int32_t frames = below(8) == 0 ? pick(kEdges) : 1 + static_cast<int32_t>(below(4100));
            block_.assign(static_cast<size_t>(frames) * channels_ + 2, 0x1234);
            fill(block_.data(), static_cast<size_t>(frames) * channels_);
            const std::vector<int16_t> input = block_;
            const int32_t odd = static_cast<int32_t>(below(40)), whole = frames * channels_ * 2;
            const int32_t bytes = odd == 0 ? 0 : odd == 1 ? -whole : odd == 2 ? whole + 3 : whole;
            const uint8_t draw = below(3) == 0;
            const int32_t done = api_.change(odd == 3 ? nullptr : block_.data(), bytes, draw);
            out_.put(done);
            broken += done != bytes;
            out_.put(block_);
            changed += block_ != input;
            pump_messages();
        }
    }

    // Engines of our own: created (channels 0 and 3 and rate 0 are refused),
    // set, run on 16-bit or float buffers, reset, destroyed.
    void engines() {
        static const int32_t kRates[] = {44100, 48000, 22050, 32000, 0, -44100};
        const uint32_t what = below(8);
        if (engines_.empty() || what == 0) {
            const int32_t channels = static_cast<int32_t>(below(4));
            const int32_t rate = pick(kRates);
            audiomix_engine* e = api_.engine_create(rate, channels);
            out_.put(e != nullptr);
            broken += (e != nullptr) != (rate > 0 && channels >= 1 && channels <= 2);
            if (e == nullptr) return;
            engines_.push_back({e, channels});
            dump_params(e);
            stages(e);
            return;
        }
        if (what == 1) {
            api_.engine_destroy(engines_.back().engine);
            engines_.pop_back();
            return;
        }
        const Engine e = engines_[below(static_cast<uint32_t>(engines_.size()))];
        if (what == 2) api_.engine_reset(e.engine);
        if (what == 3) presets(e.engine);
        for (uint32_t n = below(4); n > 0; --n) setting(e.engine);
        const int32_t frames = 1 + static_cast<int32_t>(below(6000));
        std::vector<int16_t> samples(static_cast<size_t>(frames) * e.channels);
        fill(samples.data(), samples.size());
        if (below(2) == 0) {
            const int32_t done = api_.engine_process(e.engine, samples.data(), frames);
            out_.put(done);
            broken += done != frames;
            out_.put(samples);
            return;
        }
        std::vector<float> planar[2] = {std::vector<float>(frames), std::vector<float>(frames)};
        for (size_t i = 0; i < samples.size(); ++i) planar[i % e.channels][i / e.channels] = samples[i] / 32768.0f;
        const float* in[2] = {planar[0].data(), planar[1].data()};
        float* out[2] = {planar[0].data(), planar[1].data()};
        if (below(4) == 0) planar[0][below(static_cast<uint32_t>(frames))] = static_cast<float>(pick(kOddValues));
        out_.put(api_.engine_process_float(e.engine, below(16) == 0 ? nullptr : in, out, frames));
        out_.put(planar[0]);
        out_.put(planar[1]);
    }

    // Input from integer arithmetic only (the runtimes' sin may round
    // differently): two triangle tones and noise, now and then a full-scale
    // click; a buffer in sixteen is digital silence, one clipped throughout.
    void fill(int16_t* out, size_t count) {
        const uint32_t kind = below(16);
        for (size_t i = 0; i < count; ++i, ++t_) {
            int64_t x = triangle(t_ * 10713078u) + triangle(t_ * 120229822u) / 3 + next(noise_) % 3277 - 1638;
            x = kind == 0 ? 0 : kind == 1 ? 4 * x : x / 2;
            out[i] = static_cast<int16_t>(std::clamp<int64_t>(x, -32768, 32767));
        }
        if (count > 0 && kind == 2) out[below(static_cast<uint32_t>(count))] = -32768;
    }

    // Our own generator: the C library's rand differs between the two builds.
    static uint32_t next(uint32_t& state) { return (state = state * 1664525u + 1013904223u) >> 8; }
    uint32_t below(uint32_t n) {
        if (data_ == nullptr) return next(state_) % n;
        uint32_t v = 0;
        for (uint32_t range = 1; range < n && pos_ < size_; range <<= 8) v = v << 8 | data_[pos_++];
        return v % n;
    }
    template <typename T, size_t N>
    T pick(const T (&choices)[N]) {
        return choices[below(N)];
    }

    // -16384 ... 16384 over one turn of phase.
    static int64_t triangle(uint32_t phase) { return std::abs(static_cast<int64_t>(phase >> 16) - 32768) - 16384; }

    const Api& api_;
    Recording& out_;
    const uint8_t* data_;
    size_t size_, pos_ = 0;
    uint32_t state_ = 20240601u, noise_ = 12345u;
    uint32_t t_ = 0;  // the input's running sample count
    int32_t channels_ = 2;
    std::vector<int16_t> block_;
    std::vector<Engine> engines_;
};

#endif
