// The preset table and file: record bytes, the built-ins, loading whatever a
// file holds, saving and deleting, and rewrites that never tear the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/gbk.h"
#include "eqpage/preset_store.h"

namespace audiomix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// A file record built byte by byte, independently of the reader.
Bytes record_bytes(const std::string& name, int32_t bands, std::vector<int32_t> gains,
                   uint8_t builtIn = 0) {
    Bytes b(196, 0);
    std::memcpy(b.data(), name.data(), name.size() < 64 ? name.size() : 64);
    auto put = [&](size_t at, int32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * k));
    };
    put(64, bands);
    for (size_t i = 0; i < gains.size(); ++i) put(68 + 4 * i, gains[i]);
    b[192] = builtIn;
    return b;
}

std::string name_utf8(const PresetRecord& r) { return gbk_to_utf8(r.name, std::strlen(r.name)); }

std::string gbk(const std::u16string& text) {
    char out[256];
    utf16_to_gbk(text.data(), text.size(), out, sizeof out);
    return out;
}

class PresetFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("audiomix-presets-" + std::string(info->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "audioeqset.eq").string();
        LoadPresets(nullptr);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        LoadPresets(nullptr);
    }
    void write(const Bytes& bytes) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }
    Bytes read() const {
        std::ifstream in(path_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static Bytes concat(std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    }
    // The names of the table's records for a band count, in box order.
    static std::vector<std::string> listed(int32_t bands) {
        std::vector<std::string> names;
        for (int32_t i = 0; preset_find_nth(bands, i) >= 0; ++i)
            names.push_back(name_utf8(presetTable[preset_find_nth(bands, i)]));
        return names;
    }
    static std::vector<int32_t> positions(int32_t p) { return std::vector<int32_t>(31, p); }

    fs::path dir_;
    std::string path_;
};

TEST(PresetRecordBytes, FieldsAtTheirOffsetsLittleEndian) {
    PresetRecord r{};
    std::memcpy(r.name, "ab", 3);
    r.bandCount = 0x0102030A;
    r.gainDb[0] = -4;
    r.gainDb[30] = 20;
    r.builtIn = 1;
    r.padding[2] = 0x5A;
    unsigned char b[196];
    preset_record_to_bytes(r, b);
    EXPECT_EQ(b[0], 'a');
    EXPECT_EQ(b[2], 0);
    EXPECT_EQ(Bytes(b + 64, b + 68), (Bytes{0x0A, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes(b + 68, b + 72), (Bytes{0xFC, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(b + 188, b + 192), (Bytes{20, 0, 0, 0}));
    EXPECT_EQ(b[192], 1);
    EXPECT_EQ(b[195], 0x5A);

    PresetRecord back{};
    preset_record_from_bytes(b, back);
    EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);
}

TEST(PresetRecordBytes, NameWithoutTerminatorIsCutToAWholeCharacter) {
    // 61 letters, one double-byte character, one letter: 64 bytes, no NUL.
    const std::string fits = std::string(61, 'n') + "\xD6\xD8" + "z";
    PresetRecord r{};
    preset_record_from_bytes(record_bytes(fits, 10, {}).data(), r);
    EXPECT_EQ(std::string(r.name), std::string(61, 'n') + "\xD6\xD8");
    EXPECT_EQ(r.bandCount, 10);

    // 62 letters and then the character: its second half is byte 64.
    const std::string straddles = std::string(62, 'n') + "\xD6\xD8";
    preset_record_from_bytes(record_bytes(straddles, 15, {}).data(), r);
    EXPECT_EQ(std::string(r.name), std::string(62, 'n'));
    EXPECT_EQ(r.bandCount, 15);
}

// Typed from the preset table, not from the code under test.
struct Expected {
    const char* name;
    int32_t bands;
    int32_t gains[10];
};
const Expected kBuiltins[11] = {
    {"10频段缺省模式", 10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"15频段缺省模式", 15, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"25频段缺省模式", 25, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"31频段缺省模式", 31, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Normal自然模式", 10, {0, 8, 8, 8, 8, 6, 6, 2, 2, 4}},
    {"Rock摇滚模式", 10, {8, 6, -6, 8, -2, 4, 8, 10, 10, 10}},
    {"POP流行模式", 10, {-2, 4, 6, 8, 6, -2, -4, -2, -2, -2}},
    {"重金属模式", 10, {-10, -10, -10, -4, -4, 12, 16, 16, 16, 16}},
    {"超低音模式", 10, {10, 10, 10, 6, 4, 0, -6, -10, -10, -10}},
    {"重金属超低音模式", 10, {8, 8, 0, -8, -6, 0, 8, 12, 14, 14}},
    {"SoftRock柔和模式", 10, {4, 4, 0, -2, -4, -6, -4, 0, 4, 10}},
};

TEST_F(PresetFile, BuiltinsComeFirstExactlyAsTabled) {
    ASSERT_EQ(presetCount, 11);
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(kBuiltins[i].name);
        const PresetRecord& r = presetTable[i];
        EXPECT_EQ(name_utf8(r), kBuiltins[i].name);
        EXPECT_EQ(r.bandCount, kBuiltins[i].bands);
        EXPECT_EQ(r.builtIn, 1);
        for (int b = 0; b < 31; ++b) EXPECT_EQ(r.gainDb[b], b < 10 ? kBuiltins[i].gains[b] : 0) << b;
    }
    // Stored as GBK: "重金属模式" in GB2312 codes.
    EXPECT_STREQ(presetTable[7].name, "\xD6\xD8\xBD\xF0\xCA\xF4\xC4\xA3\xCA\xBD");
    EXPECT_EQ(listed(10), (std::vector<std::string>{"10频段缺省模式", "Normal自然模式", "Rock摇滚模式",
                                                    "POP流行模式", "重金属模式", "超低音模式",
                                                    "重金属超低音模式", "SoftRock柔和模式"}));
    EXPECT_EQ(listed(15), std::vector<std::string>{"15频段缺省模式"});
    EXPECT_EQ(listed(31), std::vector<std::string>{"31频段缺省模式"});
}

TEST_F(PresetFile, LoadsTheWholeRecordsAFileHolds) {
    const Bytes a = record_bytes(gbk(u"我的低音"), 10, {5, 4, 3});
    const Bytes b = record_bytes("party", 15, {-1});
    struct Case {
        Bytes file;
        int32_t users;
    };
    const Case cases[] = {
        {{}, 0},
        {a, 1},
        {concat({a, b}), 2},
        {concat({a, b, Bytes(8, 0xEE)}), 2},  // 400 bytes: a torn third record
        {Bytes(195, 0x41), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.size());
        write(c.file);
        LoadPresets(path_.c_str());
        ASSERT_EQ(presetCount, 11 + c.users);
        if (c.users >= 1) {
            EXPECT_EQ(name_utf8(presetTable[11]), "我的低音");
            EXPECT_EQ(presetTable[11].gainDb[2], 3);
            EXPECT_EQ(presetTable[11].builtIn, 0);
        }
        if (c.users >= 2) {
            EXPECT_EQ(listed(15), (std::vector<std::string>{"15频段缺省模式", "party"}));
        }
    }
    fs::remove(path_);
    LoadPresets(path_.c_str());
    EXPECT_EQ(presetCount, 11);
}

TEST_F(PresetFile, RecordsBeyondTheTableAreIgnored) {
    Bytes file;
    for (int i = 0; i < 255; ++i) {
        const Bytes r = record_bytes("u" + std::to_string(i), 10, {i});
        file.insert(file.end(), r.begin(), r.end());
    }
    file.push_back(0x7F);  // 196 x 255 + 1 bytes
    write(file);
    LoadPresets(path_.c_str());
    EXPECT_EQ(presetCount, 255);
    EXPECT_STREQ(presetTable[254].name, "u243");  // 244 user records fit
    EXPECT_EQ(presetTable[254].gainDb[0], 243);

    // A full table refuses a new preset and keeps every record.
    const auto p = positions(25);
    EXPECT_EQ(preset_save(path_.c_str(), "one more", 10, p.data()), PresetSaveResult::TableFull);
    EXPECT_EQ(presetCount, 255);
    EXPECT_EQ(read(), file);
}

TEST_F(PresetFile, GarbageLoadsAsRecordsWithoutHarm) {
    Bytes file(196 * 3 + 100);
    uint32_t s = 7;
    for (unsigned char& c : file) c = static_cast<unsigned char>((s = s * 1103515245u + 12345u) >> 24);
    file[196 + 192] = 0;  // the second one a user record
    write(file);
    LoadPresets(path_.c_str());
    ASSERT_EQ(presetCount, 14);
    for (int i = 11; i < 14; ++i) EXPECT_LT(std::strlen(presetTable[i].name), 64u);
    // Everything after the name is kept byte for byte.
    unsigned char back[196];
    preset_record_to_bytes(presetTable[12], back);
    EXPECT_EQ(std::memcmp(back + 64, file.data() + 196 + 64, 132), 0);
}

TEST_F(PresetFile, BuiltinFlagAndOddBandCountsInTheFile) {
    const Bytes flagged = record_bytes("flagged", 10, {1}, 1);
    const Bytes odd = record_bytes("twelve", 12, {2});
    const Bytes user = record_bytes("mine", 10, {3});
    write(concat({flagged, odd, user}));
    LoadPresets(path_.c_str());
    ASSERT_EQ(presetCount, 14);

    // Listed after the built-ins, but not deletable.
    const std::vector<std::string> ten = listed(10);
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_EQ(ten[8], "flagged");
    EXPECT_EQ(ten[9], "mine");
    EXPECT_EQ(preset_delete(path_.c_str(), 11), PresetDeleteResult::BuiltIn);
    // A band count of 12 is in the table and in no list.
    EXPECT_EQ(presetTable[12].bandCount, 12);
    for (int32_t bands : {10, 15, 25, 31})
        for (const std::string& n : listed(bands)) EXPECT_NE(n, "twelve");

    // The next rewrite drops the flagged record and keeps the odd one.
    ASSERT_EQ(preset_delete(path_.c_str(), 13), PresetDeleteResult::Deleted);
    EXPECT_EQ(read(), odd);
    EXPECT_EQ(presetCount, 13);  // the flagged record stays in memory
}

TEST_F(PresetFile, SavedGainsFollowTheSliderScale) {
    EXPECT_EQ(preset_gain_from_position(26), 0);   // -0.8
    EXPECT_EQ(preset_gain_from_position(31), -4);  // -4.8
    EXPECT_EQ(preset_gain_from_position(0), 20);
    EXPECT_EQ(preset_gain_from_position(24), 0);   // +0.8
    EXPECT_EQ(preset_gain_from_position(19), 4);   // +4.8
    EXPECT_EQ(preset_gain_from_position(50), -20);

    std::vector<int32_t> p = positions(25);
    p[0] = 26;
    p[1] = 31;
    p[2] = 0;
    ASSERT_EQ(preset_save(path_.c_str(), "slope", 10, p.data()), PresetSaveResult::Saved);
    const Bytes file = read();
    ASSERT_EQ(file.size(), 196u);
    Bytes expected = record_bytes("slope", 10, {0, -4, 20});
    EXPECT_EQ(file, expected);
}

TEST_F(PresetFile, ChineseNamesRoundTripThroughTheFile) {
    const std::u16string names[] = {u"我的预设", u"重金属 Live", std::u16string(61, u'x') + u'重'};
    const auto p = positions(20);
    for (const std::u16string& n : names)
        ASSERT_EQ(preset_save(path_.c_str(), gbk(n).c_str(), 10, p.data()), PresetSaveResult::Saved);
    LoadPresets(path_.c_str());
    ASSERT_EQ(presetCount, 14);
    for (int i = 0; i < 3; ++i) {
        const PresetRecord& r = presetTable[11 + i];
        EXPECT_EQ(gbk_to_utf16(r.name, std::strlen(r.name)), names[i]);
        EXPECT_EQ(r.gainDb[30], 4);
    }
    EXPECT_EQ(std::strlen(presetTable[13].name), 63u);
}

TEST_F(PresetFile, SaveRefusesEmptyLongAndTakenNames) {
    const auto p = positions(25);
    EXPECT_EQ(preset_save(path_.c_str(), "", 10, p.data()), PresetSaveResult::EmptyName);
    EXPECT_EQ(preset_save(path_.c_str(), nullptr, 10, p.data()), PresetSaveResult::EmptyName);
    EXPECT_EQ(preset_save(path_.c_str(), std::string(64, 'L').c_str(), 10, p.data()),
              PresetSaveResult::NameTooLong);
    // Byte for byte against every record: the 31-band default is taken at
    // any band count; letter case and blanks make a different name.
    EXPECT_EQ(preset_save(path_.c_str(), gbk(u"31频段缺省模式").c_str(), 10, p.data()),
              PresetSaveResult::NameTaken);
    EXPECT_TRUE(preset_name_taken(gbk(u"Rock摇滚模式").c_str()));
    EXPECT_FALSE(preset_name_taken(gbk(u"rock摇滚模式").c_str()));
    EXPECT_FALSE(preset_name_taken(gbk(u"Rock摇滚模式 ").c_str()));
    EXPECT_FALSE(preset_name_taken(nullptr));
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_EQ(presetCount, 11);

    EXPECT_EQ(preset_save(path_.c_str(), "   ", 10, p.data()), PresetSaveResult::Saved);
    EXPECT_TRUE(preset_name_taken("   "));
    EXPECT_EQ(preset_save(nullptr, "memory only", 10, p.data()), PresetSaveResult::NotWritten);
    EXPECT_EQ(presetCount, 13);
}

TEST_F(PresetFile, DeleteRewritesWithoutTheRecordInOrder) {
    const Bytes a = record_bytes("a", 10, {1}), b = record_bytes("b", 25, {2}),
                c = record_bytes("c", 10, {3}), d = record_bytes("d", 10, {4});
    write(concat({a, b, c, d}));
    LoadPresets(path_.c_str());
    EXPECT_EQ(preset_delete(path_.c_str(), 3), PresetDeleteResult::BuiltIn);
    EXPECT_EQ(preset_delete(path_.c_str(), -1), PresetDeleteResult::NoRecord);
    EXPECT_EQ(preset_delete(path_.c_str(), 15), PresetDeleteResult::NoRecord);
    // The third user preset.
    ASSERT_EQ(preset_delete(path_.c_str(), 13), PresetDeleteResult::Deleted);
    EXPECT_EQ(read(), concat({a, b, d}));
    EXPECT_EQ(presetCount, 14);
    EXPECT_EQ(listed(10).back(), "d");
    EXPECT_EQ(preset_find_nth(10, 9), 13);
    EXPECT_EQ(preset_find_nth(10, 10), -1);
    EXPECT_EQ(preset_count_for(10), 10);
}

TEST_F(PresetFile, RecordsAnotherProgramAddedSurviveOurRewrites) {
    const Bytes a = record_bytes("a", 10, {1}), x = record_bytes("x", 15, {5}), y = record_bytes("y", 10, {6});
    write(a);
    LoadPresets(path_.c_str());
    write(concat({a, x}));  // another program appends x while we run
    const auto p = positions(10);
    ASSERT_EQ(preset_save(path_.c_str(), "mine", 10, p.data()), PresetSaveResult::Saved);
    Bytes expected = concat({a, x});
    const Bytes all = read();
    ASSERT_EQ(all.size(), 3u * 196);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 2 * 196), expected);
    EXPECT_EQ(preset_save(path_.c_str(), "x", 10, p.data()), PresetSaveResult::NameTaken);

    write(concat({all, y}));
    ASSERT_EQ(preset_delete(path_.c_str(), 11), PresetDeleteResult::Deleted);  // "a"
    const Bytes after = read();
    ASSERT_EQ(after.size(), 3u * 196);
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 196), x);
    EXPECT_EQ(Bytes(after.begin() + 2 * 196, after.end()), y);
    EXPECT_EQ(listed(10).back(), "y");
}

size_t write_one_record_then_fail(const void* data, size_t size, std::FILE* file) {
    static int calls = 0;
    return ++calls % 2 == 1 ? std::fwrite(data, 1, size, file) : size / 2;
}

TEST_F(PresetFile, AFailedRewriteLeavesTheOldFileAndTheTable) {
    const Bytes old = concat({record_bytes("a", 10, {1}), record_bytes("b", 10, {2})});
    write(old);
    LoadPresets(path_.c_str());
    const auto p = positions(10);
    ASSERT_EQ(preset_save(nullptr, "c", 10, p.data()), PresetSaveResult::NotWritten);
    ASSERT_EQ(presetCount, 14);
    PresetRecord before[14];
    std::memcpy(before, presetTable, sizeof before);

    // A short write part-way through.
    EXPECT_FALSE(WritePresetFile(path_.c_str(), write_one_record_then_fail));
    EXPECT_EQ(read(), old);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));

    // The temporary file cannot be created (its name is taken by a folder).
    fs::create_directory(path_ + ".tmp");
    EXPECT_FALSE(WritePresetFile(path_.c_str()));
    EXPECT_EQ(read(), old);
    EXPECT_EQ(preset_delete(path_.c_str(), 11), PresetDeleteResult::NotWritten);
    EXPECT_EQ(read(), old);
    fs::remove(path_ + ".tmp");

    // A folder that does not exist.
    EXPECT_FALSE(WritePresetFile((dir_ / "missing" / "audioeqset.eq").string().c_str()));
    EXPECT_FALSE(WritePresetFile(nullptr));
    EXPECT_FALSE(WritePresetFile(""));

    EXPECT_EQ(std::memcmp(before + 12, presetTable + 11, sizeof(PresetRecord) * 2), 0);
    // And once the way is clear, the table goes out whole.
    ASSERT_TRUE(WritePresetFile(path_.c_str()));
    EXPECT_EQ(read().size(), 196u * 2);
}

}  // namespace
}  // namespace audiomix
