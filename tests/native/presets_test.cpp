// Presets: the GBK names, the table and its file (loading whatever a file
// holds, rewrites that keep what others added and never tear the file), and
// choosing presets on the page and through the exports.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dsp/equaliser.h"
#include "model/eq_rules.h"
#include "model/gbk.h"
#include "model/preset_store.h"
#include "test_support.h"

namespace audiomix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

// Hanzi are pinned by the conversions below; here the euro sign of code page
// 936 and a pinyin letter of GB2312.
TEST(Gbk, KnownCharactersBothWaysAndEveryMappedPairRoundTrips) {
    for (const auto& [code, c] : {std::pair<uint16_t, char16_t>{'A', u'A'}, {0x80, u'\u20AC'}, {0xA8A6, u'é'}}) {
        EXPECT_EQ(gbk_decode_char(code), c) << std::hex << code;
        EXPECT_EQ(gbk_encode_char(c), code) << std::hex << code;
    }
    // User-defined and empty cells, 0x7F as a trail byte, a lone 0xFF.
    for (uint16_t code : {0xAAA1, 0xA140, 0x817F, 0xFF}) EXPECT_EQ(gbk_decode_char(code), u'\uFFFD') << code;
    int mapped = 0;
    for (unsigned code = 0x8140; code <= 0xFEFE; ++code) {
        const char16_t c = gbk_decode_char(static_cast<uint16_t>(code));
        if ((code & 0xFF) < 0x40 || (code & 0xFF) == 0xFF || c == u'\uFFFD') continue;
        ++mapped;
        ASSERT_GE(c, 0x80) << std::hex << code;  // never an ASCII look-alike
        ASSERT_EQ(gbk_encode_char(c), code) << std::hex << code;
    }
    EXPECT_GT(mapped, 21000);  // GB2312 alone has 7445 characters
}

TEST(Gbk, ConvertsBetweenGbkUtf16AndUtf8AndStopsBeforeWhatItCannotHold) {
    const std::string heavyMetal = "\xD6\xD8\xBD\xF0\xCA\xF4\xC4\xA3\xCA\xBD";  // 重金属模式
    EXPECT_EQ(gbk_to_utf16(heavyMetal.data(), heavyMetal.size()), u"重金属模式");
    EXPECT_EQ(gbk_to_utf8("Rock\xCE\xD2\xB5\xC4\x80", 9), "Rock我的€");
    // A lead byte without its trail byte stands for nothing and does not
    // swallow the ASCII byte after it.
    EXPECT_EQ(gbk_to_utf16("a\xD6", 2), u"a\uFFFD");
    EXPECT_EQ(gbk_to_utf16("\xD6"
                           "1",
                           2),
              u"\uFFFD"
              "1");
    EXPECT_EQ(gbk_to_utf16(nullptr, 5), u"");
    char out[64];
    const std::string utf8 = "重金属模式";
    const GbkEncodeResult r = utf8_to_gbk(utf8.data(), utf8.size(), out, sizeof out);
    EXPECT_TRUE(r.status == GbkEncodeStatus::Ok && r.consumed == utf8.size() && out == heavyMetal);

    // Outside the BMP, a lone surrogate, Thai, NUL.
    for (const std::u16string& text : {std::u16string(u"ab\U0001F600c"),
                                       std::u16string(u"ab\xD800"
                                                      "c"),
                                       std::u16string(u"ab\u0E01c"), std::u16string(u"ab\0c", 4)}) {
        const GbkEncodeResult bad = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
        EXPECT_TRUE(bad.status == GbkEncodeStatus::Unmappable && bad.consumed == 2u) << text.size();
        EXPECT_STREQ(out, "ab");
    }
    EXPECT_EQ(utf8_to_gbk("ab\xE9\x87", 4, out, sizeof out).status, GbkEncodeStatus::Unmappable);  // cut short
}

// ---------------------------------------------------------------------------
// The file: records of 196 bytes, built here byte by byte, independently of
// the reader: a 64-byte name, the band count and 31 gains (little-endian),
// the built-in flag.

Bytes rec(const std::string& name, int32_t bands, std::vector<int32_t> gains = {}, uint8_t builtIn = 0) {
    Bytes b(196, 0);
    std::memcpy(b.data(), name.data(), std::min<size_t>(name.size(), 64));
    auto put = [&](size_t at, int32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * k));
    };
    put(64, bands);
    for (size_t i = 0; i < gains.size(); ++i) put(68 + 4 * i, gains[i]);
    b[192] = builtIn;
    return b;
}

template <typename... More>
Bytes cat(Bytes first, const More&... more) {
    (first.insert(first.end(), more.begin(), more.end()), ...);
    return first;
}

std::string gbk(const std::u16string& text) {
    char out[256];
    utf16_to_gbk(text.data(), text.size(), out, sizeof out);
    return out;
}

class PresetFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("audiomix-presets-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "audioeqset.eq").string();
        LoadPresets(table_, nullptr);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void write(const Bytes& b) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    }
    void load(const Bytes& b) {
        write(b);
        LoadPresets(table_, path());
    }
    Bytes read() const {
        std::ifstream in(path_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    const char* path() const { return path_.c_str(); }
    PresetSaveResult save(const std::string& name,
                          const std::vector<int32_t>& positions = std::vector<int32_t>(31, 25)) {
        return preset_save(table_, path(), name.c_str(), 10, positions.data());
    }
    // What the preset box lists for a band count, in order, as UTF-8.
    Names listed(int32_t bands) const {
        Names names;
        for (int32_t i = 0, at; (at = preset_find_nth(table_, bands, i)) >= 0; ++i)
            names.push_back(gbk_to_utf8(table_.records[at].name, std::strlen(table_.records[at].name)));
        return names;
    }

    fs::path dir_;
    std::string path_;
    PresetTable table_{};  // each case its own, as each window or engine owner has
};

TEST_F(PresetFile, LoadsTheWholeRecordsAFileHolds) {
    const Bytes a = rec(gbk(u"我的低音"), 10, {5, 4, 3}), b = rec("party", 15, {-1});
    // 64 name bytes, no NUL: 61 letters, 重 and a letter, cut to 63.
    const Bytes cut = rec(std::string(61, 'n') + "\xD6\xD8" + "z", 15);
    const struct {
        Bytes file;
        int32_t users;
    } cases[] = {{{}, 0},
                 {a, 1},
                 {cat(a, b, cut), 3},
                 {cat(a, b, cut, Bytes(8, 0xEE)), 3} /* a torn fourth */,
                 {Bytes(195, 0x41), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.size());
        load(c.file);
        ASSERT_EQ(table_.count, 11 + c.users);
        if (c.users >= 1) {
            EXPECT_EQ(listed(10).back(), "我的低音");
            EXPECT_EQ(table_.records[11].gainDb[2], 3);
            EXPECT_EQ(table_.records[11].builtIn, 0);
        }
        if (c.users >= 3) {
            EXPECT_EQ(listed(15), (Names{"15频段缺省模式", "party", std::string(61, 'n') + "重"}));
        }
    }
    fs::remove(path_);
    LoadPresets(table_, path());
    EXPECT_EQ(table_.count, 11);

    // 244 user records fill the table; more are ignored, and a full table
    // refuses a new preset and keeps the file.
    Bytes full;
    for (int i = 0; i < 255; ++i) full = cat(full, rec("u" + std::to_string(i), 10, {i}));
    load(full);
    EXPECT_EQ(table_.count, 255);
    EXPECT_STREQ(table_.records[254].name, "u243");
    EXPECT_EQ(save("one more"), PresetSaveResult::TableFull);
    EXPECT_EQ(read(), full);
}

// A flagged record is listed after the built-ins but cannot be deleted and
// is dropped from the next rewrite; an odd band count is in no list but
// kept; records another program added meanwhile survive; the built-ins are
// never written. Saved gains are whole dB from the slider positions (25 is
// 0 dB, 0.8 dB a step up to +20 at 0, truncated).
TEST_F(PresetFile, RewritesKeepWhatOthersAddedAndNeverWriteTheBuiltins) {
    const Bytes a = rec("a", 10, {1}), flagged = rec("flagged", 10, {1}, 1), odd = rec("twelve", 12, {2});
    const Bytes c = rec("c", 10, {3}), x = rec("x", 15, {5});
    load(cat(a, flagged, odd, c));
    const Names ten = listed(10);
    EXPECT_EQ(Names(ten.begin() + 8, ten.end()), (Names{"a", "flagged", "c"}));
    for (int32_t bands : {15, 25, 31}) EXPECT_EQ(listed(bands).size(), 1u) << bands;
    EXPECT_EQ(preset_delete(table_, path(), 12), PresetDeleteResult::BuiltIn);
    EXPECT_EQ(preset_delete(table_, path(), 3), PresetDeleteResult::BuiltIn);
    EXPECT_EQ(preset_delete(table_, path(), 15), PresetDeleteResult::NoRecord);

    write(cat(a, flagged, odd, c, x));  // another program appends x while we run
    std::vector<int32_t> positions(31, 25);
    positions[0] = 26;
    positions[1] = 31;
    positions[2] = 0;
    ASSERT_EQ(save("slope", positions), PresetSaveResult::Saved);
    EXPECT_EQ(read(), cat(a, odd, c, x, rec("slope", 10, {0, -4, 20})));
    ASSERT_EQ(preset_delete(table_, path(), 14), PresetDeleteResult::Deleted);  // "c"
    EXPECT_EQ(read(), cat(a, odd, x, rec("slope", 10, {0, -4, 20})));
    EXPECT_EQ(listed(10).back(), "slope");
    EXPECT_EQ(listed(15).back(), "x");
    EXPECT_EQ(save("x"), PresetSaveResult::NameTaken);
}

size_t write_one_record_then_fail(const void* data, size_t size, std::FILE* file) {
    static int calls = 0;
    return ++calls % 2 == 1 ? std::fwrite(data, 1, size, file) : size / 2;
}

TEST_F(PresetFile, AFailedRewriteLeavesTheOldFileAndTheTable) {
    const Bytes old = cat(rec("a", 10, {1}), rec("b", 10, {2}));
    load(old);
    const std::vector<int32_t> p(31, 10);
    ASSERT_EQ(preset_save(table_, nullptr, "c", 10, p.data()), PresetSaveResult::NotWritten);
    ASSERT_EQ(table_.count, 14);
    PresetRecord before[14];
    std::memcpy(before, table_.records, sizeof before);

    // A short write part-way through.
    EXPECT_FALSE(WritePresetFile(table_, path(), write_one_record_then_fail));
    EXPECT_EQ(read(), old);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    // The temporary file cannot be created (a folder has its name).
    fs::create_directory(path_ + ".tmp");
    EXPECT_FALSE(WritePresetFile(table_, path()));
    EXPECT_EQ(preset_delete(table_, path(), 11), PresetDeleteResult::NotWritten);
    EXPECT_EQ(read(), old);
    fs::remove(path_ + ".tmp");
    EXPECT_FALSE(WritePresetFile(table_, (dir_ / "missing" / "audioeqset.eq").string().c_str()));

    EXPECT_EQ(std::memcmp(before + 12, table_.records + 11, sizeof(PresetRecord) * 2), 0);
    // Once the way is clear the table goes out whole.
    ASSERT_TRUE(WritePresetFile(table_, path()));
    EXPECT_EQ(read().size(), 196u * 2);
}

// ---------------------------------------------------------------------------
// Choosing presets.

class PresetApply : public testing::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        audiomix_begin(0);
        audiomix_init(44100, 2, 0);
        load_builtins();  // whatever lies beside the tests
        default_engine().edit()->settingsChanged = 0;
    }
    void TearDown() override {
        load_builtins();
        EngineTest::TearDown();
    }
    static void load_builtins() {
        auto s = default_engine().edit();
        LoadPresets(default_presets(), nullptr);
    }
    static double band(int32_t b) { return testing::param("eq.band." + std::to_string(b)); }
};

// On the page a preset moves the sliders, sets both channels as a slider at
// that value would, keeps the pre-gain and marks the settings changed; the
// record's gains are what linked tuning then starts from. Only the record's
// bands change, at most 31 of them.
TEST_F(PresetApply, ThePageRuleMovesTheRecordsBandsOnly) {
    eq_apply_pregain(*default_engine().edit(), 6.0f);
    const float preGain = testing::settings().chain.eqPreGain[1];
    default_engine().edit()->settingsChanged = 0;
    PresetRecord heavyMetal;
    {
        const auto s = default_engine().view();
        heavyMetal = default_presets().records[7];  // "重金属模式": -10 ... 16 ...
    }
    eq_choose_preset(*default_engine().edit(), heavyMetal);
    const Settings s = testing::settings();
    EXPECT_EQ(s.settingsChanged, 1);
    EXPECT_EQ(eq_band_position_from_value(s.eqBandValue[0]), 37);  // trunc(25 + 12.5)
    EXPECT_EQ(eq_band_position_from_value(s.eqBandValue[6]), 5);   // 25 - 20
    EXPECT_EQ(s.bandGainDb[0], -10);
    for (float gain : s.chain.eqGain[6]) EXPECT_EQ(gain, eq_band_factor(16.0f));
    EXPECT_EQ(s.chain.eqPreGain[1], preGain);

    ASSERT_EQ(audiomix_param_set("eq.bands", 31), AUDIOMIX_PARAM_OK);
    ASSERT_EQ(audiomix_param_set("eq.band.12", 7), AUDIOMIX_PARAM_OK);
    eq_apply_preset(*default_engine().edit(), heavyMetal);
    EXPECT_EQ(band(6), 16);
    EXPECT_EQ(band(12), 7);
    PresetRecord wild{};
    wild.bandCount = 1000;  // from a damaged file
    wild.gainDb[0] = 9;
    wild.gainDb[30] = -3;
    eq_apply_preset(*default_engine().edit(), wild);
    EXPECT_EQ(band(0), 9);
    EXPECT_EQ(band(30), -3);
}

// The exports list and apply the presets of the current band count; a name
// is cut to the host's buffer without splitting a character; bad arguments
// change nothing.
TEST_F(PresetApply, ExportsListApplyAndCutNamesOfTheCurrentBandCount) {
    char name[64] = "x";
    EXPECT_EQ(audiomix_preset_name(0, name, -3), 20);
    EXPECT_EQ(name[0], 'x');
    for (int32_t index : {-1, 8, INT32_MIN}) {
        EXPECT_EQ(audiomix_preset_name(index, name, sizeof name), -1);
        EXPECT_STREQ(name, "");
        EXPECT_EQ(audiomix_preset_apply(index), AUDIOMIX_PARAM_UNKNOWN);
    }
    EXPECT_EQ(testing::settings().settingsChanged, 0);
    // "10频段缺省模式": "10" and six characters of three bytes, 20 in all.
    using Cut = std::pair<int32_t, const char*>;
    for (const auto& [size, kept] : {Cut{5, "10"}, Cut{6, "10频"}, Cut{1, ""}}) {
        std::strcpy(name, "xxxxxxx");
        EXPECT_EQ(audiomix_preset_name(0, name, size), 20);
        EXPECT_STREQ(name, kept);
    }

    EXPECT_EQ(audiomix_preset_count(), 8);
    EXPECT_EQ(audiomix_preset_name(4, name, sizeof name), 15);  // 5 characters of 3 bytes
    EXPECT_STREQ(name, "重金属模式");
    ASSERT_EQ(audiomix_preset_apply(4), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(band(6), 16.0);
    ASSERT_EQ(audiomix_param_set("eq.bands", 15), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(audiomix_preset_count(), 1);
    EXPECT_EQ(audiomix_preset_name(0, name, sizeof name), 20);
    EXPECT_STREQ(name, "15频段缺省模式");
    EXPECT_EQ(audiomix_preset_apply(1), AUDIOMIX_PARAM_UNKNOWN);
}

TEST_F(PresetApply, BeforeBeginThereIsNothingAndAfterCloseTheListStays) {
    audiomix_close();
    EXPECT_EQ(audiomix_preset_count(), 8);
    EXPECT_EQ(audiomix_preset_apply(1), AUDIOMIX_PARAM_OK);  // "Normal自然模式"
    EXPECT_EQ(band(1), 8.0);

    testing::reset_engine();
    {
        auto s = default_engine().edit();
        default_presets().count = 0;  // as loaded: no window has read the presets yet
    }
    EXPECT_EQ(audiomix_preset_count(), 0);
    EXPECT_EQ(audiomix_preset_apply(0), AUDIOMIX_PARAM_UNKNOWN);
    audiomix_begin(0);  // creating the window loads them
    EXPECT_GE(audiomix_preset_count(), 8);
}

}  // namespace
}  // namespace audiomix
