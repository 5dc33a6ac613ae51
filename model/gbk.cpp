#include "model/gbk.h"

#include <algorithm>

namespace audiomix {

namespace {

#include "model/gbk_table.inc"

constexpr unsigned char kEuroByte = 0x80;
constexpr char16_t kEuro = 0x20AC;
constexpr char16_t kReplacement = 0xFFFD;

unsigned char byte_at(const char* text, size_t i) { return static_cast<unsigned char>(text[i]); }

// Appends code (one or two bytes) if it fits below capacity - 1.
bool put_code(uint16_t code, char* out, size_t capacity, size_t& used) {
    const size_t width = code > 0xFF ? 2 : 1;
    if (used + width > capacity - 1) return false;
    if (width == 2) out[used++] = static_cast<char>(code >> 8);
    out[used++] = static_cast<char>(code & 0xFF);
    return true;
}

void append_utf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at text[i]; returns its length, 0 if invalid
// (overlong forms, surrogates and values beyond U+10FFFF included).
size_t utf8_decode(const char* text, size_t length, size_t i, char32_t& c) {
    const unsigned char b = byte_at(text, i);
    size_t n;
    char32_t min;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        n = 2, min = 0x80, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, min = 0x800, c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, min = 0x10000, c = b & 0x07;
    } else {
        return 0;
    }
    if (length - i < n) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char t = byte_at(text, i + k);
        if ((t & 0xC0) != 0x80) return 0;
        c = (c << 6) | (t & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

// Shared loop of the two encoders: next() yields the next character and the
// units it spans, or false at the end; a character of value > 0xFFFF or a
// surrogate has no GBK code.
template <typename Next>
GbkEncodeResult encode(Next next, char* out, size_t capacity) {
    GbkEncodeResult result{GbkEncodeStatus::Ok, 0, 0};
    if (capacity == 0 || out == nullptr) {
        result.status = GbkEncodeStatus::TooLong;
        return result;
    }
    char32_t c = 0;
    size_t units = 0;
    bool valid = true;
    while (next(c, units, valid)) {
        const uint16_t code = valid ? gbk_encode_char(c) : 0;
        if (c == 0 || code == 0) {
            result.status = GbkEncodeStatus::Unmappable;
            break;
        }
        if (!put_code(code, out, capacity, result.bytes)) {
            result.status = GbkEncodeStatus::TooLong;
            break;
        }
        result.consumed += units;
    }
    out[result.bytes] = '\0';
    return result;
}

}  // namespace

size_t gbk_char_width(const char* text, size_t length) {
    if (length == 0) return 0;
    return length >= 2 && gbk_is_lead_byte(byte_at(text, 0)) && gbk_is_trail_byte(byte_at(text, 1)) ? 2 : 1;
}

size_t gbk_fit(const char* text, size_t length, size_t maxBytes) {
    size_t n = 0;
    while (n < length) {
        const size_t width = gbk_char_width(text + n, length - n);
        if (n + width > maxBytes) break;
        n += width;
    }
    return n;
}

char16_t gbk_decode_char(uint16_t code) {
    if (code < 0x80) return static_cast<char16_t>(code);
    if (code == kEuroByte) return kEuro;
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (!gbk_is_lead_byte(static_cast<unsigned char>(lead)) || !gbk_is_trail_byte(static_cast<unsigned char>(trail)))
        return kReplacement;
    const uint16_t value = kGbkDecode[lead - 0x81][trail - 0x40];
    return value != 0 ? static_cast<char16_t>(value) : kReplacement;
}

uint16_t gbk_encode_char(char32_t c) {
    if (c < 0x80) return static_cast<uint16_t>(c);
    if (c == kEuro) return kEuroByte;
    if (c > 0xFFFF) return 0;
    const uint16_t* begin = kGbkEncodeUnicode;
    const uint16_t* end = kGbkEncodeUnicode + kGbkMappedPairs;
    const uint16_t* it = std::lower_bound(begin, end, static_cast<uint16_t>(c));
    return it != end && *it == c ? kGbkEncodeCode[it - begin] : 0;
}

std::u16string gbk_to_utf16(const char* text, size_t length) {
    std::u16string out;
    if (text == nullptr) return out;
    out.reserve(length);
    for (size_t i = 0; i < length;) {
        const size_t width = gbk_char_width(text + i, length - i);
        const unsigned char b = byte_at(text, i);
        if (width == 2) {
            out += gbk_decode_char(static_cast<uint16_t>(b << 8 | byte_at(text, i + 1)));
        } else {
            // A lead byte without its trail byte stands for nothing.
            out += gbk_is_lead_byte(b) ? kReplacement : gbk_decode_char(b);
        }
        i += width;
    }
    return out;
}

std::string gbk_to_utf8(const char* text, size_t length) {
    std::string out;
    for (char16_t c : gbk_to_utf16(text, length)) append_utf8(c, out);
    return out;
}

GbkEncodeResult utf16_to_gbk(const char16_t* text, size_t length, char* out, size_t capacity) {
    size_t i = 0;
    auto next = [&](char32_t& c, size_t& units, bool& valid) {
        if (text == nullptr || i >= length) return false;
        c = text[i];
        units = 1;
        valid = !(c >= 0xD800 && c <= 0xDFFF);  // no GBK code, paired or not
        ++i;
        return true;
    };
    return encode(next, out, capacity);
}

GbkEncodeResult utf8_to_gbk(const char* text, size_t length, char* out, size_t capacity) {
    size_t i = 0;
    auto next = [&](char32_t& c, size_t& units, bool& valid) {
        if (text == nullptr || i >= length) return false;
        units = utf8_decode(text, length, i, c);
        valid = units != 0;
        if (!valid) c = 0xFFFD;
        i += units != 0 ? units : 1;
        return true;
    };
    return encode(next, out, capacity);
}

size_t utf8_fit(const char* text, size_t length, size_t maxBytes) {
    if (length <= maxBytes) return length;
    size_t n = maxBytes;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (byte_at(text, n) & 0xC0) == 0x80) --n;
    return n;
}

}  // namespace audiomix
