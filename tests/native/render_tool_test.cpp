// audiomix-render: its pure parts (options, containers, levels, the built-in
// piece, the parameter descriptions) and the runs only a process shows.
#include <audiomix.h>

#include <algorithm>

#include "default_signal.h"
#include "effects.h"
#include "format.h"
#include "levels.h"
#include "options.h"
#include "param_hints.h"
#include "render_tool_fixture.h"
#include "sound_format.h"

using namespace audiomix_render;
using namespace render_test;

// ---------------------------------------------------------------- options

TEST(RenderOptions, AcceptedAndRefusedCommandLines) {
    struct Case {
        std::vector<std::string> args;
        const char* error;  // a piece of the message, or null when accepted
    };
    const Case cases[] = {
        {{"--set", "eq.on"}, "eq.on"},          {{"--set", "=1"}, "=1"},
        {{"--set", "eq.on=nan"}, "nan"},        {{"--set", "eq.on= 1"}, "eq.on"},
        {{"--seconds", "86400"}, nullptr},      {{"--seconds", "86400.5"}, "86400.5"},
        {{"--seconds", "0"}, "'0'"},            {{"--seconds", "1s"}, "'1s'"},
        {{"--jobs", "64"}, nullptr},            {{"--jobs", "65"}, "'65'"},
        {{"a.wav", "b.wav", "-o", "x.wav"}, "-o"}, {{"-", "-o", "-"}, nullptr},
        {{"-", "-"}, "once"},                   {{"--type", "mp3"}, "'mp3'"},
        {{"a.wav", "b.wav", "--plot", "x.svg"}, "several inputs"}, {{"--plot", "levels.pdf"}, ".svg or .png"},
    };
    for (const Case& c : cases) {
        const ParseResult r = parse_options(c.args);
        EXPECT_EQ(r.ok(), c.error == nullptr) << ::testing::PrintToString(c.args) << ": " << r.error;
        if (c.error) {
            EXPECT_NE(r.error.find(c.error), std::string::npos) << ::testing::PrintToString(c.args) << ": " << r.error;
        }
    }
}

TEST(RenderStatus, AFailureOutweighsAWarningAndAWarningSuccess) {
    const int byWeight[] = {kExitDone, kExitWarned, kExitUsage, kExitFailed};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(worse_status(byWeight[i], byWeight[j]), byWeight[std::max(i, j)]) << i << " " << j;
        }
}

TEST(RenderContainers, ExtensionsAndTheThirtyTwoBitLimit) {
    EXPECT_EQ(container_for_extension(".aifc"), Container::Aiff);
    EXPECT_EQ(container_for_extension(".mp3"), std::nullopt);
    // The container written for that many data bytes; none when refused.
    const uint64_t limit = kClassicDataLimit;
    auto planned = [&](Container requested, uint64_t bytes) -> std::optional<Container> {
        WritePlan plan;
        std::string error;
        if (!plan_write(requested, bytes, limit, plan, error)) return std::nullopt;
        EXPECT_EQ(plan.promoted, plan.container != requested);
        return plan.container;
    };
    EXPECT_EQ(planned(Container::Wav, limit), Container::Wav);
    EXPECT_EQ(planned(Container::Wav, limit + 1), Container::Rf64);
    EXPECT_EQ(planned(Container::Aiff, limit), Container::Aiff);
    EXPECT_EQ(planned(Container::Aiff, limit + 1), std::nullopt);
    EXPECT_EQ(planned(Container::Flac, 86400ull * 48000 * 4), Container::Flac);  // a day at 48 kHz
}

// ---------------------------------------------------------------- levels

TEST(RenderLevels, HandComputedPeakAndRmsInAnyPieces) {
    // L: a half-scale square, peak and RMS -6.02 dB. R: 0, +h, 0, -h: the
    // same peak, half the power, 3.01 dB lower RMS.
    const std::vector<int16_t> x = {16384, 0, -16384, 16384, 16384, 0, -16384, -16384};
    LevelMeter m(2);
    m.add(x.data(), 1);
    m.add(x.data() + 2, 3);
    EXPECT_NEAR(m.peak_dbfs(1), -6.020600, 1e-6);
    EXPECT_NEAR(m.rms_dbfs(0), -6.020600, 1e-6);
    EXPECT_NEAR(m.rms_dbfs(1), -9.030900, 1e-6);

    EXPECT_EQ(format_db(LevelMeter(1).rms_dbfs(0)), "-inf");  // no frames at all
}

// ---------------------------------------------------------------- built-in piece

namespace {
std::vector<int16_t> piece(int64_t total, int64_t first, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    synthesise_default(kDefaultRate, total, first, frames, out.data());
    return out;
}
}  // namespace

TEST(RenderDefaultPiece, TheSameHoweverItIsCut) {
    const int64_t total = 3 * kDefaultRate;
    const std::vector<int16_t> a = piece(total, 0, total);
    std::vector<int16_t> b;
    for (int64_t f = 0; f < total; f += 1000) {
        const auto part = piece(total, f, static_cast<size_t>(std::min<int64_t>(1000, total - f)));
        b.insert(b.end(), part.begin(), part.end());
    }
    EXPECT_EQ(a, b);
}

// ---------------------------------------------------------------- summary helpers

TEST(RenderSummary, ChainAndChangedParams) {
    ParamValues v = {{"eq.on", 1}, {"reverb.on", 1}, {"comp.on", 1}, {"order.reverb_first", 0}, {"eq.bands", 15}};
    EXPECT_EQ(describe_chain(v, 44100), "equaliser (15 bands) -> reverb -> compressor");
    v[3].second = 1;
    EXPECT_EQ(describe_chain(v, 48000), "reverb -> equaliser (15 bands) -> compressor");
    v[1].second = 2;  // only exactly 1 switches a stage on
    EXPECT_EQ(describe_chain(v, 32000), "equaliser (15 bands) -> compressor; note: no equaliser tables for 32000 Hz");

    const std::vector<ChangedParam> c = changed_params(
        {{"eq.on", 0}, {"eq.bands", 10}, {"eq.band.3", 0}},
        {{"eq.on", 1}, {"eq.bands", 15}, {"eq.band.3", 0}, {"eq.band.12", 2.4}, {"eq.band.13", 0}});
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[1].defaultValue, 10);
    EXPECT_EQ(c[2].name, "eq.band.12");  // a new band compares with 0
}

// ---------------------------------------------------------------- against the library

TEST(RenderParamHints, DescribeWhatTheLibraryAccepts) {
    audiomix_engine* e = audiomix_engine_create(44100, 2);
    ASSERT_NE(e, nullptr);
    size_t n = 0;
    const ParamHint* hints = all_param_hints(n);
    for (size_t i = 0; i < n; ++i) {
        const ParamHint& h = hints[i];
        const std::string name = std::string(h.name) + (std::string(h.name).back() == '.' ? "0" : "");
        if (h.lo > h.hi) continue;  // eq.bands: below
        const double step = h.whole ? 1.0 : 0.01;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.lo), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.hi), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.lo - step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.hi + step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        if (h.whole) {
            EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.lo + 0.5), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        }
    }
    for (int32_t i = 0;; ++i) {
        char name[64];
        if (audiomix_engine_param_name(e, i, name, sizeof name) == AUDIOMIX_PARAM_UNKNOWN) break;
        EXPECT_NE(find_param_hint(name), nullptr) << name;
    }
    audiomix_engine_destroy(e);
    const std::string range = param_error_message("reverb.wet_db", 3, AUDIOMIX_PARAM_OUT_OF_RANGE, 10);
    EXPECT_NE(range.find("reverb.wet_db=3"), std::string::npos) << range;
    EXPECT_NE(range.find("-100 ... -2"), std::string::npos) << range;
}

// ---------------------------------------------------------------- the tool, end to end

TEST_F(RenderToolRun, DefaultPieceForOneSecond) {
    const ToolRun r = tool("--seconds 1");
    ASSERT_EQ(r.status, 0) << r.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "out/default.wav", w));
    EXPECT_EQ(w.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_TRUE(w.info.samplerate == 44100 && w.info.channels == 2 && w.info.frames == 44100);
    EXPECT_NE(r.out.find("equaliser (10 bands) -> reverb -> compressor"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("reverb.wet_db"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;  // no progress bar for a short, redirected render
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(RenderToolRun, RefusedSetsExitOneInCommandLineOrder) {
    struct Case {
        const char* sets;
        int status;
        const char* err;  // in stderr, or (status 0) in the summary
    };
    const Case cases[] = {
        {"--set reverb.size=3", 1, "reverb.size"},
        {"--set reverb.wet_db=0", 1, "-100 ... -2"},
        {"--set comp.ratio", 1, "comp.ratio"},
        // Band 12 exists only once the layout has more than 12 bands.
        {"--set eq.band.12=3 --set eq.bands=15", 1, "eq.band.12"},
        {"--set eq.bands=15 --set eq.band.12=3", 0, "eq.band.12"},
    };
    for (const Case& c : cases) {
        const ToolRun r = tool(std::string("--seconds 0.1 ") + c.sets);
        EXPECT_EQ(r.status, c.status) << c.sets << ": " << r.err;
        EXPECT_NE((c.status ? r.err : r.out).find(c.err), std::string::npos) << c.sets << ": " << r.err << r.out;
    }
    // A band gain set before a layout change is reset by it.
    const ToolRun r = tool("--seconds 0.1 --set eq.band.9=4 --set eq.bands=15");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("eq.band.9 "), std::string::npos) << r.out;
}

TEST_F(RenderToolRun, ABatchRendersAtOnceAsEachFileAlone) {
    struct Input {
        const char* name;
        int rate, channels;
    };
    const Input inputs[] = {{"a", 44100, 2}, {"b", 22050, 1}};
    std::string names;
    std::vector<std::vector<int16_t>> alone;
    const std::string setting = "--set eq.band.2=9 --seconds 0.4 ";
    for (const Input& in : inputs) {
        const std::string file = std::string(in.name) + ".wav";
        write_wav(dir_ / file, in.rate, in.channels, test_signal(static_cast<size_t>(in.rate / 2 * in.channels)));
        names += " " + file;
        ASSERT_EQ(tool("-q " + setting + file + " -o alone.wav").status, 0);
        alone.push_back(samples("alone.wav"));
    }
    const ToolRun r = tool(setting + "--jobs 2 --out-dir done/here" + names);
    ASSERT_EQ(r.status, 0) << r.err;
    for (size_t i = 0; i < std::size(inputs); ++i) {
        const std::string output = "done/here/" + std::string(inputs[i].name) + "-audiomix.wav";
        EXPECT_EQ(samples(output), alone[i]) << output;
        EXPECT_EQ(alone[i].size(), size_t(inputs[i].rate * 0.4) * inputs[i].channels) << output;
    }
    // Two inputs that would share an output are refused before anything runs.
    fs::create_directories(dir_ / "other");
    fs::copy_file(dir_ / "a.wav", dir_ / "other/a.wav");
    EXPECT_EQ(tool("a.wav other/a.wav").status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}
