#include <cmath>
#include <set>

#include "dsp/chain_state.h"
#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "dsp/random_source.h"
#include "model/eq_rules.h"
#include "model/settings.h"
#include "test_support.h"

namespace audiomix {
namespace {

// Settings as the equaliser page leaves them and a signal state the stage
// runs on, as one engine holds them.
struct EqRig {
    Settings settings;
    ChainSignal signal;
};

std::unique_ptr<EqRig> eq_rig() {
    auto rig = std::make_unique<EqRig>();
    settings_load_state(rig->settings);
    chain_signal_load_state(rig->signal);
    return rig;
}

std::unique_ptr<EqRig> eq_state(int32_t rate, int32_t bands, int32_t channels) {
    auto rig = eq_rig();
    ChainParams& p = rig->settings.chain;
    p.channelCount = channels;
    p.sampleRate = rate;
    p.eqOn = 1;
    eq_set_band_count(rig->settings, bands);
    // What the chain does first with the next buffer.
    chain_apply_resets(p, rig->signal);
    return rig;
}

void eq_run(EqRig& rig, int16_t* samples, int32_t frames) {
    eq_process(rig.settings.chain, rig.signal, samples, frames);
}

TEST(EqGain, FollowsTheFittedFactors) {
    auto s = testing::make_settings();
    struct Row {
        float value;
        double band;
    } rows[] = {{0, 4.2e-11}, {10, 0.3101}, {20, 1.0014}, {-20, -0.2015}};
    for (const Row& r : rows) {
        eq_set_gain(*s, r.value, 4, 1);
        EXPECT_NEAR(s->chain.eqGain[4][1], r.band, r.value == 0 ? 1e-12 : 1e-4) << r.value;
        EXPECT_NEAR(eq_band_factor(r.value), r.band, r.value == 0 ? 1e-12 : 1e-4) << r.value;
    }
    struct PreRow {
        float value;
        double gain;
    } pre[] = {{0, 0.9999998}, {10, 2.0}, {-10, 0.5}, {-18, 0.2872}, {18, 3.482}};
    for (const PreRow& r : pre) {
        eq_set_gain(*s, r.value, -1, 0);
        EXPECT_NEAR(s->chain.eqPreGain[0], r.gain, 1e-3) << r.value;
        EXPECT_NEAR(eq_pregain_factor(r.value), r.gain, 1e-3) << r.value;
    }
    eq_set_gain(*s, 10, -3, 1);  // any negative band is the pre-gain
    EXPECT_NEAR(s->chain.eqPreGain[1], 2.0, 1e-5);
    EXPECT_FLOAT_EQ(s->eqPreGainValue, 18.0f);  // channel 0's value is what is remembered
}

TEST(EqGain, IgnoresChannelsAndBandsOutsideTheRecord) {
    auto s = testing::make_settings();
    auto copy = std::make_unique<Settings>(*s);
    eq_set_gain(*s, 10, 31, 0);
    eq_set_gain(*s, 10, 0, 2);
    eq_set_gain(*s, 10, 0, -1);
    EXPECT_EQ(std::memcmp(s.get(), copy.get(), sizeof(Settings)), 0);
}

TEST(EqReset, RefillsTheDitherFromTheSettingsSourceAndKeepsTheSlots) {
    auto rig = eq_rig();
    ChainSignal& s = rig->signal;
    s.eqSlotCur = 1;
    s.eqSlotPrev1 = 0;
    s.eqSlotPrev2 = 2;
    s.eqHistory[1][30][1][5] = 3.0f;
    s.eqDitherIndex = 77;
    eq_reset_state(rig->settings);
    chain_apply_resets(rig->settings.chain, s);
    std::set<double> seen;
    RandomSource reference;
    for (double d : rig->settings.chain.eqDither) {
        EXPECT_EQ(d, reference.next() % 4 - 2);
        seen.insert(d);
    }
    EXPECT_EQ(seen, (std::set<double>{-2, -1, 0, 1}));
    // The table took 256 draws of the settings' own source.
    EXPECT_EQ(rig->settings.random.next(), reference.next());
    EXPECT_EQ(s.eqHistory[1][30][1][5], 0.0f);
    EXPECT_EQ(s.eqDitherIndex, 0);
    EXPECT_EQ(s.eqSlotCur, 1);
    EXPECT_EQ(s.eqSlotPrev1, 0);
    EXPECT_EQ(s.eqSlotPrev2, 2);

    // One request clears once: memories written afterwards stay.
    s.eqHistory[0][2][0][1] = 5.0f;
    s.eqDitherIndex = 9;
    chain_apply_resets(rig->settings.chain, s);
    EXPECT_EQ(s.eqHistory[0][2][0][1], 5.0f);
    EXPECT_EQ(s.eqDitherIndex, 9);
}

TEST(EqBandCount, ResetsEveryGainOfEveryChannelAndSelectsTheTable) {
    auto rig = eq_state(48000, 31, 2);
    Settings& s = rig->settings;
    EXPECT_EQ(s.chain.eqTable, &eq_table_for(31, 48000));
    EXPECT_EQ(s.chain.eqActiveBands, 31);
    eq_set_gain(s, 20, 24, 1);
    eq_set_gain(s, 20, 30, 1);
    eq_set_gain(s, 20, -1, 0);
    rig->signal.eqHistory[0][3][0][0] = 1.0f;
    eq_set_band_count(s, 25);
    EXPECT_EQ(s.chain.eqActiveBands, 25);
    EXPECT_NEAR(s.chain.eqGain[24][1], 4.2e-11, 1e-12);
    EXPECT_NEAR(s.chain.eqGain[30][1], 1.0014, 1e-4);  // beyond the layout: kept, and idle
    EXPECT_NEAR(s.chain.eqPreGain[0], 1.0, 1e-6);
    // The memories are cleared when the next buffer starts.
    chain_apply_resets(s.chain, rig->signal);
    EXPECT_EQ(rig->signal.eqHistory[0][3][0][0], 0.0f);
}

TEST(EqBandCount, LowRatesAlwaysRunTenBands) {
    for (int32_t rate : {11025, 22050}) {
        auto rig = eq_state(rate, 31, 2);
        EXPECT_EQ(rig->settings.eqBandCount, 31);
        EXPECT_EQ(rig->settings.chain.eqActiveBands, 10);
        EXPECT_EQ(rig->settings.chain.sampleRate, rate);
    }
}

TEST(EqBandCount, AnUncoveredRateKeepsTheEqualiserOff) {
    auto rig = eq_state(96000, 15, 2);
    EXPECT_EQ(rig->settings.chain.eqTable, &eq_table_for(15, 44100));  // captions for the page
    EXPECT_EQ(rig->settings.chain.sampleRate, 96000);
    EXPECT_FALSE(eq_stage_enabled(rig->settings.chain, 4096));
}

TEST(EqProcess, FlatSettingsGiveAboutNineSixteenthsOfTheInput) {
    auto rig = eq_state(44100, 10, 1);
    std::vector<int16_t> buf(4000);
    for (size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<int16_t>(i % 2 ? 16000 : -16000);
    const auto in = buf;
    eq_run(*rig, buf.data(), static_cast<int32_t>(buf.size()));
    for (size_t i = 0; i < buf.size(); ++i) {
        // 1.25 (0.45 s + 0.2 d) with d in -2 ... 1, plus rounding.
        EXPECT_NEAR(buf[i], 0.5625 * in[i], 4.0) << i;
    }
}

TEST(EqProcess, ABoostedBandRaisesItsFrequencyOnly) {
    auto measure = [](int32_t band, double hz) {
        auto rig = eq_state(44100, 10, 1);
        eq_set_gain(rig->settings, 20, band, 0);
        std::vector<int16_t> buf(8192);
        for (size_t i = 0; i < buf.size(); ++i)
            buf[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * hz * i / 44100));
        eq_run(*rig, buf.data(), static_cast<int32_t>(buf.size()));
        double sum = 0;
        for (size_t i = 4096; i < buf.size(); ++i) sum += double(buf[i]) * buf[i];
        return std::sqrt(sum / 4096) / (8000 / std::sqrt(2.0));
    };
    // Band 5 is 1 kHz: its own frequency gains the band's unity weight.
    EXPECT_NEAR(measure(5, 1000), 1.25 * (0.45 + 1.0014), 0.05);
    EXPECT_NEAR(measure(5, 62), 0.5625, 0.03);
    EXPECT_NEAR(measure(5, 16000), 0.5625, 0.03);
}

TEST(EqProcess, SecondPassWorksOnTheRunningSum) {
    auto a = eq_state(44100, 31, 1);
    for (int b = 0; b < 31; ++b) eq_set_gain(a->settings, static_cast<float>(b % 7 * 3 - 9), b, 0);
    auto b = std::make_unique<EqRig>(*a);
    b->settings.chain.eqSecondPass = 1;
    auto sig = testing::make_signal(3000, 1, 9000, 11);
    auto one = sig, two = sig;
    eq_run(*a, one.data(), 3000);
    eq_run(*b, two.data(), 3000);
    EXPECT_NE(one, two);
    // The second bank is only touched when the pass runs.
    EXPECT_EQ(a->signal.eqHistory[1][5][0][3], 0.0f);
    EXPECT_NE(b->signal.eqHistory[1][5][0][3], 0.0f);
}

}  // namespace
}  // namespace audiomix
