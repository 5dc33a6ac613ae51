// audiomix-render's settings: where a render's setting starts (built-in,
// --settings, --flat), settings files read and written, and the summary's
// source line, through runs of the tool.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "default_setting.h"
#include "format.h"
#include "render_tool_fixture.h"

using namespace render_test;

namespace {

class SettingsRun : public RenderToolRun {
protected:
    // A busy 16-bit signal (a fixed LCG), so that every effect shows.
    void write_wav(const std::string& name, int rate, int channels, size_t frames) const {
        std::vector<int16_t> x(frames * static_cast<size_t>(channels));
        uint32_t state = 777;
        for (int16_t& v : x) {
            state = state * 1664525u + 1013904223u;
            v = static_cast<int16_t>(static_cast<int32_t>(state >> 16) - 32768);
        }
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open((dir_ / name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        sf_writef_short(f, x.data(), static_cast<sf_count_t>(frames));
        sf_close(f);
    }
    std::vector<int16_t> samples(const std::string& name) const {
        SF_INFO info{};
        SNDFILE* f = sf_open((dir_ / name).c_str(), SFM_READ, &info);
        if (!f) return {};
        std::vector<int16_t> x(static_cast<size_t>(info.frames * info.channels));
        sf_readf_short(f, x.data(), info.frames);
        sf_close(f);
        return x;
    }
    // A settings file without its comment header.
    std::string body(const std::string& name) const {
        const std::string text = read(name);
        return text.substr(text.find("\n["));
    }
};

// The built-in setting as --set options.
std::string builtin_as_sets() {
    size_t n = 0;
    const audiomix_render::DefaultParam* p = audiomix_render::default_setting(n);
    std::string args;
    for (size_t i = 0; i < n; ++i) args += std::string(" --set ") + p[i].name + "=" + audiomix_render::format_value(p[i].value);
    return args;
}

}  // namespace

TEST_F(SettingsRun, SavedSettingRendersAgainSampleForSample) {
    write_wav("song.wav", 44100, 2, 30000);
    write_wav("low.wav", 22050, 1, 20000);
    struct Case {
        const char* input;  // "" for the built-in piece
        const char* adjust;
    };
    const Case cases[] = {
        {"song.wav", "--set eq.band.3=1.3 --preset Rock摇滚模式 --set eq.pregain=1.2345678 --set reverb.taps=31"},
        {"", "--seconds 0.5 --set eq.bands=31 --set eq.band.30=-7.2 --set order.reverb_first=1 --set eq.second_pass=1"},
        {"low.wav", "--flat --set reverb.on=1 --set reverb.decay_m=300 --set comp.on=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.adjust);
        const std::string input = c.input[0] ? std::string(" ") + c.input : " --seconds 0.5";
        ToolRun r = tool(std::string(c.adjust) + " --save-settings s.toml -o first.wav" + (c.input[0] ? input : ""));
        ASSERT_EQ(r.status, 0) << r.err;
        r = tool("--settings s.toml --save-settings again.toml -o second.wav" + input);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(read("first.wav"), read("second.wav"));
        if (c.input[0]) {
            EXPECT_NE(samples("first.wav"), samples(c.input));  // the effects ran
        }
        // Reading and writing again changes nothing but the header.
        EXPECT_EQ(body("s.toml"), body("again.toml"));
    }
}

TEST_F(SettingsRun, TheSameValuesReachedTwoWaysGiveTheSameSamples) {
    // Each detour ends at the values of the direct route; on the way it
    // changes parameters whose change draws reverb taps or a dither table.
    write_wav("song.wav", 44100, 2, 20000);
    struct Case {
        const char* direct;
        const char* detour;
    };
    const Case cases[] = {
        {"", "--set reverb.taps=30 --set reverb.taps=24"},  // the built-in setting has 24 taps
        {"", "--set reverb.decay_m=300 --set reverb.base_m=50 --set reverb.base_m=5 --set reverb.decay_m=10"},
        {"--flat --set eq.on=1", "--flat --set eq.on=1 --set eq.bands=15 --set eq.bands=10"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(tool(std::string("-q song.wav -o direct.wav ") + c.direct).status, 0);
        const ToolRun r = tool(std::string("-q song.wav -o detour.wav ") + c.detour);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(read("direct.wav"), read("detour.wav")) << c.detour;
    }
}

TEST_F(SettingsRun, EveryInputStartsFromTheBuiltInSettingUnlessFlat) {
    struct Format {
        int rate, channels;
    };
    for (const Format f : {Format{44100, 2}, Format{11025, 1}, Format{32000, 2}}) {
        SCOPED_TRACE(f.rate);
        write_wav("in.wav", f.rate, f.channels, 9000);
        ASSERT_EQ(tool("-q in.wav -o default.wav").status, 0);
        ASSERT_EQ(tool("-q in.wav -o by-hand.wav --flat" + builtin_as_sets()).status, 0);
        EXPECT_EQ(read("default.wav"), read("by-hand.wav"));
        EXPECT_NE(samples("default.wav"), samples("in.wav"));
        // Every effect off: an unchanged copy.
        const ToolRun r = tool("in.wav -o flat.wav --flat");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(samples("flat.wav"), samples("in.wav"));
        EXPECT_NE(r.out.find("none (audio passes unchanged)"), std::string::npos) << r.out;
    }
}

TEST_F(SettingsRun, PartialFileKeepsTheLibraryDefaults) {
    write_wav("song.wav", 44100, 2, 10000);
    put("partial.toml", "# only the reverb\n[reverb]\non = 1\ntaps = 33\n\n[eq]\npregain = -4\n");
    const ToolRun fromFile = tool("song.wav --settings partial.toml --list-params");
    const ToolRun byHand = tool("song.wav --flat --set reverb.on=1 --set reverb.taps=33 --set eq.pregain=-4 --list-params");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    ASSERT_EQ(byHand.status, 0) << byHand.err;
    EXPECT_EQ(fromFile.out, byHand.out);
    EXPECT_NE(fromFile.out.find("reverb.taps"), std::string::npos);
}

TEST_F(SettingsRun, MalformedFilesExitOneNamingFileLineAndKey) {
    struct Case {
        const char* text;
        const char* where;  // file:line
        const char* key;
    };
    const Case cases[] = {
        {"[delay]\ntime = 3\n", "bad.toml:1:", "delay"},
        {"volume = 3\n", "bad.toml:1:", "volume"},
        {"[eq]\non = true\ngain = 3\n", "bad.toml:3:", "eq.gain"},
        {"[reverb]\n\ntaps = \"many\"\n", "bad.toml:3:", "reverb.taps"},
        {"[comp]\nratio = 6.5\n", "bad.toml:2:", "comp.ratio"},
        {"[comp]\nthreshold_db = 0\n", "bad.toml:2:", "comp.threshold_db"},
        {"[comp]\nattack_ms = 1001\n", "bad.toml:2:", "comp.attack_ms"},
        {"[eq]\non = 2\n", "bad.toml:2:", "eq.on"},
        {"[eq]\nsecond_pass = \"yes\"\n", "bad.toml:2:", "eq.second_pass"},
        {"[eq]\nbands = 12\n", "bad.toml:2:", "eq.bands"},
        {"[eq]\npregain = 18.5\n", "bad.toml:2:", "eq.pregain"},
        {"[eq]\npregain = nan\n", "bad.toml:2:", "eq.pregain"},
        {"[eq]\nbands = 15\nband = [1.0, 2.0]\n", "bad.toml:3:", "eq.band"},
        {"[eq]\nband = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n", "bad.toml:2:", "eq.band"},  // the default is 10
        {"[eq]\nband = [0, 0, 0, 0, 0, 0, 0, 0, 0,\n  -20.5]\n", "bad.toml:3:", "eq.band[9]"},
        {"[eq]\nband = 3\n", "bad.toml:2:", "eq.band"},
        {"[eq.band]\n0 = 1.0\n", "bad.toml:1:", "eq.band"},
        {"[[comp]]\non = true\n", "bad.toml:1:", "comp"},
        {"[eq]\non = \n", "bad.toml:2:", ""},             // TOML syntax
        {"[eq]\non = true\non = false\n", "bad.toml:3:", ""},  // a key twice
    };
    write_wav("song.wav", 44100, 2, 1000);
    for (const Case& c : cases) {
        put("bad.toml", c.text);
        const ToolRun r = tool("-q song.wav --settings bad.toml");
        EXPECT_EQ(r.status, 1) << c.text;
        EXPECT_NE(r.err.find(c.where + std::string(" ") + c.key), std::string::npos) << c.text << "\n" << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "out")) << c.text;
    }
    // Faults are told in file order, all of them.
    put("bad.toml", "[reverb]\nwet_db = 0\n[comp]\nratio = 11\n[eq]\non = 3\n");
    const ToolRun r = tool("-q song.wav --settings bad.toml");
    EXPECT_EQ(r.status, 1);
    const size_t wet = r.err.find("bad.toml:2: reverb.wet_db"), ratio = r.err.find("bad.toml:4: comp.ratio"),
                 on = r.err.find("bad.toml:6: eq.on");
    EXPECT_TRUE(wet < ratio && ratio < on && on != std::string::npos) << r.err;

    // Valid everywhere, but not at every rate: more than ten bands below 44100 Hz.
    write_wav("low.wav", 22050, 1, 1000);
    put("wide.toml", "[eq]\nbands = 15\n");
    const ToolRun low = tool("-q low.wav --settings wide.toml");
    EXPECT_EQ(low.status, 1);
    EXPECT_NE(low.err.find("wide.toml:2: eq.bands"), std::string::npos) << low.err;
    EXPECT_EQ(tool("-q song.wav --settings wide.toml").status, 0);

    EXPECT_EQ(tool("-q song.wav --settings missing.toml").status, 2);
}

TEST_F(SettingsRun, SummaryNamesTheSourceOnce) {
    put("s.toml", "[reverb]\non = true\n");
    struct Case {
        const char* args;
        const char* source;
    };
    const Case cases[] = {
        {"", "built-in"},
        {"--flat --set reverb.on=1", "flat + 1 --set"},
        {"--settings s.toml --preset Rock摇滚模式", "file s.toml + preset Rock摇滚模式"},
        {"--set comp.on=0 --preset Rock摇滚模式 --set eq.pregain=2", "built-in + 2 --set, preset Rock摇滚模式"},
    };
    for (const Case& c : cases) {
        const ToolRun r = tool(std::string("--seconds 0.1 ") + c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        std::istringstream lines(r.out);
        std::vector<std::string> setting;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("setting", 0) == 0 || line.find('=') != std::string::npos) setting.push_back(line);
        EXPECT_EQ(setting, std::vector<std::string>{std::string("setting   ") + c.source}) << r.out;
        EXPECT_NE(r.out.find("changed   "), std::string::npos) << r.out;
    }
}

TEST_F(SettingsRun, SaveSettingsAloneWritesTheBuiltInPieceAndRendersNothing) {
    const ToolRun saved = tool("--save-settings builtin.toml");
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    const std::string text = read("builtin.toml");
    EXPECT_NE(text.find("band = [6.0, 4.8, 2.4, 0.0, -2.4, -2.4, 0.0, 2.4, 4.8, 6.0]"), std::string::npos) << text;
    EXPECT_EQ(tool("--flat --settings builtin.toml").status, 1);  // one start only
    EXPECT_EQ(tool("--settings builtin.toml --list-params").out, tool("--list-params").out);
}

TEST_F(SettingsRun, FailedSaveLeavesWhatWasThere) {
    write_wav("song.wav", 44100, 1, 1000);
    const std::string song = read("song.wav");
    // A folder where the file should go: the rename fails, nothing is left behind.
    fs::create_directories(dir_ / "taken.toml");
    EXPECT_EQ(tool("-q --save-settings taken.toml").status, 2);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.toml"));
    EXPECT_EQ(tool("-q --save-settings no/such/folder/s.toml").status, 2);
    // Naming an input or the output is refused before anything runs.
    EXPECT_EQ(tool("-q song.wav --save-settings song.wav").status, 1);
    EXPECT_EQ(tool("-q song.wav -o x.wav --save-settings ./x.wav").status, 1);
    EXPECT_EQ(read("song.wav"), song);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir_)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"song.wav", "stderr.txt", "stdout.txt", "taken.toml"}));
}
