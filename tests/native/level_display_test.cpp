#include <cstring>

#include "dsp/chain_state.h"
#include "dsp/level_display.h"
#include "dsp/raster_surface.h"
#include "test_support.h"

namespace audiomix {
namespace {

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// The display's parameters and the capture it fills, as one chain holds them.
struct ScopeRig {
    ChainParams params;
    ChainSignal signal;
};

std::unique_ptr<ScopeRig> scope_rig() {
    auto rig = std::make_unique<ScopeRig>();
    std::memset(&rig->params, 0, sizeof rig->params);
    chain_signal_load_state(rig->signal);
    return rig;
}

std::unique_ptr<ScopeRig> scope_state(int32_t channels, int32_t width, int32_t height) {
    auto rig = scope_rig();
    rig->params.channelCount = channels;
    rig->params.displayShown = 1;
    scope_set_geometry(rig->params, 0, 0, width, height - 1);
    return rig;
}

TEST(ScopeGeometry, FollowsTheClientRectangle) {
    auto rig = scope_rig();
    const ChainParams& p = rig->params;
    scope_set_geometry(rig->params, 0, 0, 418, 29);
    EXPECT_EQ((std::vector<int>{p.scopeWidth, p.scopeHeight, p.scopeRowStep, p.scopeGridColumns}),
              (std::vector<int>{418, 30, 5, 41}));
    scope_set_geometry(rig->params, 0, 0, 5000, 10);
    EXPECT_EQ(p.scopeWidth, kScopeMaxWidth);  // the column arrays hold no more
}

TEST(ScopeCapture, LevelsAreMagnitudesOver256) {
    auto rig = scope_state(2, 100, 30);
    const int16_t samples[] = {-32768, 32767, 255, -256, 0, 1000};
    scope_capture(rig->params, rig->signal, samples, sizeof samples);
    const ChainSignal* s = &rig->signal;
    EXPECT_EQ(s->scopeFrameCount, 3);
    EXPECT_EQ((std::vector<int>{s->scopeLevel[0][0], s->scopeLevel[0][1], s->scopeLevel[0][2]}),
              (std::vector<int>{128, 0, 0}));
    EXPECT_EQ((std::vector<int>{s->scopeLevel[1][0], s->scopeLevel[1][1], s->scopeLevel[1][2]}),
              (std::vector<int>{127, 1, 3}));

    // Mono leaves the lower channel at zero.
    rig = scope_state(1, 100, 30);
    s = &rig->signal;
    rig->signal.scopeLevel[1][0] = 99;
    const int16_t mono[] = {-20000, 20000};
    scope_capture(rig->params, rig->signal, mono, sizeof mono);
    EXPECT_EQ((std::vector<int>{s->scopeLevel[0][0], s->scopeLevel[0][1], s->scopeLevel[1][0]}),
              (std::vector<int>{78, 78, 0}));
}

TEST(ScopeCapture, StopsWhenHiddenAndLimitsLongBuffers) {
    auto rig = scope_state(1, 100, 30);
    const ChainSignal& s = rig->signal;
    std::vector<int16_t> samples(9000, 5120);
    rig->params.displayShown = 2;
    scope_capture(rig->params, rig->signal, samples.data(), 18000);
    EXPECT_EQ(s.scopeLevel[0][0], 0);
    rig->params.displayShown = 1;
    scope_capture(rig->params, rig->signal, samples.data(), 18000);
    EXPECT_EQ(s.scopeFrameCount, 8190);
    EXPECT_EQ(s.scopeLevel[0][8189], 20);
    EXPECT_EQ(s.scopeLevel[0][8190], 0);
}

TEST(ScopeColumns, AverageWholeGroupsOfFrames) {
    auto rig = scope_state(2, 4, 30);
    ChainSignal& s = rig->signal;
    s.scopeFrameCount = 9;  // two frames a column, the ninth ignored
    const uint8_t up[] = {10, 20, 30, 31, 0, 0, 255, 255, 77};
    for (int i = 0; i < 9; ++i) s.scopeLevel[0][i] = up[i];
    scope_compute_columns(rig->params, s);
    EXPECT_EQ(std::vector<int>(s.scopeColumn[0], s.scopeColumn[0] + 4), (std::vector<int>{15, 30, 0, 255}));
}

TEST(ScopeStripes, AreDarkestAtTheMiddleLine) {
    EXPECT_EQ(scope_stripe_colour(15, 30), rgb(0, 1, 64));
    EXPECT_EQ(scope_stripe_colour(0, 300), rgb(32, 192, 255));
    // v = 255 - 2*10 = 235, darkened by 176.
    EXPECT_EQ(scope_stripe_colour(5, 30), rgb(0, 16, 79));
}

class ScopeDrawing : public ::testing::Test {
protected:
    // A 100 x 30 display with the grid and an envelope of known columns.
    void draw(int32_t channels, int16_t level0, int16_t level1) {
        state = scope_state(channels, 100, 30);
        std::vector<int16_t> samples(200 * channels);
        for (int f = 0; f < 200; ++f) {
            samples[f * channels] = level0;
            if (channels == 2) samples[f * 2 + 1] = level1;
        }
        surface = std::make_unique<RasterSurface>(100, 30, 0x00ff00ff);
        state->params.scopeDc = surface.get();
        scope_update(state->params, state->signal, samples.data(), static_cast<int32_t>(samples.size() * 2));
    }
    std::unique_ptr<ScopeRig> state;
    std::unique_ptr<RasterSurface> surface;
};

TEST_F(ScopeDrawing, PaintsStripesGridAndEnvelope) {
    draw(2, 12800, -25600);  // levels 50 and 100
    ASSERT_EQ(surface->frames(), 1);
    EXPECT_EQ(state->signal.scopeFrameCount, 0);
    const int half = 15;
    const float scale = 28 * 0.003921569f;
    const int top = static_cast<int>(half - 50 * scale);     // 9
    // Grid: row lines at 0, 5, 10, 15 (middle), 20, 25 and the bottom line at
    // 28 run from x = 1 to 97; column lines every 10 pixels.
    EXPECT_EQ(surface->pixel(1, 0), rgb(0, 32, 0));
    EXPECT_EQ(surface->pixel(98, 28), rgb(0, 32, 0));  // the right line
    // A pixel outside grid and envelope shows its stripe.
    EXPECT_NE(surface->pixel(5, 3), 0x00ff00ffu);
    // The body spans the columns from the upper to the lower envelope.
    EXPECT_EQ(surface->pixel(33, top + 1), rgb(212, 212, 16));
    // Outlines one pixel outside the body: white above, black below.
    EXPECT_EQ(surface->pixel(33, static_cast<int>(half - 50 * scale - 1)), rgb(255, 255, 255));
    EXPECT_EQ(surface->pixel(33, static_cast<int>(half + 100 * scale + 1)), rgb(0, 0, 0));
}

TEST_F(ScopeDrawing, FewerFramesThanColumnsDrawNothing) {
    state = scope_state(1, 100, 30);
    surface = std::make_unique<RasterSurface>(100, 30, 0x00ff00ff);
    state->params.scopeDc = surface.get();
    std::vector<int16_t> samples(99, 1000);
    scope_update(state->params, state->signal, samples.data(), 198);
    EXPECT_EQ(surface->frames(), 0);
    EXPECT_EQ(surface->pixel(50, 15), 0x00ff00ffu);
    EXPECT_EQ(state->signal.scopeLevel[0][98], 3);  // captured, left for the next call
}

}  // namespace
}  // namespace audiomix
