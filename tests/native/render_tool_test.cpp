// audiomix-render: its pure parts (options, the parameter descriptions)
// and how a run applies the command line.
#include <audiomix.h>

#include "options.h"
#include "param_hints.h"
#include "render_tool_fixture.h"

using namespace audiomix_render;
using namespace render_test;

// ---------------------------------------------------------------- options

TEST(RenderOptions, RefusedCommandLinesQuoteWhatWasTyped) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--set", "eq.on"}, "eq.on"},
        {{"--set", "eq.on=nan"}, "nan"},
        {{"--set", "eq.on= 1"}, "eq.on"},
        {{"--seconds", "1s"}, "'1s'"},
        {{"-", "-"}, "once"},
        {{"--type", "mp3"}, "'mp3'"},
        {{"a.wav", "b.wav", "-o", "x.wav"}, "-o"},
        {{"a.wav", "b.wav", "--plot", "x.svg"}, "several inputs"},
        {{"--plot", "levels.pdf"}, ".svg or .png"},
    };
    for (const auto& [args, error] : cases) {
        const ParseResult r = parse_options(args);
        EXPECT_NE(r.error.find(error), std::string::npos) << ::testing::PrintToString(args) << ": " << r.error;
    }
    EXPECT_TRUE(parse_options({"-", "-o", "-"}).ok());
}

// ---------------------------------------------------------------- against the library

TEST(RenderParamHints, DescribeWhatTheLibraryAccepts) {
    audiomix_engine* e = audiomix_engine_create(44100, 2);
    ASSERT_NE(e, nullptr);
    size_t n = 0;
    const ParamHint* hints = all_param_hints(n);
    for (const ParamHint& h : std::vector<ParamHint>(hints, hints + n)) {
        const std::string name = std::string(h.name) + (std::string(h.name).back() == '.' ? "0" : "");
        if (h.lo > h.hi) continue;  // eq.bands: a list, not a range
        const double step = h.whole ? 1.0 : 0.01;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.lo), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.hi), AUDIOMIX_PARAM_OK) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.lo - step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
        EXPECT_EQ(audiomix_engine_param_set(e, name.c_str(), h.hi + step), AUDIOMIX_PARAM_OUT_OF_RANGE) << name;
    }
    char name[64];
    for (int32_t i = 0; audiomix_engine_param_name(e, i, name, sizeof name) != AUDIOMIX_PARAM_UNKNOWN; ++i)
        EXPECT_NE(find_param_hint(name), nullptr) << name;
    audiomix_engine_destroy(e);
}

// ---------------------------------------------------------------- the tool, end to end

TEST_F(RenderToolRun, SetsApplyInCommandLineOrder) {
    struct Case {
        const char* sets;
        int status;
        const char* shown;  // in stderr, or (status 0) in the summary
        bool present;
    };
    const Case cases[] = {
        {"--set reverb.size=3", 1, "reverb.size", true},
        {"--set reverb.wet_db=0", 1, "-100 ... -2", true},
        // Band 12 exists only once the layout has more than 12 bands.
        {"--set eq.band.12=3 --set eq.bands=15", 1, "eq.band.12", true},
        {"--set eq.bands=15 --set eq.band.12=3", 0, "eq.band.12", true},
        // A band gain set before a layout change is reset by it.
        {"--set eq.band.9=4 --set eq.bands=15", 0, "eq.band.9 ", false},
        {"--set order.reverb_first=1", 0, "reverb -> equaliser (10 bands) -> compressor", true},
    };
    for (const Case& c : cases) {
        const ToolRun r = tool(std::string("--seconds 0.1 ") + c.sets);
        EXPECT_EQ(r.status, c.status) << c.sets << ": " << r.err;
        EXPECT_EQ((c.status ? r.err : r.out).find(c.shown) != std::string::npos, c.present) << c.sets << r.out;
    }
}

TEST_F(RenderToolRun, ABatchRendersAtOnceAsEachFileAlone) {
    const std::string setting = "--set eq.band.2=9 --seconds 0.4 ";
    write_wav(dir_ / "a.wav", 44100, 2, test_signal(44100));
    write_wav(dir_ / "b.wav", 22050, 1, test_signal(11025));
    ASSERT_EQ(tool(setting + "--jobs 2 --out-dir done/here a.wav b.wav").status, 0);
    for (const auto& [name, size] : {std::pair{"a", 2 * 17640u}, {"b", 8820u}}) {
        ASSERT_EQ(tool("-q " + setting + name + ".wav -o alone.wav").status, 0);
        EXPECT_EQ(samples("alone.wav").size(), size) << name;
        EXPECT_EQ(samples("done/here/" + std::string(name) + "-audiomix.wav"), samples("alone.wav")) << name;
    }
    // Two inputs that would share an output are refused before anything runs.
    fs::create_directories(dir_ / "other");
    fs::copy_file(dir_ / "a.wav", dir_ / "other/a.wav");
    EXPECT_EQ(tool("a.wav other/a.wav").status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}
