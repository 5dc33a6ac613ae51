// The equaliser page's band layout as pure functions: where each band's
// slider and frequency label go for 10, 15, 25 or 31 bands, which band-count
// buttons can be chosen, the colours of each band by its centre frequency,
// and the control ids of a band. The page measures its controls, calls these
// and moves, colours and shows the controls.
#pragma once

#include <cstdint>

#include "controls/pixel_geometry.h"

namespace audiomix {

struct EqCoefTable;

constexpr int32_t kEqLayoutMaxBands = 31;

// Control ids of band i (0 to 31): slider 1020 + i; label 1001, 1002, then
// 1050 + i (1052 for band 2).
int32_t eq_band_slider_id(int32_t band);
int32_t eq_band_label_id(int32_t band);

// What the page measures before a layout. Rectangles are window rectangles
// in one coordinate system (screen); the results are relative to the page.
struct EqLayoutInput {
    int32_t bandCount;   // 10, 15, 25 or 31; any other count lays out as 10
    PixelRect page;      // the page itself
    PixelRect group;     // group box 1082 around the bands
    int32_t labelWidth;  // frequency label 1001
    int32_t labelHeight;
    int32_t sliderWidth;  // slider 1020 at start-up, its width plus 4
    int32_t sliderHeight;
};

struct EqBandPlace {
    int32_t row;  // 0 or 1
    int32_t column;
    PixelRect slider;
    PixelRect label;
};

// The three scale labels beside one row of sliders.
struct EqScalePlace {
    PixelRect plus20;   // "+20": 1016 in row 0, 1017 in row 1
    PixelRect zero;     // "0":   1015, 1018
    PixelRect minus20;  // "-20": 1014, 1019
};

struct EqBandLayout {
    int32_t bandCount;    // bands placed
    int32_t rows;         // 1 or 2
    int32_t perRow;       // bands in a full row
    int32_t step;         // column pitch
    int32_t x0, y0;       // first slider of row 0
    int32_t sliderWidth;  // size of every band slider in this layout
    int32_t sliderHeight;
    EqScalePlace scale[2];  // scale[1] only when rows == 2
    EqBandPlace bands[kEqLayoutMaxBands];
};

// Places bands 0 to bandCount - 1 and the scale labels.
EqBandLayout eq_layout_bands(const EqLayoutInput& input);

// Colours of one band, 0x00BBGGRR.
struct EqBandColours {
    uint32_t text;       // frequency label
    uint32_t channel;    // slider channel
    uint32_t selection;  // slider selection range
};

// The four colour groups by centre frequency.
enum class EqColourGroup { Low, Mid, High, Top };

// Below 800 Hz, 800 to below 4000, 4000 to below 8000, 8000 Hz and above.
EqColourGroup eq_colour_group(float centre);

// Colours of the band that is the k-th (from 0) of its group in a layout.
EqBandColours eq_group_colours(EqColourGroup group, int32_t k);

// What band i of a layout shows: caption and centre from the coefficient
// table, colours by the centre.
struct EqBandLook {
    const char* caption;  // the table's NUL-padded ASCII label
    float centre;         // Hz
    EqBandColours colours;
};

// Looks of bands 0 to bandCount - 1 of table, counting k per group in band
// order. Fills at most the table's own band count (and kEqLayoutMaxBands)
// and returns how many it filled.
int32_t eq_layout_looks(const EqCoefTable& table, int32_t bandCount, EqBandLook out[]);

// The table whose captions and centres a layout of bandCount shows: the
// engine's current table when it has that many bands, else the 44100 Hz
// table of the layout (the engine can run a 10-band table at 11025 or
// 22050 Hz while a larger layout is shown; only its first ten bands sound).
const EqCoefTable& eq_layout_table(const EqCoefTable* current, int32_t bandCount);

}  // namespace audiomix
