// What a host sees through the exports: the life cycle of begin, init,
// change, datarefresh and close; parameters by name; engines of its own that
// behave as the default engine does; and harmless results for bad arguments.
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "dsp/reverb.h"
#include "model/param_table.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::make_signal;
using testing::param;
using testing::settings;
using Samples = std::vector<int16_t>;

// The buffer after the default engine's audiomix_change.
Samples changed(Samples buffer, uint8_t draw = 0) {
    audiomix_change(buffer.data(), static_cast<int32_t>(buffer.size() * 2), draw);
    return buffer;
}

class Lifecycle : public testing::EngineTest {};

TEST_F(Lifecycle, BeginMakesTheWindowOnceAndForgetsAnEarlierHostWindow) {
    int host = 0;
    audiomix_set_mainwnd(&host);
    audiomix_begin(0x123456);
    ControlWindow* first = settings().link.controlWindow;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(settings().link.skinColour, 0x00624C06u);  // a new window fixes the skin colour
    EXPECT_EQ(settings().link.hostWindow, nullptr);

    audiomix_init(48000, 2, 1);
    EXPECT_EQ(audiomix_get_dispstatus(), 1);
    default_engine().edit()->settingsChanged = 1;
    audiomix_begin(0x00ABCDEF);
    EXPECT_EQ(settings().link.controlWindow, first);
    EXPECT_EQ(settings().link.skinColour, 0x00ABCDEFu);
    EXPECT_EQ(settings().chain.eqTable, &eq_table_for(10, 44100));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    EXPECT_EQ(settings().settingsChanged, 1);  // cleared only when a window is made
}

// Before init the read-outs report the load values; a channel count other
// than 1 or 2 is reported but leaves the audio alone, and audiomix_change
// returns its length whatever it is given.
TEST_F(Lifecycle, ChannelCountsOutsideOneOrTwoLeaveAudioAloneAndChangeReturnsItsLength) {
    int16_t small[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(audiomix_change(small, 16, 1), 16);
    EXPECT_EQ(audiomix_change(nullptr, 400, 1), 400);
    EXPECT_EQ(audiomix_change(small, -6, 1), -6);
    audiomix_begin(0);
    EXPECT_EQ(audiomix_get_sample(), 1);
    EXPECT_EQ(audiomix_get_ch(), 0);
    for (int32_t channels : {0, 3, -1, 8}) {
        audiomix_init(44100, channels, 1);
        EXPECT_EQ(audiomix_get_ch(), channels);
        for (const char* name : {"eq.on", "reverb.on", "comp.on"}) audiomix_param_set(name, 1);
        const Samples buffer = make_signal(6, 1, 960);
        EXPECT_EQ(changed(buffer, 1), buffer) << channels;
    }
}

TEST_F(Lifecycle, AnUncoveredRateRunsReverbAndCompressorButNeverTheEqualiser) {
    audiomix_begin(0);
    audiomix_init(32000, 2, 0);
    EXPECT_EQ(audiomix_get_sample(), 32000);
    EXPECT_NEAR(settings().chain.compAttackCoef, 1.0 - 1.0 / 32.0, 1e-7);
    audiomix_setiir(1);
    const Samples buffer = make_signal(1, 2, 1000);
    EXPECT_EQ(changed(buffer), buffer);
}

// datarefresh clears the rings and filter memories (at a rate the equaliser
// covers) when the next buffer starts but keeps their positions; init starts
// the next track without the last one's reverb tail.
TEST_F(Lifecycle, DatarefreshAndInitClearTheMemories) {
    for (int32_t rate : {44100, 32000}) {
        testing::reset_engine();
        audiomix_begin(0);
        audiomix_init(rate, 2, 0);
        audiomix_param_set("reverb.on", 1);
        audiomix_setiir(1);
        changed(make_signal(2, 2, 3000));
        const ChainSignal& signal = default_engine().signal();
        const std::vector<float> ring(std::begin(signal.reverb[1].samples), std::end(signal.reverb[1].samples));
        const uint16_t pos = signal.reverb[0].writePos;
        ASSERT_NE(ring, std::vector<float>(ring.size(), 0.0f));
        audiomix_datarefresh();
        audiomix_change(nullptr, 0, 0);
        const std::vector<float> after(std::begin(signal.reverb[1].samples), std::end(signal.reverb[1].samples));
        EXPECT_EQ(after, rate == 32000 ? ring : std::vector<float>(ring.size(), 0.0f)) << rate;
        for (int b = 0; rate == 44100 && b < kMaxBands; ++b) ASSERT_EQ(signal.eqHistory[0][b][0][3], 0.0f);
        EXPECT_EQ(signal.reverb[0].writePos, pos);
    }
    audiomix_init(44100, 2, 0);
    audiomix_param_set("reverb.on", 1);
    changed(make_signal(3, 2, 4000));
    audiomix_init(44100, 2, 0);
    audiomix_param_set("reverb.on", 1);
    const Samples silence(4000 * 2, 0);
    EXPECT_EQ(changed(silence), silence);
}

TEST_F(Lifecycle, CloseSwitchesReverbAndCompressorOffButTheEqualiserRuns) {
    audiomix_begin(0);
    audiomix_init(44100, 1, 1);
    audiomix_setiir(1);
    audiomix_param_set("reverb.on", 1);
    audiomix_param_set("comp.on", 1);
    audiomix_close();
    EXPECT_EQ(settings().link.controlWindow, nullptr);
    EXPECT_EQ(settings().chain.scopeDc, nullptr);
    EXPECT_EQ(settings().chain.reverbOn + settings().chain.compOn + settings().chain.displayShown, 0);
    const Samples buffer = make_signal(4, 1, 500);
    EXPECT_NE(changed(buffer, 1), buffer);
    // Without a window these only store; twice closed is harmless.
    audiomix_setdisp(1);
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    audiomix_close();
    audiomix_begin(0);
    EXPECT_NE(settings().link.controlWindow, nullptr);
}

TEST(PresetPath, IsTheLibraryFolderAndTheFileNameWholeOrNothing) {
    char out[256];
    preset_path_from_module("C:\\Program Files\\Host\\audiomix.dll", '\\', out, 256);
    EXPECT_STREQ(out, "C:\\Program Files\\Host\\audioeqset.eq");
    preset_path_from_module(nullptr, '\\', out, 256);
    EXPECT_STREQ(out, "\\audioeqset.eq");
    // Folder + '\' + 13 characters + NUL: exactly the buffer fits; one byte
    // less leaves it empty.
    const std::string fits = std::string(256 - 15, 'f') + "\\x.dll";
    preset_path_from_module(fits.c_str(), '\\', out, 256);
    EXPECT_EQ(std::strlen(out), 255u);
    preset_path_from_module(fits.c_str(), '\\', out, 255);
    EXPECT_STREQ(out, "");
}

// ---------------------------------------------------------------------------
// Parameters by name.

class Params : public testing::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        audiomix_begin(0);
        audiomix_init(44100, 2, 0);
        default_engine().edit()->settingsChanged = 0;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        char buffer[64];
        for (int32_t i = 0, n; (n = audiomix_param_name(i, buffer, sizeof buffer)) != AUDIOMIX_PARAM_UNKNOWN; ++i) {
            EXPECT_EQ(n, static_cast<int32_t>(std::strlen(buffer)));
            out.push_back(buffer);
        }
        return out;
    }
};

TEST_F(Params, NamesListEveryParameterAndTheShownBandsAndNoOthers) {
    auto list = names();
    ASSERT_EQ(list.size(), 17u + 10u);
    for (int32_t i = 0; i < kFixedParamCount; ++i) EXPECT_EQ(list[i], kParamTable[i].name);
    EXPECT_EQ(list.back(), "eq.band.9");
    double v = 0;
    EXPECT_EQ(audiomix_param_get("comp.ratio", nullptr), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_param_get(nullptr, &v), AUDIOMIX_PARAM_UNKNOWN);
    for (const char* n : {"eq.nothing", static_cast<const char*>(nullptr), "eq.band.10", "eq.band.", "eq.band.-1",
                          "eq.band.01", "eq.band.3x", "eq.band.99999999999", "EQ.ON", "eq.on "})
        EXPECT_EQ(audiomix_param_set(n, 1), AUDIOMIX_PARAM_UNKNOWN) << (n ? n : "null");
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
        EXPECT_EQ(param(p.name), p.defaultValue);
        if (p.target == ParamTarget::EffectValue) {
            const ValueRange box = effect_box_range(static_cast<EffectValue>(p.box));
            EXPECT_EQ(p.minimum, box.lo);
            EXPECT_EQ(p.maximum, box.hi);
        }
        // Between whole values only for a stepped parameter.
        const double between = p.kind == ParamKind::Continuous ? double(NAN) : p.minimum + 0.5;
        for (double bad : {p.minimum - 1, p.maximum + 0.01, double(NAN), 4294967306.0, -1e300, between})
            EXPECT_EQ(audiomix_param_set(p.name, bad), AUDIOMIX_PARAM_OUT_OF_RANGE) << bad;
        EXPECT_EQ(param(p.name), p.defaultValue);
        EXPECT_EQ(settings().settingsChanged, 0);
        for (double good : {p.minimum, p.maximum}) {
            ASSERT_EQ(audiomix_param_set(p.name, good), AUDIOMIX_PARAM_OK) << good;
            EXPECT_EQ(param(p.name), good);
        }
        EXPECT_EQ(settings().settingsChanged, 1);
        testing::reset_engine();
        SetUp();
    }
}

TEST_F(Params, ValuesReachTheEngineAsTheirControlsDo) {
    ASSERT_EQ(audiomix_param_set("comp.threshold_db", -30), AUDIOMIX_PARAM_OK);
    EXPECT_NEAR(settings().chain.compThreshold, std::pow(10.0, -33 / 20.0), 1e-7);
    ASSERT_EQ(audiomix_param_set("comp.attack_ms", 10), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(settings().chain.compAvgCoef, settings().chain.compReleaseCoef);  // equal times: release side
    // A new count redraws the taps, the right channel's first, so the two
    // channels differ.
    RandomSource random = settings().random;
    ASSERT_EQ(audiomix_param_set("reverb.taps", 50), AUDIOMIX_PARAM_OK);
    for (int32_t c : {1, 0}) {
        const Settings now = settings();
        ReverbVoice voice = now.chain.reverb[c];
        EXPECT_EQ(voice.tapCount, 50);
        reverb_draw_taps(random, 44100, {now.reverb[c].spreadM, now.reverb[c].baseM, now.reverb[c].decayM}, voice);
        EXPECT_EQ(std::memcmp(voice.tapDelay, now.chain.reverb[c].tapDelay, sizeof voice.tapDelay), 0) << c;
    }
    EXPECT_NE(std::memcmp(settings().chain.reverb[0].tapDelay, settings().chain.reverb[1].tapDelay, 100), 0);
    ASSERT_EQ(audiomix_param_set("reverb.comb_m", 40), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(settings().chain.reverb[1].combDelay, 2 * (40 * 44100 / 330));

    ASSERT_EQ(audiomix_param_set("eq.band.5", 12.5), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(param("eq.band.5"), 12.5);
    for (float gain : settings().chain.eqGain[5]) EXPECT_EQ(gain, eq_band_factor(12.5f));  // both channels
    EXPECT_EQ(settings().bandGainDb[5], 12);
    EXPECT_EQ(settings().bandGainDb[4] + settings().bandGainDb[6], 0);  // no linked tuning
}

TEST_F(Params, BandCountResetsGainsAndFollowsTheRate) {
    audiomix_param_set("eq.band.2", 7);
    ASSERT_EQ(audiomix_param_set("eq.bands", 25), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(param("eq.band.2"), 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 12), AUDIOMIX_PARAM_OUT_OF_RANGE);
    audiomix_init(22050, 1, 0);
    EXPECT_EQ(audiomix_param_set("eq.bands", 15), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("eq.bands", 10), AUDIOMIX_PARAM_OK);
    // No rate yet: only the ten-band layout, as on the page.
    testing::reset_engine();
    EXPECT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_param_set("reverb.taps", 100), AUDIOMIX_PARAM_OK);
}

// ---------------------------------------------------------------------------
// Engines of the host's own.

// A random session of a host: parameter changes (whole values from a little
// beyond each end of the range, band counts the rate refuses) between
// buffers of random length, through an engine or the default engine;
// returns everything it produced.
Samples run_session(audiomix_engine* engine, uint32_t seed, int32_t steps, int32_t channels) {
    std::mt19937 rng(seed);
    Samples out;
    for (int32_t i = 0; i < steps; ++i) {
        if (rng() % 3 == 0) {
            const int32_t frames = static_cast<int32_t>(rng() % 5000);
            Samples buffer = make_signal(rng(), channels, frames);
            if (engine == nullptr) buffer = changed(buffer);
            // Pieces of at most 4100 frames, as the chain cuts a longer buffer itself.
            for (int32_t done = 0; engine != nullptr && done < frames; done += 4100)
                audiomix_engine_process(engine, buffer.data() + done * channels, std::min(frames - done, 4100));
            out.insert(out.end(), buffer.begin(), buffer.end());
            continue;
        }
        const ParamInfo& p = kParamTable[rng() % (kFixedParamCount + 1)];
        const double value = std::uniform_int_distribution<int>(int(p.minimum) - 1, int(p.maximum) + 1)(rng);
        const std::string name = p.target == ParamTarget::EqBand ? "eq.band." + std::to_string(rng() % 31) : p.name;
        if (engine != nullptr)
            audiomix_engine_param_set(engine, name.c_str(), value);
        else
            audiomix_param_set(name.c_str(), value);
    }
    return out;
}

using Engines = testing::EngineTest;

// Another engine at work, and a reset matched by datarefresh, leave an
// engine and the default engine alike.
TEST_F(Engines, ANewEngineIsTheDefaultEngineAfterBeginAndInit) {
    const std::pair<int32_t, int32_t> formats[] = {{44100, 2}, {48000, 1}, {22050, 2}, {11025, 1}, {32000, 2}};
    for (const auto& [rate, channels] : formats) {
        testing::reset_engine();
        audiomix_begin(0);
        audiomix_init(rate, channels, 0);
        audiomix_engine* engine = audiomix_engine_create(rate, channels);
        ASSERT_NE(engine, nullptr);
        char name[64];
        for (int32_t i = 0; audiomix_param_name(i, name, sizeof name) != AUDIOMIX_PARAM_UNKNOWN; ++i) {
            double mine = -1, theirs = -2;
            ASSERT_EQ(audiomix_engine_param_get(engine, name, &mine), AUDIOMIX_PARAM_OK) << name;
            ASSERT_EQ(audiomix_param_get(name, &theirs), AUDIOMIX_PARAM_OK) << name;
            EXPECT_EQ(mine, theirs) << name << " at " << rate;
        }
        audiomix_engine* other = audiomix_engine_create(rate, channels);
        for (uint32_t seed : {1u, 2u}) {
            run_session(other, seed + 100, 200, channels);  // draws random numbers of its own
            EXPECT_EQ(run_session(engine, seed, 300, channels), run_session(nullptr, seed, 300, channels))
                << rate << " Hz, " << channels << " channels, session " << seed;
            audiomix_engine_reset(engine);
            audiomix_datarefresh();
        }
        audiomix_engine_destroy(other);
        audiomix_engine_destroy(engine);
    }
}

// The float path quantises to 16 bits (rounding, clamping, NaN as silence)
// and is then the 16-bit path exactly.
TEST_F(Engines, TheFloatPathIsTheSixteenBitPathExactly) {
    audiomix_engine* ints = audiomix_engine_create(44100, 2);
    audiomix_engine* floats = audiomix_engine_create(44100, 2);
    for (audiomix_engine* e : {ints, floats})
        for (const char* name : {"eq.on", "reverb.on", "comp.on", "eq.second_pass"})
            audiomix_engine_param_set(e, name, 1);
    for (int32_t frames : {1, 7, 4101, 9000}) {
        Samples interleaved = make_signal(static_cast<uint32_t>(frames), 2, frames);
        std::vector<float> left(frames), right(frames);
        for (int32_t f = 0; f < frames; ++f) {
            // Off the 16-bit grid by less than half a step: quantising rounds it back.
            left[f] = (interleaved[2 * f] + 0.49f * ((f % 3) - 1)) / 32768.0f;
            right[f] = interleaved[2 * f + 1] / 32768.0f;
        }
        const float* in[2] = {left.data(), right.data()};
        float* out[2] = {left.data(), right.data()};  // in place
        ASSERT_EQ(audiomix_engine_process_float(floats, in, out, frames), frames);
        ASSERT_EQ(audiomix_engine_process(ints, interleaved.data(), frames), frames);
        for (int32_t f = 0; f < frames; ++f) {
            ASSERT_EQ(left[f], interleaved[2 * f] / 32768.0f) << frames << " " << f;
            ASSERT_EQ(right[f], interleaved[2 * f + 1] / 32768.0f) << frames << " " << f;
        }
    }
    audiomix_engine* plain = audiomix_engine_create(44100, 1);  // every stage off: a pure round trip
    float extremes[] = {2.0f, -3.0f, NAN, INFINITY, -INFINITY, 0.5f / 32768.0f, 1.5f / 32768.0f, -1.0f};
    float* inout[] = {extremes};
    ASSERT_EQ(audiomix_engine_process_float(plain, inout, inout, 8), 8);
    EXPECT_EQ(std::vector<float>(extremes, extremes + 8),
              (std::vector<float>{32767 / 32768.0f, -1.0f, 0.0f, 32767 / 32768.0f, -1.0f, 0.0f, 2 / 32768.0f, -1.0f}));
    for (audiomix_engine* e : {ints, floats, plain}) audiomix_engine_destroy(e);
}

TEST_F(Engines, BadArgumentsHaveDefinedResults) {
    for (int32_t channels : {0, 3, -1}) EXPECT_EQ(audiomix_engine_create(44100, channels), nullptr);
    for (int32_t rate : {0, -44100, INT32_MIN}) EXPECT_EQ(audiomix_engine_create(rate, 2), nullptr);
    int16_t samples[8] = {};
    double value = 0;
    char name[16];
    EXPECT_EQ(audiomix_engine_process(nullptr, samples, 4), 0);
    EXPECT_EQ(audiomix_engine_param_get(nullptr, "eq.on", &value), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_preset_name(nullptr, 0, name, sizeof name), -1);
    audiomix_engine_destroy(nullptr);

    // An absurd rate is a rate: the equaliser stays off, nothing breaks.
    audiomix_engine* engine = audiomix_engine_create(INT32_MAX, 2);
    ASSERT_NE(engine, nullptr);
    for (const char* p : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(engine, p, 1);
    Samples buffer = make_signal(1, 2, 5000);
    EXPECT_EQ(audiomix_engine_process(engine, nullptr, 10), 0);
    EXPECT_EQ(audiomix_engine_process(engine, buffer.data(), -1), 0);
    EXPECT_EQ(audiomix_engine_process(engine, buffer.data(), 5000), 5000);
    EXPECT_EQ(audiomix_engine_process_float(engine, nullptr, nullptr, -3), 0);
    EXPECT_EQ(audiomix_engine_process_float(engine, nullptr, nullptr, 100), 100);  // silence in, nothing out
    const float* no_inputs[2] = {nullptr, nullptr};
    float kept[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* outs[2] = {kept[0], nullptr};
    EXPECT_EQ(audiomix_engine_process_float(engine, no_inputs, outs, 4), 4);
    EXPECT_EQ(kept[1][0], 9.0f);  // a channel without an output pointer is not written
    EXPECT_EQ(audiomix_engine_param_set(engine, "eq.bands", 20), AUDIOMIX_PARAM_OUT_OF_RANGE);
    audiomix_engine_destroy(engine);
}

}  // namespace
}  // namespace audiomix
