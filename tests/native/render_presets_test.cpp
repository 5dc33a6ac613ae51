// audiomix-render's --preset and --list-presets, through runs of the tool.
#include "render_tool_fixture.h"

using namespace render_test;

namespace {

class RenderPresetRun : public RenderToolRun {
protected:
    // A quarter second of the built-in piece through the given settings.
    std::string render(const std::string& args) {
        const ToolRun r = tool("-q --seconds 0.25 --set eq.on=1 -o p.wav " + args);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        return r.status == 0 ? read("p.wav") : "";
    }
};

TEST_F(RenderPresetRun, OnlyTheCurrentBandCountsPresetsAreListedOrChosen) {
    // The built-ins first; user presets from a file beside the library may follow.
    ToolRun r = tool("--list-presets");
    EXPECT_EQ(r.out.rfind("10频段缺省模式\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nRock摇滚模式\n"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    r = tool("--set eq.bands=25 --list-presets");
    EXPECT_EQ(r.out.rfind("25频段缺省模式\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find("Rock摇滚模式"), std::string::npos);
    // An unknown name fails listing the choices; the 15-band default is no
    // choice while ten bands are shown.
    r = tool("-q --preset Rock");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Rock摇滚模式"), std::string::npos) << r.err;
    EXPECT_EQ(tool("-q --preset 15频段缺省模式").status, 1);
    EXPECT_EQ(tool("-q --set eq.bands=15 --preset 15频段缺省模式 --seconds 0.1").status, 0);
}

TEST_F(RenderPresetRun, PresetSoundsLikeItsGainsSetByHandInItsPlace) {
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
