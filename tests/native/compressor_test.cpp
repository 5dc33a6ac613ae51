#include <cmath>

#include "dsp/compressor.h"
#include "test_support.h"

namespace audiomix {
namespace {

std::unique_ptr<EngineState> comp_state(int32_t rate) {
    auto s = testing::make_state();
    s->sampleRate = rate;
    s->compThresholdDb = -20;
    s->compRatio = 5;
    s->compAttackMs = 1;
    s->compReleaseMs = 10;
    s->compGain = 1.0f;
    comp_update_threshold(*s);
    comp_update_slope(*s);
    comp_update_times(*s);
    return s;
}

std::vector<int16_t> run(EngineState& s, const std::vector<float>& work) {
    std::vector<int16_t> out(work.size());
    comp_process(s, work.data(), static_cast<int32_t>(work.size()), out.data(), 1);
    return out;
}

TEST(CompressorDerived, ThresholdLiesThreeDecibelsBelowTheShownValue) {
    auto s = comp_state(44100);
    EXPECT_NEAR(s->compThreshold, testing::expected_db(-23), 1e-7);
    s->compThresholdDb = -59;
    comp_update_threshold(*s);
    EXPECT_NEAR(s->compThreshold, testing::expected_db(-62), 1e-9);
}

TEST(CompressorDerived, DetectorFollowsTheShorterTimeAndTiesGoToRelease) {
    auto s = comp_state(44100);
    EXPECT_EQ(s->compAvgCoef, s->compAttackCoef);
    s->compAttackMs = 10;
    comp_update_times(*s);
    EXPECT_EQ(s->compAvgCoef, s->compReleaseCoef);
    EXPECT_EQ(s->compAttackCoef, s->compReleaseCoef);
    s->compAttackMs = 200;
    comp_update_times(*s);
    EXPECT_EQ(s->compAvgCoef, s->compReleaseCoef);
    EXPECT_NEAR(s->compAttackCoef, 1 - 1 / (44100 * 0.2), 1e-7);
}

TEST(CompressorDerived, RatioMapsToSlope) {
    auto s = comp_state(44100);
    for (int r = 0; r <= 10; ++r) {
        s->compRatio = r;
        comp_update_slope(*s);
        EXPECT_NEAR(s->compSlope, r / 10.0, 1e-7);
    }
}

TEST(CompressorProcess, SlopeOnePassesEverySampleUnchanged) {
    auto s = comp_state(44100);
    s->compRatio = 10;
    comp_update_slope(*s);
    std::vector<float> work;
    for (int i = 0; i < 5000; ++i) work.push_back(static_cast<float>(((i * 7919) % 65536) - 32768));
    const auto out = run(*s, work);
    for (size_t i = 0; i < work.size(); ++i) ASSERT_EQ(out[i], static_cast<int16_t>(work[i])) << i;
    EXPECT_EQ(s->compGain, 1.0f);
}

TEST(CompressorProcess, AFullScaleSquareSettlesAtTheTwoToOneGain) {
    auto s = comp_state(44100);
    std::vector<float> work(44100);
    for (size_t i = 0; i < work.size(); ++i) work[i] = (i / 50) % 2 ? 32767.0f : -32767.0f;
    const auto out = run(*s, work);
    // (1 / T^2)^(-1/4) with T = 10^(-23/20).
    const double expected = std::pow(1.0 / std::pow(testing::expected_db(-23), 2), -0.25);
    EXPECT_NEAR(expected, 0.266, 0.001);
    EXPECT_NEAR(s->compGain, expected, 0.005);
    EXPECT_NEAR(std::abs(out.back()), 32767 * expected, 200);
}

TEST(CompressorProcess, QuietSignalLetsTheGainRiseAtTheReleaseRate) {
    auto s = comp_state(44100);
    s->compGain = 0.25f;
    std::vector<float> work(441, 100.0f);  // far below the threshold
    run(*s, work);
    // 441 samples = 10 ms = one release time constant: 1 - 0.75 e^-1.
    EXPECT_NEAR(s->compGain, 1 - 0.75 * std::exp(-1.0), 0.01);
}

TEST(CompressorProcess, StateCarriesFromOneBlockToTheNext) {
    auto a = comp_state(48000);
    auto b = comp_state(48000);
    std::vector<float> work(3000);
    for (size_t i = 0; i < work.size(); ++i) work[i] = static_cast<float>(30000 * std::sin(i * 0.05));
    const auto whole = run(*a, work);
    std::vector<float> first(work.begin(), work.begin() + 1234), second(work.begin() + 1234, work.end());
    auto out1 = run(*b, first);
    auto out2 = run(*b, second);
    out1.insert(out1.end(), out2.begin(), out2.end());
    EXPECT_EQ(whole, out1);
    EXPECT_EQ(a->compMeanSquare, b->compMeanSquare);
}

TEST(CompressorProcess, UnusableRatesCannotPoisonTheState) {
    auto s = comp_state(1);  // coefficients far outside 0 ... 1
    std::vector<float> work(2000, 32000.0f);
    const auto out = run(*s, work);
    EXPECT_TRUE(std::isfinite(s->compMeanSquare));
    EXPECT_TRUE(std::isfinite(s->compGain));
    for (int16_t v : out) ASSERT_GE(v, -32768);
}

}  // namespace
}  // namespace audiomix
