// The preset table and file: record bytes, the built-ins, loading whatever a
// file holds, saving and deleting, and rewrites that never tear the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/gbk.h"
#include "model/preset_store.h"

namespace audiomix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

// A file record built byte by byte, independently of the reader.
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

// What the preset box lists for a band count, in order, as UTF-8.
Names names_of(const PresetTable& table, int32_t bands) {
    Names names;
    for (int32_t i = 0, at; (at = preset_find_nth(table, bands, i)) >= 0; ++i)
        names.push_back(gbk_to_utf8(table.records[at].name, std::strlen(table.records[at].name)));
    return names;
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
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
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
    PresetSaveResult save(const std::string& name, const std::vector<int32_t>& positions = std::vector<int32_t>(31, 25)) {
        return preset_save(table_, path(), name.c_str(), 10, positions.data());
    }
    Names listed(int32_t bands) const { return names_of(table_, bands); }

    fs::path dir_;
    std::string path_;
    PresetTable table_{};  // each case its own, as each window or engine owner has
};

TEST(PresetRecordBytes, NameWithoutTerminatorIsCutToAWholeCharacter) {
    // 64 name bytes, no NUL: 61 letters, 重, one letter; then 62 letters and
    // 重, whose second half is byte 64.
    PresetRecord r{};
    preset_record_from_bytes(rec(std::string(61, 'n') + "\xD6\xD8" + "z", 10).data(), r);
    EXPECT_EQ(std::string(r.name), std::string(61, 'n') + "\xD6\xD8");
    EXPECT_EQ(r.bandCount, 10);
    preset_record_from_bytes(rec(std::string(62, 'n') + "\xD6\xD8", 15).data(), r);
    EXPECT_EQ(std::string(r.name), std::string(62, 'n'));
    EXPECT_EQ(r.bandCount, 15);
}

TEST_F(PresetFile, LoadsTheWholeRecordsAFileHolds) {
    const Bytes a = rec(gbk(u"我的低音"), 10, {5, 4, 3}), b = rec("party", 15, {-1});
    const struct {
        Bytes file;
        int32_t users;
    } cases[] = {{{}, 0}, {a, 1}, {cat(a, b), 2}, {cat(a, b, Bytes(8, 0xEE)), 2} /* a torn third */,
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
        if (c.users >= 2) {
            EXPECT_EQ(listed(15), (Names{"15频段缺省模式", "party"}));
        }
    }
    fs::remove(path_);
    LoadPresets(table_, path());
    EXPECT_EQ(table_.count, 11);
}

TEST_F(PresetFile, RecordsBeyondTheTableAreIgnored) {
    Bytes file;
    for (int i = 0; i < 255; ++i) file = cat(file, rec("u" + std::to_string(i), 10, {i}));
    file.push_back(0x7F);  // 196 x 255 + 1 bytes
    load(file);
    EXPECT_EQ(table_.count, 255);
    EXPECT_STREQ(table_.records[254].name, "u243");  // 244 user records fit
    EXPECT_EQ(table_.records[254].gainDb[0], 243);

    // A full table refuses a new preset and keeps every record.
    EXPECT_EQ(save("one more"), PresetSaveResult::TableFull);
    EXPECT_EQ(table_.count, 255);
    EXPECT_EQ(read(), file);
}

TEST_F(PresetFile, BuiltinFlagAndOddBandCountsInTheFile) {
    const Bytes odd = rec("twelve", 12, {2});
    load(cat(rec("flagged", 10, {1}, 1), odd, rec("mine", 10, {3})));
    ASSERT_EQ(table_.count, 14);
    // A flagged record is listed after the built-ins but cannot be deleted.
    const Names ten = listed(10);
    EXPECT_EQ(Names(ten.begin() + 8, ten.end()), (Names{"flagged", "mine"}));
    EXPECT_EQ(preset_delete(table_, path(), 11), PresetDeleteResult::BuiltIn);
    // A band count of 12 is in the table and in no list.
    EXPECT_EQ(table_.records[12].bandCount, 12);
    for (int32_t bands : {10, 15, 25, 31}) {
        const Names names = listed(bands);
        EXPECT_EQ(std::count(names.begin(), names.end(), "twelve"), 0) << bands;
    }

    // The next rewrite drops the flagged record (it stays in memory) and
    // keeps the odd one.
    ASSERT_EQ(preset_delete(table_, path(), 13), PresetDeleteResult::Deleted);
    EXPECT_EQ(read(), odd);
    EXPECT_EQ(table_.count, 13);
}

TEST_F(PresetFile, SavedGainsFollowTheSliderScale) {
    // Position 25 is 0 dB, 0.8 dB a step up to +20 at 0; whole dB truncated.
    const int32_t scale[][2] = {{0, 20}, {19, 4}, {24, 0}, {26, 0}, {31, -4}, {50, -20}};
    for (const auto& s : scale) EXPECT_EQ(preset_gain_from_position(s[0]), s[1]) << s[0];

    std::vector<int32_t> p(31, 25);
    p[0] = 26;
    p[1] = 31;
    p[2] = 0;
    ASSERT_EQ(save("slope", p), PresetSaveResult::Saved);
    EXPECT_EQ(read(), rec("slope", 10, {0, -4, 20}));
}

TEST_F(PresetFile, SaveRefusesEmptyLongAndTakenNames) {
    const std::vector<int32_t> p(31, 25);
    EXPECT_EQ(save(""), PresetSaveResult::EmptyName);
    EXPECT_EQ(preset_save(table_, path(), nullptr, 10, p.data()), PresetSaveResult::EmptyName);
    EXPECT_EQ(save(std::string(64, 'L')), PresetSaveResult::NameTooLong);
    // Byte for byte against every record: the 31-band default is taken at
    // any band count; letter case and blanks make a different name.
    EXPECT_EQ(save(gbk(u"31频段缺省模式")), PresetSaveResult::NameTaken);
    EXPECT_FALSE(preset_name_taken(table_, gbk(u"rock摇滚模式").c_str()));
    EXPECT_FALSE(preset_name_taken(table_, gbk(u"Rock摇滚模式 ").c_str()));
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_EQ(table_.count, 11);

    EXPECT_EQ(save("   "), PresetSaveResult::Saved);
    EXPECT_TRUE(preset_name_taken(table_, "   "));
    EXPECT_EQ(preset_save(table_, nullptr, "memory only", 10, p.data()), PresetSaveResult::NotWritten);
    EXPECT_EQ(table_.count, 13);
}

TEST_F(PresetFile, DeleteRewritesWithoutTheRecordInOrder) {
    const Bytes a = rec("a", 10, {1}), b = rec("b", 25, {2}), c = rec("c", 10, {3}), d = rec("d", 10, {4});
    load(cat(a, b, c, d));
    EXPECT_EQ(preset_delete(table_, path(), 3), PresetDeleteResult::BuiltIn);
    EXPECT_EQ(preset_delete(table_, path(), 15), PresetDeleteResult::NoRecord);
    ASSERT_EQ(preset_delete(table_, path(), 13), PresetDeleteResult::Deleted);  // "c"
    EXPECT_EQ(read(), cat(a, b, d));
    EXPECT_EQ(table_.count, 14);
    EXPECT_EQ(listed(10).back(), "d");
    EXPECT_EQ(preset_find_nth(table_, 10, 9), 13);
    EXPECT_EQ(preset_count_for(table_, 10), 10);
}

TEST_F(PresetFile, RecordsAnotherProgramAddedSurviveOurRewrites) {
    const Bytes a = rec("a", 10, {1}), x = rec("x", 15, {5}), y = rec("y", 10, {6});
    load(a);
    write(cat(a, x));  // another program appends x while we run
    ASSERT_EQ(save("mine"), PresetSaveResult::Saved);
    const Bytes all = read();
    ASSERT_EQ(all.size(), 3u * 196);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 2 * 196), cat(a, x));
    EXPECT_EQ(save("x"), PresetSaveResult::NameTaken);

    write(cat(all, y));
    ASSERT_EQ(preset_delete(table_, path(), 11), PresetDeleteResult::Deleted);  // "a"
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

}  // namespace
}  // namespace audiomix
