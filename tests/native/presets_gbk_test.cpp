// The GBK codec: known code points, every mapped pair round trip, cuts that
// never split a character, and what happens to text GBK cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "model/gbk.h"

namespace audiomix {
namespace {

// "重金属模式" in GB2312, which GBK contains unchanged.
const std::string kHeavyMetalGbk = "\xD6\xD8\xBD\xF0\xCA\xF4\xC4\xA3\xCA\xBD";

TEST(Gbk, KnownCharactersBothWays) {
    const struct {
        uint16_t code;
        char16_t c;
    } pairs[] = {{0xD6D8, u'重'}, {0xCED2, u'我'}, {0xB5C4, u'的'}, {'A', u'A'},
                 {0x80, u'\u20AC'},  // the euro sign of code page 936
                 {0xA8A6, u'é'}};    // pinyin letters are in GB2312
    for (const auto& p : pairs) {
        EXPECT_EQ(gbk_decode_char(p.code), p.c) << std::hex << p.code;
        EXPECT_EQ(gbk_encode_char(p.c), p.code) << std::hex << p.code;
    }
    EXPECT_EQ(gbk_encode_char(U'\u0E01'), 0);  // Thai
    EXPECT_EQ(gbk_encode_char(U'\U0001F600'), 0);
    // User-defined and empty cells, 0x7F as a trail byte, a lone 0xFF.
    for (uint16_t code : {0xAAA1, 0xA140, 0x817F, 0xFF}) EXPECT_EQ(gbk_decode_char(code), u'\uFFFD') << code;
}

TEST(Gbk, EveryMappedPairRoundTripsAndNoTwoShareACharacter) {
    int mapped = 0;
    for (unsigned code = 0x8140; code <= 0xFEFE; ++code) {
        if ((code & 0xFF) < 0x40 || (code & 0xFF) == 0xFF) continue;
        const char16_t c = gbk_decode_char(static_cast<uint16_t>(code));
        if (c == u'\uFFFD') continue;
        ++mapped;
        ASSERT_GE(c, 0x80) << std::hex << code;  // never an ASCII look-alike
        ASSERT_EQ(gbk_encode_char(c), code) << std::hex << code;
    }
    EXPECT_GT(mapped, 21000);  // GB2312 alone has 7445 characters
}

TEST(Gbk, ConvertsBetweenGbkUtf16AndUtf8) {
    EXPECT_EQ(gbk_to_utf16(kHeavyMetalGbk.data(), kHeavyMetalGbk.size()), u"重金属模式");
    const std::string mixed = "Rock\xCE\xD2\xB5\xC4\x80";
    EXPECT_EQ(gbk_to_utf8(mixed.data(), mixed.size()), "Rock我的€");
    // A lead byte without its trail byte stands for nothing and does not
    // swallow the ASCII byte after it.
    EXPECT_EQ(gbk_to_utf16("a\xD6", 2), u"a\uFFFD");
    EXPECT_EQ(gbk_to_utf16("\xD6" "1", 2), u"\uFFFD" "1");
    EXPECT_EQ(gbk_to_utf16(nullptr, 5), u"");

    char out[64];
    const std::string utf8 = "重金属模式";
    const GbkEncodeResult r = utf8_to_gbk(utf8.data(), utf8.size(), out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::Ok);
    EXPECT_EQ(r.consumed, utf8.size());
    EXPECT_EQ(std::string(out), kHeavyMetalGbk);
}

TEST(Gbk, UnmappableStopsBeforeTheCharacter) {
    char out[64];
    // Outside the BMP, a lone surrogate, Thai, NUL.
    for (const std::u16string& text : {std::u16string(u"ab\U0001F600c"), std::u16string(u"ab\xD800" "c"),
                                       std::u16string(u"ab\u0E01c"), std::u16string(u"ab\0c", 4)}) {
        const GbkEncodeResult r = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
        EXPECT_EQ(r.status, GbkEncodeStatus::Unmappable);
        EXPECT_EQ(r.consumed, 2u);
        EXPECT_STREQ(out, "ab");
    }
    const std::string cut = "ab\xE9\x87";  // a three-byte sequence cut short
    EXPECT_EQ(utf8_to_gbk(cut.data(), cut.size(), out, sizeof out).status, GbkEncodeStatus::Unmappable);
    EXPECT_STREQ(out, "ab");
}

TEST(Gbk, ByteLimitsNeverCutACharacter) {
    char out[64];  // a preset name: 63 bytes and the NUL
    // After 61 letters 重 fills bytes 62-63; after 62 it would need byte 64.
    for (size_t letters : {61u, 62u}) {
        const std::u16string text = std::u16string(letters, u'x') + u'重';
        const GbkEncodeResult r = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
        const bool fits = letters == 61;
        EXPECT_EQ(r.status, fits ? GbkEncodeStatus::Ok : GbkEncodeStatus::TooLong);
        EXPECT_EQ(r.bytes, fits ? 63u : 62u);
        EXPECT_EQ(r.consumed, 62u);
        EXPECT_EQ(std::string(out), std::string(letters, 'x') + (fits ? "\xD6\xD8" : ""));
    }
    const GbkEncodeResult none = utf16_to_gbk(u"x", 1, out, 0);
    EXPECT_EQ(none.status, GbkEncodeStatus::TooLong);
    EXPECT_EQ(none.bytes, 0u);

    const std::string gbk = "ab\xCE\xD2\xB5\xC4", utf8 = "a重b";  // a b 我 的; 1 + 3 + 1 bytes
    const size_t gbkCuts[][2] = {{3, 2}, {5, 4}, {6, 6}}, utf8Cuts[][2] = {{1, 1}, {3, 1}, {4, 4}, {99, 5}};
    for (const auto& c : gbkCuts) EXPECT_EQ(gbk_fit(gbk.data(), gbk.size(), c[0]), c[1]) << c[0];
    for (const auto& c : utf8Cuts) EXPECT_EQ(utf8_fit(utf8.data(), utf8.size(), c[0]), c[1]) << c[0];
}

}  // namespace
}  // namespace audiomix
