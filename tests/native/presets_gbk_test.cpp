// The GBK codec: known code points, every mapped pair round trip, cuts that
// never split a character, and what happens to text GBK cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "engine/gbk.h"

namespace audiomix {
namespace {

// "重金属模式" and "我的" in GB2312, which GBK contains unchanged.
const std::string kHeavyMetalGbk = "\xD6\xD8\xBD\xF0\xCA\xF4\xC4\xA3\xCA\xBD";
const std::string kHeavyMetalUtf8 = "重金属模式";
const std::string kMineGbk = "\xCE\xD2\xB5\xC4";

TEST(Gbk, KnownCharactersBothWays) {
    EXPECT_EQ(gbk_decode_char(0xD6D8), u'重');
    EXPECT_EQ(gbk_decode_char(0xCED2), u'我');
    EXPECT_EQ(gbk_decode_char('A'), u'A');
    EXPECT_EQ(gbk_decode_char(0x80), u'\u20AC');  // the euro sign of code page 936
    EXPECT_EQ(gbk_encode_char(U'的'), 0xB5C4);
    EXPECT_EQ(gbk_encode_char(U'\u20AC'), 0x80);
    EXPECT_EQ(gbk_encode_char(U'é'), 0xA8A6);  // pinyin letters are in GB2312
    EXPECT_EQ(gbk_encode_char(U'\u0E01'), 0);  // Thai: not in GBK
    EXPECT_EQ(gbk_encode_char(U'\U0001F600'), 0);
    // User-defined and empty cells have no character.
    EXPECT_EQ(gbk_decode_char(0xAAA1), u'\uFFFD');
    EXPECT_EQ(gbk_decode_char(0xA140), u'\uFFFD');
    EXPECT_EQ(gbk_decode_char(0x817F), u'\uFFFD');  // 0x7F is never a trail byte
    EXPECT_EQ(gbk_decode_char(0xFF), u'\uFFFD');
}

TEST(Gbk, EveryMappedPairRoundTripsAndNoTwoShareACharacter) {
    int mapped = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
            const char16_t c = gbk_decode_char(code);
            if (c == u'\uFFFD') continue;
            ++mapped;
            ASSERT_GE(c, 0x80) << std::hex << code;  // never an ASCII look-alike
            ASSERT_EQ(gbk_encode_char(c), code) << std::hex << code;
        }
    }
    // GB2312 alone has 7445 characters; GBK holds over 21000.
    EXPECT_GT(mapped, 21000);
}

TEST(Gbk, DecodesToUtf16AndUtf8) {
    EXPECT_EQ(gbk_to_utf16(kHeavyMetalGbk.data(), kHeavyMetalGbk.size()), u"重金属模式");
    EXPECT_EQ(gbk_to_utf8(kHeavyMetalGbk.data(), kHeavyMetalGbk.size()), kHeavyMetalUtf8);
    const std::string mixed = "Rock" + kMineGbk + "\x80";
    EXPECT_EQ(gbk_to_utf8(mixed.data(), mixed.size()), "Rock我的€");
    // A lead byte without a trail byte stands for nothing, and does not
    // swallow the ASCII byte after it.
    EXPECT_EQ(gbk_to_utf16("a\xD6", 2), u"a\uFFFD");
    EXPECT_EQ(gbk_to_utf16("\xD6" "1", 2), u"\uFFFD" "1");
    EXPECT_EQ(gbk_to_utf16(nullptr, 5), u"");
}

TEST(Gbk, EncodesUtf16AndUtf8) {
    char out[64];
    GbkEncodeResult r = utf16_to_gbk(u"重金属模式", 5, out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::Ok);
    EXPECT_EQ(r.bytes, 10u);
    EXPECT_EQ(r.consumed, 5u);
    EXPECT_EQ(std::string(out), kHeavyMetalGbk);

    r = utf8_to_gbk(kHeavyMetalUtf8.data(), kHeavyMetalUtf8.size(), out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::Ok);
    EXPECT_EQ(std::string(out), kHeavyMetalGbk);
    EXPECT_EQ(r.consumed, kHeavyMetalUtf8.size());
}

TEST(Gbk, UnmappableStopsBeforeTheCharacter) {
    char out[64];
    // A surrogate pair (outside the BMP), a lone surrogate, Thai, NUL.
    for (const std::u16string& text :
         {std::u16string(u"ab\U0001F600c"), std::u16string(u"ab\xD800" "c"),
          std::u16string(u"ab\u0E01c"), std::u16string(u"ab\0c", 4)}) {
        const GbkEncodeResult r = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
        EXPECT_EQ(r.status, GbkEncodeStatus::Unmappable);
        EXPECT_EQ(r.consumed, 2u);
        EXPECT_STREQ(out, "ab");
    }
    const std::string badUtf8 = "ab\xE9\x87";  // a three-byte sequence cut short
    const GbkEncodeResult r = utf8_to_gbk(badUtf8.data(), badUtf8.size(), out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::Unmappable);
    EXPECT_STREQ(out, "ab");
}

TEST(Gbk, ByteLimitNeverCutsADoubleByteCharacter) {
    char out[64];  // 63 bytes of text and the NUL: a preset name
    // 61 letters and one Chinese character: exactly 63 bytes.
    std::u16string text(61, u'x');
    text += u'重';
    GbkEncodeResult r = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::Ok);
    EXPECT_EQ(r.bytes, 63u);
    EXPECT_EQ(std::string(out, 63), std::string(61, 'x') + "\xD6\xD8");

    // 62 letters: the character would need bytes 63 and 64.
    text = std::u16string(62, u'x') + u'重';
    r = utf16_to_gbk(text.data(), text.size(), out, sizeof out);
    EXPECT_EQ(r.status, GbkEncodeStatus::TooLong);
    EXPECT_EQ(r.bytes, 62u);
    EXPECT_EQ(r.consumed, 62u);
    EXPECT_EQ(std::string(out), std::string(62, 'x'));

    r = utf16_to_gbk(u"x", 1, out, 0);
    EXPECT_EQ(r.status, GbkEncodeStatus::TooLong);
    EXPECT_EQ(r.bytes, 0u);

    // The same rule on GBK bytes: a pair straddling the limit stays out.
    const std::string gbk = "ab" + kMineGbk;  // a b 我 的
    EXPECT_EQ(gbk_fit(gbk.data(), gbk.size(), 5), 4u);
    EXPECT_EQ(gbk_fit(gbk.data(), gbk.size(), 6), 6u);
    EXPECT_EQ(gbk_fit(gbk.data(), gbk.size(), 3), 2u);
}

TEST(Gbk, Utf8CutStopsAtACharacterBoundary) {
    const std::string s = "a重b";  // 1 + 3 + 1 bytes
    EXPECT_EQ(utf8_fit(s.data(), s.size(), 1), 1u);
    EXPECT_EQ(utf8_fit(s.data(), s.size(), 3), 1u);
    EXPECT_EQ(utf8_fit(s.data(), s.size(), 4), 4u);
    EXPECT_EQ(utf8_fit(s.data(), s.size(), 99), 5u);
}

}  // namespace
}  // namespace audiomix
