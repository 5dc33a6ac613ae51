// audiomix-render's settings: where a render's setting starts (built-in,
// --settings, --flat) and settings files read and written.
#include <algorithm>

#include "default_setting.h"
#include "format.h"
#include "render_tool_fixture.h"
#include "settings_file.h"

using namespace render_test;

namespace {

// A settings file without its comment header.
std::string body(const std::string& text) { return text.substr(text.find("\n[")); }

// The built-in setting as --set options.
std::string builtin_as_sets() {
    size_t n = 0;
    const audiomix_render::DefaultParam* p = audiomix_render::default_setting(n);
    std::string args;
    for (size_t i = 0; i < n; ++i)
        args += std::string(" --set ") + p[i].name + "=" + audiomix_render::format_value(p[i].value);
    return args;
}

}  // namespace

TEST(RenderSettingsFile, FaultsNameFileLineAndKeyInFileOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"[delay]\ntime = 3\n", "f.toml:1: delay"},
        {"[reverb]\n\ntaps = \"many\"\n", "f.toml:3: reverb.taps"},
        {"[eq]\nbands = 15\nband = [1.0, 2.0]\n", "f.toml:3: eq.band"},
        {"[eq]\nband = [0, 0, 0, 0, 0, 0, 0, 0, 0,\n  -20.5]\n", "f.toml:3: eq.band[9]"},
        {"[[comp]]\non = true\n", "f.toml:1: comp"},
        {"[eq]\non = \n", "f.toml:2:"},  // TOML syntax
    };
    std::vector<audiomix_render::SettingValue> values;
    for (const auto& [text, fault] : cases) {
        const std::string error = audiomix_render::parse_settings(text, "f.toml", values);
        EXPECT_NE(error.find(fault), std::string::npos) << text << "\n" << error;
    }
    // Every fault, in file order (toml++ hands keys over sorted by name).
    const std::string all =
        audiomix_render::parse_settings("[reverb]\nwet_db = 0\n[comp]\nratio = 11\n[eq]\non = 3\n", "f.toml", values);
    const size_t wet = all.find("f.toml:2: reverb.wet_db"), ratio = all.find("\nf.toml:4: comp.ratio"),
                 on = all.find("\nf.toml:6: eq.on");
    EXPECT_TRUE(wet == 0 && wet < ratio && ratio < on && on != std::string::npos) << all;
}

TEST_F(RenderToolRun, SavedSettingRendersAgainSampleForSample) {
    write_wav(dir_ / "song.wav", 44100, 2, test_signal(60000));
    write_wav(dir_ / "low.wav", 22050, 1, test_signal(20000));
    const std::pair<const char*, const char*> cases[] = {
        {" song.wav", "--set eq.band.3=1.3 --preset Rock摇滚模式 --set eq.pregain=1.2345678 --set reverb.taps=31"},
        {"", "--set eq.bands=31 --set eq.band.30=-7.2 --set order.reverb_first=1 --set eq.second_pass=1"},
        {" low.wav", "--flat --set reverb.on=1 --set reverb.decay_m=300 --set comp.on=1"},
    };
    for (const auto& [input, adjust] : cases) {
        SCOPED_TRACE(adjust);
        ToolRun r = tool(std::string("--seconds 0.5 ") + adjust + " --save-settings s.toml -o first.wav" + input);
        ASSERT_EQ(r.status, 0) << r.err;
        r = tool(std::string("--seconds 0.5 --settings s.toml --save-settings again.toml -o second.wav") + input);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("\nsetting   file s.toml\n"), std::string::npos) << r.out;  // named once, whole
        EXPECT_EQ(read("first.wav"), read("second.wav"));
        if (*input) {
            EXPECT_NE(samples("first.wav"), samples(input + 1));  // the effects ran
        }
        EXPECT_EQ(body(read("s.toml")), body(read("again.toml")));  // read and written again: the same
    }
}

TEST_F(RenderToolRun, EveryInputStartsFromTheBuiltInSettingUnlessFlat) {
    for (const auto& [rate, channels] : {std::pair{44100, 2}, {11025, 1}, {32000, 2}}) {
        SCOPED_TRACE(rate);
        write_wav(dir_ / "in.wav", rate, channels, test_signal(9000));
        ASSERT_EQ(tool("-q in.wav -o default.wav").status, 0);
        ASSERT_EQ(tool("-q in.wav -o by-hand.wav --flat" + builtin_as_sets()).status, 0);
        EXPECT_EQ(read("default.wav"), read("by-hand.wav"));
        EXPECT_NE(samples("default.wav"), samples("in.wav"));
        const ToolRun r = tool("in.wav -o flat.wav --flat");  // every effect off: an unchanged copy
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(samples("flat.wav"), samples("in.wav"));
        EXPECT_NE(r.out.find("none (audio passes unchanged)"), std::string::npos) << r.out;
    }
}

TEST_F(RenderToolRun, SettingsFilesAtTheCommandLine) {
    write_wav(dir_ / "song.wav", 44100, 2, test_signal(2000));
    write_wav(dir_ / "low.wav", 22050, 1, test_signal(1000));
    // A key left out keeps the library's default.
    put("partial.toml", "# only the reverb\n[reverb]\non = 1\ntaps = 33\n\n[eq]\npregain = -4\n");
    const ToolRun fromFile = tool("song.wav --settings partial.toml --list-params");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, tool("song.wav --flat --set reverb.on=1 --set reverb.taps=33 --set eq.pregain=-4 "
                                 "--list-params")
                                .out);
    // A fault exits 1 before anything renders; so does a value this rate
    // lacks (more than ten bands below 44100 Hz); a missing file is a failure.
    put("bad.toml", "[comp]\nratio = 11\n");
    put("wide.toml", "[eq]\nbands = 15\n");
    EXPECT_EQ(tool("-q song.wav --settings bad.toml").status, 1);
    EXPECT_EQ(tool("-q low.wav --settings wide.toml").status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    EXPECT_EQ(tool("-q song.wav --settings wide.toml").status, 0);
    EXPECT_EQ(tool("-q song.wav --settings missing.toml").status, 2);
}

TEST_F(RenderToolRun, SaveSettingsAloneOrRefused) {
    // Alone it writes the built-in piece's setting and renders nothing.
    ASSERT_EQ(tool("--save-settings builtin.toml").status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    EXPECT_EQ(tool("--settings builtin.toml --list-params").out, tool("--list-params").out);
    // A folder in the way, an input or the output: refused,
    // and nothing is left behind.
    write_wav(dir_ / "song.wav", 44100, 1, test_signal(1000));
    const std::string song = read("song.wav");
    fs::create_directories(dir_ / "taken.toml");
    EXPECT_EQ(tool("-q --save-settings taken.toml").status, 2);
    EXPECT_EQ(tool("-q song.wav --save-settings song.wav").status, 1);
    EXPECT_EQ(tool("-q song.wav -o x.wav --save-settings ./x.wav").status, 1);
    EXPECT_EQ(read("song.wav"), song);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir_)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"builtin.toml", "song.wav", "stderr.txt", "stdout.txt", "taken.toml"}));
}
