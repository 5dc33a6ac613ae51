// Applying presets to the engine, by the page's rule and through the host
// interface, and the preset exports with every kind of bad argument.
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "dsp/equaliser.h"
#include "model/eq_rules.h"
#include "model/preset_store.h"
#include "test_support.h"

namespace audiomix {
namespace {

class PresetApply : public testing::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        audiomix_begin(0);
        audiomix_init(44100, 2, 0);
        load_builtins();  // whatever lies beside the tests
        default_engine().edit()->settingsChanged = 0;
    }
    void TearDown() override {
        load_builtins();
        EngineTest::TearDown();
    }
    static void load_builtins() {
        auto s = default_engine().edit();
        LoadPresets(default_presets(), nullptr);
    }
    // A copy of a record of the default engine's table, taken under its lock.
    static PresetRecord record(int32_t index) {
        const auto s = default_engine().view();
        return default_presets().records[index];
    }
};

TEST_F(PresetApply, HeavyMetalMovesTheSlidersAndTheEngine) {
    eq_apply_pregain(*default_engine().edit(), 6.0f);
    const float preGain = testing::settings().chain.eqPreGain[1];
    default_engine().edit()->settingsChanged = 0;

    eq_choose_preset(*default_engine().edit(), record(7));  // "重金属模式": -10 ... 16 ...
    EXPECT_EQ(testing::settings().settingsChanged, 1);
    EXPECT_EQ(eq_band_position_from_value(testing::settings().eqBandValue[0]), 37);  // trunc(25 + 12.5)
    EXPECT_EQ(eq_band_position_from_value(testing::settings().eqBandValue[6]), 5);   // 25 - 20
    EXPECT_EQ(testing::settings().bandGainDb[0], -10);
    // Both channels get what a band slider at that value gives.
    auto reference = testing::make_settings();
    eq_set_gain(*reference, 16.0f, 6, 0);
    EXPECT_EQ(testing::settings().chain.eqGain[6][0], reference->chain.eqGain[6][0]);
    EXPECT_EQ(testing::settings().chain.eqGain[6][1], reference->chain.eqGain[6][0]);
    EXPECT_EQ(testing::settings().chain.eqPreGain[1], preGain);
}

TEST_F(PresetApply, OnlyTheRecordsBandsChangeAndApplyingLeavesTheFlag) {
    ASSERT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OK);
    ASSERT_EQ(audiomix_param_set("eq.band.12", 7), AUDIOMIX_PARAM_OK);
    default_engine().edit()->settingsChanged = 0;
    eq_apply_preset(*default_engine().edit(), record(5));  // ten bands of "Rock摇滚模式"
    EXPECT_EQ(testing::settings().settingsChanged, 0);
    EXPECT_EQ(testing::settings().eqBandValue[3], 8.0f);
    EXPECT_EQ(testing::settings().bandGainDb[12], 7);

    PresetRecord wild{};
    wild.bandCount = 1000;  // from a damaged file: at most the 31 bands
    wild.gainDb[0] = 9;
    wild.gainDb[30] = -3;
    eq_apply_preset(*default_engine().edit(), wild);
    EXPECT_EQ(testing::settings().eqBandValue[0], 9.0f);
    EXPECT_EQ(testing::settings().eqBandValue[30], -3.0f);
}

TEST_F(PresetApply, ExportsListAndApplyTheCurrentBandCount) {
    EXPECT_EQ(audiomix_preset_count(), 8);
    char name[64];
    EXPECT_EQ(audiomix_preset_name(4, name, sizeof name), 15);  // 5 characters of 3 bytes
    EXPECT_STREQ(name, "重金属模式");
    ASSERT_EQ(audiomix_preset_apply(4), AUDIOMIX_PARAM_OK);
    double v = 0;
    ASSERT_EQ(audiomix_param_get("eq.band.6", &v), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(v, 16.0);

    ASSERT_EQ(audiomix_param_set("eq.bands", 15), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(audiomix_preset_count(), 1);
    EXPECT_EQ(audiomix_preset_name(0, name, sizeof name), 20);
    EXPECT_STREQ(name, "15频段缺省模式");
    EXPECT_EQ(audiomix_preset_apply(1), AUDIOMIX_PARAM_UNKNOWN);
}

TEST_F(PresetApply, NameIsCutWithoutSplittingACharacterAndBadArgumentsChangeNothing) {
    // "10频段缺省模式": "10" and six characters of three bytes, 20 in all.
    const struct {
        int32_t size;
        const char* kept;
    } cuts[] = {{5, "10"}, {6, "10频"}, {1, ""}};
    for (const auto& c : cuts) {
        char buffer[8] = "xxxxxxx";
        EXPECT_EQ(audiomix_preset_name(0, buffer, c.size), 20);
        EXPECT_STREQ(buffer, c.kept);
    }
    char buffer[8] = "x";
    EXPECT_EQ(audiomix_preset_name(0, buffer, -3), 20);
    EXPECT_EQ(buffer[0], 'x');
    for (int32_t index : {-1, 8, INT32_MIN}) {
        EXPECT_EQ(audiomix_preset_name(index, buffer, sizeof buffer), -1);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(audiomix_preset_apply(index), AUDIOMIX_PARAM_UNKNOWN);
    }
    EXPECT_EQ(testing::settings().settingsChanged, 0);
}

TEST_F(PresetApply, BeforeBeginThereIsNothingAndAfterCloseTheListStays) {
    audiomix_close();
    EXPECT_EQ(audiomix_preset_count(), 8);
    EXPECT_EQ(audiomix_preset_apply(1), AUDIOMIX_PARAM_OK);  // "Normal自然模式"
    EXPECT_EQ(testing::settings().eqBandValue[1], 8.0f);

    testing::reset_engine();
    {
        auto s = default_engine().edit();
        default_presets().count = 0;  // as loaded: no window has read the presets yet
    }
    EXPECT_EQ(audiomix_preset_count(), 0);
    EXPECT_EQ(audiomix_preset_apply(0), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_begin(0);  // creating the window loads them
    EXPECT_GE(audiomix_preset_count(), 8);
}

TEST_F(PresetApply, HostThreadsSeeTheListBeforeOrAfterAWindowChangeNeverHalfway) {
    // A host thread reads the list while the window's thread saves and
    // deletes a preset as the page does, under the default engine's edit.
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    int wrongCounts = 0, missingBuiltins = 0;
    std::thread host([&] {
        char name[64];
        while (!done.load()) {
            const int32_t count = audiomix_preset_count();
            if (count != 8 && count != 9) ++wrongCounts;
            for (int32_t i = 0; i < 9; ++i) {
                if (audiomix_preset_name(i, name, sizeof name) < 0 && i < 8) ++missingBuiltins;
            }
            ++reads;
        }
    });
    const std::vector<int32_t> positions(31, 25);
    int unexpected = 0;
    // Saves and deletes alternate; ending after a delete leaves the built-ins.
    for (int round = 0; round < 2000 || reads.load() < 100 || round % 2 != 0; ++round) {
        auto s = default_engine().edit();
        PresetTable& table = default_presets();
        if (table.count == 11)
            unexpected += preset_save(table, nullptr, "mine", 10, positions.data()) != PresetSaveResult::NotWritten;
        else
            unexpected += preset_delete(table, nullptr, table.count - 1) != PresetDeleteResult::NotWritten;
    }
    done = true;
    host.join();
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(wrongCounts, 0);
    EXPECT_EQ(missingBuiltins, 0);
    EXPECT_EQ(audiomix_preset_count(), 8);
}

}  // namespace
}  // namespace audiomix
