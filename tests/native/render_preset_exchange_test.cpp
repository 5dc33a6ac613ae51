// audiomix-render's --export-presets and --import-presets, through runs of
// the tool; what an import writes is read back through a copy of the library
// that finds it beside itself.
#include "render_tool_fixture.h"

using namespace render_test;

namespace {

// One 196-byte record as the preset window writes it: the GBK name and
// everything after its NUL zero, the band count and 31 gains little-endian,
// builtIn 0.
std::string record(const std::string& gbkName, int32_t bands, const std::vector<int32_t>& gains) {
    std::string r(196, '\0');
    r.replace(0, gbkName.size(), gbkName);
    auto put32 = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) r[at + i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put32(64, bands);
    for (size_t b = 0; b < gains.size(); ++b) put32(68 + 4 * b, gains[b]);
    return r;
}

const std::string kWarmGbk = "\xCE\xC2\xC5\xAF\xB5\xC4\xC9\xF9\xD2\xF4";  // 温暖的声音

// Three user presets: an ASCII name, a Chinese one, every band of 31.
std::string three_records() {
    std::vector<int32_t> wide;
    for (int b = 0; b < 31; ++b) wide.push_back(b - 20 + (b > 20 ? b - 20 : 0));
    return record("Bright", 10, {-3, -2, -1, 0, 0, 1, 2, 3, 4, 5}) +
           record(kWarmGbk, 15, {7, 6, 5, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, -6, -20}) + record("Wide", 31, wide);
}

class PresetExchangeRun : public RenderToolRun {
protected:
    void SetUp() override {
        RenderToolRun::SetUp();
        // A copy of the library: the preset file beside it is this test's.
        fs::create_directories(dir_ / "lib");
        fs::copy_file(AUDIOMIX_LIBRARY, dir_ / "lib/libaudiomix.so");
    }
    ToolRun tool(const std::string& args) { return RenderToolRun::tool(args, "LD_LIBRARY_PATH=lib"); }
};

}  // namespace

TEST_F(PresetExchangeRun, ExportThenImportBesideTheLibraryGivesTheSameRecords) {
    put("user.eq", three_records());
    ToolRun r = tool("--export-presets presets.toml --preset-file user.eq");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string toml = read("presets.toml");
    EXPECT_NE(toml.find("name = \"温暖的声音\""), std::string::npos) << toml;

    // Without --preset-file the file beside the library the tool loaded; it
    // does not exist yet.
    r = tool("--import-presets presets.toml");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("lib/audioeqset.eq"), three_records());
    // The library reads them back, each listed with its band count.
    EXPECT_NE(tool("--list-presets").out.find("\nBright\n"), std::string::npos);
    EXPECT_NE(tool("--set eq.bands=15 --list-presets").out.find("\n温暖的声音\n"), std::string::npos);
}

TEST_F(PresetExchangeRun, ImportSkipsTakenNamesAndAddsTheRest) {
    const std::string before = record("Bright", 10, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    put("user.eq", before);
    put("more.toml",
        "[[preset]]\nname = \"Bright\"\nbands = 10\ngains = [5, 5, 5, 5, 5, 5, 5, 5, 5, 5]\n"
        "[[preset]]\nname = \"Rock摇滚模式\"\nbands = 10\ngains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n"
        "[[preset]]\nname = \"宽\"\nbands = 15\ngains = [2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2]\n"
        "[[preset]]\nname = \"宽\"\nbands = 10\ngains = [9, 9, 9, 9, 9, 9, 9, 9, 9, 9]\n");
    const ToolRun r = tool("--import-presets more.toml --preset-file user.eq");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("user.eq"), before + record("\xBF\xED", 15, std::vector<int32_t>(15, 2)));
    for (const char* skipped : {"'Bright'", "'Rock摇滚模式'", "'宽'"})
        EXPECT_NE(r.err.find(skipped), std::string::npos) << skipped << "\n" << r.err;
}

TEST_F(PresetExchangeRun, RefusedImportsLeaveThePresetFileAlone) {
    const std::string gains10 = "gains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n";
    const std::string good = "[[preset]]\nname = \"A\"\nbands = 10\n";
    const std::pair<std::string, const char*> cases[] = {
        {"[[preset]]\nname = \"Smile 😀\"\nbands = 10\n" + gains10, "new.toml:2: preset.name"},
        {"[[preset]]\nname = \"" + std::string(63, 'x') + "\"\nbands = 12\n" + gains10, "new.toml:3: preset.bands"},
        {good + "gains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 21]\n", "new.toml:4: preset.gains[9]"},
    };
    const std::string before = three_records();
    put("user.eq", before);
    for (const auto& [toml, message] : cases) {
        put("new.toml", toml);
        const ToolRun r = tool("--import-presets new.toml --preset-file user.eq");
        EXPECT_EQ(r.status, 1) << toml << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << toml << r.err;
    }
    // A rewrite that cannot be written, or a file that is no preset file (a
    // trailing part record would be lost): status 2.
    put("new.toml", good + gains10);
    fs::create_directories(dir_ / "user.eq.tmp/full");
    EXPECT_EQ(tool("--import-presets new.toml --preset-file user.eq").status, 2);
    EXPECT_EQ(read("user.eq"), before);
    put("odd.eq", before + "xyz");
    EXPECT_EQ(tool("--import-presets new.toml --preset-file odd.eq").status, 2);
    EXPECT_EQ(read("odd.eq"), before + "xyz");
}

TEST_F(PresetExchangeRun, ImportKeepsWithinTheTableAllOrNothing) {
    // 11 built-ins and 244 user presets fill the table; 243 leave room for one.
    std::string many;
    for (int i = 0; i < 242; ++i) many += record("P" + std::to_string(i), 10, {});
    const std::string a = record("A", 10, {}), b = record("B", 10, {}), c = record("C", 10, {});
    put("two.toml",
        "[[preset]]\nname = \"A\"\nbands = 10\ngains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n"
        "[[preset]]\nname = \"B\"\nbands = 10\ngains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n");
    // B is there already, so A alone is new and fits.
    put("user.eq", many + b);
    EXPECT_EQ(tool("--import-presets two.toml --preset-file user.eq").status, 0);
    EXPECT_EQ(read("user.eq"), many + b + a);
    // Both new, room for one: neither goes in.
    put("user.eq", many + c);
    EXPECT_EQ(tool("--import-presets two.toml --preset-file user.eq").status, 2);
    EXPECT_EQ(read("user.eq"), many + c);
}
