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

class InitValues : public EngineTest {};

TEST_F(InitValues, At44100StereoEveryDefaultIsInPlace) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    EXPECT_NEAR(testing::settings().chain.compThreshold, std::pow(10.0, -1.15), 1e-7);
    EXPECT_NEAR(testing::settings().chain.compAttackCoef, 1.0 - 1.0 / 44.1, 1e-7);
    EXPECT_EQ(testing::settings().chain.compAvgCoef, testing::settings().chain.compAttackCoef);
    audiomix_change(nullptr, 0, 0);  // the gain reset reaches the signal with a buffer
    EXPECT_EQ(default_engine().signal().compGain, 1.0f);
    for (const ReverbVoice& voice : testing::settings().chain.reverb) {
        EXPECT_EQ(voice.combDelay, 5344);  // 2 * trunc(20 * 44100 / 330)
        EXPECT_NEAR(voice.wetGain, std::pow(10.0, -0.5), 1e-7);
    }
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
