#include <cmath>

#include "model/eq_rules.h"
#include "test_support.h"
#include "model/effect_rules.h"

namespace audiomix {
namespace {

class EffectRules : public ::testing::Test {
protected:
    void SetUp() override {
        state = testing::make_settings();
        state->chain.sampleRate = 44100;
        state->chain.channelCount = 2;
        effect_reverb_defaults(*state);
        effect_compressor_defaults(*state);
        state->settingsChanged = 0;
    }
    std::unique_ptr<Settings> state;
};

TEST_F(EffectRules, BoxesRefuseTheSlidersExtremes) {
    const std::pair<EffectValue, int64_t> refused[] = {{EffectValue::Threshold, -60}, {EffectValue::CombDb, 0},
                                                       {EffectValue::WetDb, 0},       {EffectValue::WetDb, -1},
                                                       {EffectValue::Taps, 0},        {EffectValue::Taps, 101},
                                                       {EffectValue::Taps, 1ll << 40}};
    for (const auto& [box, value] : refused) EXPECT_FALSE(effect_apply_box(*state, box, value)) << value;
    EXPECT_EQ(state->settingsChanged, 0);
    EXPECT_EQ(effect_box_value(*state, EffectValue::Taps), 20);
    EXPECT_TRUE(effect_apply_box(*state, EffectValue::WetDb, -2));
    EXPECT_NEAR(state->chain.reverb[0].wetGain, std::pow(10.0, -0.1), 1e-6);
    EXPECT_EQ(state->settingsChanged, 1);
}

TEST_F(EffectRules, SliderDragStoresAndReleaseRecomputesAndRedraws) {
    const float comb_gain = state->chain.reverb[0].combGain;
    const uint16_t delay = state->chain.reverb[1].tapDelay[0];
    effect_apply_slider(*state, EffectValue::CombDb, 30);
    EXPECT_EQ(state->reverb[1].combDb, -30);
    EXPECT_EQ(state->chain.reverb[0].combGain, comb_gain);  // the drag step leaves the gain
    EXPECT_EQ(state->chain.reverb[1].tapDelay[0], delay);
    effect_apply_release(*state, EffectValue::CombDb, 30);
    EXPECT_NEAR(state->chain.reverb[1].combGain, std::pow(10.0, -1.5), 1e-7);
    EXPECT_NE(state->chain.reverb[1].tapDelay[0], delay);
    effect_apply_slider(*state, EffectValue::Threshold, 60);  // the slider reaches what the box refuses
    EXPECT_EQ(state->compThresholdDb, -60);
}

TEST_F(EffectRules, DefaultsRestoreEveryValue) {
    const auto before = std::make_unique<Settings>(*state);
    effect_apply_box(*state, EffectValue::Ratio, 0);
    effect_apply_box(*state, EffectValue::Attack, 500);
    effect_apply_box(*state, EffectValue::BaseM, 90);
    effect_apply_box(*state, EffectValue::CombM, 700);
    effect_compressor_defaults(*state);
    effect_reverb_defaults(*state);
    for (EffectValue box : {EffectValue::Ratio, EffectValue::Attack, EffectValue::BaseM, EffectValue::CombM})
        EXPECT_EQ(effect_box_value(*state, box), effect_box_value(*before, box));
    EXPECT_EQ(state->chain.compAvgCoef, state->chain.compAttackCoef);
    EXPECT_EQ(state->chain.reverb[1].combDelay, 5344);
}

class LinkedTuning : public ::testing::Test {
protected:
    void SetUp() override {
        state = testing::make_settings();
        state->chain.sampleRate = 44100;
        state->chain.channelCount = 2;
        eq_apply_band_count(*state, 31);
    }
    int32_t move(int32_t band, int32_t position, int32_t bands = 31) {
        return eq_apply_band(*state, band, eq_band_value_from_position(position), true, bands, moves);
    }
    std::unique_ptr<Settings> state;
    LinkedMove moves[4];
};

TEST_F(LinkedTuning, AJumpMovesTwoNeighboursEachSideAndBandZeroPullsBandTwoByHalf) {
    ASSERT_EQ(move(10, 0), 4);
    const int32_t expected_db[] = {12, 15, 20, 15, 12};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(state->bandGainDb[8 + i], expected_db[i]) << 8 + i;
    // Order of the moves: +1, +2, -1, -2; positions trunc(25 - 1.25 g).
    EXPECT_EQ((std::vector<int>{moves[0].band, moves[0].position, moves[1].band, moves[1].position, moves[3].band}),
              (std::vector<int>{11, 6, 12, 10, 8}));
    // The end-of-track repeat at a whole value changes nothing.
    const auto before = std::make_unique<Settings>(*state);
    move(10, 0);
    EXPECT_EQ(std::memcmp(before->bandGainDb, state->bandGainDb, sizeof state->bandGainDb), 0);

    ASSERT_EQ(move(0, 0), 2);
    EXPECT_EQ((std::vector<int>{state->bandGainDb[1], state->bandGainDb[2], moves[1].position}),
              (std::vector<int>{15, 10, 12}));
}

TEST_F(LinkedTuning, TheLastBandOfTheTenBandLayoutSkipsMissingNeighbours) {
    eq_apply_band_count(*state, 10);
    ASSERT_EQ(move(9, 0, 10), 2);
    EXPECT_EQ(moves[0].band, 8);
    EXPECT_EQ(moves[1].band, 7);
    EXPECT_EQ(state->bandGainDb[10], 0);
}

TEST_F(LinkedTuning, WholeDecibelsMeasureTheNextMove) {
    for (int p = 24; p >= 0; --p) move(10, p);
    // Each step of 0.8 adds 0.6 to the neighbour, truncated away every time:
    // a drag ends lower than a jump.
    EXPECT_LT(state->bandGainDb[11], 15);
    EXPECT_EQ(state->bandGainDb[10], 20);
    move(20, 26);  // -0.8, recorded as 0
    move(20, 25);  // measured from 0, not from -0.8: the neighbours get nothing
    EXPECT_EQ(moves[0].value, 0.0);
}

}  // namespace
}  // namespace audiomix
