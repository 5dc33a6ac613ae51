#include "controls/slider_geometry.h"

#include "controls/colour.h"

namespace audiomix {

namespace {

SliderLine line(uint32_t colour, std::initializer_list<PixelPoint> points) {
    SliderLine l{colour, 0, {}};
    for (const PixelPoint& p : points) l.points[l.count++] = p;
    return l;
}

PixelRect transpose(const PixelRect& r) { return {r.top, r.left, r.bottom, r.right}; }
PixelPoint transpose(const PixelPoint& p) { return {p.y, p.x}; }
void transpose(SliderLine& l) {
    for (int i = 0; i < l.count; ++i) l.points[i] = transpose(l.points[i]);
}

// The thumb of a horizontal slider (rectangle taller than wide).
ThumbFigure upright_thumb(PixelRect r, ThumbShape shape, bool enabled, const SliderColours& c) {
    ThumbFigure f{};
    const int w = r.width();
    const int k = w / 2;
    const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    f.frame = r;
    if (shape == ThumbShape::Both) {
        f.rounded = true;
        r = {l + 1, t + 1, rt - 1, b - 1};
        f.bevel = r;
        f.pixelCount = 4;
        const PixelPoint px[4] = {
            {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
        const uint32_t col[4] = {c.light2, c.thumb, c.dark2, c.thumb};
        for (int i = 0; i < 4; ++i) {
            f.pixels[i] = px[i];
            f.pixelColours[i] = col[i];
        }
    } else if (shape == ThumbShape::PointUp) {
        const PixelPoint poly[9] = {{l, t + k - 1},      {l, b - 2},  {l + 1, b - 1}, {rt - 2, b - 1}, {rt - 1, b - 2},
                                    {rt - 1, t + k - 1}, {rt - k, t}, {l + k - 1, t}, {l, t + k - 1}};
        f.polygonCount = 9;
        for (int i = 0; i < 9; ++i) f.polygon[i] = poly[i];
        f.floodSeed = {l + k, t + k};
        if (w > 5) {
            f.bevelLineCount = 3;
            f.bevelLines[0] = line(c.light1, {{l + 1, b - 2}, {l + 1, t + k - 1}});
            f.bevelLines[1] = line(c.light2, {{l + 1, t + k - 1}, {l + k, t}});
            f.bevelLines[2] = line(c.dark1, {{l + 1, b - 2}, {rt - 2, b - 2}, {rt - 2, t + k - 1}});
        }
        r = {l + 1, t + 2, rt - 1, b};
    } else {
        const PixelPoint poly[9] = {{l, t + 1},      {l, b - k},      {l + k - 1, b - 1},
                                    {rt - k, b - 1}, {rt - 1, b - k}, {rt - 1, t + 1},
                                    {rt - 2, t},     {l, t},          {l, t + 1}};
        f.polygonCount = 9;
        for (int i = 0; i < 9; ++i) f.polygon[i] = poly[i];
        f.floodSeed = {l + k, t + k};
        if (w > 5) {
            f.pixelCount = 1;
            f.pixels[0] = {l + 1, t + 1};
            f.pixelColours[0] = c.light2;
            f.bevelLineCount = 3;
            f.bevelLines[0] = line(c.light1, {{l + 1, t + 2}, {l + 1, b - k}});
            f.bevelLines[1] = line(c.dark1, {{l + k, b - 2}, {rt - 2, b - k}});
            f.bevelLines[2] = line(c.dark2, {{rt - 2, t + 1}, {rt - 2, b - k}});
        }
        r = {l + 1, t, rt - 1, b - 2};
    }
    if (enabled && w >= 6) {
        const int pairs = w > 9 ? 4 : 2;  // light lines; dark lines sit between them
        for (int i = 0; i < pairs; ++i) {
            const int x = r.left + 1 + 2 * i;
            f.grip[f.gripCount++] = line(c.light1, {{x, r.top + 5}, {x, r.bottom - 5}});
            f.gripDots[f.gripDotCount++] = {x, r.top + 4};
        }
        for (int i = 0; i < pairs - 1; ++i) {
            const int x = r.left + 2 + 2 * i;
            f.grip[f.gripCount++] = line(c.dark2, {{x, r.top + 5}, {x, r.bottom - 4}});
        }
    }
    return f;
}

}  // namespace

uint32_t slider_lighten(uint32_t colour, int amount) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int v = static_cast<int>((colour >> shift) & 0xff);
        const int lifted = v + amount <= 255 ? v + amount : v;
        out |= static_cast<uint32_t>(lifted) << shift;
    }
    return out;
}

uint32_t slider_mid_colour(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int va = static_cast<int>((a >> shift) & 0xff);
        const int vb = static_cast<int>((b >> shift) & 0xff);
        const int diff = va - vb;
        // Arithmetic shift: -1 / 2 rounds to -1, not 0.
        const int half = diff >= 0 ? diff / 2 : -((-diff + 1) / 2);
        out |= static_cast<uint32_t>((half + vb) & 0xff) << shift;
    }
    return out;
}

SliderColours slider_colours(uint32_t thumb, uint32_t shadow3d, uint32_t btnFace, uint32_t darkShadow3d,
                             uint32_t hilight3d) {
    SliderColours c{};
    c.thumb = thumb;
    c.light1 = slider_lighten(thumb, 51);
    c.light2 = slider_lighten(c.light1, 51);
    c.dark1 = DarkenColor(thumb, 51);
    c.dark2 = DarkenColor(c.dark1, 51);
    c.shadowMid = slider_mid_colour(shadow3d, btnFace);
    c.darkMid = slider_mid_colour(darkShadow3d, shadow3d);
    c.highlight = hilight3d;
    return c;
}

bool slider_channel_vertical(const PixelRect& channelRect, bool styleVertical) {
    PixelRect r = channelRect;
    if (styleVertical && r.height() > r.width()) r = transpose(r);
    return r.height() > r.width();
}

ChannelFigure slider_channel(const PixelRect& item, bool vertical, const SliderRange& range,
                             const SliderColours& colours, uint32_t channelColour, bool scaleMarks) {
    (void)channelColour;  // the painter's brush and bevel colour; geometry does not depend on it
    ChannelFigure f{};
    PixelRect c = item;
    if (range.min != 0 || range.max != 0) {
        c.top += 1;
        c.bottom -= 1;
    }
    if (vertical) {
        c.left += 1;
        c.right -= 1;
        c.bottom += 1;
    } else {
        c.top += 1;
        c.bottom -= 1;
    }
    f.bevel = c;
    f.rounded = (vertical ? c.height() : c.width()) >= 4;
    c.left -= 1;
    c.top -= 1;
    c.right += 1;
    f.shadowEdge = line(colours.shadowMid,
                        {{c.left, c.bottom - 2}, {c.left, c.top + 2}, {c.left + 2, c.top}, {c.right - 2, c.top}});
    f.highlightEdge = line(colours.highlight, {{c.left + 1, c.bottom - 1},
                                               {c.left + 2, c.bottom},
                                               {c.right - 2, c.bottom},
                                               {c.right - 2, c.bottom - 1},
                                               {c.right - 1, c.bottom - 1},
                                               {c.right - 1, c.top + 2},
                                               {c.right - 3, c.top}});
    if (range.selStart < range.selEnd && range.max != range.min) {
        PixelRect s = item;
        const double span = static_cast<double>(range.max) - range.min;
        const double length = vertical ? s.width() : s.height();
        const int p0 = static_cast<int>((range.selStart - static_cast<double>(range.min)) * length / span);
        const int p1 = static_cast<int>((range.selEnd - static_cast<double>(range.min)) * length / span);
        if (vertical) {
            s.left = item.left + p0;
            s.right = item.left + p1;
            s = {s.left + 2, s.top + 2, s.right - 2, s.bottom - 1};
        } else {
            s.top = item.top + p0;
            s.bottom = item.top + p1;
            s = {s.left + 1, s.top + 2, s.right - 1, s.bottom - 2};
        }
        f.hasSelection = true;
        f.selection = s;
    }
    if (scaleMarks) {
        const int d = c.height() / 7;
        f.markCount = 6;
        for (int n = 1; n <= 6; ++n)
            f.marks[n - 1] = line(colours.highlight, {{c.left, c.top + d * n}, {c.right, c.top + d * n}});
    }
    return f;
}

ThumbFigure slider_thumb(const PixelRect& r, ThumbShape shape, bool enabled, const SliderColours& colours) {
    if (r.height() > r.width()) return upright_thumb(r, shape, enabled, colours);
    ThumbFigure f = upright_thumb(transpose(r), shape, enabled, colours);
    f.frame = transpose(f.frame);
    f.bevel = transpose(f.bevel);
    for (int i = 0; i < f.polygonCount; ++i) f.polygon[i] = transpose(f.polygon[i]);
    f.floodSeed = transpose(f.floodSeed);
    for (int i = 0; i < f.pixelCount; ++i) f.pixels[i] = transpose(f.pixels[i]);
    for (int i = 0; i < f.bevelLineCount; ++i) transpose(f.bevelLines[i]);
    for (int i = 0; i < f.gripCount; ++i) transpose(f.grip[i]);
    for (int i = 0; i < f.gripDotCount; ++i) f.gripDots[i] = transpose(f.gripDots[i]);
    return f;
}

}  // namespace audiomix
