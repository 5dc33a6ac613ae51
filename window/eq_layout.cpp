#include "window/eq_layout.h"

#include "controls/colour.h"
#include "dsp/eq_tables.h"
#include "resources/resource.h"

namespace audiomix {

int32_t eq_band_slider_id(int32_t band) { return IDC_EQ_BAND_SLIDER_FIRST + band; }

int32_t eq_band_label_id(int32_t band) {
    if (band == 0) return IDC_EQ_BAND_LABEL_0;
    if (band == 1) return IDC_EQ_BAND_LABEL_1;
    return IDC_EQ_BAND_LABEL_BASE + band;
}

namespace {

constexpr int32_t kScaleX = 8;
constexpr int32_t kScaleWidth = 20;
constexpr int32_t kScaleHeight = 12;

PixelRect sized(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

// Scale labels of a row whose sliders start at y: level with the slider's
// top, middle and bottom positions.
EqScalePlace scale_row(int32_t y, int32_t sliderHeight) {
    return {sized(kScaleX, y + 4, kScaleWidth, kScaleHeight),
            sized(kScaleX, y + sliderHeight / 2 - 6, kScaleWidth, kScaleHeight),
            sized(kScaleX, y + sliderHeight - 12, kScaleWidth, kScaleHeight)};
}

}  // namespace

EqBandLayout eq_layout_bands(const EqLayoutInput& in) {
    EqBandLayout out{};
    const int32_t n = (in.bandCount == 15 || in.bandCount == 25 || in.bandCount == 31) ? in.bandCount : 10;
    const bool twoRows = n > 15;
    const int32_t margin = (n == 15 || n == 31) ? 15 : 20;

    // The 10-band layout has room for bigger sliders.
    const int32_t w = n == 10 ? in.sliderWidth + 4 : in.sliderWidth;
    const int32_t h = n == 10 ? in.sliderHeight + 26 : in.sliderHeight;
    const int32_t lw = in.labelWidth;
    const int32_t lh = in.labelHeight;

    const int32_t groupWidth = in.group.width();
    const int32_t groupHeight = in.group.height();
    const int32_t groupX = in.group.left - in.page.left;
    const int32_t groupY = in.group.top - in.page.top;

    const int32_t perRow = n == 25 ? 13 : n == 31 ? 16 : n;
    const int32_t step = (groupWidth - 2 * margin) / perRow;
    // One row is centred vertically with its labels; two rows together.
    const int32_t x0 = margin + groupX + (twoRows ? step / 2 : step / 4);
    const int32_t y0 = groupY + (twoRows ? (groupHeight - 2 * (lh + h)) / 2 : (groupHeight - lh - h) / 2);
    const int32_t rowPitch = h + lh;

    out.bandCount = n;
    out.rows = twoRows ? 2 : 1;
    out.perRow = perRow;
    out.step = step;
    out.x0 = x0;
    out.y0 = y0;
    out.sliderWidth = w;
    out.sliderHeight = h;
    out.scale[0] = scale_row(y0, h);
    if (twoRows) out.scale[1] = scale_row(y0 + rowPitch, h);

    for (int32_t i = 0; i < n; ++i) {
        EqBandPlace& band = out.bands[i];
        band.row = twoRows && i >= perRow ? 1 : 0;
        band.column = i - band.row * perRow;
        const int32_t x = x0 + band.column * step;
        const int32_t y = y0 + band.row * rowPitch;
        band.slider = sized(x, y, w, h);
        // The label is centred a little left of its slider. The division
        // truncates toward zero, also when the label is the narrower one.
        band.label = sized(x - (lw - w) / 3 - 2, y + h - 4, lw, lh);
    }
    return out;
}

EqColourGroup eq_colour_group(float centre) {
    if (centre < 800.0f) return EqColourGroup::Low;
    if (centre < 4000.0f) return EqColourGroup::Mid;
    if (centre < 8000.0f) return EqColourGroup::High;
    return EqColourGroup::Top;
}

EqBandColours eq_group_colours(EqColourGroup group, int32_t k) {
    // The shades are bytes: computed modulo 256, so a long group wraps from
    // 0 to 252 (60 - 4k at k = 16) rather than clamping. No shipped table
    // has a group long enough to wrap (31 bands: 16 low bands end at
    // 60 - 4 * 15 = 0, 7 mid bands at 60 - 10 * 6 = 0).
    const auto shade = [k](int32_t base, int32_t per) {
        return static_cast<uint32_t>(static_cast<uint8_t>(base - per * k));
    };
    switch (group) {
        case EqColourGroup::Low: {
            const uint32_t s = shade(60, 4);
            return {make_rgb(32, 255, 32), make_rgb(s, 255, s), make_rgb(s, s, 255)};
        }
        case EqColourGroup::Mid: {
            const uint32_t s = shade(90, 10);
            const uint32_t t = shade(60, 10);
            return {make_rgb(0, 0, 255), make_rgb(s, s, 255), make_rgb(255, t, t)};
        }
        case EqColourGroup::High: {
            const uint32_t s = shade(90, 10);
            return {make_rgb(255, 0, 0), make_rgb(255, s, s), make_rgb(s, 255, s)};
        }
        case EqColourGroup::Top:
        default: {
            const uint32_t s = shade(225, 10);
            const uint32_t t = shade(60, 10);
            return {make_rgb(255, 255, 255), make_rgb(s, s, s), make_rgb(t, 225, 225)};
        }
    }
}

int32_t eq_layout_looks(const EqCoefTable& table, int32_t bandCount, EqBandLook out[]) {
    int32_t count = bandCount < table.bandCount ? bandCount : table.bandCount;
    if (count > kEqLayoutMaxBands) count = kEqLayoutMaxBands;
    int32_t k[4] = {0, 0, 0, 0};
    for (int32_t i = 0; i < count; ++i) {
        const EqBand& band = table.bands[i];
        const EqColourGroup group = eq_colour_group(band.centre);
        out[i] = {band.label, band.centre, eq_group_colours(group, k[static_cast<int>(group)]++)};
    }
    return count < 0 ? 0 : count;
}

const EqCoefTable& eq_layout_table(const EqCoefTable* current, int32_t bandCount) {
    if (current != nullptr && current->bandCount == bandCount) return *current;
    return eq_table_for(bandCount, 44100);
}

}  // namespace audiomix
