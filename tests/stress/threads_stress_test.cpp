// Many threads on the library at once, as hosts use it: per engine one audio
// thread with buffers of 1 ... 9000 frames, and control threads that change
// the format, every parameter, presets, defaults and resets meanwhile. Run
// under ThreadSanitizer and under AddressSanitizer + UBSan, where any race or
// memory fault is a report; in the plain build the audio threads also prove
// that they never allocate or lock.
//
// AUDIOMIX_STRESS_SECONDS (default 4) sets how long each case runs.
#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <new>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "audiomix.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define AUDIOMIX_STRESS_SANITIZED 1
#else
#define AUDIOMIX_STRESS_SANITIZED 0
#endif

namespace {

// Set while a thread is inside an audio-side call of the library.
thread_local bool t_in_audio_call = false;
std::atomic<long> g_audio_allocations{0};
std::atomic<long> g_audio_locks{0};

}  // namespace

#if !AUDIOMIX_STRESS_SANITIZED
// The plain build watches the audio side: every allocation through operator
// new and every mutex lock (std::mutex and std::recursive_mutex lock through
// pthread_mutex_lock) made inside an audio call is counted.
// Our own pairs: the compiler cannot see that they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    if (t_in_audio_call) g_audio_allocations.fetch_add(1);
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    using Lock = int (*)(pthread_mutex_t*);
    static const Lock next = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (t_in_audio_call) g_audio_locks.fetch_add(1);
    return next(mutex);
}
#endif

namespace {

using Clock = std::chrono::steady_clock;

double stress_seconds() {
    const char* text = std::getenv("AUDIOMIX_STRESS_SECONDS");
    return text != nullptr && std::atof(text) > 0 ? std::atof(text) : 4.0;
}

struct AudioScope {
    AudioScope() { t_in_audio_call = true; }
    ~AudioScope() { t_in_audio_call = false; }
};

constexpr int32_t kMaxBufferFrames = 9000;

// A random parameter of those the library lists, or a band beyond any
// layout, and a value in range or not.
void random_parameter(std::mt19937& rng, char* name, int32_t size, double& value) {
    if (audiomix_param_name(static_cast<int32_t>(rng() % 56), name, size) == AUDIOMIX_PARAM_UNKNOWN)
        std::snprintf(name, static_cast<size_t>(size), "eq.band.31");
    static const double kBandCounts[] = {10, 15, 25, 31, 20};
    value = static_cast<double>(static_cast<int32_t>(rng() % 2200) - 1100) / 10.0;
    if (std::strcmp(name, "eq.bands") == 0) value = kBandCounts[rng() % 5];
    if (std::strstr(name, ".on") != nullptr || rng() % 4 == 0) value = rng() % 2;
}

// After the storm: a known format and every stage on, at levels whose tails
// die within the silence, must give silence back from silence, within the dither.
int32_t residue_after_silence(audiomix_engine* engine, int32_t channels) {
    const std::pair<const char*, double> known[] = {
        {"eq.bands", 10}, {"reverb.comb_db", -10}, {"eq.on", 1}, {"reverb.on", 1}, {"comp.on", 1}};
    for (const auto& [name, value] : known) {
        if (engine != nullptr)
            audiomix_engine_param_set(engine, name, value);
        else
            audiomix_param_set(name, value);
    }
    std::vector<int16_t> silence(4096 * channels);
    int32_t peak = 0;
    for (int i = 0; i < 200; ++i) {
        std::fill(silence.begin(), silence.end(), 0);
        if (engine != nullptr)
            audiomix_engine_process(engine, silence.data(), 4096);
        else
            audiomix_change(silence.data(), 4096 * channels * 2, 1);
        if (i < 190) continue;
        for (int16_t v : silence) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    }
    return peak;
}

#if !AUDIOMIX_STRESS_SANITIZED
TEST(ThreadStress, TheAudioSideProbesSeeLocksAndAllocations) {
    g_audio_allocations = g_audio_locks = 0;
    {
        AudioScope scope;
        double value = 0;
        audiomix_param_get("eq.on", &value);    // a control call: takes the engine's lock
        ::operator delete(::operator new(16));  // a call, not an expression the compiler may drop
    }
    EXPECT_GT(g_audio_locks.load(), 0);
    EXPECT_GT(g_audio_allocations.load(), 0);
}
#endif

// The default engine (its format changing under foot) and engines of a host's
// own, each with its audio thread, while control threads change everything.
TEST(ThreadStress, AudioThreadsRunWhileControlThreadsChangeEverything) {
    g_audio_allocations = g_audio_locks = 0;
    audiomix_begin(0);
    audiomix_init(44100, 2, 1);
    struct Stream {
        int32_t rate, channels;
        audiomix_engine* engine;  // null: the default engine
    };
    std::vector<Stream> streams = {{44100, 2, nullptr}, {44100, 2, nullptr}, {48000, 1, nullptr}, {22050, 2, nullptr}};
    for (size_t i = 1; i < streams.size(); ++i) {
        streams[i].engine = audiomix_engine_create(streams[i].rate, streams[i].channels);
        ASSERT_NE(streams[i].engine, nullptr);
    }
    const auto end = Clock::now() + std::chrono::duration<double>(stress_seconds());
    std::atomic<bool> stop{false};
    std::vector<std::thread> audio;
    for (size_t i = 0; i < streams.size(); ++i) {
        audio.emplace_back([&, i] {
            const Stream s = streams[i];
            std::mt19937 rng(10 + static_cast<uint32_t>(i));
            std::vector<int16_t> samples(kMaxBufferFrames * 2);
            std::vector<float> planar[2] = {std::vector<float>(kMaxBufferFrames), std::vector<float>(kMaxBufferFrames)};
            const float* in[2] = {planar[0].data(), planar[1].data()};
            float* out[2] = {planar[0].data(), planar[1].data()};
            for (uint32_t n = 0, phase = 0; !stop.load(); ++n) {
                // A noisy tone in buffers of random length, short half the time, now and then none.
                const uint32_t r = rng() % 100;
                const int32_t frames = r == 0 ? 0 : 1 + static_cast<int32_t>(rng() % (r < 50 ? 64 : kMaxBufferFrames));
                for (int32_t k = 0; k < frames * s.channels; ++k)
                    samples[k] = static_cast<int16_t>((phase += 977) % 40000 - 20000);
                AudioScope scope;
                if (s.engine == nullptr) {
                    // Bytes as if stereo: at a mono format this is a buffer twice as long.
                    audiomix_change(samples.data(), frames * 4, static_cast<uint8_t>(n % 2));
                } else if (n % 2 == 0) {
                    audiomix_engine_process(s.engine, samples.data(), frames);
                } else {
                    audiomix_engine_process_float(s.engine, in, out, frames);
                }
            }
        });
    }
    std::vector<std::thread> control;
    control.emplace_back([&] {
        std::mt19937 rng(3);
        const int32_t rates[] = {8000, 11025, 22050, 32000, 44100, 48000, 96000, 0, -5};
        const int32_t channels[] = {1, 2, 2, 1, 3, 0};
        while (Clock::now() < end) {
            audiomix_init(rates[rng() % 9], channels[rng() % 6], static_cast<int32_t>(rng() % 2));
            audiomix_setiir(static_cast<uint8_t>(rng() % 2));
            if (rng() % 4 == 0) audiomix_datarefresh();
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
        }
    });
    for (uint32_t c = 0; c < 2; ++c) {
        control.emplace_back([&, c] {
            std::mt19937 rng(100 + c);
            char name[32], preset[64];
            double value = 0;
            while (Clock::now() < end) {
                audiomix_engine* e = streams[rng() % streams.size()].engine;
                random_parameter(rng, name, sizeof name, value);
                if (e == nullptr) {
                    audiomix_param_set(name, value);
                    audiomix_param_get(name, &value);
                    if (rng() % 16 == 0) audiomix_preset_apply(static_cast<int32_t>(rng() % 12));
                    continue;
                }
                audiomix_engine_param_set(e, name, value);
                audiomix_engine_param_get(e, name, &value);
                if (rng() % 16 == 0) audiomix_engine_preset_apply(e, static_cast<int32_t>(rng() % 12));
                if (rng() % 32 == 0) audiomix_engine_reset(e);
                if (rng() % 32 == 0) audiomix_engine_preset_name(e, 0, preset, sizeof preset);
            }
        });
    }
    for (std::thread& t : control) t.join();
    stop = true;
    for (std::thread& t : audio) t.join();

    audiomix_init(44100, 2, 0);
    for (const Stream& s : streams) {
        EXPECT_LE(residue_after_silence(s.engine, s.channels), 8) << s.rate;
        audiomix_engine_destroy(s.engine);
    }
    audiomix_close();
#if !AUDIOMIX_STRESS_SANITIZED
    EXPECT_EQ(g_audio_allocations.load(), 0) << "the audio side allocated";
    EXPECT_EQ(g_audio_locks.load(), 0) << "the audio side locked a mutex";
#endif
}

}  // namespace
