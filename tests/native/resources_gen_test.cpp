// The art generator: the file encoders against hand-computed bytes, and the
// pictures the DLL carries against the properties the windows rely on
// (sizes, formats, seamless tiling, readable text on the skin, icons whose
// two sizes show the same glyph).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/generator/catalogue.h"

namespace {

using artgen::Bytes;

// Little-endian reads, independent of the encoders' writers.
uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int32_t s32(const Bytes& b, size_t at) { return static_cast<int32_t>(u32(b, at)); }

struct Rgb {
    int r, g, b;
};

// A decoded bitmap file: header fields and the pixels, top row first.
struct Bitmap {
    int width = 0, height = 0, bits = 0, colours = 0;
    std::vector<Rgb> pixels;
    std::vector<int> indices;  // palette bitmaps only
    std::vector<Rgb> palette;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Bitmap read_bmp(const Bytes& f) {
    Bitmap bmp;
    EXPECT_EQ(f.at(0), 'B');
    EXPECT_EQ(f.at(1), 'M');
    EXPECT_EQ(u32(f, 2), f.size()) << "file size field";
    EXPECT_EQ(u32(f, 14), 40u) << "BITMAPINFOHEADER";
    bmp.width = s32(f, 18);
    bmp.height = s32(f, 22);
    EXPECT_EQ(u16(f, 26), 1u) << "planes";
    bmp.bits = static_cast<int>(u16(f, 28));
    EXPECT_EQ(u32(f, 30), 0u) << "uncompressed";
    bmp.colours = static_cast<int>(u32(f, 46));
    const size_t offset = u32(f, 10);
    const size_t palette_entries = bmp.bits <= 8 ? (bmp.colours ? bmp.colours : 1 << bmp.bits) : 0;
    EXPECT_EQ(offset, 54 + 4 * palette_entries) << "pixels follow the palette";
    for (size_t i = 0; i < palette_entries; ++i)
        bmp.palette.push_back({f.at(54 + 4 * i + 2), f.at(54 + 4 * i + 1), f.at(54 + 4 * i)});
    const size_t stride = ((static_cast<size_t>(bmp.width) * bmp.bits + 31) / 32) * 4;
    EXPECT_EQ(f.size(), offset + stride * bmp.height) << "rows padded to 32 bits";
    if (f.size() != offset + stride * bmp.height) return bmp;
    for (int y = 0; y < bmp.height; ++y) {
        const size_t row = offset + stride * (bmp.height - 1 - y);  // bottom-up
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bits == 24) {
                bmp.pixels.push_back({f[row + 3 * x + 2], f[row + 3 * x + 1], f[row + 3 * x]});
            } else if (bmp.bits == 4) {
                const int index = (x % 2 == 0) ? f[row + x / 2] >> 4 : f[row + x / 2] & 15;
                bmp.indices.push_back(index);
                bmp.pixels.push_back(index < static_cast<int>(bmp.palette.size()) ? bmp.palette[index] : Rgb{-1, -1, -1});
            }
        }
    }
    return bmp;
}

struct IconEntry {
    int size = 0;
    std::vector<uint8_t> alpha;          // top row first
    std::vector<Rgb> colour;
    std::vector<bool> mask;              // AND mask bit: transparent
};

std::vector<IconEntry> read_ico(const Bytes& f) {
    std::vector<IconEntry> out;
    EXPECT_EQ(u16(f, 0), 0u);
    EXPECT_EQ(u16(f, 2), 1u) << "type icon";
    const uint32_t count = u16(f, 4);
    size_t expected_offset = 6 + 16 * count;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 6 + 16 * i;
        IconEntry icon;
        icon.size = f.at(e) == 0 ? 256 : f.at(e);
        EXPECT_EQ(f.at(e + 1), f.at(e)) << "square";
        EXPECT_EQ(u16(f, e + 4), 1u) << "planes";
        EXPECT_EQ(u16(f, e + 6), 32u) << "bits";
        const uint32_t bytes = u32(f, e + 8), offset = u32(f, e + 12);
        const size_t n = static_cast<size_t>(icon.size);
        const size_t mask_stride = ((n + 31) / 32) * 4;
        EXPECT_EQ(bytes, 40 + n * n * 4 + mask_stride * n);
        EXPECT_EQ(offset, expected_offset) << "images packed in order";
        expected_offset += bytes;
        if (offset + bytes > f.size()) {
            ADD_FAILURE() << "image outside the file";
            return out;
        }
        EXPECT_EQ(u32(f, offset), 40u);
        EXPECT_EQ(s32(f, offset + 4), icon.size);
        EXPECT_EQ(s32(f, offset + 8), 2 * icon.size) << "colour and mask halves";
        EXPECT_EQ(u16(f, offset + 14), 32u);
        const size_t pixels = offset + 40, mask = pixels + n * n * 4;
        for (size_t y = 0; y < n; ++y)
            for (size_t x = 0; x < n; ++x) {
                const size_t p = pixels + ((n - 1 - y) * n + x) * 4;
                icon.colour.push_back({f[p + 2], f[p + 1], f[p]});
                icon.alpha.push_back(f[p + 3]);
                icon.mask.push_back((f[mask + (n - 1 - y) * mask_stride + x / 8] >> (7 - x % 8)) & 1);
            }
        out.push_back(icon);
    }
    EXPECT_EQ(expected_offset, f.size());
    return out;
}

// WCAG relative luminance and contrast ratio.
double luminance(Rgb c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double contrast(Rgb a, Rgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double difference(Rgb a, Rgb b) { return (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b)) / 3.0; }

// Whether the picture tiles without a visible seam: across the seam (last
// column or row against the first of the next tile) the mean colour step is
// no more than between neighbours inside it; a texture that drifts across
// the tile would jump there.
void expect_seamless(const Bitmap& b) {
    for (bool columns : {true, false}) {
        const int n = columns ? b.width : b.height, m = columns ? b.height : b.width;
        auto px = [&](int i, int j) { return columns ? b.at(i, j) : b.at(j, i); };
        double interior = 0, seam = 0;
        for (int j = 0; j < m; ++j) {
            for (int i = 0; i + 1 < n; ++i) interior += difference(px(i, j), px(i + 1, j));
            seam += difference(px(n - 1, j), px(0, j));
        }
        EXPECT_LT(seam / m, 1.5 * interior / (static_cast<double>(n - 1) * m) + 0.25) << (columns ? "columns" : "rows");
    }
}

const std::map<int, Bytes>& art_by_id() {
    static const std::map<int, Bytes> art = [] {
        std::map<int, Bytes> m;
        for (const artgen::ArtFile& f : artgen::all_art()) m[f.id] = f.bytes;
        return m;
    }();
    return art;
}

const Rgb kSkinText{6, 76, 98};

// ---- Encoders ---------------------------------------------------------------------

TEST(ArtEncoders, TwentyFourBitBitmapIsBottomUpBgrWithPaddedRows) {
    artgen::Image24 img{3, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}}};
    const Bytes f = artgen::encode_bmp24(img);
    // 3 pixels x 3 bytes = 9, padded to 12 per row; 54 header bytes.
    ASSERT_EQ(f.size(), 54u + 24u);
    EXPECT_EQ(u32(f, 2), 78u);
    EXPECT_EQ(u32(f, 10), 54u);
    EXPECT_EQ(s32(f, 18), 3);
    EXPECT_EQ(s32(f, 22), 2);
    EXPECT_EQ(u16(f, 28), 24u);
    EXPECT_EQ(u32(f, 34), 24u) << "image size";
    // First stored row is the bottom one, blue first.
    const Bytes bottom(f.begin() + 54, f.begin() + 66);
    EXPECT_EQ(bottom, (Bytes{12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0}));
    const Bytes top(f.begin() + 66, f.begin() + 78);
    EXPECT_EQ(top, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
}

TEST(ArtEncoders, SixteenColourBitmapPacksTwoPixelsPerByteHighNibbleFirst) {
    artgen::Image4 img;
    img.width = 3;
    img.height = 1;
    img.palette[1] = {10, 20, 30};
    img.palette[14] = {200, 100, 50};
    img.indices = {1, 14, 7};
    const Bytes f = artgen::encode_bmp4(img);
    // 14 + 40 header bytes, 16 palette entries of 4 bytes, one 4-byte row.
    ASSERT_EQ(f.size(), 14u + 40u + 64u + 4u);
    EXPECT_EQ(u32(f, 10), 118u);
    EXPECT_EQ(u16(f, 28), 4u);
    EXPECT_EQ(u32(f, 46), 16u) << "colours used";
    EXPECT_EQ(Bytes(f.begin() + 54 + 4, f.begin() + 54 + 8), (Bytes{30, 20, 10, 0}));
    EXPECT_EQ(Bytes(f.begin() + 54 + 56, f.begin() + 54 + 60), (Bytes{50, 100, 200, 0}));
    EXPECT_EQ(Bytes(f.begin() + 118, f.end()), (Bytes{0x1E, 0x70, 0, 0}));
}

TEST(ArtEncoders, IconStoresColourAlphaAndAMaskOfTheClearPixels) {
    artgen::IconImage img{2, {{255, 0, 0, 255}, {9, 9, 9, 0}, {0, 255, 0, 128}, {0, 0, 255, 0}}};
    const Bytes f = artgen::encode_ico({img});
    // Directory 6 + 16; image: header 40, 2 x 2 x 4 colour bytes, mask rows of 4 bytes.
    ASSERT_EQ(f.size(), 22u + 40u + 16u + 8u);
    EXPECT_EQ(u16(f, 4), 1u);
    EXPECT_EQ(f[6], 2);
    EXPECT_EQ(u32(f, 6 + 8), 64u);
    EXPECT_EQ(u32(f, 6 + 12), 22u);
    EXPECT_EQ(s32(f, 22 + 8), 4) << "height counts both halves";
    // Bottom row first: (0,1) green half transparent, (1,1) clear; then the top row.
    EXPECT_EQ(Bytes(f.begin() + 62, f.begin() + 78),
              (Bytes{0, 255, 0, 128, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0}));
    // Mask: bottom row has x = 1 clear (0x40), top row too.
    EXPECT_EQ(Bytes(f.begin() + 78, f.end()), (Bytes{0x40, 0, 0, 0, 0x40, 0, 0, 0}));
}

TEST(ArtEncoders, RefuseImagesWhosePixelCountDoesNotMatch) {
    EXPECT_THROW(artgen::encode_bmp24({4, 4, std::vector<artgen::Rgb8>(15)}), std::invalid_argument);
    artgen::Image4 four;
    four.width = 2;
    four.height = 2;
    four.indices.resize(3);
    EXPECT_THROW(artgen::encode_bmp4(four), std::invalid_argument);
    EXPECT_THROW(artgen::encode_ico({{16, std::vector<artgen::Rgba8>(16 * 15)}}), std::invalid_argument);
}

// ---- The library's pictures ----------------------------------------------------------

TEST(ArtCatalogue, HoldsEveryBitmapAndIconTheLibraryLoads) {
    std::set<int> ids;
    std::set<std::string> names;
    for (const artgen::ArtFile& f : artgen::all_art()) {
        EXPECT_TRUE(ids.insert(f.id).second) << "id " << f.id << " twice";
        EXPECT_TRUE(names.insert(f.name).second) << f.name << " twice";
        const std::string ext = f.id >= 1014 && f.id <= 1030 ? ".ico" : ".bmp";
        EXPECT_EQ(f.name.substr(f.name.size() - 4), ext) << f.name;
    }
    std::set<int> expected;
    for (int id = 1001; id <= 1031; ++id) expected.insert(id);
    EXPECT_EQ(ids, expected);
}

TEST(ArtCatalogue, IsTheSameOnEveryRun) {
    const std::vector<artgen::ArtFile> again = artgen::all_art();
    for (const artgen::ArtFile& f : again) EXPECT_EQ(f.bytes, art_by_id().at(f.id)) << f.name;
}

TEST(SkinBitmap, IsASeamlessLightTealOnWhichTheSkinColourTextStaysReadable) {
    const Bitmap skin = read_bmp(art_by_id().at(1031));
    EXPECT_EQ((std::vector<int>{skin.width, skin.height, skin.bits}), (std::vector<int>{802, 366, 24}));
    ASSERT_FALSE(skin.pixels.empty());
    expect_seamless(skin);
    double r = 0, g = 0, b = 0, worst = 99, lmin = 1, lmax = 0;
    for (const Rgb& p : skin.pixels) {
        r += p.r, g += p.g, b += p.b;
        worst = std::min(worst, contrast(p, kSkinText));
        lmin = std::min(lmin, luminance(p)), lmax = std::max(lmax, luminance(p));
    }
    const double n = static_cast<double>(skin.pixels.size());
    // Same hue family as the skin colour: blue above green above red.
    EXPECT_GT(b / n, g / n);
    EXPECT_GT(g / n, r / n + 20);
    // Captions are drawn straight onto it in RGB(6, 76, 98).
    EXPECT_GE(worst, 4.0);
    // Subtle: the texture never swings far enough to disturb text.
    EXPECT_LT(lmax - lmin, 0.15);
}

TEST(TitleTexture, Is150By150WithSixteenTealColoursAndTiles) {
    const Bitmap tex = read_bmp(art_by_id().at(1013));
    EXPECT_EQ((std::vector<int>{tex.width, tex.height, tex.bits}), (std::vector<int>{150, 150, 4}));
    ASSERT_EQ(tex.palette.size(), 16u);
    ASSERT_EQ(tex.indices.size(), 150u * 150u);
    std::set<int> used(tex.indices.begin(), tex.indices.end());
    EXPECT_GE(used.size(), 8u) << "a texture, not a flat fill";
    for (int i : used) {
        const Rgb c = tex.palette[i];
        EXPECT_TRUE(c.b >= c.g && c.g > c.r) << "palette entry " << i << " leaves the teal family";
        // The preset-name dialog's caption is drawn on it in the skin colour.
        EXPECT_GE(contrast(c, kSkinText), 3.5) << "palette entry " << i;
    }
    expect_seamless(tex);
}

TEST(SmallBitmaps, Are24BitPicturesOfModestSize) {
    for (int id = 1001; id <= 1012; ++id) {
        const Bitmap b = read_bmp(art_by_id().at(id));
        EXPECT_EQ(b.bits, 24) << id;
        EXPECT_TRUE(b.width > 0 && b.width <= 128 && b.height > 0 && b.height <= 64) << id;
        std::set<int> colours;
        for (const Rgb& p : b.pixels) colours.insert(p.r << 16 | p.g << 8 | p.b);
        EXPECT_GT(colours.size(), 2u) << id << " is a flat fill";
    }
}

TEST(Icons, EachHasA16And32PixelImageOfItsOwnGlyphWithAlphaAndAMatchingMask) {
    std::map<std::vector<uint8_t>, int> seen;
    for (int id = 1014; id <= 1030; ++id) {
        SCOPED_TRACE(id);
        const std::vector<IconEntry> images = read_ico(art_by_id().at(id));
        ASSERT_EQ(images.size(), 2u);
        EXPECT_EQ(images[0].size, 16);
        EXPECT_EQ(images[1].size, 32);
        for (const IconEntry& icon : images) {
            int clear = 0, solid = 0, partial = 0;
            for (size_t i = 0; i < icon.alpha.size(); ++i) {
                EXPECT_EQ(icon.mask[i], icon.alpha[i] == 0) << "pixel " << i;
                if (icon.alpha[i] == 0) {
                    ++clear;
                    EXPECT_EQ(icon.colour[i].r + icon.colour[i].g + icon.colour[i].b, 0) << "clear pixel not black";
                }
                solid += icon.alpha[i] == 255;
                partial += icon.alpha[i] != 0 && icon.alpha[i] != 255;
            }
            EXPECT_GT(clear, 0) << "no transparent background";
            EXPECT_GT(solid, icon.size * icon.size / 10) << "glyph too faint";
            EXPECT_GT(partial, 0) << "edges not smoothed";
            EXPECT_EQ(icon.alpha[0], 0) << "corner should be transparent";
        }
        if (images[1].size != 32) continue;

        // The small image shows the large one's glyph: overlap of the covered
        // areas (alpha above one half) of the 16-pixel image and the 32-pixel
        // one reduced by 2 x 2 averages. The small image may simplify the
        // glyph (fewer sliders), so half the area suffices; a glyph drawn at
        // the wrong scale or place overlaps far less.
        int both = 0, either = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                double sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) sum += images[1].alpha[(2 * y + dy) * 32 + 2 * x + dx];
                const bool a = sum / 4 / 255 > 0.5, b = images[0].alpha[y * 16 + x] > 127;
                both += a && b;
                either += a || b;
            }
        ASSERT_GT(either, 0);
        EXPECT_GT(static_cast<double>(both) / either, 0.5);

        // And no two icons are the same picture.
        std::vector<uint8_t> key = images[1].alpha;
        for (const Rgb& c : images[1].colour) key.push_back(static_cast<uint8_t>(c.r ^ c.g ^ c.b));
        const auto inserted = seen.emplace(key, id);
        EXPECT_TRUE(inserted.second) << id << " repeats " << inserted.first->second;
    }
}

TEST(Icons, CheckAndRadioPairsDifferOnlyInsideTheFrame) {
    // "On" adds a mark to the same frame: outside the mark the two agree.
    for (const auto& pair : {std::pair<int, int>{1021, 1022}, std::pair<int, int>{1023, 1024}}) {
        const IconEntry on = read_ico(art_by_id().at(pair.first))[1];
        const IconEntry off = read_ico(art_by_id().at(pair.second))[1];
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const size_t i = static_cast<size_t>(y) * 32 + x;
                EXPECT_EQ(on.alpha[i], off.alpha[i]) << "outline differs at " << x << "," << y;
                if (difference(on.colour[i], off.colour[i]) > 8) {
                    ++differing;
                    EXPECT_TRUE(x >= 6 && x < 26 && y >= 6 && y < 26) << "mark outside the frame at " << x << "," << y;
                }
            }
        EXPECT_GT(differing, 20) << pair.first << " shows no mark";
    }
}

}  // namespace
