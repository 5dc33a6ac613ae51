#include <cmath>

#include "controls/colour.h"
#include "dsp/equaliser.h"
#include "dsp/reverb.h"
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
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::Threshold, -60));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::CombDb, 0));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::WetDb, 0));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::WetDb, -1));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::Taps, 0));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::Taps, 101));
    EXPECT_FALSE(effect_apply_box(*state, EffectValue::Taps, 1ll << 40));
    EXPECT_EQ(state->settingsChanged, 0);
    EXPECT_EQ(effect_box_value(*state, EffectValue::Taps), 20);
    EXPECT_TRUE(effect_apply_box(*state, EffectValue::WetDb, -2));
    EXPECT_NEAR(state->chain.reverb[0].wetGain, std::pow(10.0, -0.1), 1e-6);
    EXPECT_EQ(state->settingsChanged, 1);
}

TEST_F(EffectRules, TypedTapCountRedrawsBothLines) {
    const uint16_t before0 = state->chain.reverb[0].tapDelay[3];
    ASSERT_TRUE(effect_apply_box(*state, EffectValue::Taps, 50));
    EXPECT_EQ(state->chain.reverb[0].tapCount, 50);
    EXPECT_EQ(state->chain.reverb[1].tapCount, 50);
    EXPECT_NE(state->chain.reverb[0].tapDelay[3], before0);
    EXPECT_NE(state->chain.reverb[0].tapDelay[49], state->chain.reverb[1].tapDelay[49]);
}

TEST_F(EffectRules, SliderDragStoresAndReleaseRecomputesAndRedraws) {
    const float comb_gain = state->chain.reverb[0].combGain;
    const uint16_t delay = state->chain.reverb[1].tapDelay[0];
    effect_apply_slider(*state, EffectValue::CombDb, 30);
    EXPECT_EQ(state->reverb[0].combDb, -30);
    EXPECT_EQ(state->reverb[1].combDb, -30);
    EXPECT_EQ(state->chain.reverb[0].combGain, comb_gain);  // the drag step leaves the gain
    EXPECT_EQ(state->chain.reverb[1].tapDelay[0], delay);
    effect_apply_release(*state, EffectValue::CombDb, 30);
    EXPECT_NEAR(state->chain.reverb[1].combGain, std::pow(10.0, -1.5), 1e-7);
    EXPECT_NE(state->chain.reverb[1].tapDelay[0], delay);
    EXPECT_EQ(state->reverb[0].wetDb, -10);
    EXPECT_EQ(effect_slider_position(EffectValue::CombDb, state->reverb[0].combDb), 30);
}

TEST_F(EffectRules, ThresholdSliderShowsTheNegatedValue) {
    effect_apply_slider(*state, EffectValue::Threshold, 20);
    EXPECT_EQ(state->compThresholdDb, -20);
    EXPECT_NEAR(state->chain.compThreshold, std::pow(10.0, -1.15), 1e-7);
    effect_apply_slider(*state, EffectValue::Threshold, 60);  // the slider reaches what the box refuses
    EXPECT_EQ(state->compThresholdDb, -60);
    EXPECT_EQ(state->settingsChanged, 1);
}

TEST_F(EffectRules, DefaultsRestoreEveryValue) {
    effect_apply_box(*state, EffectValue::Ratio, 0);
    effect_apply_box(*state, EffectValue::Attack, 500);
    effect_apply_box(*state, EffectValue::BaseM, 90);
    effect_apply_box(*state, EffectValue::CombM, 700);
    effect_compressor_defaults(*state);
    effect_reverb_defaults(*state);
    EXPECT_EQ(state->compRatio, 5);
    EXPECT_FLOAT_EQ(state->chain.compSlope, 0.5f);
    EXPECT_EQ(state->chain.compAvgCoef, state->chain.compAttackCoef);
    const int32_t slider_positions[] = {10, 20, 10, 10, 20, 5};  // 1024 ... 1029
    const EffectValue reverb_boxes[] = {EffectValue::CombDb, EffectValue::Taps,  EffectValue::WetDb,
                                      EffectValue::DecayM, EffectValue::CombM, EffectValue::BaseM};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(effect_slider_position(reverb_boxes[i], effect_box_value(*state, reverb_boxes[i])),
                  slider_positions[i]);
    EXPECT_EQ(state->chain.reverb[1].combDelay, 5344);
}

TEST_F(EffectRules, OrderAndSwitchesMarkOnlyRealChanges) {
    effect_set_order(*state, false);
    EXPECT_EQ(state->settingsChanged, 0);
    effect_set_order(*state, true);
    EXPECT_EQ(state->chain.reverbFirst, 1);
    EXPECT_EQ(state->settingsChanged, 1);
    state->settingsChanged = 0;
    state->chain.eqOn = 1;  // as audiomix_setiir(1) leaves it
    effect_set_switch(*state, EffectSwitch::Equaliser, true);
    EXPECT_EQ(state->settingsChanged, 0);
    effect_set_switch(*state, EffectSwitch::Compressor, true);
    EXPECT_EQ(state->settingsChanged, 1);
}

TEST(EffectSliders, RangesAndIdsPairWithTheirBoxes) {
    for (EffectValue box : kEffectValues) {
        const ValueRange slider = effect_slider_range(box);
        const ValueRange accepted = effect_box_range(box);
        // Every accepted value has a slider position inside the slider's range.
        for (int32_t v : {accepted.lo, accepted.hi})
            EXPECT_TRUE(slider.contains(effect_slider_position(box, v))) << static_cast<int>(box);
        EXPECT_GE(effect_slider_id(box), 1020);
        EXPECT_LE(effect_slider_id(box), 1029);
    }
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

TEST_F(LinkedTuning, ASingleJumpMovesTwoNeighboursEachSide) {
    ASSERT_EQ(move(10, 0), 4);
    const int32_t expected_db[] = {12, 15, 20, 15, 12};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(state->bandGainDb[8 + i], expected_db[i]) << 8 + i;
    // Order of the moves: +1, +2, -1, -2; positions trunc(25 - 1.25 g).
    EXPECT_EQ(moves[0].band, 11);
    EXPECT_EQ(moves[0].position, 6);
    EXPECT_EQ(moves[1].band, 12);
    EXPECT_EQ(moves[1].position, 10);
    EXPECT_EQ(moves[3].band, 8);
    EXPECT_NEAR(state->chain.eqGain[9][1], 0.25220207857 * std::exp(0.0801783618 * 15) - 0.2522020785, 1e-6);
    // The end-of-track repeat at a whole value changes nothing.
    const auto before = std::make_unique<Settings>(*state);
    move(10, 0);
    EXPECT_EQ(std::memcmp(before->bandGainDb, state->bandGainDb, sizeof state->bandGainDb), 0);
    EXPECT_EQ(before->chain.eqGain[12][0], state->chain.eqGain[12][0]);
}

TEST_F(LinkedTuning, BandZeroPullsBandTwoByHalf) {
    ASSERT_EQ(move(0, 0), 2);
    EXPECT_EQ(state->bandGainDb[1], 15);
    EXPECT_EQ(moves[0].position, 6);
    EXPECT_EQ(state->bandGainDb[2], 10);
    EXPECT_EQ(moves[1].position, 12);
    EXPECT_EQ(state->bandGainDb[3], 0);
}

TEST_F(LinkedTuning, TheLastBandOfTheTenBandLayoutSkipsMissingNeighbours) {
    eq_apply_band_count(*state, 10);
    ASSERT_EQ(move(9, 0, 10), 2);
    EXPECT_EQ(moves[0].band, 8);
    EXPECT_EQ(moves[1].band, 7);
    EXPECT_EQ(state->bandGainDb[10], 0);
}

TEST_F(LinkedTuning, StepByStepDragTruncatesAtEveryStep) {
    for (int p = 24; p >= 0; --p) move(10, p);
    // Each step of 0.8 adds 0.6 to the neighbour, truncated away every time
    // until whole values accumulate: the result is smaller than after a jump.
    EXPECT_LT(state->bandGainDb[11], 15);
    EXPECT_LT(state->bandGainDb[12], 12);
    EXPECT_EQ(state->bandGainDb[10], 20);
}

TEST_F(LinkedTuning, WholeDecibelsMeasureTheNextMove) {
    move(10, 26);  // -0.8, recorded as 0
    EXPECT_EQ(state->bandGainDb[10], 0);
    move(10, 25);  // measured from 0, not from -0.8: the neighbours get nothing
    EXPECT_EQ(moves[0].value, 0.0);
}

TEST_F(LinkedTuning, ARepeatedNotificationAppliesTheFractionAgain) {
    move(10, 1);  // 19.2: neighbour 11 gets 14.4, recorded as 14
    EXPECT_EQ(state->bandGainDb[10], 19);
    EXPECT_EQ(state->bandGainDb[11], 14);
    move(10, 1);
    EXPECT_NEAR(moves[0].value, 14.15, 1e-5);
    EXPECT_EQ(state->bandGainDb[11], 14);
    EXPECT_EQ(moves[0].position, 7);
}

TEST_F(LinkedTuning, NeighboursCanBeDrivenPastTheScale) {
    state->bandGainDb[11] = 19;
    eq_set_gain(*state, 19, 11, 0);
    move(10, 0);
    EXPECT_NEAR(moves[0].value, 34.0, 1e-9);
    EXPECT_EQ(moves[0].position, -17);  // the trackbar keeps its thumb at 0
    EXPECT_NEAR(state->chain.eqGain[11][0], 0.25220207857 * std::exp(0.0801783618 * 34) - 0.2522020785, 1e-5);
}

TEST(EqSliderScale, PositionsMapToValuesAndBack) {
    EXPECT_EQ(eq_band_value_from_position(0), 20.0f);
    EXPECT_EQ(eq_band_value_from_position(25), 0.0f);
    EXPECT_EQ(eq_band_value_from_position(50), -20.0f);
    EXPECT_FLOAT_EQ(eq_band_value_from_position(26), -0.8f);
    EXPECT_EQ(eq_band_position_from_value(15), 6);
    EXPECT_EQ(eq_band_position_from_value(12), 10);
    EXPECT_EQ(eq_band_position_from_value(10), 12);
    EXPECT_EQ(eq_band_position_from_value(-20), 50);
    EXPECT_EQ(eq_band_position_from_value(-0.5), 25);  // 25.625 truncated
    EXPECT_EQ(eq_pregain_value_from_position(0), -18.0f);
    EXPECT_EQ(eq_pregain_value_from_position(12), 0.0f);
    EXPECT_EQ(eq_pregain_value_from_position(24), 18.0f);
}

TEST(SkinColours, ShiftAndInvertPerComponent) {
    EXPECT_EQ(DarkenColor(InvertColor(make_rgb(6, 76, 98)), 34), make_rgb(215, 145, 123));
    EXPECT_EQ(LightenColor(make_rgb(6, 76, 98), 52), make_rgb(58, 128, 150));
    EXPECT_EQ(DarkenColor(make_rgb(10, 200, 40), 51), make_rgb(0, 149, 0));
    EXPECT_EQ(LightenColor(make_rgb(250, 10, 204), 51), make_rgb(255, 61, 255));
}

}  // namespace
}  // namespace audiomix
