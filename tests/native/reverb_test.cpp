#include <cmath>
#include <cstring>

#include "dsp/reverb.h"
#include "test_support.h"

namespace audiomix {
namespace {

std::unique_ptr<EngineState> reverb_state(int32_t rate) {
    auto s = testing::make_state();
    s->sampleRate = rate;
    for (ReverbLine& line : s->reverb) {
        line.tapCount = 20;
        line.spreadM = 20;
        line.baseM = 5;
        line.decayM = 10;
        line.combM = 20;
        line.combDb = line.wetDb = -10;
        line.combDelay = reverb_comb_delay(20, rate);
        reverb_update_gains(line);
    }
    return s;
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

TEST(ReverbTaps, LieInTheWindowAndDecayFromItsStart) {
    auto s = reverb_state(44100);
    random_restart();
    reverb_regenerate_taps(*s, s->reverb[0]);
    const ReverbLine& line = s->reverb[0];
    for (int t = 0; t < 20; ++t) {
        EXPECT_GE(line.tapDelay[t], 668);
        EXPECT_LE(line.tapDelay[t], 668 + 5344);
        // |gain| <= 2 e^(-offset / decay) with decay 2672 samples.
        const double fall = std::exp(-(line.tapDelay[t] - 668) / 2672.0);
        EXPECT_LE(std::fabs(line.tapGain[t]), 2.0 * fall * 1.001 + 1e-4);
        EXPECT_GE(line.tapGain[t], -1.0 / 32767 - 1e-9);
    }
}

TEST(ReverbTaps, FollowTheDrawsOfTheSharedSource) {
    auto s = reverb_state(44100);
    random_restart();
    const int32_t r1 = random_next(), r2 = random_next();
    random_restart();
    reverb_regenerate_taps(*s, s->reverb[0]);
    const double offset = static_cast<float>(5344 * (r1 * static_cast<double>(1.0f / 32767.0f)));
    EXPECT_EQ(s->reverb[0].tapDelay[0], static_cast<int>(668 + offset));
    const double gain = (2.0 * r2 - 1) * (1.0f / 32767.0f) * std::exp(-offset / 2672.0);
    EXPECT_NEAR(s->reverb[0].tapGain[0], gain, 1e-6 * std::fabs(gain));
}

TEST(ReverbTaps, TwoLinesWithEqualParametersDiffer) {
    auto s = reverb_state(48000);
    reverb_regenerate_taps(*s, s->reverb[1]);
    reverb_regenerate_taps(*s, s->reverb[0]);
    EXPECT_NE(std::memcmp(s->reverb[0].tapDelay, s->reverb[1].tapDelay, 40), 0);
}

TEST(ReverbTaps, LoweringTheCountKeepsTheIdleTaps) {
    auto s = reverb_state(44100);
    ReverbLine& line = s->reverb[0];
    line.tapCount = 100;
    reverb_regenerate_taps(*s, line);
    uint16_t tail[90];
    std::memcpy(tail, line.tapDelay + 10, sizeof tail);
    line.tapCount = 10;
    reverb_regenerate_taps(*s, line);
    EXPECT_EQ(std::memcmp(tail, line.tapDelay + 10, sizeof tail), 0);
}

TEST(ReverbProcess, SilentHistoryAddsTheDryInputTwice) {
    auto s = reverb_state(44100);
    reverb_regenerate_taps(*s, s->reverb[0]);
    ReverbLine& line = s->reverb[0];
    const float work[3] = {10000.0f, -20000.0f, 30000.0f};
    int16_t out[3];
    reverb_process(line, work, 3, out, 1);
    const double wet = static_cast<float>(std::pow(10.0, -0.5));
    EXPECT_EQ(out[0], static_cast<int>(static_cast<float>(10000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[1], static_cast<int>(static_cast<float>(-20000 / 32768.0 * (1 + wet) * 32767)));
    EXPECT_EQ(out[2], 32767);  // above about 24895 it clamps
    EXPECT_EQ(line.writePos, 3);
    EXPECT_FLOAT_EQ(line.ring[0], static_cast<float>(10000 / 32768.0));
}

TEST(ReverbProcess, ATapOfDelayZeroHearsTheSampleJustWritten) {
    auto s = reverb_state(44100);
    ReverbLine& line = s->reverb[0];
    line.tapCount = 1;
    line.tapDelay[0] = 0;
    line.tapGain[0] = 0.5f;
    line.wetGain = 1.0f;
    line.combGain = 0.0f;
    const float work[1] = {8192.0f};  // x = 0.25
    int16_t out[1];
    reverb_process(line, work, 1, out, 1);
    // y = x + (x + 0.5 x) = 0.625
    EXPECT_EQ(out[0], static_cast<int>(static_cast<float>(0.625 * 32767)));
}

TEST(ReverbProcess, TheCombFeedsBackAfterItsDelayAndTheRingWraps) {
    auto s = reverb_state(44100);
    ReverbLine& line = s->reverb[0];
    line.tapCount = 1;
    line.tapDelay[0] = 65535;  // reads far back: zero
    line.tapGain[0] = 0.0f;
    line.combDelay = 3;
    line.combGain = 0.5f;
    line.writePos = 65534;
    const float work[5] = {16384.0f, 0, 0, 0, 0};
    int16_t out[5];
    reverb_process(line, work, 5, out, 1);
    EXPECT_EQ(line.writePos, 3);
    EXPECT_FLOAT_EQ(line.ring[65534], 0.5f);
    EXPECT_FLOAT_EQ(line.ring[1], -0.25f);  // 3 samples later, across the wrap
    EXPECT_FLOAT_EQ(line.ring[0], 0.0f);
}

}  // namespace
}  // namespace audiomix
