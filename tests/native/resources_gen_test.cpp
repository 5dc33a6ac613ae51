// The art generator: the file encoders against hand-computed bytes, and the
// pictures the DLL carries against what the windows rely on (seamless tiling,
// readable text on the skin, icons whose two sizes show the same glyph).
// Sizes, depths and loading are proven on the real DLL under wine.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "api/window_rules.h"
#include "resources/generator/catalogue.h"

namespace {

using artgen::Bytes;
using artgen::Rgb8;

Bytes slice(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

// WCAG contrast ratio.
double wcag_luminance(Rgb8 c) {
    auto lin = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}
double contrast(Rgb8 a, Rgb8 b) {
    const double la = wcag_luminance(a), lb = wcag_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
double step(Rgb8 a, Rgb8 b) { return (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b)) / 3.0; }

// No visible seam when tiled: across the seam the mean colour step is no more
// than between neighbours inside the picture.
template <typename At>
void expect_seamless(int w, int h, At at) {
    for (bool columns : {true, false}) {
        const int n = columns ? w : h, m = columns ? h : w;
        auto px = [&](int i, int j) { return columns ? at(i, j) : at(j, i); };
        double inner = 0, seam = 0;
        for (int j = 0; j < m; ++j) {
            for (int i = 0; i + 1 < n; ++i) inner += step(px(i, j), px(i + 1, j));
            seam += step(px(n - 1, j), px(0, j));
        }
        EXPECT_LT(seam / m, 1.5 * inner / (static_cast<double>(n - 1) * m) + 0.25) << (columns ? "columns" : "rows");
    }
}

// The skin colour the windows write their text in.
constexpr Rgb8 kSkinText{audiomix::kSkinBaseColour & 0xFF, (audiomix::kSkinBaseColour >> 8) & 0xFF,
                         (audiomix::kSkinBaseColour >> 16) & 0xFF};

TEST(ArtEncoders, BitmapsAreBottomUpBgrWithRowsPaddedTo32Bits) {
    const Bytes f =
        artgen::encode_bmp24({3, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}}});
    ASSERT_EQ(f.size(), 54u + 24u);
    EXPECT_EQ(slice(f, 0, 2), (Bytes{'B', 'M'}));
    EXPECT_EQ(slice(f, 54, 78),
              (Bytes{12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
    artgen::Image4 four{3, 1, {}, {1, 14, 7}};
    const Bytes g = artgen::encode_bmp4(four);
    ASSERT_EQ(g.size(), 14u + 40u + 64u + 4u);
    EXPECT_EQ(slice(g, 118, 122), (Bytes{0x1E, 0x70, 0, 0}));  // high nibble first
}

TEST(ArtEncoders, IconStoresColourAlphaAndAMaskOfTheClearPixels) {
    const Bytes f = artgen::encode_ico({{2, {{255, 0, 0, 255}, {9, 9, 9, 0}, {0, 255, 0, 128}, {0, 0, 255, 0}}}});
    ASSERT_EQ(f.size(), 22u + 40u + 16u + 8u);
    // Bottom row first, BGRA, a clear pixel black; then one mask row of 4 bytes per row.
    EXPECT_EQ(slice(f, 62, 86),
              (Bytes{0, 255, 0, 128, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0x40, 0, 0, 0, 0x40, 0, 0, 0}));
}

TEST(ArtCatalogue, HoldsEveryBitmapAndIconOnceAndTheSameOnEveryRun) {
    std::map<int, Bytes> first;
    for (const artgen::ArtFile& f : artgen::all_art()) EXPECT_TRUE(first.emplace(f.id, f.bytes).second) << f.id;
    EXPECT_EQ(first.size(), 31u);
    for (const artgen::ArtFile& f : artgen::all_art()) EXPECT_EQ(f.bytes, first[f.id]) << f.name;
}

TEST(SkinArt, SeamlessTealTexturesOnWhichTheSkinColourTextStaysReadable) {
    const artgen::Image24 skin = artgen::skin_bitmap();
    expect_seamless(skin.width, skin.height, [&](int x, int y) { return skin.pixels[y * skin.width + x]; });
    double r = 0, g = 0, b = 0, worst = 99, lmin = 1, lmax = 0;
    for (const Rgb8& p : skin.pixels) {
        r += p.r, g += p.g, b += p.b;
        worst = std::min(worst, contrast(p, kSkinText));
        lmin = std::min(lmin, wcag_luminance(p)), lmax = std::max(lmax, wcag_luminance(p));
    }
    EXPECT_TRUE(b > g && g > r + 20 * static_cast<double>(skin.pixels.size())) << "teal";
    EXPECT_GE(worst, 4.0);
    EXPECT_LT(lmax - lmin, 0.15) << "a texture calm enough for text";

    const artgen::Image4 title = artgen::title_texture();
    expect_seamless(title.width, title.height,
                    [&](int x, int y) { return title.palette[title.indices[y * title.width + x]]; });
    const std::set<int> used(title.indices.begin(), title.indices.end());
    EXPECT_GE(used.size(), 8u) << "a texture, not a flat fill";
    for (int i : used) {
        const Rgb8 c = title.palette[i];
        EXPECT_TRUE(c.b >= c.g && c.g > c.r) << "entry " << i << " leaves the teal family";
        EXPECT_GE(contrast(c, kSkinText), 3.5) << "entry " << i;
    }
}

TEST(IconArt, EachGlyphIsItsOwnAndShowsTheSameAtBothSizes) {
    std::map<std::vector<uint8_t>, int> seen;
    for (const artgen::NamedIcon& i : artgen::icon_catalogue()) {
        const artgen::IconImage small = artgen::render_icon(i.glyph, 16), large = artgen::render_icon(i.glyph, 32);
        for (const artgen::IconImage* icon : {&small, &large}) {
            int clear = 0, solid = 0, partial = 0;
            for (const artgen::Rgba8& p : icon->pixels)
                clear += p.a == 0, solid += p.a == 255, partial += p.a % 255 != 0;
            EXPECT_TRUE(icon->pixels[0].a == 0 && clear > 0) << i.file << " has no clear background";
            EXPECT_GT(solid, icon->size * icon->size / 10) << i.file << " too faint";
            EXPECT_GT(partial, 0) << i.file << " edges not smoothed";
        }
        // The 32-pixel glyph reduced by 2 x 2 averages covers at least half
        // what the 16-pixel one covers (which may simplify it).
        int both = 0, either = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                double sum = 0;
                for (int d = 0; d < 4; ++d) sum += large.pixels[(2 * y + d / 2) * 32 + 2 * x + d % 2].a;
                const bool a = sum / 4 > 127.5, b = small.pixels[y * 16 + x].a > 127;
                both += a && b, either += a || b;
            }
        EXPECT_GT(both, either / 2) << i.file;
        std::vector<uint8_t> key;
        for (const artgen::Rgba8& p : large.pixels) key.insert(key.end(), {p.a, static_cast<uint8_t>(p.r ^ p.g ^ p.b)});
        EXPECT_TRUE(seen.emplace(key, i.id).second) << i.file << " repeats " << seen[key];
    }
}

}  // namespace
