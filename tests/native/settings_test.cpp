#include <cmath>

#include "dsp/eq_tables.h"
#include "dsp/reverb.h"
#include "dsp/units.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::EngineTest;

TEST(RandomSource, UnseededSequenceIsTheClassicRuntimeOne) {
    RandomSource random;
    // The first values the platform's C runtime gives without srand.
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int32_t v : expected) EXPECT_EQ(random.next(), v);
}

TEST(RandomSource, StaysWithinItsRangeAndCoversIt) {
    RandomSource random;
    int32_t lo = kRandomMax, hi = 0;
    for (int i = 0; i < 200000; ++i) {
        const int32_t v = random.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, kRandomMax);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, kRandomMax);
}

TEST(EngineLoadState, HoldsTheLoadValues) {
    auto s = testing::make_settings();
    EXPECT_EQ(s->chain.sampleRate, -1);
    EXPECT_EQ(s->reportedRate, 1);
    EXPECT_EQ(s->chain.channelCount, 2);
    EXPECT_EQ(s->reportedChannels, 0);
    EXPECT_EQ(s->link.skinColour, 0x00804004u);
    const ChainParams& c = s->chain;
    EXPECT_EQ(c.eqOn + c.reverbOn + c.compOn + c.displayShown + s->settingsChanged, 0);
    EXPECT_EQ(s->link.controlWindow, nullptr);
    EXPECT_EQ(c.eqTable, nullptr);

    auto signal = std::make_unique<ChainSignal>();
    chain_signal_load_state(*signal);
    EXPECT_EQ(signal->eqSlotCur, 0);
    EXPECT_EQ(signal->eqSlotPrev1, 2);
    EXPECT_EQ(signal->eqSlotPrev2, 1);
    EXPECT_EQ(signal->compGain, 0.0f);
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
    EXPECT_NEAR(ms_to_coef(44100, 1.0f), 1.0 - 1.0 / 44.1, 1e-8);
    EXPECT_NEAR(ms_to_coef(44100, 10.0f), 1.0 - 1.0 / 441.0, 1e-8);
    EXPECT_NEAR(ms_to_coef(8000, 1000.0f), 1.0 - 1.0 / 8000.0, 1e-9);
}

class InitValues : public EngineTest {};

TEST_F(InitValues, At44100StereoEveryDefaultIsInPlace) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    EXPECT_NEAR(testing::settings().chain.compThreshold, std::pow(10.0, -1.15), 1e-7);
    EXPECT_FLOAT_EQ(testing::settings().chain.compSlope, 0.5f);
    EXPECT_NEAR(testing::settings().chain.compAttackCoef, 1.0 - 1.0 / 44.1, 1e-7);
    EXPECT_NEAR(testing::settings().chain.compReleaseCoef, 1.0 - 1.0 / 441.0, 1e-7);
    EXPECT_EQ(testing::settings().chain.compAvgCoef, testing::settings().chain.compAttackCoef);
    audiomix_change(nullptr, 0, 0);  // the gain reset reaches the signal with a buffer
    EXPECT_EQ(default_engine().signal().compGain, 1.0f);
    const Settings s = testing::settings();
    for (int c = 0; c < kMaxChannels; ++c) {
        const ReverbVoice& voice = s.chain.reverb[c];
        const ReverbShape& shape = s.reverb[c];
        EXPECT_EQ(voice.tapCount, 20);
        EXPECT_EQ(voice.combDelay, 5344);  // 2 * trunc(20 * 44100 / 330)
        EXPECT_EQ(shape.spreadM, 20);
        EXPECT_EQ(shape.baseM, 5);
        EXPECT_EQ(shape.decayM, 10);
        EXPECT_EQ(shape.combM, 20);
        EXPECT_NEAR(voice.combGain, std::pow(10.0, -0.5), 1e-7);
        EXPECT_NEAR(voice.wetGain, std::pow(10.0, -0.5), 1e-7);
        for (int t = 0; t < 20; ++t) {
            EXPECT_GE(voice.tapDelay[t], 668);
            EXPECT_LE(voice.tapDelay[t], 668 + 5344);
        }
    }
    EXPECT_EQ(testing::settings().eqBandCount, 10);
    EXPECT_EQ(testing::settings().chain.eqActiveBands, 10);
    EXPECT_EQ(testing::settings().chain.sampleRate, 44100);
    EXPECT_EQ(testing::settings().chain.eqOn + testing::settings().chain.reverbOn + testing::settings().chain.compOn + testing::settings().chain.eqSecondPass, 0);
    EXPECT_NEAR(testing::settings().chain.eqPreGain[0], 0.9999998, 1e-6);
    EXPECT_NEAR(testing::settings().chain.eqGain[9][1], 4.2e-11, 1e-11);
}

TEST_F(InitValues, BeforeInitTheReadOutsReportTheLoadValues) {
    audiomix_begin(0);
    EXPECT_EQ(audiomix_get_sample(), 1);
    EXPECT_EQ(audiomix_get_ch(), 0);
    EXPECT_EQ(testing::settings().chain.channelCount, 2);
}

TEST_F(InitValues, TheWindowsReloadRedrawsTapsSoBothLinesDiffer) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    int same = 0;
    for (int t = 0; t < 20; ++t)
        same += testing::settings().chain.reverb[0].tapDelay[t] == testing::settings().chain.reverb[1].tapDelay[t];
    EXPECT_LT(same, 5);
}

}  // namespace
}  // namespace audiomix
