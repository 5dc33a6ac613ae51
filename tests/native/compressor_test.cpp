#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "dsp/chain_state.h"
#include "dsp/compressor.h"
#include "test_support.h"

namespace audiomix {
namespace {

// The compressor's parameters and its detector and gain state.
struct CompRig {
    ChainParams params;
    ChainSignal signal;
};

void set_times(ChainParams& p, int32_t rate, int32_t attackMs, int32_t releaseMs) {
    const CompTimes t = comp_times(rate, attackMs, releaseMs);
    p.compAttackCoef = t.attack;
    p.compReleaseCoef = t.release;
    p.compAvgCoef = t.average;
}

// The defaults of the page: -20 dB, ratio 5, 1 ms attack, 10 ms release.
std::unique_ptr<CompRig> comp_state(int32_t rate) {
    auto rig = std::make_unique<CompRig>();
    std::memset(&rig->params, 0, sizeof rig->params);
    chain_signal_load_state(rig->signal);
    ChainParams& p = rig->params;
    p.sampleRate = rate;
    p.channelCount = 1;
    p.compThreshold = comp_threshold(-20);
    p.compSlope = comp_slope(5);
    set_times(p, rate, 1, 10);
    rig->signal.compGain = 1.0f;
    return rig;
}

std::vector<int16_t> run(CompRig& s, const std::vector<float>& work) {
    std::vector<int16_t> out(work.size());
    comp_process(s.params, s.signal, work.data(), static_cast<int32_t>(work.size()), out.data(), 1);
    return out;
}

TEST(CompressorDerived, ThresholdLiesThreeDecibelsBelowTheShownValue) {
    EXPECT_NEAR(comp_threshold(-20), testing::expected_db(-23), 1e-7);
}

TEST(CompressorDerived, DetectorFollowsTheShorterTimeAndTiesGoToRelease) {
    CompTimes t = comp_times(44100, 1, 10);
    EXPECT_EQ(t.average, t.attack);
    EXPECT_NEAR(t.attack, 1 - 1 / 44.1, 1e-7);
    EXPECT_NEAR(t.release, 1 - 1 / 441.0, 1e-7);
    t = comp_times(48000, 200, 10);
    EXPECT_EQ(t.average, t.release);
    EXPECT_NEAR(t.attack, 1 - 1 / (48000 * 0.2), 1e-7);
    EXPECT_EQ(comp_times(44100, 10, 10).average, comp_times(44100, 10, 10).release);
}

TEST(CompressorProcess, SlopeOnePassesEverySampleUnchanged) {
    auto s = comp_state(44100);
    s->params.compSlope = comp_slope(10);
    std::vector<float> work;
    for (int i = 0; i < 5000; ++i) work.push_back(static_cast<float>(((i * 7919) % 65536) - 32768));
    const auto out = run(*s, work);
    for (size_t i = 0; i < work.size(); ++i) ASSERT_EQ(out[i], static_cast<int16_t>(work[i])) << i;
    EXPECT_EQ(s->signal.compGain, 1.0f);
}

TEST(CompressorProcess, AFullScaleSquareSettlesAtTheTwoToOneGain) {
    auto s = comp_state(44100);
    std::vector<float> work(44100);
    for (size_t i = 0; i < work.size(); ++i) work[i] = (i / 50) % 2 ? 32767.0f : -32767.0f;
    const auto out = run(*s, work);
    // (1 / T^2)^(-1/4) with T = 10^(-23/20).
    const double expected = std::pow(1.0 / std::pow(testing::expected_db(-23), 2), -0.25);
    EXPECT_NEAR(expected, 0.266, 0.001);
    EXPECT_NEAR(s->signal.compGain, expected, 0.005);
    EXPECT_NEAR(std::abs(out.back()), 32767 * expected, 200);
}

TEST(CompressorProcess, QuietSignalLetsTheGainRiseAtTheReleaseRate) {
    auto s = comp_state(44100);
    s->signal.compGain = 0.25f;
    std::vector<float> work(441, 100.0f);  // far below the threshold
    run(*s, work);
    // 441 samples = 10 ms = one release time constant: 1 - 0.75 e^-1.
    EXPECT_NEAR(s->signal.compGain, 1 - 0.75 * std::exp(-1.0), 0.01);
}

TEST(CompressorProcess, UnusableRatesCannotPoisonTheState) {
    auto s = comp_state(1);  // coefficients far outside 0 ... 1
    std::vector<float> work(2000, 32000.0f);
    const auto out = run(*s, work);
    EXPECT_TRUE(std::isfinite(s->signal.compMeanSquare));
    EXPECT_TRUE(std::isfinite(s->signal.compGain));
    for (int16_t v : out) ASSERT_GE(v, -32768);
}

}  // namespace
}  // namespace audiomix
