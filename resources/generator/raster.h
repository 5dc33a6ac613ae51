// Drawing primitives of the art generator: a floating-point RGBA canvas,
// shapes given as signed distance functions (anti-aliased by their distance
// to the pixel centre), and periodic noise for textures that must tile.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace artgen {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r = 0, g = 0, b = 0;  // 0..1
};

inline Colour rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

inline Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

inline uint8_t to_byte(double v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0)); }

// Rounded to bytes, for comparing against 0..255 expectations.
struct Rgb8 {
    uint8_t r, g, b;
};
inline Rgb8 to_rgb8(Colour c) { return {to_byte(c.r), to_byte(c.g), to_byte(c.b)}; }

// Straight-alpha RGBA image, rows top to bottom.
struct Rgba8 {
    uint8_t r, g, b, a;
};

struct Point {
    double x, y;
};

// ---- Signed distances (negative inside) --------------------------------------

inline double sd_circle(Point p, Point c, double r) { return std::hypot(p.x - c.x, p.y - c.y) - r; }

inline double sd_box(Point p, double x0, double y0, double x1, double y1, double radius = 0) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    const double qx = std::fabs(p.x - cx) - hx, qy = std::fabs(p.y - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// Distance to the segment a-b, less half the stroke width: a capsule.
inline double sd_segment(Point p, Point a, Point b, double width) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy)) - width / 2;
}

inline double sd_polyline(Point p, const std::vector<Point>& pts, double width) {
    double d = 1e9;
    for (size_t i = 1; i < pts.size(); ++i) d = std::min(d, sd_segment(p, pts[i - 1], pts[i], width));
    return d;
}

// Filled polygon (any simple polygon), exact distance.
inline double sd_polygon(Point p, const std::vector<Point>& v) {
    double d = (p.x - v[0].x) * (p.x - v[0].x) + (p.y - v[0].y) * (p.y - v[0].y);
    double s = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const double ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const double wx = p.x - v[i].x, wy = p.y - v[i].y;
        const double t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0, 1.0);
        const double bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = ex * wy> ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

// A stroked circular arc. Angles are atan2 angles in the y-down frame, so
// the arc runs clockwise on screen from a0 to a1.
inline double sd_arc(Point p, Point c, double r, double a0, double a1, double width) {
    const double dx = p.x - c.x, dy = p.y - c.y;
    double a = std::atan2(dy, dx);
    auto norm = [](double v) {
        while (v < 0) v += 2 * kPi;
        while (v >= 2 * kPi) v -= 2 * kPi;
        return v;
    };
    const double span = norm(a1 - a0);
    if (norm(a - a0) <= span) return std::fabs(std::hypot(dx, dy) - r) - width / 2;
    const Point e0{c.x + r * std::cos(a0), c.y + r * std::sin(a0)};
    const Point e1{c.x + r * std::cos(a1), c.y + r * std::sin(a1)};
    return std::min(std::hypot(p.x - e0.x, p.y - e0.y), std::hypot(p.x - e1.x, p.y - e1.y)) - width / 2;
}

inline double sd_union(double a, double b) { return std::min(a, b); }
inline double sd_subtract(double a, double b) { return std::max(a, -b); }
inline double sd_intersect(double a, double b) { return std::max(a, b); }

// ---- Canvas --------------------------------------------------------------------

using Shape = std::function<double(Point)>;
using Paint = std::function<Colour(Point)>;

inline Paint solid(Colour c) {
    return [c](Point) { return c; };
}

// Vertical gradient between two colours over [y0, y1] in shape units.
inline Paint vgradient(Colour top, Colour bottom, double y0, double y1) {
    return [=](Point p) { return mix(top, bottom, clamp01((p.y - y0) / (y1 - y0))); };
}

// Premultiplied RGBA in doubles. Shapes are described in "design units"; the
// canvas maps them to pixels with a uniform scale, so one description serves
// every icon size.
class Canvas {
public:
    Canvas(int width, int height, double scale = 1.0)
        : w_(width), h_(height), scale_(scale), px_(static_cast<size_t>(width) * height * 4, 0.0) {}

    int width() const { return w_; }
    int height() const { return h_; }
    double scale() const { return scale_; }

    // A stroke width in design units, never thinner than min_px pixels: keeps
    // strokes visible when a 32-unit design is drawn at 16 pixels.
    double stroke(double units, double min_px = 1.0) const { return std::max(units, min_px / scale_); }

    void fill(const Shape& shape, const Paint& paint, double opacity = 1.0) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const Point p{(x + 0.5) / scale_, (y + 0.5) / scale_};
                const double d = shape(p) * scale_;
                const double cover = clamp01(0.5 - d) * opacity;
                if (cover <= 0) continue;
                blend(x, y, paint(p), cover);
            }
    }

    void fill(const Shape& shape, Colour c, double opacity = 1.0) { fill(shape, solid(c), opacity); }

    // Sets one pixel (pixel coordinates), source over.
    void blend(int x, int y, Colour c, double alpha) {
        double* q = &px_[(static_cast<size_t>(y) * w_ + x) * 4];
        q[0] = c.r * alpha + q[0] * (1 - alpha);
        q[1] = c.g * alpha + q[1] * (1 - alpha);
        q[2] = c.b * alpha + q[2] * (1 - alpha);
        q[3] = alpha + q[3] * (1 - alpha);
    }

    // Straight-alpha bytes, top row first.
    std::vector<Rgba8> pixels() const {
        std::vector<Rgba8> out(static_cast<size_t>(w_) * h_);
        for (size_t i = 0; i < out.size(); ++i) {
            const double a = px_[i * 4 + 3];
            const uint8_t a8 = to_byte(a);
            if (a8 == 0) {
                out[i] = {0, 0, 0, 0};
                continue;
            }
            out[i] = {to_byte(px_[i * 4] / a), to_byte(px_[i * 4 + 1] / a), to_byte(px_[i * 4 + 2] / a), a8};
        }
        return out;
    }

private:
    int w_, h_;
    double scale_;
    std::vector<double> px_;
};

// ---- Periodic noise --------------------------------------------------------------

inline uint32_t hash3(uint32_t a, uint32_t b, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ a * 0x85EBCA6Bu ^ b * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// 0..1 from a lattice point.
inline double lattice(int ix, int iy, uint32_t seed) {
    return hash3(static_cast<uint32_t>(ix), static_cast<uint32_t>(iy), seed) / 4294967296.0;
}

// Smooth value noise over a lattice of cx x cy cells that wraps around: u in
// [0, cx) and v in [0, cy) cover one period, so an image that maps its width
// onto cx cells and its height onto cy cells tiles without a seam.
inline double periodic_noise(double u, double v, int cx, int cy, uint32_t seed) {
    const double fu = std::floor(u), fv = std::floor(v);
    const int iu = static_cast<int>(fu), iv = static_cast<int>(fv);
    auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
    const int u0 = wrap(iu, cx), u1 = wrap(iu + 1, cx), v0 = wrap(iv, cy), v1 = wrap(iv + 1, cy);
    auto smooth = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double tu = smooth(u - fu), tv = smooth(v - fv);
    const double a = lattice(u0, v0, seed), b = lattice(u1, v0, seed);
    const double c = lattice(u0, v1, seed), d = lattice(u1, v1, seed);
    return (a + (b - a) * tu) + ((c + (d - c) * tu) - (a + (b - a) * tu)) * tv;
}

// Fractal sum of periodic noise, centred on 0 (roughly -0.5..0.5). x and y
// are pixels of a width x height tile; the coarsest octave has cx x cy cells.
inline double periodic_fbm(double x, double y, int width, int height, int cx, int cy, int octaves, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const int nx = cx << o, ny = cy << o;
        sum += amp * (periodic_noise(x * nx / width, y * ny / height, nx, ny, seed + 101u * o) - 0.5);
        norm += amp;
        amp *= 0.5;
    }
    return sum / norm;
}

}  // namespace artgen
