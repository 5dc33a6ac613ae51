// File encoders of the art generator: Windows bitmaps (24 bits, or 4 bits
// with a 16-colour palette) and icon files (32-bit images with alpha and an
// AND mask). Images are given top row first; the files store rows bottom up.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "resources/generator/raster.h"

namespace artgen {

using Bytes = std::vector<uint8_t>;

struct Image24 {
    int width = 0, height = 0;
    std::vector<Rgb8> pixels;  // top row first
};

struct Image4 {
    int width = 0, height = 0;
    std::array<Rgb8, 16> palette{};
    std::vector<uint8_t> indices;  // 0..15, top row first
};

struct IconImage {
    int size = 0;               // square
    std::vector<Rgba8> pixels;  // straight alpha, top row first
};

namespace detail {

inline void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Rows of a bitmap are padded to whole 32-bit words.
inline uint32_t row_bytes(int width, int bits) { return ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4; }

inline void info_header(Bytes& out, int width, int height, int bits, uint32_t image_bytes, uint32_t colours) {
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, 0);  // BI_RGB
    put32(out, image_bytes);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, colours);
    put32(out, 0);
}

inline void file_header(Bytes& out, uint32_t file_bytes, uint32_t data_offset) {
    out.push_back('B');
    out.push_back('M');
    put32(out, file_bytes);
    put32(out, 0);
    put32(out, data_offset);
}

}  // namespace detail

inline Bytes encode_bmp24(const Image24& img) {
    if (img.width <= 0 || img.height <= 0 || img.pixels.size() != static_cast<size_t>(img.width) * img.height)
        throw std::invalid_argument("bad 24-bit image");
    const uint32_t stride = detail::row_bytes(img.width, 24);
    const uint32_t data = stride * static_cast<uint32_t>(img.height);
    Bytes out;
    out.reserve(54 + data);
    detail::file_header(out, 54 + data, 54);
    detail::info_header(out, img.width, img.height, 24, data, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < img.width; ++x) {
            const Rgb8 p = img.pixels[static_cast<size_t>(y) * img.width + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        out.resize(start + stride, 0);
    }
    return out;
}

inline Bytes encode_bmp4(const Image4& img) {
    if (img.width <= 0 || img.height <= 0 || img.indices.size() != static_cast<size_t>(img.width) * img.height)
        throw std::invalid_argument("bad 4-bit image");
    const uint32_t stride = detail::row_bytes(img.width, 4);
    const uint32_t data = stride * static_cast<uint32_t>(img.height);
    const uint32_t offset = 14 + 40 + 16 * 4;
    Bytes out;
    out.reserve(offset + data);
    detail::file_header(out, offset + data, offset);
    detail::info_header(out, img.width, img.height, 4, data, 16);
    for (const Rgb8& c : img.palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < img.width; x += 2) {
            const uint8_t hi = img.indices[static_cast<size_t>(y) * img.width + x] & 15;
            const uint8_t lo = x + 1 < img.width ? img.indices[static_cast<size_t>(y) * img.width + x + 1] & 15 : 0;
            out.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
        out.resize(start + stride, 0);
    }
    return out;
}

// An icon file with one 32-bit image per entry. The AND mask marks the fully
// transparent pixels, so the icon also draws where alpha is ignored; those
// pixels carry black colour for the same reason.
inline Bytes encode_ico(const std::vector<IconImage>& images) {
    Bytes out;
    detail::put16(out, 0);
    detail::put16(out, 1);
    detail::put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IconImage& img : images) {
        if (img.size <= 0 || img.size > 256 || img.pixels.size() != static_cast<size_t>(img.size) * img.size)
            throw std::invalid_argument("bad icon image");
        const uint32_t bytes = 40 + static_cast<uint32_t>(img.size) * img.size * 4 +
                               detail::row_bytes(img.size, 1) * static_cast<uint32_t>(img.size);
        out.push_back(static_cast<uint8_t>(img.size == 256 ? 0 : img.size));
        out.push_back(static_cast<uint8_t>(img.size == 256 ? 0 : img.size));
        out.push_back(0);  // no palette
        out.push_back(0);
        detail::put16(out, 1);   // planes
        detail::put16(out, 32);  // bits per pixel
        detail::put32(out, bytes);
        detail::put32(out, offset);
        offset += bytes;
    }
    for (const IconImage& img : images) {
        const int n = img.size;
        const uint32_t mask_stride = detail::row_bytes(n, 1);
        detail::info_header(out, n, n * 2, 32, static_cast<uint32_t>(n) * n * 4 + mask_stride * n, 0);
        for (int y = n - 1; y >= 0; --y)
            for (int x = 0; x < n; ++x) {
                const Rgba8 p = img.pixels[static_cast<size_t>(y) * n + x];
                const bool clear = p.a == 0;
                out.push_back(clear ? 0 : p.b);
                out.push_back(clear ? 0 : p.g);
                out.push_back(clear ? 0 : p.r);
                out.push_back(p.a);
            }
        for (int y = n - 1; y >= 0; --y) {
            const size_t start = out.size();
            out.resize(start + mask_stride, 0);
            for (int x = 0; x < n; ++x)
                if (img.pixels[static_cast<size_t>(y) * n + x].a == 0)
                    out[start + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return out;
}

}  // namespace artgen
