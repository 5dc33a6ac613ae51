// Engines for hosts, through the public interface only: a new engine is the
// default engine after begin and init, engines do not disturb each other, the
// float path is the 16-bit path, and bad arguments are harmless.
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace audiomix {
namespace {

using testing::EngineTest;
using testing::make_signal;

// One step of a host's session: a parameter change, or a buffer.
struct Step {
    std::string name;  // empty: process a buffer of frames frames
    double value = 0;
    int32_t frames = 0;
};

// A random session: parameter changes (some out of range, some band counts
// the rate refuses) between buffers of random length.
std::vector<Step> random_session(uint32_t seed, int32_t steps) {
    std::mt19937 rng(seed);
    const std::vector<std::pair<std::string, std::pair<int, int>>> params = {
        {"eq.on", {0, 1}},           {"reverb.on", {0, 1}},       {"comp.on", {0, 1}},
        {"order.reverb_first", {0, 1}}, {"comp.threshold_db", {-70, 0}}, {"comp.ratio", {0, 10}},
        {"comp.attack_ms", {1, 300}}, {"comp.release_ms", {1, 300}}, {"reverb.comb_db", {-80, -1}},
        {"reverb.taps", {1, 100}},   {"reverb.wet_db", {-60, -2}}, {"reverb.decay_m", {1, 200}},
        {"reverb.comb_m", {1, 200}}, {"reverb.base_m", {0, 100}}, {"eq.bands", {9, 32}},
        {"eq.pregain", {-18, 18}},   {"eq.second_pass", {0, 1}},  {"eq.band.", {-20, 20}},
    };
    std::vector<Step> session;
    for (int32_t i = 0; i < steps; ++i) {
        if (rng() % 3 == 0) {
            session.push_back({"", 0, static_cast<int32_t>(rng() % 5000)});
            continue;
        }
        const auto& [name, range] = params[rng() % params.size()];
        Step s{name, static_cast<double>(std::uniform_int_distribution<int>(range.first, range.second)(rng))};
        if (name == "eq.band.") s.name += std::to_string(rng() % 31);
        session.push_back(s);
    }
    return session;
}

// Runs a session through the default engine or through an engine and
// returns everything it produced.
std::vector<int16_t> run_session(audiomix_engine* engine, const std::vector<Step>& session, int32_t channels,
                                 uint32_t seed) {
    std::vector<int16_t> out;
    for (const Step& s : session) {
        if (!s.name.empty()) {
            if (engine != nullptr) audiomix_engine_param_set(engine, s.name.c_str(), s.value);
            else audiomix_param_set(s.name.c_str(), s.value);
            continue;
        }
        auto buffer = make_signal(s.frames, channels, 24000, seed++);
        if (engine != nullptr) audiomix_engine_process(engine, buffer.data(), s.frames);
        else audiomix_change(buffer.data(), s.frames * channels * 2, 0);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

class Engines : public EngineTest {};

TEST_F(Engines, ANewEngineIsTheDefaultEngineAfterBeginAndInit) {
    struct Format {
        int32_t rate, channels;
    };
    for (const Format f : {Format{44100, 2}, Format{48000, 1}, Format{22050, 2}, Format{11025, 1},
                           Format{32000, 2}}) {
        testing::reset_engine();
        audiomix_begin(0);
        audiomix_init(f.rate, f.channels, 0);
        audiomix_engine* engine = audiomix_engine_create(f.rate, f.channels);
        ASSERT_NE(engine, nullptr);
        for (int32_t i = 0;; ++i) {  // every parameter reads the same
            char name[64];
            if (audiomix_param_name(i, name, sizeof name) == AUDIOMIX_PARAM_UNKNOWN) break;
            double mine = -1, theirs = -2;
            ASSERT_EQ(audiomix_engine_param_get(engine, name, &mine), AUDIOMIX_PARAM_OK) << name;
            ASSERT_EQ(audiomix_param_get(name, &theirs), AUDIOMIX_PARAM_OK) << name;
            EXPECT_EQ(mine, theirs) << name << " at " << f.rate;
        }
        const auto session = random_session(f.rate + f.channels, 400);
        EXPECT_EQ(run_session(engine, session, f.channels, 7), run_session(nullptr, session, f.channels, 7))
            << f.rate << " Hz, " << f.channels << " channels";
        audiomix_engine_destroy(engine);
    }
}

TEST_F(Engines, TheDefaultEngineIsUntouchedByOthers) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    const auto session = random_session(5, 300);
    const auto expected = run_session(nullptr, session, 2, 3);
    testing::reset_engine();
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    audiomix_engine* other = audiomix_engine_create(44100, 2);
    for (const char* name : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(other, name, 1);
    audiomix_engine_param_set(other, "reverb.taps", 77);  // draws random numbers of its own
    auto noise = make_signal(5000, 2, 30000, 4);
    audiomix_engine_process(other, noise.data(), 5000);
    EXPECT_EQ(run_session(nullptr, session, 2, 3), expected);
    audiomix_engine_destroy(other);
}

TEST_F(Engines, TheFloatPathIsTheSixteenBitPathExactly) {
    audiomix_engine* ints = audiomix_engine_create(44100, 2);
    audiomix_engine* floats = audiomix_engine_create(44100, 2);
    for (audiomix_engine* e : {ints, floats})
        for (const char* name : {"eq.on", "reverb.on", "comp.on", "eq.second_pass"})
            audiomix_engine_param_set(e, name, 1);
    for (int32_t frames : {1, 7, 4100, 4101, 9000}) {
        auto interleaved = make_signal(frames, 2, 30000, static_cast<uint32_t>(frames));
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
    audiomix_engine_destroy(ints);
    audiomix_engine_destroy(floats);
}

TEST_F(Engines, FloatInputIsClampedAndNanIsSilence) {
    audiomix_engine* engine = audiomix_engine_create(44100, 1);  // every stage off: a pure round trip
    const float in[] = {2.0f, -3.0f, NAN, INFINITY, -INFINITY, 0.5f / 32768.0f, 1.5f / 32768.0f, -1.0f};
    const float expected[] = {32767 / 32768.0f, -1.0f, 0.0f, 32767 / 32768.0f, -1.0f, 0.0f, 2 / 32768.0f, -1.0f};
    float out[8];
    const float* ins[] = {in};
    float* outs[] = {out};
    ASSERT_EQ(audiomix_engine_process_float(engine, ins, outs, 8), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    audiomix_engine_destroy(engine);
}

TEST_F(Engines, BadArgumentsHaveDefinedResults) {
    for (int32_t channels : {0, 3, -1}) EXPECT_EQ(audiomix_engine_create(44100, channels), nullptr);
    for (int32_t rate : {0, -44100, INT32_MIN}) EXPECT_EQ(audiomix_engine_create(rate, 2), nullptr);

    int16_t samples[8] = {};
    double value = 0;
    char name[16];
    EXPECT_EQ(audiomix_engine_process(nullptr, samples, 4), 0);
    EXPECT_EQ(audiomix_engine_process_float(nullptr, nullptr, nullptr, 4), 0);
    EXPECT_EQ(audiomix_engine_param_set(nullptr, "eq.on", 1), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_param_get(nullptr, "eq.on", &value), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_param_name(nullptr, 0, name, sizeof name), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_preset_count(nullptr), 0);
    EXPECT_EQ(audiomix_engine_preset_name(nullptr, 0, name, sizeof name), -1);
    EXPECT_EQ(audiomix_engine_preset_apply(nullptr, 0), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_engine_reset(nullptr);
    audiomix_engine_destroy(nullptr);

    // An absurd rate is a rate: the equaliser stays off, nothing breaks.
    audiomix_engine* engine = audiomix_engine_create(INT32_MAX, 2);
    ASSERT_NE(engine, nullptr);
    for (const char* p : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(engine, p, 1);
    auto buffer = make_signal(5000, 2, 30000, 1);
    EXPECT_EQ(audiomix_engine_process(engine, nullptr, 10), 0);
    EXPECT_EQ(audiomix_engine_process(engine, buffer.data(), -1), 0);
    EXPECT_EQ(audiomix_engine_process(engine, buffer.data(), 0), 0);
    EXPECT_EQ(audiomix_engine_process(engine, buffer.data(), 5000), 5000);
    EXPECT_EQ(audiomix_engine_process_float(engine, nullptr, nullptr, -3), 0);
    EXPECT_EQ(audiomix_engine_process_float(engine, nullptr, nullptr, 100), 100);  // silence in, nothing out
    const float* no_inputs[2] = {nullptr, nullptr};
    float kept[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* outs[2] = {kept[0], nullptr};
    EXPECT_EQ(audiomix_engine_process_float(engine, no_inputs, outs, 4), 4);
    EXPECT_EQ(kept[1][0], 9.0f);  // a channel without an output pointer is not written
    EXPECT_EQ(audiomix_engine_param_get(engine, "eq.on", nullptr), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_param_set(engine, nullptr, 1), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_param_set(engine, "eq.bands", 20), AUDIOMIX_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(audiomix_engine_param_name(engine, -1, name, sizeof name), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_engine_destroy(engine);
}

TEST_F(Engines, PresetsAreTheDefaultEnginesListAndApplyAlike) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    audiomix_engine* engine = audiomix_engine_create(44100, 2);
    ASSERT_EQ(audiomix_engine_preset_count(engine), audiomix_preset_count());
    ASSERT_GT(audiomix_preset_count(), 0);
    for (int32_t i = 0; i < audiomix_preset_count(); ++i) {
        char mine[200], theirs[200];
        EXPECT_EQ(audiomix_engine_preset_name(engine, i, mine, sizeof mine),
                  audiomix_preset_name(i, theirs, sizeof theirs));
        EXPECT_STREQ(mine, theirs);
        ASSERT_EQ(audiomix_engine_preset_apply(engine, i), AUDIOMIX_PARAM_OK);
        ASSERT_EQ(audiomix_preset_apply(i), AUDIOMIX_PARAM_OK);
        for (int32_t b = 0; b < 10; ++b) {
            const std::string band = "eq.band." + std::to_string(b);
            double x = 0, y = 1;
            audiomix_engine_param_get(engine, band.c_str(), &x);
            audiomix_param_get(band.c_str(), &y);
            EXPECT_EQ(x, y) << i << " " << band;
        }
    }
    EXPECT_EQ(audiomix_engine_preset_apply(engine, audiomix_preset_count()), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_engine_destroy(engine);
}

TEST_F(Engines, ResetClearsWhatDatarefreshClears) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    audiomix_engine* engine = audiomix_engine_create(44100, 2);
    const auto session = random_session(21, 200);
    EXPECT_EQ(run_session(engine, session, 2, 5), run_session(nullptr, session, 2, 5));
    audiomix_engine_reset(engine);
    audiomix_datarefresh();
    EXPECT_EQ(run_session(engine, session, 2, 6), run_session(nullptr, session, 2, 6));
    audiomix_engine_destroy(engine);
}

}  // namespace
}  // namespace audiomix
