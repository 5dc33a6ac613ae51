// Engines for hosts, through the public interface only: a new engine is the
// default engine after begin and init, engines do not disturb each other, the
// float path is the 16-bit path, and bad arguments are harmless.
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model/param_table.h"
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
    std::vector<Step> session;
    for (int32_t i = 0; i < steps; ++i) {
        if (rng() % 3 == 0) {
            session.push_back({"", 0, static_cast<int32_t>(rng() % 5000)});
            continue;
        }
        // Whole values from a little beyond each end of the range.
        const ParamInfo& p = kParamTable[rng() % (kFixedParamCount + 1)];
        const int lo = static_cast<int>(p.minimum) - 1, hi = static_cast<int>(p.maximum) + 1;
        Step s{p.name, static_cast<double>(std::uniform_int_distribution<int>(lo, hi)(rng))};
        if (p.target == ParamTarget::EqBand) s.name = "eq.band." + std::to_string(rng() % 31);
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

// Another engine at work, and a reset matched by datarefresh, leave an
// engine and the default engine alike.
TEST_F(Engines, OthersAndResetsDisturbNoEngine) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    audiomix_engine* engine = audiomix_engine_create(44100, 2);
    audiomix_engine* other = audiomix_engine_create(44100, 2);
    for (const char* name : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(other, name, 1);
    audiomix_engine_param_set(other, "reverb.taps", 77);  // draws random numbers of its own
    auto noise = make_signal(5000, 2, 30000, 4);
    const auto session = random_session(21, 200);
    for (uint32_t seed : {5u, 6u}) {
        audiomix_engine_process(other, noise.data(), 5000);
        EXPECT_EQ(run_session(engine, session, 2, seed), run_session(nullptr, session, 2, seed));
        audiomix_engine_reset(engine);
        audiomix_datarefresh();
    }
    audiomix_engine_destroy(other);
    audiomix_engine_destroy(engine);
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
    EXPECT_EQ(audiomix_engine_param_get(nullptr, "eq.on", &value), AUDIOMIX_PARAM_UNKNOWN);
    EXPECT_EQ(audiomix_engine_preset_name(nullptr, 0, name, sizeof name), -1);
    audiomix_engine_destroy(nullptr);

    // An absurd rate is a rate: the equaliser stays off, nothing breaks.
    audiomix_engine* engine = audiomix_engine_create(INT32_MAX, 2);
    ASSERT_NE(engine, nullptr);
    for (const char* p : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(engine, p, 1);
    auto buffer = make_signal(5000, 2, 30000, 1);
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
        double x = 0, y = 1;  // band 6 differs between neighbouring built-ins
        audiomix_engine_param_get(engine, "eq.band.6", &x);
        audiomix_param_get("eq.band.6", &y);
        EXPECT_EQ(x, y) << i;
    }
    EXPECT_EQ(audiomix_engine_preset_apply(engine, audiomix_preset_count()), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_engine_destroy(engine);
}

}  // namespace
}  // namespace audiomix
