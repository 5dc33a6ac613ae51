// audiomix-render's --export-presets and --import-presets, through runs of
// the tool; what an import writes is read back by a copy of the library that
// finds it beside itself.
#include <dlfcn.h>

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
    // Runs the tool with the copy of the library.
    ToolRun tool(const std::string& args) {
        return shell("LD_LIBRARY_PATH='" + (dir_ / "lib").string() + "' \"$T\" " + args + " >stdout.txt 2>stderr.txt");
    }
};

// The preset names (UTF-8) and the first gains a copy of the library lists
// for a band count, through its public engine functions.
struct Listed {
    std::vector<std::string> names;
    std::vector<double> lastGains;  // eq.band.0.. after applying the last preset
};

Listed list_through_library(const fs::path& library, int bands) {
    Listed listed;
    void* lib = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) return listed;
    const auto fn = [lib](auto* type, const char* name) { return reinterpret_cast<decltype(type)>(dlsym(lib, name)); };
    void* engine = fn((void* (*)(int32_t, int32_t))nullptr, "audiomix_engine_create")(44100, 2);
    fn((int32_t(*)(void*, const char*, double))nullptr, "audiomix_engine_param_set")(engine, "eq.bands", bands);
    const int32_t n = fn((int32_t(*)(void*))nullptr, "audiomix_engine_preset_count")(engine);
    for (int32_t i = 0; i < n; ++i) {
        char text[256] = {};
        fn((int32_t(*)(void*, int32_t, char*, int32_t))nullptr, "audiomix_engine_preset_name")(engine, i, text, 256);
        listed.names.push_back(text);
    }
    if (n > 0) fn((int32_t(*)(void*, int32_t))nullptr, "audiomix_engine_preset_apply")(engine, n - 1);
    for (int b = 0; b < bands; ++b) {
        double v = 0.0;
        fn((int32_t(*)(void*, const char*, double*))nullptr, "audiomix_engine_param_get")(
            engine, ("eq.band." + std::to_string(b)).c_str(), &v);
        listed.lastGains.push_back(v);
    }
    fn((void (*)(void*))nullptr, "audiomix_engine_destroy")(engine);
    dlclose(lib);
    return listed;
}

}  // namespace

TEST_F(PresetExchangeRun, ExportThenImportIntoAnEmptyFileGivesTheSameRecords) {
    put("user.eq", three_records());
    ToolRun r = tool("--export-presets presets.toml --preset-file user.eq");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string toml = read("presets.toml");
    EXPECT_NE(toml.find("name = \"温暖的声音\""), std::string::npos) << toml;

    put("empty.eq", "");
    r = tool("--import-presets presets.toml --preset-file empty.eq");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("empty.eq"), three_records());

    // Without --preset-file the file beside the library the tool loaded; it
    // does not exist yet.
    r = tool("--import-presets presets.toml");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("lib/audioeqset.eq"), three_records());
    const Listed ten = list_through_library(dir_ / "lib/libaudiomix.so", 10);
    ASSERT_FALSE(ten.names.empty());
    EXPECT_EQ(ten.names.back(), "Bright");
    EXPECT_EQ(ten.lastGains, (std::vector<double>{-3, -2, -1, 0, 0, 1, 2, 3, 4, 5}));
    const Listed fifteen = list_through_library(dir_ / "lib/libaudiomix.so", 15);
    ASSERT_FALSE(fifteen.names.empty());
    EXPECT_EQ(fifteen.names.back(), "温暖的声音");
    EXPECT_EQ(fifteen.lastGains.back(), -20.0);
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
    struct Case {
        std::string toml;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"[[preset]]\nname = \"Smile 😀\"\nbands = 10\n" + gains10, 1, "new.toml:2: preset.name"},
        {"[[preset]]\nname = \"" + std::string(64, 'x') + "\"\nbands = 10\n" + gains10, 1, "new.toml:2: preset.name"},
        {"[[preset]]\nname = \"" + std::string(63, 'x') + "\"\nbands = 12\n" + gains10, 1, "new.toml:3: preset.bands"},
        {"[[preset]]\nname = \"A\"\nbands = 10\ngains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 21]\n", 1,
         "new.toml:4: preset.gains[9]"},
        {"[[preset]]\nname = \"A\"\nbands = 15\n" + gains10, 1, "new.toml:4: preset.gains"},
        {"[[preset]]\nname = \"A\"\nbands = 10\n" + gains10 + "colour = 3\n", 1, "new.toml:5: preset.colour"},
        {"[[preset]]\nname = \"A\"\n" + gains10, 1, "new.toml:1: preset.bands"},
        {"[[preset]]\nname = \"A\"\nbands = 10\n" + gains10, 2, ".tmp"},  // the rewrite is blocked below
    };
    const std::string before = three_records();
    for (const Case& c : cases) {
        put("user.eq", before);
        const bool blocked = c.status == 2;
        if (blocked) fs::create_directories(dir_ / "user.eq.tmp/full");
        put("new.toml", c.toml);
        const ToolRun r = tool("--import-presets new.toml --preset-file user.eq");
        EXPECT_EQ(r.status, c.status) << c.toml << r.err;
        if (!blocked) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << c.toml << r.err;
        }
        EXPECT_EQ(read("user.eq"), before) << c.toml;
        fs::remove_all(dir_ / "user.eq.tmp");
    }
    // Not a preset file: a trailing part record would be lost in a rewrite.
    put("odd.eq", before + "xyz");
    put("new.toml", "[[preset]]\nname = \"A\"\nbands = 10\n" + gains10);
    EXPECT_EQ(tool("--import-presets new.toml --preset-file odd.eq").status, 2);
    EXPECT_EQ(read("odd.eq"), before + "xyz");
}

TEST_F(PresetExchangeRun, ImportKeepsWithinTheTableAllOrNothing) {
    // 11 built-ins and 244 user presets fill the table; 243 leave room for one.
    std::string many;
    for (int i = 0; i < 242; ++i) many += record("P" + std::to_string(i), 10, {});
    const std::string a = record("A", 10, {}), b = record("B", 10, {}), c = record("C", 10, {});
    put("two.toml", "[[preset]]\nname = \"A\"\nbands = 10\ngains = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]\n"
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
