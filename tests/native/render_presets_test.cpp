// audiomix-render's --preset and --list-presets, through runs of the tool.
// Built into the render tool's own test executable.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kTenBand = {"10频段缺省模式", "Normal自然模式", "Rock摇滚模式",
                                           "POP流行模式",    "重金属模式",     "超低音模式",
                                           "重金属超低音模式", "SoftRock柔和模式"};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class RenderPresetRun : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(AUDIOMIX_RENDER_SCRATCH) / info->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    struct Run {
        int status = -1;
        std::string out, err;
    };

    Run tool(const std::string& args) {
        const std::string cmd = "cd '" + dir_.string() + "' && '" AUDIOMIX_RENDER_TOOL "' " + args +
                                " >stdout.txt 2>stderr.txt";
        const int w = std::system(cmd.c_str());
        Run r;
        r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
        r.out = slurp(dir_ / "stdout.txt");
        r.err = slurp(dir_ / "stderr.txt");
        return r;
    }

    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // A short stereo input with energy in every band.
    void make_input(const fs::path& path) {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        std::vector<int16_t> x(44100 / 4 * 2);
        uint32_t s = 99;
        for (int16_t& v : x) v = static_cast<int16_t>(static_cast<int32_t>((s = s * 1664525u + 1013904223u) >> 20) - 2048);
        SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        sf_writef_short(f, x.data(), static_cast<sf_count_t>(x.size() / 2));
        sf_close(f);
    }

    fs::path dir_;
};

TEST_F(RenderPresetRun, ListsTheCurrentBandCountsPresets) {
    Run r = tool("--list-presets");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> listed = lines(r.out);
    // User presets from a file beside the library may follow the built-ins.
    ASSERT_GE(listed.size(), kTenBand.size());
    listed.resize(kTenBand.size());
    EXPECT_EQ(listed, kTenBand);
    EXPECT_FALSE(fs::exists(dir_ / "out")) << "listing renders nothing";

    r = tool("--set eq.bands=25 --list-presets");
    ASSERT_EQ(r.status, 0) << r.err;
    listed = lines(r.out);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed[0], "25频段缺省模式");
    for (const std::string& n : kTenBand) EXPECT_EQ(r.out.find(n), std::string::npos) << n;
}

TEST_F(RenderPresetRun, UnknownNameFailsListingTheChoices) {
    const Run r = tool("-q --preset Rock");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'Rock'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Rock摇滚模式"), std::string::npos) << r.err;
    // The 15-band default is no choice while ten bands are shown.
    EXPECT_EQ(tool("-q --preset 15频段缺省模式").status, 2);
    EXPECT_EQ(tool("-q --set eq.bands=15 --preset 15频段缺省模式 --seconds 0.1").status, 0);
}

TEST_F(RenderPresetRun, PresetSoundsLikeItsGainsSetByHand) {
    make_input(dir_ / "in.wav");
    // "重金属模式" typed from its table, band by band.
    const int gains[10] = {-10, -10, -10, -4, -4, 12, 16, 16, 16, 16};
    std::string byHand = "-q --set eq.on=1";
    for (int b = 0; b < 10; ++b) byHand += " --set eq.band." + std::to_string(b) + "=" + std::to_string(gains[b]);
    ASSERT_EQ(tool(byHand + " in.wav hand.wav").status, 0);
    Run r = tool("-q --set eq.on=1 --preset 重金属模式 in.wav preset.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(tool("-q --set eq.on=1 in.wav flat.wav").status, 0);
    const std::string preset = slurp(dir_ / "preset.wav");
    EXPECT_EQ(preset, slurp(dir_ / "hand.wav"));
    EXPECT_NE(preset, slurp(dir_ / "flat.wav"));

    // A --set after the preset adjusts it; one before it is overridden.
    ASSERT_EQ(tool(byHand + " --set eq.band.0=3 in.wav hand3.wav").status, 0);
    ASSERT_EQ(tool("-q --set eq.on=1 --set eq.band.0=5 --preset 重金属模式 --set eq.band.0=3 in.wav p3.wav")
                  .status,
              0);
    EXPECT_EQ(slurp(dir_ / "p3.wav"), slurp(dir_ / "hand3.wav"));
}

}  // namespace

