// The default engine with its real window under threads, as a player uses
// it: the window thread pumps messages and retitles and shows the window, an
// audio thread processes buffers of 1 ... 9000 frames and draws the level
// display, a control thread changes the format, every parameter and presets
// meanwhile. Nothing may crash, hang or leave the engine unusable.
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "window_harness.h"

namespace window_test {
namespace {

struct ParamExports {
    int32_t(__cdecl* param_set)(const char*, double);
    int32_t(__cdecl* preset_apply)(int32_t);
};

const ParamExports& params() {
    static const ParamExports exports = [] {
        ParamExports e{};
        bind(dll_module(), e.param_set, "audiomix_param_set");
        bind(dll_module(), e.preset_apply, "audiomix_preset_apply");
        return e;
    }();
    return exports;
}

// The largest sample magnitude of silence run through every stage, once the
// tails have died away.
int32_t residue_after_silence() {
    std::vector<int16_t> silence(4096 * 2);
    int32_t peak = 0;
    for (int i = 0; i < 200; ++i) {
        std::fill(silence.begin(), silence.end(), 0);
        dll().change(silence.data(), static_cast<int32_t>(silence.size() * 2), 1);
        if (i < 190) continue;
        for (int16_t v : silence) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    }
    return peak;
}

TEST(WindowThreadStress, AudioAndControlThreadsBesideTheWindowThread) {
    ASSERT_NE(dll_module(), nullptr) << "audiomix.dll not found beside the test";
    ASSERT_NE(params().param_set, nullptr);
    dll().begin(0);
    dll().set_mainwnd(nullptr);
    dll().init(44100, 2, 1);
    HWND window = find_control_window();
    ASSERT_NE(window, nullptr);

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::mt19937 rng(1);
        std::vector<int16_t> buffer(9000 * 2);
        uint32_t phase = 0;
        while (!stop.load()) {
            const int32_t frames = rng() % 2 ? 1 + static_cast<int32_t>(rng() % 64)
                                             : 1 + static_cast<int32_t>(rng() % 9000);
            for (int32_t i = 0; i < frames * 2; ++i)
                buffer[static_cast<size_t>(i)] = static_cast<int16_t>((phase += 977) % 40000 - 20000);
            dll().change(buffer.data(), frames * 4, 1);
        }
    });
    std::thread control([&] {
        std::mt19937 rng(2);
        static const char* const kNames[] = {"eq.on", "reverb.on", "comp.on", "reverb.taps", "reverb.comb_m",
                                             "comp.threshold_db", "eq.bands", "eq.band.3", "eq.pregain",
                                             "eq.second_pass", "order.reverb_first"};
        const int32_t rates[] = {11025, 22050, 44100, 48000, 32000, 0};
        while (!stop.load()) {
            const uint32_t pick = rng() % 16;
            if (pick == 0) {
                dll().init(rates[rng() % 6], 1 + static_cast<int32_t>(rng() % 2), static_cast<int32_t>(rng() % 2));
            } else if (pick == 1) {
                dll().datarefresh();
            } else if (pick == 2) {
                params().preset_apply(static_cast<int32_t>(rng() % 12));
            } else if (pick == 3) {
                dll().set_title(rng() % 2 ? "stress" : "\xD2\xF4\xD0\xA7");  // GBK text too
            } else {
                const char* name = kNames[rng() % (sizeof kNames / sizeof kNames[0])];
                params().param_set(name, std::string(name) == "eq.bands" ? (rng() % 2 ? 31 : 10)
                                                                         : static_cast<double>(rng() % 60) - 20);
            }
            Sleep(rng() % 3);
        }
    });

    // The window thread: dispatching, and its own calls now and then.
    const DWORD start = GetTickCount();
    std::mt19937 rng(3);
    while (GetTickCount() - start < 4000) {
        pump(20);
        if (rng() % 4 == 0) dll().setdisp(static_cast<uint8_t>(rng() % 2));
    }
    stop = true;
    audio.join();
    control.join();
    pump(50);

    EXPECT_TRUE(IsWindow(window));
    dll().init(44100, 2, 1);
    for (const char* p : {"eq.on", "reverb.on", "comp.on", "eq.second_pass"}) params().param_set(p, 1);
    EXPECT_LE(residue_after_silence(), 8);
    EXPECT_EQ(dll().get_sample(), 44100);
    dll().close();
    EXPECT_TRUE(pump_until([&] { return !IsWindow(window); }));
}

}  // namespace
}  // namespace window_test
