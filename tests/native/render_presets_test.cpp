// audiomix-render's --preset and --list-presets, through runs of the tool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render_tool_fixture.h"

using namespace render_test;

namespace {

class RenderPresetRun : public RenderToolRun {
protected:
    // Runs the tool in the scratch folder; returns its exit status.
    int tool(const std::string& args) { return RenderToolRun::tool(args).status; }
    std::vector<std::string> out_lines() const {
        std::vector<std::string> out;
        std::istringstream in(read("stdout.txt"));
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    // A quarter second of the built-in piece through the given settings.
    std::string render(const std::string& args) {
        fs::remove(dir_ / "out" / "default.wav");
        EXPECT_EQ(tool("-q --seconds 0.25 --set eq.on=1 " + args), 0) << args << ": " << read("stderr.txt");
        return read("out/default.wav");
    }
};

TEST_F(RenderPresetRun, ListsTheCurrentBandCountsPresets) {
    ASSERT_EQ(tool("--list-presets"), 0) << read("stderr.txt");
    std::vector<std::string> listed = out_lines();
    // User presets from a file beside the library may follow the built-ins.
    ASSERT_GE(listed.size(), 8u);
    listed.resize(8);
    EXPECT_EQ(listed, (std::vector<std::string>{"10频段缺省模式", "Normal自然模式", "Rock摇滚模式", "POP流行模式",
                                                "重金属模式", "超低音模式", "重金属超低音模式", "SoftRock柔和模式"}));
    EXPECT_FALSE(fs::exists(dir_ / "out")) << "listing renders nothing";

    ASSERT_EQ(tool("--set eq.bands=25 --list-presets"), 0) << read("stderr.txt");
    listed = out_lines();
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed[0], "25频段缺省模式");
    EXPECT_EQ(read("stdout.txt").find("Rock摇滚模式"), std::string::npos);
}

TEST_F(RenderPresetRun, UnknownNameFailsListingTheChoices) {
    EXPECT_EQ(tool("-q --preset Rock"), 1);
    const std::string err = read("stderr.txt");
    EXPECT_NE(err.find("'Rock'"), std::string::npos) << err;
    EXPECT_NE(err.find("Rock摇滚模式"), std::string::npos) << err;
    // The 15-band default is no choice while ten bands are shown.
    EXPECT_EQ(tool("-q --preset 15频段缺省模式"), 1);
    EXPECT_EQ(tool("-q --set eq.bands=15 --preset 15频段缺省模式 --seconds 0.1"), 0);
}

TEST_F(RenderPresetRun, PresetSoundsLikeItsGainsSetByHand) {
    // "重金属模式" typed from its table, band by band.
    const int gains[10] = {-10, -10, -10, -4, -4, 12, 16, 16, 16, 16};
    std::string byHand;
    for (int b = 0; b < 10; ++b) byHand += "--set eq.band." + std::to_string(b) + "=" + std::to_string(gains[b]) + " ";
    const std::string preset = render("--preset 重金属模式");
    ASSERT_FALSE(preset.empty());
    EXPECT_EQ(preset, render(byHand));
    EXPECT_NE(preset, render(""));
    // A --set after the preset adjusts it; one before it is overridden.
    EXPECT_EQ(render("--set eq.band.0=5 --preset 重金属模式 --set eq.band.0=3"), render(byHand + "--set eq.band.0=3"));
}

}  // namespace
