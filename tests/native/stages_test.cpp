// What the stages are set up with: gains, dither, reverb lengths and taps,
// the 16-bit conversions, and the level display's drawing. How the stages
// then process is proven against the model in chain_equivalence_test.cpp.
#include <cmath>
#include <cstring>
#include <set>

#include "dsp/chain_state.h"
#include "dsp/compressor.h"
#include "dsp/equaliser.h"
#include "dsp/level_display.h"
#include "dsp/pcm.h"
#include "dsp/random_source.h"
#include "dsp/raster_surface.h"
#include "dsp/reverb.h"
#include "dsp/units.h"
#include "model/eq_rules.h"
#include "test_support.h"

namespace audiomix {
namespace {

TEST(EqGain, FollowsTheFittedFactorsOnTheChannelAsked) {
    auto s = testing::make_settings();
    const auto untouched = std::make_unique<Settings>(*s);
    eq_set_gain(*s, 10, 31, 0);  // outside the record: ignored
    eq_set_gain(*s, 10, 0, 2);
    eq_set_gain(*s, 10, 0, -1);
    EXPECT_EQ(std::memcmp(s.get(), untouched.get(), sizeof(Settings)), 0);

    const double band[][2] = {{0, 4.2e-11}, {10, 0.3101}, {20, 1.0014}, {-20, -0.2015}};
    for (const auto& r : band) {
        eq_set_gain(*s, static_cast<float>(r[0]), 4, 1);
        EXPECT_NEAR(s->chain.eqGain[4][1], r[1], r[0] == 0 ? 1e-12 : 1e-4) << r[0];
    }
    // The pre-gain doubles every 10 dB.
    const double pre[][2] = {{0, 0.9999998}, {10, 2.0}, {-10, 0.5}, {-18, 0.2872}, {18, 3.482}};
    for (const auto& r : pre) {
        eq_set_gain(*s, static_cast<float>(r[0]), -1, 0);
        EXPECT_NEAR(s->chain.eqPreGain[0], r[1], 1e-3) << r[0];
    }
    eq_set_gain(*s, 10, -3, 1);  // any negative band is the pre-gain
    EXPECT_NEAR(s->chain.eqPreGain[1], 2.0, 1e-5);
    EXPECT_FLOAT_EQ(s->eqPreGainValue, 18.0f);  // channel 0's value is what is remembered
}

// A reset refills the dither, centred on zero, from the settings' own source.
TEST(EqReset, RefillsTheDitherFromTheSettingsSource) {
    auto s = testing::make_settings();
    eq_reset_state(*s);
    const std::set<double> seen(std::begin(s->chain.eqDither), std::end(s->chain.eqDither));
    EXPECT_EQ(seen, (std::set<double>{-2, -1, 0, 1}));
    RandomSource reference;
    for (int32_t i = 0; i < kDitherSize; ++i) reference.next();
    EXPECT_EQ(s->random.next(), reference.next());
}

TEST(ReverbLengths, MetresBecomeSamplesAt330MetresPerSecond) {
    EXPECT_EQ(reverb_metres_to_samples(20, 44100), 2672);  // 882000 / 330 = 2672.7
    EXPECT_EQ(reverb_comb_delay(20, 44100), 5344);
    EXPECT_EQ(reverb_metres_to_samples(1000, 48000), static_cast<uint16_t>(145454));
    EXPECT_EQ(reverb_metres_to_samples(0, 44100), 0);
    EXPECT_NEAR(reverb_gain(-100), 1e-5, 1e-11);
}

// The page's default shape: 20 m spread from a 5 m base, 10 m decay. Lowering
// the count redraws only the taps still in use.
TEST(ReverbTaps, LieInTheWindowDecayFromItsStartAndOnlyActiveOnesAreRedrawn) {
    constexpr TapLayout kDefaultLayout{20, 5, 10};
    ReverbVoice voice{};
    RandomSource random;
    voice.tapCount = 100;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    for (int t = 0; t < 100; ++t) {
        EXPECT_GE(voice.tapDelay[t], 668);
        EXPECT_LE(voice.tapDelay[t], 668 + 5344);
        // |gain| <= 2 e^(-offset / decay) with decay 2672 samples.
        const double fall = std::exp(-(voice.tapDelay[t] - 668) / 2672.0);
        EXPECT_LE(std::fabs(voice.tapGain[t]), 2.0 * fall * 1.001 + 1e-4);
        EXPECT_GE(voice.tapGain[t], -1.0 / 32767 - 1e-9);
    }
    const ReverbVoice before = voice;
    voice.tapCount = 10;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    EXPECT_EQ(std::memcmp(before.tapDelay + 10, voice.tapDelay + 10, 90 * sizeof voice.tapDelay[0]), 0);
    EXPECT_EQ(std::memcmp(before.tapGain + 10, voice.tapGain + 10, 90 * sizeof voice.tapGain[0]), 0);
    EXPECT_NE(std::memcmp(before.tapDelay, voice.tapDelay, 10 * sizeof voice.tapDelay[0]), 0);
}

// The detector follows the shorter of the two times.
TEST(CompressorTimes, DetectorFollowsTheShorterTime) {
    const CompTimes fast = comp_times(44100, 1, 10), slow = comp_times(48000, 200, 10);
    EXPECT_NEAR(fast.attack, 1 - 1 / 44.1, 1e-7);
    EXPECT_NEAR(fast.release, 1 - 1 / 441.0, 1e-7);
    EXPECT_EQ(fast.average, fast.attack);
    EXPECT_EQ(slow.average, slow.release);
}

TEST(RandomSource, UnseededSequenceIsTheClassicRuntimeOne) {
    RandomSource random;
    for (int32_t v : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) EXPECT_EQ(random.next(), v);
}

// Reverb and compressor clamp to +-1 and truncate (the reverb never reaches
// -32768); the equaliser rounds, scales by 5/4 and truncates.
TEST(StageConversions, ClampTruncateAndSaturate) {
    const double nan = std::nan("");
    const struct {
        double v;
        int reverb, compressor;
    } unit[] = {{1.0, 32767, 32767},     {2.0, 32767, 32767},    {-1.0, -32767, -32768}, {-2.0, -32767, -32768},
                {0.99999, 32766, 32767}, {-0.5, -16383, -16384}, {0.5, 16383, 16384},    {nan, 0, 0}};
    for (const auto& c : unit) {
        EXPECT_EQ(reverb_to_pcm16(c.v), c.reverb) << c.v;
        EXPECT_EQ(compressor_to_pcm16(c.v), c.compressor) << c.v;
    }
    const float eq[][2] = {{100, 125}, {-3, -3}, {2.5f, 2}, {30000, 32767}, {-30000, -32768}};
    for (const auto& c : eq) EXPECT_EQ(equaliser_to_pcm16(c[0]), c[1]) << c[0];
}

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// The display is never wider than its column arrays. On a 100 x 30 display:
// the grid, channel 0's envelope above the middle line and channel 1's below;
// fewer frames than columns draw nothing yet.
TEST(ScopeDrawing, PaintsStripesGridAndEnvelopeOnceThereIsAFramePerColumn) {
    ChainParams p{};
    ChainSignal s;
    chain_signal_load_state(s);
    p.channelCount = 2;
    p.displayShown = 1;
    scope_set_geometry(p, 0, 0, 5000, 29);
    EXPECT_EQ(p.scopeWidth, kScopeMaxWidth);  // the column arrays hold no more
    scope_set_geometry(p, 0, 0, 100, 29);
    RasterSurface surface(100, 30, 0x00ff00ff);
    p.scopeDc = &surface;
    std::vector<int16_t> samples(400);
    for (int f = 0; f < 200; ++f) {
        samples[2 * f] = 12800;       // level 50
        samples[2 * f + 1] = -25600;  // level 100
    }
    scope_update(p, s, samples.data(), 2 * 99 * 2);
    EXPECT_EQ(surface.frames(), 0);
    EXPECT_EQ(surface.pixel(50, 15), 0x00ff00ffu);
    EXPECT_EQ(s.scopeLevel[1][98], 100);  // captured, left for the next call

    scope_update(p, s, samples.data(), 2 * 200 * 2);
    ASSERT_EQ(surface.frames(), 1);
    EXPECT_EQ(s.scopeFrameCount, 0);
    const float scale = 28 * 0.003921569f;
    // Grid rows at 0, 5, ..., 25 and 28 from x = 1 to 97, columns every 10
    // pixels, the right line at 98; elsewhere the stripes show.
    EXPECT_EQ(surface.pixel(1, 0), rgb(0, 32, 0));
    EXPECT_EQ(surface.pixel(98, 28), rgb(0, 32, 0));
    EXPECT_NE(surface.pixel(5, 3), 0x00ff00ffu);
    // The body between the envelopes; outlines one pixel outside it, white
    // above and black below.
    EXPECT_EQ(surface.pixel(33, static_cast<int>(15 - 50 * scale) + 1), rgb(212, 212, 16));
    EXPECT_EQ(surface.pixel(33, static_cast<int>(15 - 50 * scale - 1)), rgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(33, static_cast<int>(15 + 100 * scale + 1)), rgb(0, 0, 0));
}

}  // namespace
}  // namespace audiomix
