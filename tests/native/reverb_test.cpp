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
    // No overflow for any rate a host might pass.
    EXPECT_EQ(reverb_metres_to_samples(1000, 2147483647),
              static_cast<uint16_t>(static_cast<int64_t>(1000.0 * 2147483647.0 * (1.0f / 330.0f))));
}

TEST(ReverbGains, WholeDecibelsBecomeLinearFactors) {
    EXPECT_NEAR(reverb_gain(-10), testing::expected_db(-10), 1e-7);
    EXPECT_NEAR(reverb_gain(-1), testing::expected_db(-1), 1e-7);
    EXPECT_EQ(reverb_gain(0), 1.0f);
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

TEST(ReverbTaps, FollowTheDrawsOfTheirSourceTwoPerTap) {
    auto ch = reverb_channel(44100);
    RandomSource reference;
    const int32_t r1 = reference.next(), r2 = reference.next();
    for (int i = 2; i < 40; ++i) reference.next();
    RandomSource random;
    reverb_draw_taps(random, 44100, kDefaultLayout, ch->voice);
    const double offset = static_cast<float>(5344 * (r1 * static_cast<double>(1.0f / 32767.0f)));
    EXPECT_EQ(ch->voice.tapDelay[0], static_cast<int>(668 + offset));
    const double gain = (2.0 * r2 - 1) * (1.0f / 32767.0f) * std::exp(-offset / 2672.0);
    EXPECT_NEAR(ch->voice.tapGain[0], gain, 1e-6 * std::fabs(gain));
    // Twenty taps took forty draws: the source goes on from there.
    EXPECT_EQ(random.next(), reference.next());
}

TEST(ReverbTaps, TwoVoicesFromOneSourceDiffer) {
    auto a = reverb_channel(48000);
    auto b = reverb_channel(48000);
    RandomSource random;
    reverb_draw_taps(random, 48000, kDefaultLayout, b->voice);
    reverb_draw_taps(random, 48000, kDefaultLayout, a->voice);
    EXPECT_NE(std::memcmp(a->voice.tapDelay, b->voice.tapDelay, 40), 0);
}

TEST(ReverbTaps, LoweringTheCountKeepsTheIdleTaps) {
    auto ch = reverb_channel(44100);
    ReverbVoice& voice = ch->voice;
    RandomSource random;
    voice.tapCount = 100;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    uint16_t tail[90];
    float tailGain[90];
    std::memcpy(tail, voice.tapDelay + 10, sizeof tail);
    std::memcpy(tailGain, voice.tapGain + 10, sizeof tailGain);
    uint16_t head[10];
    std::memcpy(head, voice.tapDelay, sizeof head);
    voice.tapCount = 10;
    reverb_draw_taps(random, 44100, kDefaultLayout, voice);
    EXPECT_EQ(std::memcmp(tail, voice.tapDelay + 10, sizeof tail), 0);
    EXPECT_EQ(std::memcmp(tailGain, voice.tapGain + 10, sizeof tailGain), 0);
    EXPECT_NE(std::memcmp(head, voice.tapDelay, sizeof head), 0) << "the active taps were redrawn";
}

TEST(ReverbProcess, SilentHistoryAddsTheDryInputTwice) {
    auto ch = reverb_channel(44100);
    RandomSource random;
    reverb_draw_taps(random, 44100, kDefaultLayout, ch->voice);
    const float work[3] = {10000.0f, -20000.0f, 30000.0f};
    int16_t out[3];
    reverb_process(ch->voice, ch->ring, work, 3, out, 1);
    const double wet = static_cast<float>(std::pow(10.0, -0.5));
    EXPECT_EQ(out[0], static_cast<int>(static_cast<float>(10000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[1], static_cast<int>(static_cast<float>(-20000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[2], 32767);  // above about 24895 it clamps
    EXPECT_EQ(ch->ring.writePos, 3);
    EXPECT_FLOAT_EQ(ch->ring.samples[0], static_cast<float>(10000 / 32768.0));
}

TEST(ReverbProcess, ATapOfDelayZeroHearsTheSampleJustWritten) {
    auto ch = reverb_channel(44100);
    ReverbVoice& voice = ch->voice;
    voice.tapCount = 1;
    voice.tapDelay[0] = 0;
    voice.tapGain[0] = 0.5f;
    voice.wetGain = 1.0f;
    voice.combGain = 0.0f;
    const float work[1] = {8192.0f};  // x = 0.25
    int16_t out[1];
    reverb_process(voice, ch->ring, work, 1, out, 1);
    // y = x + (x + 0.5 x) = 0.625
    EXPECT_EQ(out[0], static_cast<int>(static_cast<float>(0.625 * 32767)));
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

TEST(ReverbProcess, OnlyItsOwnRingAndEveryStrideThSampleChange) {
    // Two channels interleaved: channel 1 runs through its own ring and
    // leaves channel 0's samples alone.
    auto ch = reverb_channel(44100);
    RandomSource random;
    reverb_draw_taps(random, 44100, kDefaultLayout, ch->voice);
    const float work[4] = {1000.0f, 2000.0f, 3000.0f, 4000.0f};
    int16_t out[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    reverb_process(ch->voice, ch->ring, work, 4, out + 1, 2);
    for (int f = 0; f < 4; ++f) {
        EXPECT_EQ(out[2 * f], -1) << f;
        EXPECT_GT(out[2 * f + 1], 0) << f;
    }
}

}  // namespace
}  // namespace audiomix
