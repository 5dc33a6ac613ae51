#include <cmath>

#include "dsp/eq_tables.h"
#include "dsp/reverb.h"
#include "dsp/units.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::EngineTest;

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
