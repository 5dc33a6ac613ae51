// The bitmaps: the large skin tiled behind every window and page, the small
// 16-colour texture behind the group titles and the name dialog, and a set of
// small face and strip pictures.
//
// Every texture is periodic in both directions (integer numbers of noise
// cells and of wave cycles per tile), because the windows tile it: the last
// column continues into the first and the last row into the top one.
//
// Text is drawn straight onto the skin in the skin colour (kSkinBaseColour) and,
// on the check boxes, in white over a dark offset copy, so the skin is a
// light tint of that colour with only gentle variation.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "api/window_rules.h"
#include "resources/generator/image_files.h"
#include "resources/generator/raster.h"

namespace artgen {

namespace skin {
// Base and panel colour of the windows: the one the window code paints with.
inline Colour teal() {
    constexpr uint32_t c = audiomix::kSkinBaseColour;  // 0x00BBGGRR
    return rgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline Colour tab() { return rgb(215, 145, 123); }     // selected tab
inline Colour tab_off() { return rgb(58, 128, 150); }  // other tabs
inline Colour white() { return rgb(255, 255, 255); }
inline Colour ink() { return rgb(2, 28, 38); }
constexpr int kWidth = 802;
constexpr int kHeight = 366;
constexpr int kTextureSize = 150;
}  // namespace skin

// Lightness offsets move towards white (positive) or towards the dark teal.
inline Colour shade(Colour base, double offset) {
    return offset >= 0 ? mix(base, skin::white(), offset) : mix(base, skin::ink(), -offset);
}

// Relative luminance (sRGB), used to keep text contrast in check.
inline double luminance(Rgb8 c) {
    auto lin = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

// ---- Skin 1031 ------------------------------------------------------------------

// A faint waveform line across the whole tile: a sum of sines with whole
// numbers of cycles per tile width, so it continues across the seam.
struct WaveLine {
    double centre, amplitude;
    double phase[3];
};

inline double wave_y(const WaveLine& w, double x) {
    const double t = 2 * kPi * x / skin::kWidth;
    return w.centre + w.amplitude * (0.62 * std::sin(2 * t + w.phase[0]) + 0.28 * std::sin(5 * t + w.phase[1]) +
                                     0.10 * std::sin(11 * t + w.phase[2]));
}

inline double wave_slope(const WaveLine& w, double x) {
    const double t = 2 * kPi * x / skin::kWidth, k = 2 * kPi / skin::kWidth;
    return w.amplitude * k *
           (0.62 * 2 * std::cos(2 * t + w.phase[0]) + 0.28 * 5 * std::cos(5 * t + w.phase[1]) +
            0.10 * 11 * std::cos(11 * t + w.phase[2]));
}

inline Image24 skin_bitmap() {
    const int W = skin::kWidth, H = skin::kHeight;
    const Colour base = mix(rgb(20, 110, 140), skin::white(), 0.56);
    const WaveLine waves[] = {
        {H * 1.0 / 6, 16, {0.3, 1.7, 4.1}},
        {H * 3.0 / 6, 22, {2.2, 0.4, 2.9}},
        {H * 5.0 / 6, 14, {4.6, 3.3, 0.8}},
    };
    Image24 img{W, H, std::vector<Rgb8>(static_cast<size_t>(W) * H)};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            // Soft clouds, a slow diagonal sheen, fine horizontal brushing.
            double l = 0.075 * periodic_fbm(px, py, W, H, 5, 2, 4, 11u);
            const double sheen = std::cos(2 * kPi * (px / W + py / H));
            l += 0.022 * sheen + 0.010 * std::cos(2 * kPi * (2 * px / W - py / H) + 1.3);
            l += 0.018 * (periodic_noise(px * 12 / W, py * 183 / H, 12, 183, 23u) - 0.5);
            l += 0.010 * ((hash3(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 37u) >> 8) / 16777216.0 - 0.5);
            for (const WaveLine& w : waves) {
                const double d = std::fabs(py - wave_y(w, px)) / std::sqrt(1 + std::pow(wave_slope(w, px), 2));
                l += 0.050 * std::exp(-(d * d) / 0.7) + 0.014 * std::exp(-(d * d) / 30.0);
            }
            Colour c = shade(base, l);
            c = mix(c, skin::tab(), 0.05 * std::max(0.0, sheen));
            img.pixels[static_cast<size_t>(y) * W + x] = to_rgb8(c);
        }
    return img;
}

// ---- Texture 1013 (16 colours) ----------------------------------------------------

inline Image4 title_texture() {
    const int N = skin::kTextureSize;
    Image4 img;
    img.width = img.height = N;
    for (int i = 0; i < 16; ++i) img.palette[i] = to_rgb8(mix(skin::teal(), skin::white(), 0.60 + 0.18 * i / 15.0));
    img.indices.resize(static_cast<size_t>(N) * N);
    // 2 x 2 ordered dither: the tile size is even, so the pattern tiles too.
    const double bayer[2][2] = {{0.125, 0.625}, {0.875, 0.375}};
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            // Fine diagonal twill, swelling and fading along the other
            // diagonal, over soft clouds.
            const double twill = std::cos(2 * kPi * 15 * (px + py) / N);
            const double swell = 0.6 + 0.4 * std::cos(2 * kPi * 2 * (px - py) / N);
            double v = 0.5 + 0.14 * twill * swell;
            v += 0.6 * periodic_fbm(px, py, N, N, 3, 3, 3, 57u);
            const int level = static_cast<int>(std::floor(clamp01(v) * 15 + bayer[y & 1][x & 1]));
            img.indices[static_cast<size_t>(y) * N + x] = static_cast<uint8_t>(std::clamp(level, 0, 15));
        }
    return img;
}

// ---- Small bitmaps 1001-1012 --------------------------------------------------------

inline Image24 flatten(const Canvas& canvas, Colour background) {
    Image24 img{canvas.width(), canvas.height(), {}};
    for (const Rgba8& p : canvas.pixels()) {
        const double a = p.a / 255.0;
        img.pixels.push_back(to_rgb8(mix(background, rgb(p.r, p.g, p.b), a)));
    }
    return img;
}

// A face band: vertical gradient with a light top edge and a dark bottom edge.
inline Image24 face_bitmap(int w, int h, Colour c, double top_light, double bottom_dark) {
    Canvas cv(w, h);
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, h); },
            vgradient(shade(c, top_light), shade(c, -bottom_dark), 0, h));
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, 1); }, shade(c, top_light + 0.25));
    cv.fill([&](Point p) { return sd_box(p, 0, h - 1, w, h); }, shade(c, -bottom_dark - 0.3));
    return flatten(cv, c);
}

inline Image24 thumb_bitmap(int w, int h) {
    Canvas cv(w, h);
    const Colour gold = rgb(236, 200, 64);
    cv.fill([&](Point p) { return sd_box(p, 0.5, 0.5, w - 0.5, h - 0.5, 2.5); },
            vgradient(shade(gold, 0.45), shade(gold, -0.25), 0, h));
    cv.fill([&](Point p) { return std::fabs(sd_box(p, 0.5, 0.5, w - 0.5, h - 0.5, 2.5)) - 0.5; }, rgb(120, 90, 20));
    return flatten(cv, mix(skin::teal(), skin::white(), 0.6));
}

inline Image24 channel_bitmap() {
    const int w = 64, h = 6;
    Canvas cv(w, h);
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, h); },
            vgradient(shade(skin::teal(), -0.4), shade(skin::teal(), 0.3), 0, h));
    return flatten(cv, skin::teal());
}

// The level display's look: a dark panel with a green grid and an envelope.
inline Image24 scope_bitmap() {
    const int w = 128, h = 32;
    Canvas cv(w, h);
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, h); }, vgradient(rgb(8, 40, 52), rgb(4, 20, 28), 0, h));
    for (int x = 8; x < w; x += 16) cv.fill([&](Point p) { return sd_box(p, x, 0, x + 1, h); }, rgb(0, 90, 40), 0.7);
    for (int y = 4; y < h; y += 8) cv.fill([&](Point p) { return sd_box(p, 0, y, w, y + 1); }, rgb(0, 90, 40), 0.7);
    std::vector<Point> env;
    for (int x = 0; x <= w; ++x) {
        const double t = x / static_cast<double>(w);
        env.push_back({double(x), h / 2.0 - (6 + 8 * std::fabs(std::sin(t * 9)) * std::exp(-t * 1.5))});
    }
    cv.fill([&](Point p) { return sd_polyline(p, env, 1.2); }, rgb(120, 255, 140));
    return flatten(cv, rgb(4, 20, 28));
}

// A rounded capsule like the group titles.
inline Image24 capsule_bitmap() {
    const int w = 96, h = 20;
    Canvas cv(w, h);
    const Colour light = shade(skin::teal(), 0.55);
    cv.fill([&](Point p) { return sd_box(p, 0.5, 0.5, w - 0.5, h - 0.5, h / 2.0 - 0.5); },
            vgradient(shade(light, 0.4), shade(light, -0.2), 0, h));
    return flatten(cv, mix(skin::teal(), skin::white(), 0.6));
}

// A banner: equaliser bars and a waveform on the teal panel.
inline Image24 banner_bitmap() {
    const int w = 128, h = 40;
    Canvas cv(w, h);
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, h); },
            vgradient(shade(skin::teal(), 0.2), shade(skin::teal(), -0.2), 0, h));
    const double heights[] = {14, 22, 30, 24, 17, 26, 12, 19};
    for (int i = 0; i < 8; ++i) {
        const double x0 = 8 + i * 7;
        cv.fill([&](Point p) { return sd_box(p, x0, h - 5 - heights[i], x0 + 5, h - 5, 1); },
                vgradient(skin::tab(), shade(skin::tab_off(), 0.2), 5, h - 5));
    }
    std::vector<Point> wave;
    for (int x = 66; x <= 122; ++x)
        wave.push_back({double(x), h / 2.0 + 11 * std::sin((x - 66) / 56.0 * 4 * kPi) * std::exp(-(x - 66) / 50.0)});
    cv.fill([&](Point p) { return sd_polyline(p, wave, 1.6); }, skin::white());
    return flatten(cv, skin::teal());
}

// The caption band of a frame: light top fading into the teal.
inline Image24 caption_bitmap() {
    const int w = 64, h = 33;
    Canvas cv(w, h);
    cv.fill([&](Point p) { return sd_box(p, 0, 0, w, h); },
            vgradient(shade(skin::teal(), 0.45), shade(skin::teal(), -0.1), 0, h));
    cv.fill([&](Point p) { return sd_box(p, 0, h - 6, w, h - 5); }, shade(skin::teal(), 0.5));
    return flatten(cv, skin::teal());
}

struct NamedBitmap {
    int id;
    std::string file;
    Image24 image;
};

inline std::vector<NamedBitmap> small_bitmaps() {
    return {
        {1001, "tab_face.bmp", face_bitmap(96, 24, skin::tab_off(), 0.35, 0.15)},
        {1002, "tab_face_selected.bmp", face_bitmap(96, 24, skin::tab(), 0.35, 0.15)},
        {1003, "button_face.bmp", face_bitmap(64, 24, skin::teal(), 0.30, 0.10)},
        {1004, "button_face_hot.bmp", face_bitmap(64, 24, skin::teal(), 0.50, 0.0)},
        {1005, "button_face_pressed.bmp", face_bitmap(64, 24, skin::teal(), 0.05, 0.35)},
        {1006, "thumb_horizontal.bmp", thumb_bitmap(11, 20)},
        {1007, "thumb_vertical.bmp", thumb_bitmap(20, 11)},
        {1008, "slider_channel.bmp", channel_bitmap()},
        {1009, "caption_band.bmp", caption_bitmap()},
        {1010, "level_display.bmp", scope_bitmap()},
        {1011, "title_capsule.bmp", capsule_bitmap()},
        {1012, "banner.bmp", banner_bitmap()},
    };
}

}  // namespace artgen
