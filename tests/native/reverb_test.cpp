#include <cmath>
#include <cstring>
#include <memory>

#include "dsp/random_source.h"
#include "dsp/reverb.h"
#include "test_support.h"

namespace audiomix {
namespace {

// The page's default shape: 20 m spread, 5 m base, 10 m decay, 20 m comb.
constexpr TapLayout kDefaultLayout{20, 5, 10};

// One channel's voice at the defaults (taps not drawn) and a silent ring.
struct ReverbChannel {
    ReverbVoice voice;
    ReverbRing ring;
};

std::unique_ptr<ReverbChannel> reverb_channel(int32_t rate) {
    auto ch = std::make_unique<ReverbChannel>();
    std::memset(ch.get(), 0, sizeof *ch);
    ch->voice.tapCount = 20;
    ch->voice.combDelay = reverb_comb_delay(20, rate);
    ch->voice.combGain = reverb_gain(-10);
    ch->voice.wetGain = reverb_gain(-10);
    return ch;
}

TEST(ReverbLengths, MetresBecomeSamplesAt330MetresPerSecond) {
    EXPECT_EQ(reverb_metres_to_samples(20, 44100), 2672);  // 882000 / 330 = 2672.7
    EXPECT_EQ(reverb_metres_to_samples(5, 44100), 668);
    EXPECT_EQ(reverb_comb_delay(20, 44100), 5344);
    EXPECT_EQ(reverb_metres_to_samples(1000, 48000), static_cast<uint16_t>(145454));
    EXPECT_EQ(reverb_metres_to_samples(0, 44100), 0);
    EXPECT_NEAR(reverb_gain(-100), 1e-5, 1e-11);
}

TEST(ReverbTaps, LieInTheWindowAndDecayFromItsStart) {
    auto ch = reverb_channel(44100);
    RandomSource random;
    reverb_draw_taps(random, 44100, kDefaultLayout, ch->voice);
    const ReverbVoice& voice = ch->voice;
    for (int t = 0; t < 20; ++t) {
        EXPECT_GE(voice.tapDelay[t], 668);
        EXPECT_LE(voice.tapDelay[t], 668 + 5344);
        // |gain| <= 2 e^(-offset / decay) with decay 2672 samples.
        const double fall = std::exp(-(voice.tapDelay[t] - 668) / 2672.0);
        EXPECT_LE(std::fabs(voice.tapGain[t]), 2.0 * fall * 1.001 + 1e-4);
        EXPECT_GE(voice.tapGain[t], -1.0 / 32767 - 1e-9);
    }
}

TEST(ReverbTaps, LoweringTheCountRedrawsOnlyTheActiveTaps) {
    auto ch = reverb_channel(44100);
    ReverbVoice& voice = ch->voice;
    RandomSource random;
    voice.tapCount = 100;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    const ReverbVoice before = voice;
    voice.tapCount = 10;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    EXPECT_EQ(std::memcmp(before.tapDelay + 10, voice.tapDelay + 10, 90 * sizeof voice.tapDelay[0]), 0);
    EXPECT_EQ(std::memcmp(before.tapGain + 10, voice.tapGain + 10, 90 * sizeof voice.tapGain[0]), 0);
    EXPECT_NE(std::memcmp(before.tapDelay, voice.tapDelay, 10 * sizeof voice.tapDelay[0]), 0);
}

// Interleaved stereo: the channel runs through its own ring and leaves the
// other channel's samples alone.
TEST(ReverbProcess, SilentHistoryAddsTheDryInputTwice) {
    auto ch = reverb_channel(44100);
    RandomSource random;
    reverb_draw_taps(random, 44100, kDefaultLayout, ch->voice);
    const float work[3] = {10000.0f, -20000.0f, 30000.0f};
    int16_t out[6] = {-1, -1, -1, -1, -1, -1};
    reverb_process(ch->voice, ch->ring, work, 3, out + 1, 2);
    const double wet = static_cast<float>(std::pow(10.0, -0.5));
    EXPECT_EQ(out[1], static_cast<int>(static_cast<float>(10000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[3], static_cast<int>(static_cast<float>(-20000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[5], 32767);  // above about 24895 it clamps
    EXPECT_EQ(out[0] & out[2] & out[4], -1);
    EXPECT_EQ(ch->ring.writePos, 3);
    EXPECT_FLOAT_EQ(ch->ring.samples[0], static_cast<float>(10000 / 32768.0));
}

TEST(ReverbProcess, TheCombFeedsBackAfterItsDelayAndTheRingWraps) {
    auto ch = reverb_channel(44100);
    ReverbVoice& voice = ch->voice;
    ReverbRing& ring = ch->ring;
    voice.tapCount = 1;
    voice.tapDelay[0] = 65535;  // reads far back: zero
    voice.tapGain[0] = 0.0f;
    voice.combDelay = 3;
    voice.combGain = 0.5f;
    ring.writePos = 65534;
    const float work[5] = {16384.0f, 0, 0, 0, 0};
    int16_t out[5];
    reverb_process(voice, ring, work, 5, out, 1);
    EXPECT_EQ(ring.writePos, 3);
    EXPECT_FLOAT_EQ(ring.samples[65534], 0.5f);
    EXPECT_FLOAT_EQ(ring.samples[1], -0.25f);  // 3 samples later, across the wrap
    EXPECT_FLOAT_EQ(ring.samples[0], 0.0f);
}

}  // namespace
}  // namespace audiomix
