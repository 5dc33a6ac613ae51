// The skinned slider's figures: derived colours, the channel (bevel, rounded
// body, edge lines, selection band, scale marks) and the thumb (frame, bevel
// pixels, grip lines), all computed from the rectangles the trackbar reports.
// The Win32 painter (skin_slider.cpp) only replays them.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "controls/pixel_geometry.h"

namespace audiomix {

struct SliderColours {
    uint32_t thumb, light1, light2, dark1, dark2;
    uint32_t shadowMid, darkMid, highlight;
};

// Adds amount to each component; a component that would pass 255 is left as
// it was (not clamped, unlike LightenColor).
uint32_t slider_lighten(uint32_t colour, int amount);

// Per component (a - b) / 2 + b, the difference signed, halved by an
// arithmetic shift.
uint32_t slider_mid_colour(uint32_t a, uint32_t b);

// The derived colours of a thumb colour over the given system colours.
SliderColours slider_colours(uint32_t thumb, uint32_t shadow3d, uint32_t btnFace, uint32_t darkShadow3d,
                             uint32_t hilight3d);

// A polyline of up to eight points, drawn with MoveTo/LineTo.
struct SliderLine {
    static constexpr int kMaxPoints = 8;
    uint32_t colour;
    int count;
    PixelPoint points[kMaxPoints];
};

struct ChannelFigure {
    PixelRect bevel;           // Draw3dRect: top-left channel, bottom-right darkMid
    bool rounded;              // RoundRect of `bevel`, corner 2x2, darkMid pen, channel brush
    SliderLine shadowEdge;     // shadowMid
    SliderLine highlightEdge;  // highlight
    bool hasSelection;
    PixelRect selection;  // filled with the selection colour
    int markCount;        // 0 or 6 highlight lines
    SliderLine marks[6];
};

struct SliderRange {
    int min, max, selStart, selEnd;
};

// Whether the channel is laid out vertically. Some platforms report the
// channel of a vertical trackbar as if it were horizontal (wide), others as
// it appears (tall); a tall rectangle of a TBS_VERT control is turned back to
// the wide form first so that both platforms paint alike.
bool slider_channel_vertical(const PixelRect& channelRect, bool styleVertical);

// The channel drawn into the custom-draw item rectangle `item`.
ChannelFigure slider_channel(const PixelRect& item, bool vertical, const SliderRange& range,
                             const SliderColours& colours, uint32_t channelColour, bool scaleMarks);

enum class ThumbShape { Both, PointUp, PointDown };

struct ThumbFigure {
    bool rounded;  // Both: RoundRect of frame (corner 2x2)
    PixelRect frame;
    int polygonCount;  // pointed shapes: closed outline, frame-colour pen
    PixelPoint polygon[9];
    PixelPoint floodSeed;
    PixelRect bevel;  // Both: Draw3dRect light1 / dark1
    int pixelCount;
    PixelPoint pixels[4];
    uint32_t pixelColours[4];
    int bevelLineCount;  // pointed shapes
    SliderLine bevelLines[4];
    int gripCount;
    SliderLine grip[7];  // two-point lines
    int gripDotCount;
    PixelPoint gripDots[4];  // light2
};

// The thumb in item rectangle r. A rectangle taller than wide is the thumb of
// a horizontal slider; otherwise everything is transposed. For the transposed
// form PointUp means pointing left.
ThumbFigure slider_thumb(const PixelRect& r, ThumbShape shape, bool enabled, const SliderColours& colours);

}  // namespace audiomix
