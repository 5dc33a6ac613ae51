// audiomix-render: its pure parts (options, levels, the built-in piece, the
// parameter descriptions) and end-to-end runs of the tool itself.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <audiomix.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "default_setting.h"
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
namespace fs = std::filesystem;

namespace {

ParseResult parse(std::vector<std::string> args) { return parse_options(args); }

}  // namespace

// ---------------------------------------------------------------- options

TEST(RenderOptions, SetIsRepeatableAndKeepsCommandLineOrder) {
    const ParseResult r = parse({"--set", "eq.bands=15", "--set=eq.band.12=-3.5", "--set",
                                 "reverb.on=1", "in.wav", "-o", "out.wav"});
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.options.sets.size(), 3u);
    EXPECT_EQ(r.options.sets[0].name, "eq.bands");
    EXPECT_EQ(r.options.sets[0].value, 15.0);
    EXPECT_EQ(r.options.sets[1].name, "eq.band.12");
    EXPECT_EQ(r.options.sets[1].value, -3.5);
    EXPECT_EQ(r.options.sets[2].name, "reverb.on");
    EXPECT_EQ(r.options.inputs, std::vector<std::string>{"in.wav"});
    EXPECT_EQ(r.options.output, "out.wav");
}

TEST(RenderOptions, MalformedSetIsRejectedWithTheArgument) {
    for (const char* bad : {"eq.on", "=1", "eq.on=", "eq.on=one", "eq.on=1x", "eq.on=nan",
                            "eq.on=inf", "eq.on= 1"}) {
        const ParseResult r = parse({"--set", bad});
        EXPECT_FALSE(r.ok()) << bad;
    }
    const ParseResult r = parse({"--set", "reverb.taps=many"});
    EXPECT_NE(r.error.find("reverb.taps"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("many"), std::string::npos) << r.error;
    EXPECT_FALSE(parse({"--set"}).ok());  // value missing at the end
}

TEST(RenderOptions, SecondsMustBePositive) {
    const ParseResult r = parse({"--seconds", "2.5"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(*r.options.seconds, 2.5);
    EXPECT_EQ(*parse({"--seconds=0.25"}).options.seconds, 0.25);
    EXPECT_EQ(*parse({"--seconds", "86400"}).options.seconds, 86400.0);
    for (const char* bad : {"0", "-1", "abc", "", "1s", "86400.5", "1e300"})
        EXPECT_FALSE(parse({"--seconds", bad}).ok()) << bad;
    EXPECT_FALSE(parse({"--seconds"}).ok());
}

TEST(RenderOptions, FlagsFilesAndErrors) {
    const ParseResult r = parse({"-q", "--list-params", "--preset", "Rock", "--list-presets"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.quiet);
    EXPECT_TRUE(r.options.listParams);
    EXPECT_TRUE(r.options.listPresets);
    EXPECT_EQ(*r.options.preset, "Rock");
    EXPECT_TRUE(r.options.inputs.empty());
    EXPECT_TRUE(parse({"-h"}).options.help);
    EXPECT_TRUE(parse({"--help"}).options.help);

    EXPECT_FALSE(parse({"--volume", "3"}).ok());
    // Several inputs, each to its own default output; -o only for one.
    const ParseResult many = parse({"a.wav", "b.wav", "c.wav", "--jobs", "2"});
    ASSERT_TRUE(many.ok()) << many.error;
    EXPECT_EQ(many.options.inputs.size(), 3u);
    EXPECT_EQ(many.options.jobs, 2);
    EXPECT_FALSE(parse({"a.wav", "b.wav", "-o", "x.wav"}).ok());
    for (const char* bad : {"0", "-1", "1.5", "65", "many"}) EXPECT_FALSE(parse({"--jobs", bad}).ok()) << bad;
    EXPECT_FALSE(parse({"-o", ""}).ok());
    // After "--" a name that starts with a dash is a file.
    const ParseResult dashed = parse({"--", "-odd.wav"});
    ASSERT_TRUE(dashed.ok()) << dashed.error;
    EXPECT_EQ(dashed.options.inputs, std::vector<std::string>{"-odd.wav"});
}

TEST(RenderOptions, OutputsPlotsAndStandardStreams) {
    struct Case {
        std::vector<std::string> args;
        const char* error;  // a piece of the message, or null when accepted
    };
    const Case cases[] = {
        {{"-", "-o", "-"}, nullptr},
        {{"-", "-"}, "once"},
        {{"--type", "mp3"}, "'mp3'"},
        {{"--type", "flac", "-o", "-"}, nullptr},
        {{"--out-dir", ""}, "folder"},
        {{"a.wav", "b.wav", "--plot", "svg"}, nullptr},
        {{"a.wav", "b.wav", "--plot", "x.svg"}, "several inputs"},
        {{"--plot", "levels.PNG"}, nullptr},
        {{"--plot", "levels.pdf"}, ".svg or .png"},
    };
    for (const Case& c : cases) {
        const ParseResult r = parse(c.args);
        if (!c.error) {
            EXPECT_TRUE(r.ok()) << c.args[0] << ": " << r.error;
        } else {
            EXPECT_NE(r.error.find(c.error), std::string::npos) << c.args[0] << ": " << r.error;
        }
    }
}

TEST(RenderStatus, AFailureOutweighsAWarningAndAWarningSuccess) {
    EXPECT_EQ(worse_status(kExitDone, kExitWarned), kExitWarned);
    EXPECT_EQ(worse_status(kExitWarned, kExitDone), kExitWarned);
    EXPECT_EQ(worse_status(kExitWarned, kExitFailed), kExitFailed);
    EXPECT_EQ(worse_status(kExitFailed, kExitWarned), kExitFailed);
    EXPECT_EQ(worse_status(kExitDone, kExitDone), kExitDone);
}

TEST(RenderContainers, ExtensionsAndTheThirtyTwoBitLimit) {
    EXPECT_EQ(container_for_extension(".FLAC"), Container::Flac);
    EXPECT_EQ(container_for_extension(".aif"), Container::Aiff);
    EXPECT_EQ(container_for_extension(".oga"), Container::Ogg);
    EXPECT_FALSE(container_for_extension(".mp3"));
    EXPECT_FALSE(container_for_extension("wav"));  // the dot belongs to it

    // 4 GiB of 16-bit stereo is 2^30 frames; a 27-hour render at 44.1 kHz
    // passes it.
    const uint64_t day = 86400ull * 48000 * 2 * 2;
    WritePlan plan;
    std::string error;
    ASSERT_TRUE(plan_write(Container::Wav, day, kClassicDataLimit, plan, error));
    EXPECT_EQ(plan.container, Container::Rf64);
    EXPECT_TRUE(plan.promoted);
    ASSERT_TRUE(plan_write(Container::Wav, kClassicDataLimit, kClassicDataLimit, plan, error));
    EXPECT_EQ(plan.container, Container::Wav);
    EXPECT_FALSE(plan_write(Container::Aiff, kClassicDataLimit + 2, kClassicDataLimit, plan, error));
    EXPECT_NE(error.find("32 bits"), std::string::npos);
    for (Container c : {Container::Flac, Container::W64, Container::Rf64, Container::Ogg}) {
        ASSERT_TRUE(plan_write(c, day, kClassicDataLimit, plan, error));
        EXPECT_EQ(plan.container, c);
    }
}

// ---------------------------------------------------------------- levels

TEST(RenderLevels, HandComputedPeakAndRms) {
    // L: a square wave at half scale: peak and RMS both 20 log10(1/2).
    // R: 0, +h, 0, -h: the same peak, half the power, 3.0103 dB lower RMS.
    const std::vector<int16_t> x = {16384, 0, -16384, 16384, 16384, 0, -16384, -16384};
    LevelMeter m(2);
    m.add(x.data(), 4);
    EXPECT_EQ(m.frames(), 4u);
    EXPECT_EQ(m.peak(0), 16384);
    EXPECT_EQ(m.peak(1), 16384);
    EXPECT_NEAR(m.peak_dbfs(0), -6.020600, 1e-6);
    EXPECT_NEAR(m.rms_dbfs(0), -6.020600, 1e-6);
    EXPECT_NEAR(m.rms(1), 11585.2375, 1e-4);  // 16384 / sqrt(2)
    EXPECT_NEAR(m.rms_dbfs(1), -9.030900, 1e-6);
}

TEST(RenderLevels, FullScaleSilenceAndPieces) {
    const std::vector<int16_t> x = {-32768, 32767, 3, -4};  // mono
    LevelMeter whole(1), pieces(1);
    whole.add(x.data(), 4);
    pieces.add(x.data(), 1);
    pieces.add(x.data() + 1, 3);
    EXPECT_EQ(whole.peak(0), 32768);
    EXPECT_DOUBLE_EQ(whole.peak_dbfs(0), 0.0);
    // (1073741824 + 1073676289 + 9 + 16) / 4, exactly.
    EXPECT_DOUBLE_EQ(whole.rms(0), std::sqrt(2147418138.0 / 4.0));
    EXPECT_EQ(pieces.peak(0), whole.peak(0));
    EXPECT_DOUBLE_EQ(pieces.rms(0), whole.rms(0));

    LevelMeter silent(2);
    const std::vector<int16_t> zeros(64, 0);
    silent.add(zeros.data(), 32);
    EXPECT_TRUE(std::isinf(silent.rms_dbfs(1)));
    EXPECT_EQ(format_db(silent.peak_dbfs(0)), "-inf");
    EXPECT_EQ(format_db(-3.0103), "-3.01");
    EXPECT_TRUE(std::isinf(LevelMeter(1).rms_dbfs(0)));  // no frames at all
}

// ---------------------------------------------------------------- built-in piece

namespace {
std::vector<int16_t> piece(int32_t rate, int64_t total, int64_t first, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    synthesise_default(rate, total, first, frames, out.data());
    return out;
}
}  // namespace

TEST(RenderDefaultPiece, DeterministicAndIndependentOfHowItIsCut) {
    const int64_t total = 3 * kDefaultRate;
    const std::vector<int16_t> a = piece(kDefaultRate, total, 0, total);
    EXPECT_EQ(a, piece(kDefaultRate, total, 0, total));
    // Rendered in host-sized pieces, the samples are the same.
    std::vector<int16_t> b;
    for (int64_t f = 0; f < total; f += 1000) {
        const auto part = piece(kDefaultRate, total, f, static_cast<size_t>(std::min<int64_t>(1000, total - f)));
        b.insert(b.end(), part.begin(), part.end());
    }
    EXPECT_EQ(a, b);
}

TEST(RenderDefaultPiece, PeaksNearMinusThreeDbfsStereoAndFadesOut) {
    const int64_t total = static_cast<int64_t>(kDefaultSeconds * kDefaultRate);
    const std::vector<int16_t> x = piece(kDefaultRate, total, 0, total);
    LevelMeter m(2);
    m.add(x.data(), total);
    for (int c = 0; c < 2; ++c) {
        EXPECT_LT(m.peak_dbfs(c), -1.0) << c;
        EXPECT_GT(m.peak_dbfs(c), -6.0) << c;
        EXPECT_GT(m.rms_dbfs(c), -30.0) << c;  // music, not a click in silence
    }
    // The channels are panned apart, not a copy of each other.
    int64_t differing = 0;
    double side = 0.0, mid = 0.0;
    for (int64_t f = 0; f < total; ++f) {
        const double l = x[2 * f], r = x[2 * f + 1];
        differing += l != r;
        side += (l - r) * (l - r);
        mid += (l + r) * (l + r);
    }
    EXPECT_GT(differing, total * 9 / 10);
    EXPECT_GT(side, 0.01 * mid);
    EXPECT_LT(side, mid);  // still mostly centred
    // The last samples fade to silence; the first start from it.
    EXPECT_EQ(x[2 * (total - 1)], 0);
    EXPECT_EQ(x[2 * (total - 1) + 1], 0);
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(x[1], 0);
}

TEST(RenderDefaultPiece, PatternRepeatsEveryEightSeconds) {
    // Away from the fade, bar one of the second pass is bar one of the
    // first, except for the noise of the drums (drawn afresh per event) and
    // the tails of the last chord ringing into it.
    const int64_t total = 20 * kDefaultRate;
    const size_t n = kDefaultRate / 2;
    const auto first = piece(kDefaultRate, total, kDefaultRate, n);
    const auto second = piece(kDefaultRate, total, 9 * kDefaultRate, n);
    double diff = 0.0, power = 0.0;
    for (size_t i = 0; i < first.size(); ++i) {
        diff += std::pow(first[i] - second[i], 2.0);
        power += std::pow(first[i], 2.0);
    }
    EXPECT_LT(diff, 0.05 * power);
}

// ---------------------------------------------------------------- summary helpers

TEST(RenderSummary, ChainFollowsSwitchesOrderAndRate) {
    ParamValues v = {{"eq.on", 1}, {"reverb.on", 1}, {"comp.on", 1}, {"order.reverb_first", 0},
                     {"eq.bands", 15}, {"eq.second_pass", 0}};
    EXPECT_EQ(describe_chain(v, 44100), "equaliser (15 bands) -> reverb -> compressor");
    v[3].second = 1;
    EXPECT_EQ(describe_chain(v, 48000), "reverb -> equaliser (15 bands) -> compressor");
    // Only exactly 1 switches a stage on.
    v[1].second = 2;
    EXPECT_EQ(describe_chain(v, 44100), "equaliser (15 bands) -> compressor");
    EXPECT_EQ(describe_chain(v, 32000),
              "equaliser (15 bands) -> compressor; note: no equaliser tables for 32000 Hz");
    const ParamValues off = {{"eq.on", 0}, {"reverb.on", 0}, {"comp.on", 0}};
    EXPECT_EQ(describe_chain(off, 44100), "none (audio passes unchanged)");
}

TEST(RenderSummary, ChangedParamsCompareWithTheInitialValues) {
    const ParamValues defaults = {{"eq.on", 0}, {"eq.bands", 10}, {"eq.band.3", 0}};
    const ParamValues effective = {{"eq.on", 1}, {"eq.bands", 15}, {"eq.band.3", 0},
                                   {"eq.band.12", 2.4}, {"eq.band.13", 0}};
    const std::vector<ChangedParam> c = changed_params(defaults, effective);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].name, "eq.on");
    EXPECT_EQ(c[1].name, "eq.bands");
    EXPECT_EQ(c[1].defaultValue, 10);
    EXPECT_EQ(c[2].name, "eq.band.12");  // a new band compares with 0
    EXPECT_EQ(c[2].value, 2.4);

    EXPECT_EQ(format_value(24), "24");
    EXPECT_EQ(format_value(-0.0), "0");
    EXPECT_EQ(format_value(-1.5), "-1.5");
    EXPECT_EQ(format_duration(8.0), "8.000 s");
    EXPECT_EQ(format_duration(119.9996), "2:00.000");
}

// ---------------------------------------------------------------- against the library

namespace {
constexpr const char* kDumpFreshParams = "--dump-fresh-params";

// A session as the tool opens it.
void open_engine(int32_t rate, int32_t channels) {
    audiomix_begin(0x00804004);
    audiomix_set_mainwnd(nullptr);
    audiomix_init(rate, channels, 0);
}
}  // namespace

TEST(RenderParamHints, DescribeWhatTheLibraryAccepts) {
    open_engine(44100, 2);
    size_t n = 0;
    const ParamHint* hints = all_param_hints(n);
    for (size_t i = 0; i < n; ++i) {
        const ParamHint& h = hints[i];
        const std::string name = std::string(h.name) + (std::string(h.name).back() == '.' ? "0" : "");
        if (h.lo > h.hi) continue;  // eq.bands: below
        const double step = h.whole ? 1.0 : 0.01;
        EXPECT_EQ(audiomix_param_set(name.c_str(), h.lo), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_param_set(name.c_str(), h.hi), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_param_set(name.c_str(), h.lo - step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        EXPECT_EQ(audiomix_param_set(name.c_str(), h.hi + step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        if (h.whole) {
            EXPECT_EQ(audiomix_param_set(name.c_str(), h.lo + 0.5), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        }
    }
    for (double bands : {10, 15, 25, 31}) EXPECT_EQ(audiomix_param_set("eq.bands", bands), AUDIOMIX_PARAM_OK);
    for (double bands : {9, 12, 32}) EXPECT_EQ(audiomix_param_set("eq.bands", bands), AUDIOMIX_PARAM_OUT_OF_RANGE);
    // Below 44100 Hz only 10 bands, as the hint says.
    ASSERT_NE(std::string(find_param_hint("eq.bands")->accepted).find("10 below 44100 Hz"), std::string::npos);
    for (int32_t rate : {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000}) {
        audiomix_init(rate, 2, 0);
        EXPECT_EQ(audiomix_param_set("eq.bands", 15), rate < 44100 ? AUDIOMIX_PARAM_OUT_OF_RANGE : AUDIOMIX_PARAM_OK)
            << rate;
        EXPECT_EQ(audiomix_param_set("eq.bands", 10), AUDIOMIX_PARAM_OK) << rate;
    }
    // Every name the library lists has a description.
    for (int32_t i = 0;; ++i) {
        char name[64];
        if (audiomix_param_name(i, name, sizeof name) == AUDIOMIX_PARAM_UNKNOWN) break;
        EXPECT_NE(find_param_hint(name), nullptr) << name;
    }
    audiomix_close();
}

TEST(RenderParamHints, MessagesNameTheParameterAndWhatItAccepts) {
    const std::string range = param_error_message("reverb.wet_db", 3, AUDIOMIX_PARAM_OUT_OF_RANGE, 10);
    EXPECT_NE(range.find("reverb.wet_db=3"), std::string::npos) << range;
    EXPECT_NE(range.find("-100 ... -2"), std::string::npos) << range;
    const std::string band = param_error_message("eq.band.12", 1, AUDIOMIX_PARAM_UNKNOWN, 10);
    EXPECT_NE(band.find("eq.band.9"), std::string::npos) << band;
    EXPECT_NE(band.find("eq.bands"), std::string::npos) << band;
    const std::string unknown = param_error_message("reverb.size", 1, AUDIOMIX_PARAM_UNKNOWN, 10);
    EXPECT_NE(unknown.find("reverb.size"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("unknown"), std::string::npos) << unknown;
}

TEST(RenderDefaultSetting, EveryEntryIsAcceptedAndAllStagesRun) {
    open_engine(kDefaultRate, kDefaultChannels);
    size_t n = 0;
    const DefaultParam* s = default_setting(n);
    ParamValues values;
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(audiomix_param_set(s[i].name, s[i].value), AUDIOMIX_PARAM_OK) << s[i].name;
        double v = 0.0;
        ASSERT_EQ(audiomix_param_get(s[i].name, &v), AUDIOMIX_PARAM_OK) << s[i].name;
        values.emplace_back(s[i].name, v);
    }
    EXPECT_EQ(describe_chain(values, kDefaultRate), "equaliser (10 bands) -> reverb -> compressor");
    audiomix_close();
}

// ---------------------------------------------------------------- the tool, end to end


TEST_F(RenderToolRun, DefaultPieceForOneSecond) {
    const ToolRun r = tool("--seconds 1");
    ASSERT_EQ(r.status, 0) << r.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "out/default.wav", w));
    EXPECT_EQ(w.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(w.info.samplerate, 44100);
    EXPECT_EQ(w.info.channels, 2);
    EXPECT_EQ(w.info.frames, 44100);
    LevelMeter m(2);
    m.add(w.samples.data(), w.samples.size() / 2);
    EXPECT_GT(m.rms_dbfs(0), -40.0);
    EXPECT_LT(m.peak_dbfs(0), 0.0);
    EXPECT_FALSE(fs::exists(dir_ / "out/default.wav.part"));
    EXPECT_NE(r.out.find("equaliser (10 bands) -> reverb -> compressor"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("reverb.wet_db"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;  // no progress bar for a short, redirected render
}

TEST_F(RenderToolRun, AllStagesOffLeavesEverySampleAsItWas) {
    struct Case { int rate, channels; size_t frames; };
    for (const Case c : {Case{44100, 2, 5000}, Case{11025, 1, 3001}, Case{32000, 2, 1024}}) {
        const std::vector<int16_t> in = test_signal(c.frames * c.channels);
        write_wav(dir_ / "in.wav", c.rate, c.channels, in);
        const ToolRun r = tool("--set eq.on=0 --set reverb.on=0 --set comp.on=0 in.wav -o result.wav");
        ASSERT_EQ(r.status, 0) << r.err;
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / "result.wav", w));
        EXPECT_EQ(w.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(w.info.samplerate, c.rate);
        EXPECT_EQ(w.info.channels, c.channels);
        EXPECT_TRUE(w.samples == in) << c.rate << " Hz, " << c.channels << " channels";
        EXPECT_NE(r.out.find("none (audio passes unchanged)"), std::string::npos) << r.out;
    }
}

TEST_F(RenderToolRun, ReverbChangesTheAudio) {
    const std::vector<int16_t> in = test_signal(4000 * 2);
    write_wav(dir_ / "in.wav", 44100, 2, in);
    const ToolRun r = tool("--set eq.on=0 --set comp.on=0 --set reverb.on=1 in.wav -o result.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "result.wav", w));
    ASSERT_EQ(w.samples.size(), in.size());
    EXPECT_NE(w.samples, in);
}

TEST_F(RenderToolRun, RejectedSetExitsOneNamingTheParameter) {
    ToolRun r = tool("--seconds 0.1 --set reverb.size=3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("reverb.size"), std::string::npos) << r.err;
    r = tool("--seconds 0.1 --set reverb.wet_db=0");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("reverb.wet_db"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("-100 ... -2"), std::string::npos) << r.err;
    r = tool("--set comp.ratio");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("comp.ratio"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(RenderToolRun, SetsApplyInCommandLineOrder) {
    // Band 12 exists only once the layout has more than 12 bands.
    ToolRun r = tool("--seconds 0.1 --set eq.band.12=3 --set eq.bands=15");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("eq.band.12"), std::string::npos) << r.err;
    r = tool("--seconds 0.1 --set eq.bands=15 --set eq.band.12=3");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("eq.band.12"), std::string::npos) << r.out;
    // A band gain set before a layout change is reset by it.
    r = tool("--seconds 0.1 --set eq.band.9=4 --set eq.bands=15");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("eq.band.9 "), std::string::npos) << r.out;
}

TEST_F(RenderToolRun, SecondsCutsTheInputAndTheNameFollowsIt) {
    fs::create_directories(dir_ / "songs");
    write_wav(dir_ / "songs/tone.wav", 22050, 1, test_signal(22050 * 2));
    const ToolRun r = tool("--quiet --seconds 0.5 songs/tone.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "out/tone-audiomix.wav", w));
    EXPECT_EQ(w.info.frames, 11025);
    EXPECT_EQ(w.info.samplerate, 22050);
    EXPECT_EQ(w.info.channels, 1);
}

TEST_F(RenderToolRun, SeveralInputsRenderAtOnceAsEachWouldAlone) {
    struct Input { const char* name; int rate, channels; };
    const Input inputs[] = {{"a", 44100, 2}, {"b", 48000, 1}, {"c", 22050, 2}, {"d", 44100, 1}};
    std::string names;
    for (const Input& in : inputs) {
        write_wav(dir_ / (std::string(in.name) + ".wav"), in.rate, in.channels,
                  test_signal(static_cast<size_t>(in.rate / 2 * in.channels)));
        names += std::string(" ") + in.name + ".wav";
    }
    const std::string setting = "--quiet --set eq.on=1 --set reverb.on=1 --set comp.on=1 --set eq.band.2=9";
    std::vector<std::vector<int16_t>> alone;
    for (const Input& in : inputs) {
        const ToolRun r = tool(setting + " " + in.name + ".wav -o " + in.name + "-alone.wav");
        ASSERT_EQ(r.status, 0) << r.err;
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / (std::string(in.name) + "-alone.wav"), w));
        alone.push_back(w.samples);
    }
    const ToolRun r = tool(setting + " --jobs 3" + names);
    ASSERT_EQ(r.status, 0) << r.err;
    for (size_t i = 0; i < std::size(inputs); ++i) {
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / "out" / (std::string(inputs[i].name) + "-audiomix.wav"), w));
        EXPECT_EQ(w.samples, alone[i]) << inputs[i].name;
        EXPECT_NE(w.samples, test_signal(w.samples.size())) << inputs[i].name;  // the effects ran
    }
    // Two inputs that would share an output are refused before anything runs.
    fs::create_directories(dir_ / "other");
    fs::copy_file(dir_ / "a.wav", dir_ / "other/a.wav");
    EXPECT_EQ(tool("a.wav other/a.wav").status, 1);
}

TEST_F(RenderToolRun, ListParamsShowsEveryNameWithTheValueTheRunUses) {
    write_wav(dir_ / "in.wav", 44100, 2, test_signal(2000));
    const ToolRun r = tool("in.wav --flat --set reverb.taps=33 --list-params");
    ASSERT_EQ(r.status, 0) << r.err;
    // The names and values of a fresh engine, from a process of its own: the
    // library's state is process-wide, other tests here change it, and not
    // every parameter returns to its default on audiomix_init.
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path expected = dir_ / "expected.txt";
    const std::string cmd = "'" + self.string() + "' " + kDumpFreshParams + " >'" + expected.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    std::istringstream want(slurp(expected));
    std::string name;
    double v = 0.0;
    int count = 0;
    while (want >> name >> v) {
        std::istringstream lines(r.out);
        std::string line;
        bool found = false;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string n, value;
            words >> n >> value;
            if (n == name) {
                found = true;
                EXPECT_EQ(std::stod(value), name == "reverb.taps" ? 33.0 : v) << line;
            }
        }
        EXPECT_TRUE(found) << name;
        ++count;
    }
    EXPECT_GE(count, 27);  // 17 named parameters and at least 10 bands
}

TEST_F(RenderToolRun, HelpVersionAndUsageErrors) {
    ToolRun r = tool("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* part : {"--set", "--jobs", "Effects", "Files", "Listings", "exit status"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    r = tool("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("audiomix-render ", 0), 0u) << r.out;
    // Usage errors exit 1 and name what was typed.
    r = tool("--bogus");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--bogus"), std::string::npos) << r.err;
    r = tool("--seconds soon");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("soon"), std::string::npos) << r.err;
}

// ---------------------------------------------------------------- main

// With this one argument the executable prints every parameter of a freshly
// initialised engine, "name value" per line, instead of running the tests.
int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == kDumpFreshParams) {
        open_engine(44100, 2);
        for (int32_t i = 0;; ++i) {
            char name[64];
            double v = 0.0;
            if (audiomix_param_name(i, name, sizeof name) == AUDIOMIX_PARAM_UNKNOWN) break;
            audiomix_param_get(name, &v);
            std::printf("%s %.17g\n", name, v);
        }
        audiomix_close();
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
