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
    auto list = names();
    ASSERT_EQ(list.size(), 17u + 10u);
    for (int32_t i = 0; i < kFixedParamCount; ++i) EXPECT_EQ(list[i], kParamTable[i].name);
    EXPECT_EQ(list.back(), "eq.band.9");
    ASSERT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(names().back(), "eq.band.30");

    char small[6] = "xxxxx";
    EXPECT_EQ(audiomix_param_name(4, small, sizeof small), 17);  // comp.threshold_db
    EXPECT_STREQ(small, "comp.");
    EXPECT_EQ(audiomix_param_name(4, nullptr, 0), 17);
    EXPECT_EQ(audiomix_param_name(-1, small, 6), AUDIOMIX_PARAM_UNKNOWN);
}

// Every fixed parameter: its default after init, both ends accepted and read
// back, everything outside (or between whole values) refused without a trace;
// an effect value accepts exactly what its box on the page accepts.
TEST_F(Params, EveryParameterHonoursItsTabledRangeAndDefault) {
    for (int32_t i = 0; i < kFixedParamCount; ++i) {
        const ParamInfo& p = kParamTable[i];
        SCOPED_TRACE(p.name);
        EXPECT_EQ(get(p.name), p.defaultValue);
        if (p.target == ParamTarget::EffectValue) {
            const ValueRange box = effect_box_range(static_cast<EffectValue>(p.box));
            EXPECT_EQ(p.minimum, box.lo);
            EXPECT_EQ(p.maximum, box.hi);
        }
        const double before = get(p.name);
        const bool whole = p.kind != ParamKind::Continuous;
        for (double bad : {p.minimum - 1, p.maximum + 0.01, double(NAN), 4294967306.0, -1e300})
            EXPECT_EQ(audiomix_param_set(p.name, bad), AUDIOMIX_PARAM_OUT_OF_RANGE) << bad;
        if (whole) {
            EXPECT_EQ(audiomix_param_set(p.name, p.minimum + 0.5), AUDIOMIX_PARAM_OUT_OF_RANGE);
        }
        EXPECT_EQ(get(p.name), before);
        EXPECT_EQ(testing::settings().settingsChanged, 0);
        for (double good : {p.minimum, p.maximum}) {
            ASSERT_EQ(audiomix_param_set(p.name, good), AUDIOMIX_PARAM_OK) << good;
            EXPECT_EQ(get(p.name), good);
        }
        EXPECT_EQ(testing::settings().settingsChanged, 1);
        testing::reset_engine();
        SetUp();
    }
}

TEST_F(Params, UnknownNamesAndNullPointers) {
    double v = 0;
    EXPECT_EQ(audiomix_param_get("comp.ratio", nullptr), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_get(nullptr, &v), AUDIOMIX_PARAM_UNKNOWN);
    for (const char* n : {"eq.nothing", static_cast<const char*>(nullptr), "eq.band.10", "eq.band.", "eq.band.-1",
                          "eq.band.01", "eq.band.3x", "eq.band.99999999999", "EQ.ON", "eq.on "})
        EXPECT_EQ(audiomix_param_set(n, 1), AUDIOMIX_PARAM_UNKNOWN) << (n ? n : "null");
}

TEST_F(Params, ValuesReachTheEngineAsTheirControlsDo) {
    ASSERT_EQ(audiomix_param_set("comp.threshold_db", -30), AUDIOMIX_PARAM_OK);
    EXPECT_NEAR(testing::settings().chain.compThreshold, testing::expected_db(-33), 1e-7);
    ASSERT_EQ(audiomix_param_set("comp.attack_ms", 10), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.compAvgCoef, testing::settings().chain.compReleaseCoef);  // equal times: release side
    const uint16_t old_delay = testing::settings().chain.reverb[0].tapDelay[0];
    ASSERT_EQ(audiomix_param_set("reverb.taps", 50), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.reverb[1].tapCount, 50);
    EXPECT_NE(testing::settings().chain.reverb[0].tapDelay[0], old_delay);
    ASSERT_EQ(audiomix_param_set("reverb.comb_m", 40), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(testing::settings().chain.reverb[1].combDelay, 2 * (40 * 44100 / 330));

    ASSERT_EQ(audiomix_param_set("eq.band.5", 12.5), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(get("eq.band.5"), 12.5);
    EXPECT_EQ(testing::settings().chain.eqGain[5][0], testing::settings().chain.eqGain[5][1]);
    EXPECT_NEAR(testing::settings().chain.eqGain[5][0], 0.25220207857 * std::exp(0.0801783618 * 12.5) - 0.25220207853, 1e-6);
    EXPECT_EQ(testing::settings().bandGainDb[5], 12);
    EXPECT_EQ(testing::settings().bandGainDb[4] + testing::settings().bandGainDb[6], 0);  // no linked tuning
}

TEST_F(Params, BandCountResetsGainsAndFollowsTheRate) {
    audiomix_param_set("eq.band.2", 7);
    ASSERT_EQ(audiomix_param_set("eq.bands", 25), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(get("eq.band.2"), 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 12), AUDIOMIX_PARAM_OUT_OF_RANGE);
    audiomix_init(22050, 1, 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 15), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("eq.bands", 10), AUDIOMIX_PARAM_OK);
    // No rate yet: only the ten-band layout, as on the page.
    testing::reset_engine();
    EXPECT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("reverb.taps", 100), AUDIOMIX_PARAM_OK);
}

}  // namespace
}  // namespace audiomix
