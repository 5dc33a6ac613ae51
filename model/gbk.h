// GBK (code page 936) text: preset names on disk and host titles. Our own
// tables (model/gbk_table.inc, made by tools/gen-gbk-table), so both builds
// convert identically, with no system converter involved.
//
// A character is one byte 0x00-0x7F (ASCII), the single byte 0x80 (euro
// sign), or a lead byte 0x81-0xFE followed by a trail byte 0x40-0x7E or
// 0x80-0xFE. Pairs without a mapping, lone lead bytes and 0xFF decode to
// U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace audiomix {

constexpr bool gbk_is_lead_byte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
constexpr bool gbk_is_trail_byte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// The bytes of the first character of text[0 .. length): 2 for a lead byte
// followed by a trail byte, else 1 (0 for an empty range).
size_t gbk_char_width(const char* text, size_t length);

// The longest prefix of text[0 .. length) of at most maxBytes bytes that
// ends on a character boundary: a double-byte character that would straddle
// maxBytes is left out whole.
size_t gbk_fit(const char* text, size_t length, size_t maxBytes);

// One character's Unicode value (BMP); code is a single byte (< 0x100) or
// lead << 8 | trail. U+FFFD when the code has no mapping.
char16_t gbk_decode_char(uint16_t code);

// The GBK code of a Unicode character, as gbk_decode_char takes it, or 0
// when GBK has none (NUL itself encodes as 0 too).
uint16_t gbk_encode_char(char32_t c);

std::u16string gbk_to_utf16(const char* text, size_t length);
std::string gbk_to_utf8(const char* text, size_t length);

enum class GbkEncodeStatus {
    Ok,          // everything converted
    Unmappable,  // stopped before a character GBK lacks, a lone surrogate or a NUL
    TooLong,     // stopped before the first character that no longer fits
};

struct GbkEncodeResult {
    GbkEncodeStatus status;
    size_t bytes;     // written to out, without the NUL
    size_t consumed;  // UTF-16 units converted
};

// UTF-16 to GBK into out[0 .. capacity), always NUL-terminated when capacity
// > 0, so at most capacity - 1 bytes of text; a double-byte character is
// never cut. On Unmappable and TooLong out holds the part before the stop.
GbkEncodeResult utf16_to_gbk(const char16_t* text, size_t length, char* out, size_t capacity);

// The same from UTF-8; an invalid UTF-8 sequence counts as Unmappable, and
// consumed counts bytes.
GbkEncodeResult utf8_to_gbk(const char* text, size_t length, char* out, size_t capacity);

// The longest prefix of UTF-8 text of at most maxBytes bytes that does not
// end inside a multi-byte sequence.
size_t utf8_fit(const char* text, size_t length, size_t maxBytes);

}  // namespace audiomix
