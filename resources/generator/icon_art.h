// The icons: simple glyphs designed on a 32 x 32 grid and drawn at 16 and 32
// pixels from the same description, with anti-aliased edges and alpha.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "resources/generator/image_files.h"
#include "resources/generator/raster.h"
#include "resources/generator/skin_art.h"

namespace artgen {

namespace ink {
inline Colour outline() { return rgb(16, 44, 56); }
inline Colour teal() { return rgb(14, 104, 132); }
inline Colour teal_light() { return rgb(96, 178, 204); }
inline Colour warm() { return rgb(226, 118, 72); }
inline Colour green() { return rgb(30, 158, 74); }
inline Colour red() { return rgb(214, 52, 44); }
inline Colour blue() { return rgb(44, 104, 190); }
inline Colour paper() { return rgb(252, 252, 248); }
inline Colour grey() { return rgb(196, 204, 208); }
}  // namespace ink

using Glyph = void (*)(Canvas&);

// The shape with an outline of the given width around it.
inline void outlined(Canvas& cv, const Shape& shape, const Paint& paint, Colour edge, double width) {
    const double w = cv.stroke(width);
    cv.fill([&](Point p) { return shape(p) - w; }, edge);
    cv.fill(shape, paint);
}

inline void check_box_frame(Canvas& cv) {
    outlined(
        cv, [](Point p) { return sd_box(p, 5, 5, 27, 27, 3); }, vgradient(ink::paper(), rgb(214, 228, 232), 5, 27),
        ink::teal(), 2);
}

inline void glyph_check_on(Canvas& cv) {
    check_box_frame(cv);
    const std::vector<Point> tick{{9.5, 16}, {14, 21}, {23, 10}};
    cv.fill([&](Point p) { return sd_polyline(p, tick, cv.stroke(4, 1.5)); }, ink::green());
}

inline void glyph_check_off(Canvas& cv) { check_box_frame(cv); }

inline void radio_frame(Canvas& cv) {
    outlined(
        cv,
        [](Point p) {
            return sd_circle(p, {16, 16}, 11);
        },
        vgradient(ink::paper(), rgb(214, 228, 232), 5, 27), ink::teal(), 2);
}

inline void glyph_radio_on(Canvas& cv) {
    radio_frame(cv);
    cv.fill([](Point p) { return sd_circle(p, {16, 16}, 5.5); }, vgradient(rgb(80, 200, 120), ink::green(), 10, 22));
}

inline void glyph_radio_off(Canvas& cv) { radio_frame(cv); }

// Sound effects: a loudspeaker with two waves.
inline void glyph_speaker(Canvas& cv) {
    const std::vector<Point> body{{4, 12}, {10, 12}, {18, 5}, {18, 27}, {10, 20}, {4, 20}};
    outlined(
        cv, [&](Point p) { return sd_polygon(p, body); }, vgradient(ink::teal_light(), ink::teal(), 5, 27),
        ink::outline(), 1.2);
    for (double r : {6.5, 11.5})
        cv.fill(
            [&, r](Point p) {
                return sd_arc(p, {17, 16}, r, -kPi / 3.2, kPi / 3.2, cv.stroke(2.6, 1.2));
            },
            ink::warm());
}

// Equaliser: vertical slider tracks with their knobs at different heights
// (three of them at 16 pixels, where four would run together).
inline void glyph_equaliser(Canvas& cv) {
    const bool small = cv.scale() < 0.75;
    const std::vector<double> xs = small ? std::vector<double>{7, 16, 25} : std::vector<double>{7, 13, 19, 25};
    const std::vector<double> knob = small ? std::vector<double>{19, 9, 22} : std::vector<double>{19, 9, 14, 23};
    const double half = small ? 4.2 : 3.2;
    for (size_t i = 0; i < xs.size(); ++i) {
        const double x = xs[i];
        cv.fill([&](Point p) { return sd_segment(p, {x, 4}, {x, 28}, cv.stroke(2)); }, ink::outline());
        outlined(
            cv, [&](Point p) { return sd_box(p, x - half, knob[i] - 2.6, x + half, knob[i] + 2.6, 1); },
            vgradient(rgb(250, 196, 160), ink::warm(), knob[i] - 2.6, knob[i] + 2.6), ink::outline(), 1);
    }
}

// Two beamed quavers.
inline void glyph_note(Canvas& cv) {
    const Colour c = ink::teal();
    cv.fill([](Point p) { return sd_circle(p, {9.5, 24}, 4.3); }, c);
    cv.fill([](Point p) { return sd_circle(p, {22.5, 21}, 4.3); }, c);
    cv.fill([&](Point p) { return sd_segment(p, {13.2, 24}, {13.2, 7}, cv.stroke(2)); }, c);
    cv.fill([&](Point p) { return sd_segment(p, {26.2, 21}, {26.2, 4}, cv.stroke(2)); }, c);
    const std::vector<Point> beam{{12.2, 6}, {27.2, 3}, {27.2, 8}, {12.2, 11}};
    cv.fill([&](Point p) { return sd_polygon(p, beam); }, c);
}

// A small level display: a green waveform on a dark panel.
inline void glyph_waveform(Canvas& cv) {
    outlined(
        cv, [](Point p) { return sd_box(p, 3, 6, 29, 26, 3); }, vgradient(rgb(16, 64, 80), rgb(6, 30, 40), 6, 26),
        ink::outline(), 1);
    std::vector<Point> wave;
    for (int i = 0; i <= 44; ++i) {
        const double x = 5 + i * 0.5;
        wave.push_back({x, 16 - 6.5 * std::sin((x - 5) / 22 * 3 * kPi) * std::exp(-(x - 5) / 30)});
    }
    cv.fill([&](Point p) { return sd_polyline(p, wave, cv.stroke(1.8)); }, rgb(120, 250, 140));
}

// The window's own icon: a teal tile with white level bars.
inline void glyph_app(Canvas& cv) {
    cv.fill([](Point p) { return sd_box(p, 1.5, 1.5, 30.5, 30.5, 6); },
            vgradient(ink::teal_light(), skin::teal(), 1.5, 30.5));
    const double h[] = {8, 15, 21, 13, 17};
    for (int i = 0; i < 5; ++i) {
        const double x = 6.5 + i * 4.5;
        cv.fill([&](Point p) { return sd_box(p, x, 25 - h[i], x + 3, 25, 0.8); },
                vgradient(rgb(255, 236, 220), ink::paper(), 4, 25));
    }
    cv.fill([](Point p) { return sd_box(p, 5, 26, 27, 27.5); }, skin::tab());
}

inline void glyph_save(Canvas& cv) {
    const std::vector<Point> disk{{4, 4}, {24, 4}, {28, 8}, {28, 28}, {4, 28}};
    outlined(
        cv, [&](Point p) { return sd_polygon(p, disk) - 0.5; }, vgradient(rgb(80, 136, 210), ink::blue(), 4, 28),
        rgb(20, 48, 96), 1.2);
    cv.fill([](Point p) { return sd_box(p, 9, 4, 22, 12, 0.5); }, ink::grey());
    cv.fill([](Point p) { return sd_box(p, 17.5, 5.5, 20.5, 10.5); }, rgb(60, 72, 84));
    cv.fill([](Point p) { return sd_box(p, 8, 16, 24, 28, 1); }, ink::paper());
    for (double y : {20.0, 24.0})
        cv.fill([&, y](Point p) { return sd_box(p, 10.5, y - 0.6, 21.5, y + 0.6); }, ink::grey());
}

inline void glyph_delete(Canvas& cv) {
    for (int pass = 0; pass < 2; ++pass) {
        const double w = pass == 0 ? cv.stroke(6.5, 2.5) : cv.stroke(4, 1.5);
        const Colour c = pass == 0 ? rgb(120, 20, 16) : ink::red();
        cv.fill(
            [&](Point p) {
                return sd_union(sd_segment(p, {8, 8}, {24, 24}, w), sd_segment(p, {24, 8}, {8, 24}, w));
            },
            c);
    }
}

// Back: a U-turn arrow pointing left.
inline void glyph_back(Canvas& cv) {
    const double w = cv.stroke(3.4, 1.5);
    cv.fill(
        [&](Point p) {
            double d = sd_arc(p, {19, 17}, 8, -kPi / 2, kPi / 2, w);
            d = sd_union(d, sd_segment(p, {19, 9}, {11, 9}, w));
            d = sd_union(d, sd_segment(p, {19, 25}, {9, 25}, w));
            return d;
        },
        ink::blue());
    const std::vector<Point> head{{3, 9}, {12, 2.5}, {12, 15.5}};
    cv.fill([&](Point p) { return sd_polygon(p, head); }, ink::blue());
}

inline void glyph_confirm(Canvas& cv) {
    cv.fill(
        [](Point p) {
            return sd_circle(p, {16, 16}, 13.5);
        },
        vgradient(rgb(90, 200, 120), rgb(20, 128, 60), 2, 30));
    const std::vector<Point> tick{{9, 16.5}, {14, 21.5}, {23.5, 10.5}};
    cv.fill([&](Point p) { return sd_polyline(p, tick, cv.stroke(3.6, 1.5)); }, ink::paper());
}

// Default: a circular arrow, the usual "reset" sign.
inline void glyph_default(Canvas& cv) {
    const double a0 = -kPi / 2 + 0.45, a1 = a0 + 2 * kPi - 1.25;
    const double r = 10, w = cv.stroke(3.6, 2.0);
    cv.fill([&](Point p) { return sd_arc(p, {16, 16.5}, r, a0, a1, w); }, ink::teal());
    // Arrow head at the end of the arc, along its clockwise tangent.
    const Point end{16 + r * std::cos(a1), 16.5 + r * std::sin(a1)};
    const Point t{-std::sin(a1), std::cos(a1)}, n{std::cos(a1), std::sin(a1)};
    const std::vector<Point> head{{end.x + t.x * 6.5, end.y + t.y * 6.5},
                                  {end.x - n.x * 5.5 - t.x * 1.5, end.y - n.y * 5.5 - t.y * 1.5},
                                  {end.x + n.x * 5.5 - t.x * 1.5, end.y + n.y * 5.5 - t.y * 1.5}};
    cv.fill([&](Point p) { return sd_polygon(p, head); }, ink::teal());
}

inline void glyph_close(Canvas& cv) {
    cv.fill(
        [](Point p) {
            return sd_circle(p, {16, 16}, 13.5);
        },
        vgradient(rgb(240, 110, 96), rgb(180, 36, 30), 2, 30));
    const double w = cv.stroke(3.6, 1.5);
    cv.fill(
        [&](Point p) {
            return sd_union(sd_segment(p, {11, 11}, {21, 21}, w), sd_segment(p, {21, 11}, {11, 21}, w));
        },
        ink::paper());
}

// Adjust: three horizontal sliders.
inline void glyph_adjust(Canvas& cv) {
    const double ys[] = {7, 16, 25};
    const double knob[] = {20, 10, 16};
    const double r = cv.scale() < 0.75 ? 4.2 : 3.6;
    for (int i = 0; i < 3; ++i) {
        const double y = ys[i];
        cv.fill([&](Point p) { return sd_segment(p, {3, y}, {29, y}, cv.stroke(2.2)); }, ink::outline());
        outlined(
            cv,
            [&](Point p) {
                return sd_circle(p, {knob[i], y}, r);
            },
            vgradient(rgb(250, 196, 160), ink::warm(), y - r, y + r), ink::outline(), 1);
    }
}

// A preset list: a sheet with lines and a star.
inline void glyph_preset(Canvas& cv) {
    outlined(
        cv, [](Point p) { return sd_box(p, 5, 3, 25, 29, 2); }, solid(ink::paper()), ink::teal(), 1.5);
    for (double y : {9.0, 14.0, 19.0})
        cv.fill([&, y](Point p) { return sd_box(p, 9, y - 0.9, 21, y + 0.9); }, ink::teal_light());
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const double a = -kPi / 2 + i * kPi / 5, r = i % 2 == 0 ? 7.5 : 3.2;
        star.push_back({23 + r * std::cos(a), 23.5 + r * std::sin(a)});
    }
    outlined(
        cv, [&](Point p) { return sd_polygon(p, star); }, solid(rgb(250, 200, 60)), rgb(150, 90, 20), 1);
}

inline IconImage render_icon(Glyph glyph, int size) {
    Canvas cv(size, size, size / 32.0);
    glyph(cv);
    return {size, cv.pixels()};
}

struct NamedIcon {
    int id;
    std::string file;
    Glyph glyph;
};

inline std::vector<NamedIcon> icon_catalogue() {
    return {
        {1014, "tab_effects.ico", glyph_speaker}, {1015, "tab_equaliser.ico", glyph_equaliser},
        {1016, "note.ico", glyph_note},           {1017, "waveform.ico", glyph_waveform},
        {1018, "audiomix.ico", glyph_app},        {1019, "save.ico", glyph_save},
        {1020, "delete.ico", glyph_delete},       {1021, "check_on.ico", glyph_check_on},
        {1022, "check_off.ico", glyph_check_off}, {1023, "radio_on.ico", glyph_radio_on},
        {1024, "radio_off.ico", glyph_radio_off}, {1025, "preset.ico", glyph_preset},
        {1026, "back.ico", glyph_back},           {1027, "confirm.ico", glyph_confirm},
        {1028, "default.ico", glyph_default},     {1029, "close.ico", glyph_close},
        {1030, "adjust.ico", glyph_adjust},
    };
}

inline Bytes icon_file(Glyph glyph) { return encode_ico({render_icon(glyph, 16), render_icon(glyph, 32)}); }

}  // namespace artgen
