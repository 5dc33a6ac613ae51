#include <cmath>

#include "dsp/eq_tables.h"
#include "dsp/reverb.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::EngineTest;

TEST(RandomSource, UnseededSequenceIsTheClassicRuntimeOne) {
    random_restart();
    // The first values the platform's C runtime gives without srand.
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int32_t v : expected) EXPECT_EQ(random_next(), v);
}

TEST(RandomSource, StaysWithinItsRangeAndCoversIt) {
    random_restart();
    int32_t lo = kRandomMax, hi = 0;
    for (int i = 0; i < 200000; ++i) {
        const int32_t v = random_next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, kRandomMax);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, kRandomMax);
}

TEST(EngineLoadState, HoldsTheLoadValues) {
    auto s = testing::make_state();
    EXPECT_EQ(s->sampleRate, -1);
    EXPECT_EQ(s->reportedRate, 1);
    EXPECT_EQ(s->channelCount, 2);
    EXPECT_EQ(s->reportedChannels, 0);
    EXPECT_EQ(s->skinColour, 0x00804004u);
    EXPECT_EQ(s->eqSlotCur, 0);
    EXPECT_EQ(s->eqSlotPrev1, 2);
    EXPECT_EQ(s->eqSlotPrev2, 1);
    EXPECT_EQ(s->eqOn + s->reverbOn + s->compOn + s->displayShown + s->settingsChanged, 0);
    EXPECT_EQ(s->controlWindow, nullptr);
    EXPECT_EQ(s->eqTable, nullptr);
    EXPECT_EQ(s->compGain, 0.0f);
}

TEST(EngineConversions, DbToLinearUsesTheSinglePrecisionStep) {
    // The exponent is dB times 0.05 rounded to single precision, formed in double.
    const double step = static_cast<double>(0.05f);
    for (int dB : {-100, -23, -10, -1, 0, 6}) {
        const double expected = std::pow(10.0, dB * step);
        EXPECT_NEAR(db_to_linear(static_cast<int16_t>(dB)), expected, expected * 1e-13) << dB;
    }
    // Not quite 10^-1.15: the single-precision step shows in the ninth digit.
    EXPECT_NEAR(db_to_linear(-23), 0.07079457565, 1e-11);
}

TEST(EngineConversions, MsToCoefIsAOnePoleCoefficient) {
    auto s = testing::make_state();
    s->sampleRate = 44100;
    EXPECT_NEAR(ms_to_coef(*s, 1.0f), 1.0 - 1.0 / 44.1, 1e-8);
    EXPECT_NEAR(ms_to_coef(*s, 10.0f), 1.0 - 1.0 / 441.0, 1e-8);
    s->sampleRate = 8000;
    EXPECT_NEAR(ms_to_coef(*s, 1000.0f), 1.0 - 1.0 / 8000.0, 1e-9);
}

class InitValues : public EngineTest {};

TEST_F(InitValues, At44100StereoEveryDefaultIsInPlace) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    EXPECT_NEAR(engine.compThreshold, std::pow(10.0, -1.15), 1e-7);
    EXPECT_FLOAT_EQ(engine.compSlope, 0.5f);
    EXPECT_NEAR(engine.compAttackCoef, 1.0 - 1.0 / 44.1, 1e-7);
    EXPECT_NEAR(engine.compReleaseCoef, 1.0 - 1.0 / 441.0, 1e-7);
    EXPECT_EQ(engine.compAvgCoef, engine.compAttackCoef);
    EXPECT_EQ(engine.compGain, 1.0f);
    for (const ReverbLine& line : engine.reverb) {
        EXPECT_EQ(line.tapCount, 20);
        EXPECT_EQ(line.combDelay, 5344);  // 2 * trunc(20 * 44100 / 330)
        EXPECT_EQ(line.spreadM, 20);
        EXPECT_EQ(line.baseM, 5);
        EXPECT_EQ(line.decayM, 10);
        EXPECT_EQ(line.combM, 20);
        EXPECT_NEAR(line.combGain, std::pow(10.0, -0.5), 1e-7);
        EXPECT_NEAR(line.wetGain, std::pow(10.0, -0.5), 1e-7);
        for (int t = 0; t < 20; ++t) {
            EXPECT_GE(line.tapDelay[t], 668);
            EXPECT_LE(line.tapDelay[t], 668 + 5344);
        }
    }
    EXPECT_EQ(engine.eqBandCount, 10);
    EXPECT_EQ(engine.eqActiveBands, 10);
    EXPECT_EQ(engine.sampleRate, 44100);
    EXPECT_EQ(engine.eqOn + engine.reverbOn + engine.compOn + engine.eqSecondPass, 0);
    EXPECT_NEAR(engine.eqPreGain[0], 0.9999998, 1e-6);
    EXPECT_NEAR(engine.eqGain[9][1], 4.2e-11, 1e-11);
}

TEST_F(InitValues, BeforeInitTheReadOutsReportTheLoadValues) {
    audiomix_begin(0);
    EXPECT_EQ(audiomix_get_sample(), 1);
    EXPECT_EQ(audiomix_get_ch(), 0);
    EXPECT_EQ(engine.channelCount, 2);
}

TEST_F(InitValues, TheWindowsReloadRedrawsTapsSoBothLinesDiffer) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    int same = 0;
    for (int t = 0; t < 20; ++t)
        same += engine.reverb[0].tapDelay[t] == engine.reverb[1].tapDelay[t];
    EXPECT_LT(same, 5);
}

}  // namespace
}  // namespace audiomix
