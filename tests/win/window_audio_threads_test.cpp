// The host's audio thread beside the window thread. The level display:
// audiomix_change draws it into the status label; what it draws is proven
// natively, here that the screen changes with the audio, only when asked and
// shown. The stress: an audio thread processes buffers of 1 ... 9000 frames
// and draws, a control thread changes the format, every parameter and
// presets, the window thread pumps, shows and hides; and the window is
// destroyed and made again under the drawing. Nothing may crash, hang or
// leave the window unusable.
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "window_harness.h"

namespace window_test {
namespace {

// 4096 stereo frames of a full square wave of the given magnitude.
std::vector<int16_t> square_wave(int magnitude) {
    std::vector<int16_t> s(2 * 4096);
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(i % 4 < 2 ? magnitude : -magnitude);
    return s;
}

// Runs buffers of the square wave through the library on another thread,
// as a player does, while this thread dispatches the window's messages.
void play(int magnitude, uint8_t draw, int buffers) {
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i < buffers; ++i) {
            std::vector<int16_t> work = square_wave(magnitude);  // processed in place
            audiomix_change(work.data(), static_cast<int32_t>(work.size() * 2), draw);
            Sleep(2);
        }
        done = true;
    });
    pump_until([&] { return done.load(); }, 10000);
    audio.join();
    pump(100);
}

TEST_F(ControlWindow, LevelDisplayChangesWithTheAudioOnlyWhenAskedToDrawAndShown) {
    auto display = [&] { return capture_screen(client_on_screen(GetDlgItem(window, kStatusLabelId))); };
    const Capture before = display();
    play(60 * 256, 1, 20);
    const Capture loud = display();
    EXPECT_NE(loud.pixels, before.pixels);
    save_screenshot(capture_window(window), L"window_level_display");

    play(10 * 256, 1, 20);
    const Capture quiet = display();
    EXPECT_NE(quiet.pixels, loud.pixels);

    // drawDisplay 0: the audio is processed, the display left alone.
    play(90 * 256, 0, 20);
    EXPECT_EQ(display().pixels, quiet.pixels);
    // drawDisplay must be exactly 1.
    play(90 * 256, 2, 20);
    EXPECT_EQ(display().pixels, quiet.pixels);

    // A hidden window is not drawn: the screen keeps whatever covers it now.
    audiomix_setdisp(0);
    pump(50);
    const Capture hidden = display();
    play(60 * 256, 1, 10);
    EXPECT_EQ(display().pixels, hidden.pixels);
}

TEST(WindowThreadStress, AudioAndControlThreadsBesideTheWindowThread) {
    audiomix_begin(0);
    audiomix_set_mainwnd(nullptr);
    audiomix_init(44100, 2, 1);
    HWND window = find_control_window();
    ASSERT_NE(window, nullptr);

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::mt19937 rng(1);
        std::vector<int16_t> buffer(9000 * 2);
        uint32_t phase = 0;
        while (!stop.load()) {
            const int32_t frames =
                rng() % 2 ? 1 + static_cast<int32_t>(rng() % 64) : 1 + static_cast<int32_t>(rng() % 9000);
            for (int32_t i = 0; i < frames * 2; ++i)
                buffer[static_cast<size_t>(i)] = static_cast<int16_t>((phase += 977) % 40000 - 20000);
            audiomix_change(buffer.data(), frames * 4, 1);
        }
    });
    std::thread control([&] {
        std::mt19937 rng(2);
        const int32_t rates[] = {11025, 22050, 44100, 48000, 32000, 0};
        while (!stop.load()) {
            const uint32_t pick = rng() % 16;
            if (pick == 0) {
                audiomix_init(rates[rng() % 6], 1 + static_cast<int32_t>(rng() % 2), static_cast<int32_t>(rng() % 2));
            } else if (pick == 2) {
                audiomix_preset_apply(static_cast<int32_t>(rng() % 12));
            } else if (pick == 3) {
                audiomix_set_title(rng() % 2 ? "stress" : "\xD2\xF4\xD0\xA7");  // GBK text too
            } else if (pick == 4) {
                audiomix_param_set("eq.bands", rng() % 2 ? 31 : 10);
            } else {
                // Any parameter, in range or not.
                char name[64];
                if (audiomix_param_name(static_cast<int32_t>(rng() % 50), name, sizeof name) > 3)
                    audiomix_param_set(name, static_cast<double>(rng() % 60) - 20);
            }
            Sleep(rng() % 3);
        }
    });

    // The window thread: dispatching, and its own calls now and then.
    const DWORD start = GetTickCount();
    std::mt19937 rng(3);
    while (GetTickCount() - start < 4000) {
        pump(20);
        if (rng() % 4 == 0) audiomix_setdisp(static_cast<uint8_t>(rng() % 2));
    }
    stop = true;
    audio.join();
    control.join();
    pump(50);

    // The window survives and the host's calls still reach the engine (which
    // the native stress test shows still sounds right).
    EXPECT_TRUE(IsWindow(window));
    audiomix_init(44100, 2, 1);
    EXPECT_EQ(audiomix_get_sample(), 44100);
    audiomix_close();
    EXPECT_TRUE(pump_until([&] { return !IsWindow(window); }));
}

TEST(WindowThreadStress, DrawingWhileTheWindowIsDestroyedAndMadeAgainIsHarmless) {
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop) {
            std::vector<int16_t> work = square_wave(20000);
            audiomix_change(work.data(), static_cast<int32_t>(work.size() * 2), 1);
        }
    });
    for (int cycle = 0; cycle < 25; ++cycle) {
        audiomix_begin(0);
        audiomix_init(44100, 2, 1);
        pump(cycle % 5);
        if (cycle % 3 == 0) audiomix_init(22050, 2, 1);  // the DC is kept, not taken again
        audiomix_close();
    }
    stop = true;
    audio.join();
    EXPECT_EQ(find_control_window(), nullptr);
}

}  // namespace
}  // namespace window_test
