// The level display: audiomix_change draws it into the status label from
// the host's audio thread. Pixels are read back from the screen and checked
// at known points against the display's rules; the window is destroyed under
// a drawing thread without harm.
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "window_harness.h"

namespace window_test {
namespace {

constexpr uint32_t kGrid = rgb(0, 32, 0);
constexpr uint32_t kBody = rgb(212, 212, 16);
constexpr uint32_t kWhite = rgb(255, 255, 255);
constexpr uint32_t kBlack = rgb(0, 0, 0);

// The background colour of pixel row y of a display h rows high: the row
// belongs to the stripe closed by the next multiple of 4 above it (or by the
// last row); that row r gives v = 255 - 2|r - h/2| (not below 0), and the
// stripe is RGB(32, 192, 255) with v * 3 / 4 taken off each component.
uint32_t stripe_colour(int y, int h) {
    int r = (y / 4 + 1) * 4;
    if (r > h - 1) r = h - 1;
    int v = 255 - 2 * std::abs(r - h / 2);
    if (v < 0) v = 0;
    const int d = 3 * v / 4;
    auto down = [d](int c) { return static_cast<uint32_t>(c - d < 0 ? 0 : c - d); };
    return rgb(down(32), down(192), down(255));
}

// A stereo buffer whose every frame has magnitude left on channel 0 and
// right on channel 1, alternating in sign.
std::vector<int16_t> square_wave(int frames, int16_t left, int16_t right) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const int sign = i % 2 ? -1 : 1;
        s[2 * i] = static_cast<int16_t>(sign * left);
        s[2 * i + 1] = static_cast<int16_t>(sign * right);
    }
    return s;
}

class LevelDisplay : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        label = GetDlgItem(window, kStatusLabelId);
        RECT client;
        GetClientRect(label, &client);
        width = client.right;
        height = client.bottom + 1;  // the display counts one row more
    }

    // Runs audio through the library on another thread, as a player does,
    // while this thread dispatches the window's messages.
    void play(const std::vector<int16_t>& buffer, uint8_t draw, int buffers) {
        std::atomic<bool> done{false};
        std::thread audio([&] {
            std::vector<int16_t> work(buffer.size());
            for (int i = 0; i < buffers; ++i) {
                work = buffer;  // processed in place
                audiomix_change(work.data(), static_cast<int32_t>(work.size() * 2), draw);
                Sleep(2);
            }
            done = true;
        });
        pump_until([&] { return done.load(); }, 10000);
        audio.join();
        pump(100);
    }

    Capture display() const { return capture_screen(client_on_screen(label)); }

    HWND label = nullptr;
    int width = 0, height = 0;
};

TEST_F(LevelDisplay, DrawsGridAndEnvelopeWhereTheRulesPutThem) {
    ASSERT_GE(width, 40);
    ASSERT_GE(height, 12);
    const int level0 = 50, level1 = 25;  // |sample| / 256
    play(square_wave(4096, static_cast<int16_t>(level0 * 256), static_cast<int16_t>(level1 * 256)), 1, 30);
    const Capture c = display();
    save_screenshot(capture_window(window), L"window_level_display");

    const int half = height / 2;
    const int step = height / 6;
    const float scale = static_cast<float>((height - 2) * 0.003921569f);
    const int bodyTop = static_cast<int>(half - level0 * scale);
    const int bodyBottom = static_cast<int>(half + level1 * scale);  // exclusive
    const int upper = static_cast<int>(half - level0 * scale - 1);
    const int lower = static_cast<int>(half + level1 * scale + 1);
    ASSERT_LT(upper, bodyTop);
    ASSERT_GT(lower, bodyBottom - 1);

    auto is_grid_row = [&](int y) {
        return y == 0 || y == step || y == 2 * step || y == half || y == 4 * step || y == 5 * step ||
               y == height - 2;
    };

    int checked = 0;
    for (int x : {3, 5, 17, width / 2 + 3}) {
        if (x % 10 == 0) continue;
        for (int y = 0; y < height - 1; ++y) {
            uint32_t want;
            if (y >= bodyTop && y < bodyBottom)
                want = kBody;
            else if (y == upper)
                want = kWhite;
            else if (y == lower)
                want = kBlack;
            else if (is_grid_row(y))
                want = kGrid;
            else
                want = stripe_colour(y, height);
            EXPECT_EQ(c.at(x, y), want) << "x " << x << " y " << y;
            ++checked;
        }
    }
    // A grid column: dark green from row 1 down, except where the envelope
    // and its outlines cross it.
    for (int y = 1; y < height - 1; ++y) {
        if (y >= upper && y <= lower) continue;
        EXPECT_EQ(c.at(10, y), kGrid) << "y " << y;
    }
    EXPECT_GT(checked, 50);
}

TEST_F(LevelDisplay, ChangesWhileAudioPassesAndStaysWhenNotAskedToDrawOrHidden) {
    const Capture before = display();
    play(square_wave(4096, 60 * 256, 60 * 256), 1, 20);
    const Capture loud = display();
    EXPECT_NE(loud.pixels, before.pixels);

    play(square_wave(4096, 10 * 256, 10 * 256), 1, 20);
    const Capture quiet = display();
    EXPECT_NE(quiet.pixels, loud.pixels);

    // drawDisplay 0: the audio is processed, the display left alone.
    play(square_wave(4096, 90 * 256, 90 * 256), 0, 20);
    EXPECT_EQ(display().pixels, quiet.pixels);
    // drawDisplay must be exactly 1.
    play(square_wave(4096, 90 * 256, 90 * 256), 2, 20);
    EXPECT_EQ(display().pixels, quiet.pixels);

    // A hidden window is not drawn: the screen keeps whatever covers it now.
    audiomix_setdisp(0);
    pump(50);
    const Capture hidden = display();
    play(square_wave(4096, 60 * 256, 60 * 256), 1, 10);
    EXPECT_EQ(display().pixels, hidden.pixels);
}

TEST(LevelDisplayDestroy, DrawingWhileTheWindowIsDestroyedIsHarmless) {
    std::atomic<bool> stop{false};
    std::atomic<long> frames{0};
    std::thread audio([&] {
        std::vector<int16_t> buffer = square_wave(2048, 20000, 12000);
        std::vector<int16_t> work(buffer.size());
        while (!stop) {
            work = buffer;
            audiomix_change(work.data(), static_cast<int32_t>(work.size() * 2), 1);
            ++frames;
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
    EXPECT_GT(frames.load(), 0);
    EXPECT_EQ(find_control_window(), nullptr);
}

}  // namespace
}  // namespace window_test
