#include "controls/frame_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/colour.h"

namespace audiomix {

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
uint8_t amount_of(int v) { return static_cast<uint8_t>(clamp_int(v, 0, 255)); }

// Button slots, as right-edge offsets.
constexpr PixelRect kSlot1{2, 3, 23, 24};
constexpr PixelRect kSlot2{24, 3, 45, 24};
constexpr PixelRect kSlot3{47, 3, 68, 24};
constexpr PixelRect kSlot4{70, 3, 91, 24};

template <class F>
void walk(int last, int step, F&& group) {
    int previous = 0;
    for (int i = 0; i <= last; ++i) {
        if ((i % step == 0 && i > 0) || i == last) {
            group(previous, i);
            previous = i;
        }
    }
}

void emit(FillSink& sink, int left, int top, int right, int bottom, uint32_t colour) {
    const PixelRect rect{left, top, right, bottom};
    if (!rect.empty()) sink({rect, colour});
}

// Corner rounding of the upper caption band at group index i of an h-row band.
int caption_corner_inset(int i, int h) {
    if (i < 6) return static_cast<int>((1.0 - std::sin(i / 12.0 * kHalfPi)) * 6.0);
    if (i > h - 4) return static_cast<int>((1.0 - std::sin((h - i) / 8.0 * kHalfPi)) * 4.0);
    return 0;
}

constexpr int kBottomCornerInsets[] = {3, 1, 1};  // last row, the one above, ...
constexpr int kBottomCornerRows = static_cast<int>(sizeof kBottomCornerInsets / sizeof *kBottomCornerInsets);

Stroke line(uint32_t colour, int width, int x0, int y0, int x1, int y1) {
    Stroke s{};
    s.colour = colour;
    s.width = width;
    s.count = 2;
    s.points[0] = {x0, y0};
    s.points[1] = {x1, y1};
    return s;
}

template <size_t N>
Stroke polyline(uint32_t colour, int width, const PixelPoint (&points)[N]) {
    static_assert(N <= Stroke::kMaxPoints, "polyline too long");
    Stroke s{};
    s.colour = colour;
    s.width = width;
    s.count = static_cast<int32_t>(N);
    for (size_t k = 0; k < N; ++k) s.points[k] = points[k];
    return s;
}

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kHotRed = 0x3737FF;  // RGB(255, 55, 55)
constexpr uint32_t kGreen = 0x37FF37;   // RGB(55, 255, 55)
constexpr uint32_t kYellow = 0x37FFFF;  // RGB(255, 255, 55)

}  // namespace

FrameGeometry frame_setup_geometry() {
    FrameGeometry g{};
    g.captionHeight = 33;
    g.leftBorder = 10;
    g.rightBorder = 12;
    g.bottomBorder = 13;
    g.iconLeft = 10;
    g.iconTop = 5;
    g.closeButton = kSlot1;
    g.maximiseButton = kSlot2;
    g.minimiseButton = kSlot2;
    g.extraButton = kSlot2;
    return g;
}

void frame_place_buttons(FrameGeometry& geometry, const FrameStyle& style) {
    geometry.minimiseButton = style.maximiseBox ? kSlot3 : kSlot2;
    const int boxes = (style.minimiseBox ? 1 : 0) + (style.maximiseBox ? 1 : 0);
    geometry.extraButton = boxes == 0 ? kSlot2 : (boxes == 1 ? kSlot3 : kSlot4);
}

PixelRect frame_button_rect(const PixelRect& offsets, int32_t window_width) {
    return {window_width - offsets.right - 2, offsets.top, window_width - offsets.left - 2, offsets.bottom};
}

bool frame_has_button(const FrameState& state, CaptionButton button) {
    switch (button) {
        case CaptionButton::Close: return true;
        case CaptionButton::Maximise: return state.style.maximiseBox;
        case CaptionButton::Minimise: return state.style.minimiseBox;
        case CaptionButton::Extra: return state.closeNotifiesOwner;
    }
    return false;
}

PixelRect frame_caption_button_rect(const FrameGeometry& geometry, CaptionButton button, int32_t window_width) {
    switch (button) {
        case CaptionButton::Close: return frame_button_rect(geometry.closeButton, window_width);
        case CaptionButton::Maximise: return frame_button_rect(geometry.maximiseButton, window_width);
        case CaptionButton::Minimise: return frame_button_rect(geometry.minimiseButton, window_width);
        case CaptionButton::Extra: return frame_button_rect(geometry.extraButton, window_width);
    }
    return {0, 0, 0, 0};
}

int frame_button_hit(CaptionButton button) {
    switch (button) {
        case CaptionButton::Close: return kHitClose;
        case CaptionButton::Maximise: return kHitMaxButton;
        case CaptionButton::Minimise: return kHitMinButton;
        case CaptionButton::Extra: return kHitMenu;
    }
    return kHitNowhere;
}

int frame_hit_test(const FrameGeometry& g, const FrameState& state, int32_t w, int32_t h, PixelPoint p,
                   int32_t small_icon_width, int32_t small_icon_height) {
    for (CaptionButton button :
         {CaptionButton::Close, CaptionButton::Minimise, CaptionButton::Maximise, CaptionButton::Extra}) {
        if (frame_has_button(state, button) && frame_caption_button_rect(g, button, w).contains(p.x, p.y))
            return frame_button_hit(button);
    }
    const PixelRect system_menu{g.iconLeft, g.iconTop, g.iconLeft + small_icon_width, g.iconTop + small_icon_height};
    if (system_menu.contains(p.x, p.y)) return kHitSysMenu;

    if (state.style.thickFrame && !state.maximised) {
        const int cap = g.captionHeight, lb = g.leftBorder, rb = g.rightBorder, bb = g.bottomBorder;
        struct Zone {
            PixelRect rect;
            int hit;
        };
        const Zone zones[] = {
            {{0, 0, lb, cap}, kHitTopLeft},        {{w - lb, 0, w, cap}, kHitTopRight},
            {{0, h - bb, lb, h}, kHitBottomLeft},  {{w - rb, h - bb, w, h}, kHitBottomRight},
            {{0, cap, lb, h - bb}, kHitLeft},      {{w - rb, cap, w, h - bb}, kHitRight},
            {{lb, h - bb, w - rb, h}, kHitBottom}, {{lb, 0, w - rb, bb}, kHitTop},
        };
        for (const Zone& zone : zones)
            if (zone.rect.contains(p.x, p.y)) return zone.hit;
    }
    const PixelRect caption{g.leftBorder, g.iconTop, w - g.rightBorder, g.captionHeight};
    if (caption.contains(p.x, p.y)) return kHitCaption;
    return kHitClient;
}

PixelRect frame_client_rect(const FrameGeometry& g, const PixelRect& window) {
    return {window.left + g.leftBorder, window.top + g.captionHeight, window.right - g.rightBorder,
            window.bottom - g.bottomBorder};
}

int32_t frame_notch_width(const FrameState& state) {
    if (state.style.maximiseBox) return 92;
    return state.closeNotifiesOwner ? 72 : 42;
}

uint32_t frame_caption_colour(uint32_t skin, bool active) {
    const uint32_t dimmed = DarkenColor(skin, 31);
    return active ? LightenColor(dimmed, 34) : dimmed;
}

void frame_caption_band_321(const PixelRect& band, uint32_t c, int32_t notch_width, FillSink sink) {
    const int h = band.height();
    if (h <= 0) return;
    const int l = band.left, r = band.right, t = band.top;
    walk(h, clamp_int(h / 20, 1, 5), [&](int p, int i) {
        const int n = 255 * (h - i) / h;
        const double curve = 1.2 - std::cos(static_cast<double>(i) / h * kHalfPi);
        const int d = static_cast<int>(curve * h + notch_width);
        const int inset = caption_corner_inset(i, h);
        const int x_left = std::max(l + inset, 0);
        const int x_right = r - inset;
        emit(sink, x_left, t + p, l + 32, t + i, LightenColor(c, amount_of(n / 2)));
        emit(sink, l + 32, t + p, r - d, t + i, LightenColor(c, amount_of((255 - clamp_int(n, 10, 185)) * 2 / 3)));
        emit(sink, r - d, t + p, x_right, t + i, LightenColor(c, amount_of(clamp_int(n, 20, 127) * 2 / 3)));
    });
}

void frame_caption_band_327(const PixelRect& band, uint32_t c, FillSink sink) {
    const int l = band.left, t = band.top, r = band.right, h = band.height();
    emit(sink, l, t, r, t + 1, LightenColor(c, 91));
    emit(sink, l, t + 1, r, t + 2, LightenColor(c, 121));
    emit(sink, l, t + 2, r, t + h, LightenColor(c, 1));
    emit(sink, l + 3, t + h - 2, r - 3, t + h, LightenColor(c, 71));
    emit(sink, l + 6, t + h - 1, r - 6, t + h, LightenColor(c, 121));
}

void frame_caption(int32_t w, uint32_t skin, uint32_t shadow_colour, const FrameState& state, FillSink sink) {
    emit(sink, 0, 0, w, 32, shadow_colour);
    const uint32_t colour = frame_caption_colour(skin, state.active);
    frame_caption_band_321({1, 1, w - 1, 27}, colour, frame_notch_width(state), sink);
    frame_caption_band_327({1, 27, w - 1, 33}, colour, sink);
}

PixelRect frame_caption_text_rect(const FrameGeometry& g, const FrameState& state, int32_t w,
                                  int32_t small_icon_width) {
    int right = w - g.rightBorder;
    for (CaptionButton button :
         {CaptionButton::Close, CaptionButton::Maximise, CaptionButton::Minimise, CaptionButton::Extra}) {
        if (frame_has_button(state, button)) right = std::min(right, frame_caption_button_rect(g, button, w).left - 6);
    }
    return {g.iconLeft + small_icon_width + 6, 1, right, 27};
}

ButtonFace frame_button_face_look(CaptionButton button, ButtonLook look, uint32_t skin) {
    switch (look) {
        case ButtonLook::Hot: return {7, button == CaptionButton::Close ? kHotRed : LightenColor(skin, 121)};
        case ButtonLook::Pressed: return {8, skin};
        case ButtonLook::Normal: break;
    }
    return {8, DarkenColor(InvertColor(skin), 17)};
}

void frame_button_face(const PixelRect& r, uint32_t colour, int style, FillSink sink) {
    const int h = r.height();
    const int half = h / 2;
    if (half == 0 || r.empty()) return;
    walk(h - 1, clamp_int(h / 20, 1, 3), [&](int p, int i) {
        const int a = clamp_int(255 * std::abs(i - half) / half, 5, 215);
        emit(sink, r.left, r.top + p, r.right, r.top + i, DarkenColor(colour, amount_of(style == 7 ? 255 - a : a)));
    });
}

std::array<Stroke, 12> frame_button_border(const PixelRect& r) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    return {{
        line(kBlack, 1, L + 3, T + 2, R - 1, T + 2),
        line(kBlack, 1, R, T + 3, R, B - 1),
        line(kBlack, 1, L + 3, B, R - 1, B),
        line(kBlack, 1, L + 2, T + 3, L + 2, B - 1),
        line(kWhite, 1, L + 2, T + 1, R - 2, T + 1),
        line(kWhite, 1, R - 1, T + 2, R - 1, B - 1),
        line(kWhite, 1, R - 2, B - 1, L + 2, B - 1),
        line(kWhite, 1, L + 1, B - 2, L + 1, T + 2),
        line(kWhite, 1, L + 1, T + 2, L + 2, T + 1),
        line(kWhite, 1, R - 2, T + 1, R - 1, T + 2),
        line(kWhite, 1, R - 2, B - 1, R - 1, B - 2),
        line(kWhite, 1, L + 2, B - 1, L + 1, B - 2),
    }};
}

ButtonPicture frame_button_picture_of(CaptionButton button, bool maximised) {
    switch (button) {
        case CaptionButton::Close: return ButtonPicture::Close;
        case CaptionButton::Maximise: return maximised ? ButtonPicture::Restore : ButtonPicture::Maximise;
        case CaptionButton::Minimise: return ButtonPicture::Minimise;
        case CaptionButton::Extra: return ButtonPicture::Extra;
    }
    return ButtonPicture::Close;
}

PictureShapes frame_button_picture(ButtonPicture picture, const PixelRect& r, uint32_t c) {
    const int a = r.left + 1, b = r.top + 1, cc = r.right - 1, d = r.bottom - 1;
    const uint32_t inverse = InvertColor(c);
    PictureShapes out;
    auto add = [&](const Stroke& s) { out.strokes[out.strokeCount++] = s; };
    auto square = [&](int left, int top, uint32_t colour) {
        out.fills[out.fillCount++] = {{left, top, left + 5, top + 5}, colour};
    };
    switch (picture) {
        case ButtonPicture::Close:
            add(line(inverse, 2, a + 4, b + 4, cc - 3, d - 3));
            add(line(inverse, 2, a + 4, d - 3, cc - 3, b + 4));
            add(line(kWhite, 1, a + 5, b + 5, cc - 3, d - 3));
            add(line(kWhite, 1, a + 5, d - 4, cc - 3, b + 4));
            break;
        case ButtonPicture::Maximise:
            add(polyline(kWhite, 2,
                         {{a + 3, b + 6}, {cc - 4, b + 6}, {cc - 4, d - 2}, {a + 4, d - 2}, {a + 4, b + 5}}));
            add(polyline(inverse, 1,
                         {{a + 4, b + 6}, {cc - 4, b + 6}, {cc - 4, d - 2}, {a + 4, d - 2}, {a + 4, b + 6}}));
            break;
        case ButtonPicture::Restore:
            add(line(kWhite, 2, a + 6, b + 6, cc - 4, b + 6));
            add(line(kWhite, 2, a + 4, b + 10, cc - 6, b + 10));
            add(polyline(inverse, 1, {{cc - 4, b + 6}, {cc - 4, d - 4}, {cc - 6, d - 4}}));
            add(line(inverse, 1, a + 6, b + 5, a + 6, b + 9));
            add(line(inverse, 1, a + 6, b + 6, cc - 4, b + 6));
            add(line(inverse, 1, a + 4, b + 10, cc - 6, b + 10));
            add(polyline(inverse, 1, {{cc - 6, b + 9}, {cc - 6, d - 2}, {a + 4, d - 2}, {a + 4, b + 8}}));
            break;
        case ButtonPicture::Minimise:
            add(line(kWhite, 2, a + 4, d - 5, a + 12, d - 5));
            add(line(inverse, 1, a + 4, d - 6, a + 13, d - 6));
            break;
        case ButtonPicture::Extra:
            square(a + 5, b + 5, kHotRed);
            square(a + 10, b + 5, kGreen);
            square(a + 5, b + 10, inverse);
            square(a + 10, b + 10, kYellow);
            break;
    }
    return out;
}

void frame_background(const FrameGeometry& g, int32_t w, int32_t h, uint32_t skin, bool active, FillSink sink) {
    const uint32_t body = active ? skin : DarkenColor(skin, 24);
    const uint32_t outline = DarkenColor(body, 60);
    const uint32_t highlight = LightenColor(body, 40);
    const uint32_t client_shadow = DarkenColor(body, 40);
    const uint32_t client_light = LightenColor(body, 56);

    emit(sink, 0, 0, w, h, body);

    // The borders are shaded like a rounded rim, lightest along their middle
    // and darker towards both edges; the sides meet the bottom in a mitre.
    const uint32_t rim = LightenColor(body, 30);
    auto rim_shade = [&](int depth, int size) {
        const int span = size - 1;
        const int offset = std::abs(2 * depth - span);  // 0 in the middle, span at the edges
        return DarkenColor(rim, amount_of(span > 0 ? offset * 72 / span : 0));
    };
    const int bottom = g.bottomBorder;
    for (int d = 0; d < bottom; ++d) emit(sink, 0, h - 1 - d, w, h - d, rim_shade(d, bottom));
    for (int c = 0; c < g.leftBorder; ++c)
        emit(sink, c, g.captionHeight, c + 1, h - c * bottom / g.leftBorder, rim_shade(c, g.leftBorder));
    for (int c = 0; c < g.rightBorder; ++c)
        emit(sink, w - 1 - c, g.captionHeight, w - c, h - c * bottom / g.rightBorder, rim_shade(c, g.rightBorder));

    // Outline along the region's edge: where the edge steps between rows the
    // run is widened to the neighbouring row's inset so it stays connected.
    for (int y = 0; y < h; ++y) {
        const int inset = frame_outline_inset(y, h);
        if (y == 0 || y == h - 1) {
            emit(sink, inset, y, w - inset, y + 1, outline);
            continue;
        }
        const int reach = std::max({inset + 1, frame_outline_inset(y - 1, h), frame_outline_inset(y + 1, h)});
        emit(sink, inset, y, reach, y + 1, outline);
        emit(sink, w - reach, y, w - inset, y + 1, outline);
    }

    // Inner highlight, one pixel inside the outline.
    const int sides_end = h - kBottomCornerRows;
    emit(sink, 1, g.captionHeight, 2, sides_end, highlight);
    emit(sink, w - 2, g.captionHeight, w - 1, sides_end, highlight);
    emit(sink, kBottomCornerInsets[0], h - 2, w - kBottomCornerInsets[0], h - 1, highlight);

    // The client area sits in a sunken edge.
    const PixelRect client = frame_client_rect(g, {0, 0, w, h});
    emit(sink, client.left - 1, client.top - 1, client.right + 1, client.top, client_shadow);
    emit(sink, client.left - 1, client.top, client.left, client.bottom, client_shadow);
    emit(sink, client.left - 1, client.bottom, client.right + 1, client.bottom + 1, client_light);
    emit(sink, client.right, client.top, client.right + 1, client.bottom, client_light);
}

int32_t frame_outline_inset(int32_t y, int32_t h) {
    if (y < 0 || y >= h) return 0;
    int inset = 0;
    // Top: one pixel outside the upper caption band's rounded corner (its
    // first row is window row 1, one row per group).
    if (y < 6) inset = caption_corner_inset(std::max(y, 1), 26);
    const int from_bottom = h - 1 - y;
    if (from_bottom < kBottomCornerRows) inset = std::max(inset, kBottomCornerInsets[from_bottom]);
    return inset;
}

void frame_region_runs(int32_t w, int32_t h, FillSink sink) {
    int y = 0;
    while (y < h) {
        const int inset = frame_outline_inset(y, h);
        int end = y + 1;
        while (end < h && frame_outline_inset(end, h) == inset) ++end;
        emit(sink, inset, y, w - inset, end, 0);
        y = end;
    }
}

bool placement_maximise(FramePlacement& placement, const FrameStyle& style, const PixelRect& current,
                        const PixelRect& work_area, PixelRect* target) {
    if (!style.maximiseBox || placement.state == Placement::Maximised) return false;
    placement.saved = current;
    placement.state = Placement::Maximised;
    *target = work_area;
    return true;
}

bool placement_restore(FramePlacement& placement, PixelRect* target) {
    if (placement.state != Placement::Maximised) return false;
    placement.state = Placement::Normal;
    *target = placement.saved;
    return true;
}

bool placement_toggle(FramePlacement& placement, const FrameStyle& style, const PixelRect& current,
                      const PixelRect& work_area, PixelRect* target) {
    if (placement.state == Placement::Maximised) return placement_restore(placement, target);
    return placement_maximise(placement, style, current, work_area, target);
}

void placement_minimise(FramePlacement& placement) {
    if (placement.state == Placement::Minimised) return;
    placement.beforeMinimise = placement.state;
    placement.state = Placement::Minimised;
}

bool placement_unminimise(FramePlacement& placement) {
    if (placement.state != Placement::Minimised) return false;
    placement.state = placement.beforeMinimise;
    return true;
}

}  // namespace audiomix
