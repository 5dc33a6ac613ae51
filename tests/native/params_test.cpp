#include <cmath>
#include <set>
#include <string>

#include "model/param_table.h"
#include "test_support.h"

namespace audiomix {
namespace {

class Params : public testing::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        audiomix_begin(0);
        audiomix_init(44100, 2, 0);
        default_engine().edit()->settingsChanged = 0;
    }
    double get(const char* name) {
        double v = -12345;
        EXPECT_EQ(audiomix_param_get(name, &v), AUDIOMIX_PARAM_OK) << name;
        return v;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        char buffer[64];
        for (int32_t i = 0;; ++i) {
            const int32_t n = audiomix_param_name(i, buffer, sizeof buffer);
            if (n == AUDIOMIX_PARAM_UNKNOWN) break;
            EXPECT_EQ(n, static_cast<int32_t>(std::strlen(buffer)));
            out.push_back(buffer);
        }
        return out;
    }
};

TEST_F(Params, NamesListEveryParameterAndTheShownBands) {
    const auto list = names();
    ASSERT_EQ(list.size(), 17u + 10u);
    const std::set<std::string> fixed(list.begin(), list.end());
    for (const char* n : {"eq.on", "reverb.on", "comp.on", "order.reverb_first", "comp.threshold_db",
                          "comp.ratio", "comp.attack_ms", "comp.release_ms", "reverb.comb_db",
                          "reverb.taps", "reverb.wet_db", "reverb.decay_m", "reverb.comb_m",
                          "reverb.base_m", "eq.bands", "eq.pregain", "eq.second_pass", "eq.band.0",
                          "eq.band.9"})
        EXPECT_EQ(fixed.count(n), 1u) << n;
    ASSERT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(names().size(), 17u + 31u);
    EXPECT_EQ(names().back(), "eq.band.30");
}

TEST_F(Params, NameIsCutToTheBufferAndReportsItsLength) {
    char small[6] = "xxxxx";
    EXPECT_EQ(audiomix_param_name(4, small, sizeof small), 17);  // comp.threshold_db
    EXPECT_STREQ(small, "comp.");
    EXPECT_EQ(audiomix_param_name(4, nullptr, 0), 17);
    EXPECT_EQ(audiomix_param_name(-1, small, 6), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_name(17 + 10, small, 6), AUDIOMIX_PARAM_UNKNOWN);
    char one[1] = {'z'};
    audiomix_param_name(0, one, 1);
    EXPECT_EQ(one[0], '\0');
}

TEST_F(Params, DefaultsReadBackAfterInit) {
    EXPECT_EQ(get("comp.threshold_db"), -20);
    EXPECT_EQ(get("comp.ratio"), 5);
    EXPECT_EQ(get("comp.attack_ms"), 1);
    EXPECT_EQ(get("comp.release_ms"), 10);
    EXPECT_EQ(get("reverb.comb_db"), -10);
    EXPECT_EQ(get("reverb.wet_db"), -10);
    EXPECT_EQ(get("reverb.taps"), 20);
    EXPECT_EQ(get("reverb.decay_m"), 10);
    EXPECT_EQ(get("reverb.comb_m"), 20);
    EXPECT_EQ(get("reverb.base_m"), 5);
    EXPECT_EQ(get("eq.bands"), 10);
    EXPECT_EQ(get("eq.pregain"), 0);
    EXPECT_EQ(get("eq.band.9"), 0);
    EXPECT_EQ(get("eq.on") + get("reverb.on") + get("comp.on") + get("eq.second_pass"), 0);
    // The table that listings and plugin descriptions read says the same.
    for (int32_t i = 0; i < kFixedParamCount; ++i)
        EXPECT_EQ(get(kParamTable[i].name), kParamTable[i].defaultValue) << kParamTable[i].name;
    EXPECT_EQ(get("eq.band.0"), kParamTable[kFixedParamCount].defaultValue);
}

TEST_F(Params, RangesMatchWhatTheBoxesAccept) {
    struct Case {
        const char* name;
        double lo, hi;
    } cases[] = {{"comp.threshold_db", -59, -1}, {"comp.ratio", 0, 10},     {"comp.attack_ms", 1, 1000},
                 {"comp.release_ms", 1, 1000},   {"reverb.comb_db", -80, -1}, {"reverb.taps", 1, 100},
                 {"reverb.wet_db", -100, -2},    {"reverb.decay_m", 1, 1000}, {"reverb.comb_m", 1, 1000},
                 {"reverb.base_m", 0, 100}};
    for (const Case& c : cases) {
        const double before = get(c.name);
        EXPECT_EQ(audiomix_param_set(c.name, c.lo - 1), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        EXPECT_EQ(audiomix_param_set(c.name, c.hi + 1), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        EXPECT_EQ(audiomix_param_set(c.name, c.lo + 0.5), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        EXPECT_EQ(audiomix_param_set(c.name, NAN), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        // Whole but far beyond any integer: refused, never converted.
        EXPECT_EQ(audiomix_param_set(c.name, 4294967306.0), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        EXPECT_EQ(audiomix_param_set(c.name, -1e300), AUDIOMIX_PARAM_OUT_OF_RANGE) << c.name;
        EXPECT_EQ(get(c.name), before);
        EXPECT_EQ(testing::settings().settingsChanged, 0) << c.name;
        EXPECT_EQ(audiomix_param_set(c.name, c.lo), AUDIOMIX_PARAM_OK) << c.name;
        EXPECT_EQ(get(c.name), c.lo);
        EXPECT_EQ(audiomix_param_set(c.name, c.hi), AUDIOMIX_PARAM_OK) << c.name;
        EXPECT_EQ(get(c.name), c.hi);
        EXPECT_EQ(testing::settings().settingsChanged, 1);
        default_engine().edit()->settingsChanged = 0;
    }
}

TEST_F(Params, UnknownNamesAndNullPointers) {
    double v = 0;
    EXPECT_EQ(audiomix_param_set("eq.nothing", 1), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_set(nullptr, 1), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_get("comp.ratio", nullptr), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_get(nullptr, &v), AUDIOMIX_PARAM_UNKNOWN);
    for (const char* n : {"eq.band.10", "eq.band.", "eq.band.-1", "eq.band.01", "eq.band.3x",
                          "eq.band.99999999999", "EQ.ON", "eq.on "})
        EXPECT_EQ(audiomix_param_set(n, 1), AUDIOMIX_PARAM_UNKNOWN) << n;
}

TEST_F(Params, SwitchesTakeZeroOrOne) {
    EXPECT_EQ(audiomix_param_set("eq.on", 2), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("eq.on", 0), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().settingsChanged, 0);  // no change, nothing to tell the host
    EXPECT_EQ(audiomix_param_set("eq.on", 1), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.eqOn, 1);
    EXPECT_EQ(testing::settings().settingsChanged, 1);
    EXPECT_EQ(audiomix_param_set("order.reverb_first", 1), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.reverbFirst, 1);
    EXPECT_EQ(audiomix_param_set("eq.second_pass", 1), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.eqSecondPass, 1);
}

TEST_F(Params, CompressorValuesDeriveLikeTheirBoxes) {
    ASSERT_EQ(audiomix_param_set("comp.threshold_db", -30), AUDIOMIX_PARAM_OK);
    EXPECT_NEAR(testing::settings().chain.compThreshold, testing::expected_db(-33), 1e-7);
    ASSERT_EQ(audiomix_param_set("comp.ratio", 0), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.compSlope, 0.0f);
    ASSERT_EQ(audiomix_param_set("comp.attack_ms", 10), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.compAvgCoef, testing::settings().chain.compReleaseCoef);  // equal times: release side
}

TEST_F(Params, ReverbValuesReachBothLinesAndRedrawTheTaps) {
    const uint16_t old_delay = testing::settings().chain.reverb[0].tapDelay[0];
    ASSERT_EQ(audiomix_param_set("reverb.taps", 50), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.reverb[0].tapCount, 50);
    EXPECT_EQ(testing::settings().chain.reverb[1].tapCount, 50);
    EXPECT_NE(testing::settings().chain.reverb[0].tapDelay[0], old_delay);
    ASSERT_EQ(audiomix_param_set("reverb.wet_db", -2), AUDIOMIX_PARAM_OK);
    EXPECT_NEAR(testing::settings().chain.reverb[1].wetGain, testing::expected_db(-2), 1e-6);
    ASSERT_EQ(audiomix_param_set("reverb.comb_db", -30), AUDIOMIX_PARAM_OK);
    EXPECT_NEAR(testing::settings().chain.reverb[0].combGain, testing::expected_db(-30), 1e-7);
    ASSERT_EQ(audiomix_param_set("reverb.comb_m", 40), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.reverb[1].combDelay, 2 * (40 * 44100 / 330));
    ASSERT_EQ(audiomix_param_set("reverb.base_m", 0), AUDIOMIX_PARAM_OK);
    for (int t = 0; t < 50; ++t) EXPECT_LE(testing::settings().chain.reverb[0].tapDelay[t], 5344);
}

TEST_F(Params, BandsApplyToEveryChannelAndReadBack) {
    ASSERT_EQ(audiomix_param_set("eq.band.5", 12.5), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(get("eq.band.5"), 12.5);
    EXPECT_EQ(testing::settings().chain.eqGain[5][0], testing::settings().chain.eqGain[5][1]);
    EXPECT_NEAR(testing::settings().chain.eqGain[5][0], 0.25220207857 * std::exp(0.0801783618 * 12.5) - 0.25220207853, 1e-6);
    EXPECT_EQ(testing::settings().bandGainDb[5], 12);
    EXPECT_EQ(testing::settings().bandGainDb[4] + testing::settings().bandGainDb[6], 0);  // no linked tuning
    EXPECT_EQ(audiomix_param_set("eq.band.5", 20.5), AUDIOMIX_PARAM_OUT_OF_RANGE);
    ASSERT_EQ(audiomix_param_set("eq.pregain", -18), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(get("eq.pregain"), -18);
    EXPECT_EQ(audiomix_param_set("eq.pregain", 18.01), AUDIOMIX_PARAM_OUT_OF_RANGE);
}

TEST_F(Params, BandCountResetsGainsAndFollowsTheRate) {
    audiomix_param_set("eq.band.2", 7);
    ASSERT_EQ(audiomix_param_set("eq.bands", 25), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.eqActiveBands, 25);
    EXPECT_EQ(get("eq.band.2"), 0);
    EXPECT_EQ(get("eq.band.24"), 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 12), AUDIOMIX_PARAM_OUT_OF_RANGE);
    // 2^32 + 10 would wrap to a valid count if it were converted.
    EXPECT_EQ(audiomix_param_set("eq.bands", 4294967306.0), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(testing::settings().chain.eqActiveBands, 25);
    audiomix_init(22050, 1, 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 15), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("eq.bands", 10), AUDIOMIX_PARAM_OK);
}

TEST_F(Params, WorkBeforeBeginWithoutCrashing) {
    testing::reset_engine();
    // No rate yet: only the ten-band layout is available, as on the page.
    EXPECT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("eq.bands", 10), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(audiomix_param_set("reverb.taps", 100), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(audiomix_param_set("comp.attack_ms", 1000), AUDIOMIX_PARAM_OK);
}

}  // namespace
}  // namespace audiomix
