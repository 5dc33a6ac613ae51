// Geometry and painting plan of the skinned window frame: border sizes, caption
// button rectangles, hit testing, the caption band painters, the caption
// buttons' faces, borders and pictures, the frame background and the window
// region, and the maximise / restore / minimise placement rules.
//
// Everything is in window coordinates (origin at the window's top-left corner)
// and free of Win32 types; skin_frame.cpp draws what these functions return.
#pragma once

#include <array>
#include <cstdint>

#include "controls/pixel_geometry.h"

namespace audiomix {

// Non-client hit codes; the values are Win32's HT* codes.
enum FrameHit : int {
    kHitNowhere = 0,
    kHitClient = 1,
    kHitCaption = 2,
    kHitSysMenu = 3,
    kHitMenu = 5,  // the extra button
    kHitMinButton = 8,
    kHitMaxButton = 9,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
    kHitClose = 20,
};

// The window styles the frame captures when it is installed.
struct FrameStyle {
    bool thickFrame = false;
    bool minimiseBox = false;
    bool maximiseBox = false;
};

// Caption button rectangles are kept as offsets from the window's right edge
// ({left, top, right, bottom}, left/right measured leftwards); see
// frame_button_rect for the conversion.
struct FrameGeometry {
    int32_t captionHeight;
    int32_t leftBorder;
    int32_t rightBorder;
    int32_t bottomBorder;
    int32_t iconLeft;
    int32_t iconTop;
    PixelRect closeButton;
    PixelRect maximiseButton;
    PixelRect minimiseButton;
    PixelRect extraButton;
};

// The frame as set up, before it knows the window's style: the minimise and
// extra buttons sit where they go on a window without minimise and maximise
// boxes.
FrameGeometry frame_setup_geometry();

// Moves the minimise and extra buttons left of the buttons the style has.
void frame_place_buttons(FrameGeometry& geometry, const FrameStyle& style);

// Right-edge offsets to window coordinates; the 2-pixel gap keeps the
// buttons off the right border's outer edge.
PixelRect frame_button_rect(const PixelRect& offsets, int32_t window_width);

// Everything the hit test and the painters need to know about the window.
struct FrameState {
    FrameStyle style;
    bool closeNotifiesOwner = false;
    bool maximised = false;
    bool active = true;
};

enum class CaptionButton { Close, Maximise, Minimise, Extra };

// Whether the window shows the button (close always; the others follow the
// captured style and the close-notifies-owner flag).
bool frame_has_button(const FrameState& state, CaptionButton button);

// The button's window rectangle.
PixelRect frame_caption_button_rect(const FrameGeometry& geometry, CaptionButton button, int32_t window_width);

// The hit code a button answers to.
int frame_button_hit(CaptionButton button);

// Non-client hit test of point p (window coordinates) in a w x h window.
// small_icon_* are the system's small icon size (the system-menu area).
int frame_hit_test(const FrameGeometry& geometry, const FrameState& state, int32_t w, int32_t h, PixelPoint p,
                   int32_t small_icon_width, int32_t small_icon_height);

// Client rectangle for a window rectangle (WM_NCCALCSIZE).
PixelRect frame_client_rect(const FrameGeometry& geometry, const PixelRect& window);

// Smallest window the user can size the frame to.
constexpr int32_t kFrameMinTrackWidth = 223;
constexpr int32_t kFrameMinTrackHeight = 78;

// ---- Caption -------------------------------------------------------------

// Width of the notch the upper caption band leaves above the buttons.
int32_t frame_notch_width(const FrameState& state);

// Base colour of both caption bands: the skin a shade darker, lifted again
// while the window is active.
uint32_t frame_caption_colour(uint32_t skin, bool active);

// Upper caption band (painter style 321) over {l, t, r, t + h}: a light left
// end, a body that lightens downwards and a curved notch on the right, with
// rounded top corners and a waist at the bottom.
void frame_caption_band_321(const PixelRect& band, uint32_t colour, int32_t notch_width, FillSink sink);

// Lower caption band (painter style 327): five strips.
void frame_caption_band_327(const PixelRect& band, uint32_t colour, FillSink sink);

// Full caption: the shadow strip and both bands, in painting order.
void frame_caption(int32_t w, uint32_t skin, uint32_t shadow_colour, const FrameState& state, FillSink sink);

// Where the caption text goes: right of the icon, left of the leftmost
// caption button, over the upper band.
PixelRect frame_caption_text_rect(const FrameGeometry& geometry, const FrameState& state, int32_t w,
                                  int32_t small_icon_width);

// ---- Caption buttons -------------------------------------------------------

enum class ButtonLook { Normal, Hot, Pressed };

struct ButtonFace {
    int style;        // 7 or 8
    uint32_t colour;  // base colour of the face
};

ButtonFace frame_button_face_look(CaptionButton button, ButtonLook look, uint32_t skin);

// The face bands of a button over r (style 7: darkest in the middle row,
// 8: lightest there).
void frame_button_face(const PixelRect& r, uint32_t colour, int style, FillSink sink);

// The button's 1-pixel border: four black lines, four white lines and four
// white corner steps, in drawing order.
std::array<Stroke, 12> frame_button_border(const PixelRect& r);

enum class ButtonPicture { Close, Maximise, Restore, Minimise, Extra };

ButtonPicture frame_button_picture_of(CaptionButton button, bool maximised);

struct PictureShapes {
    int32_t strokeCount = 0;
    Stroke strokes[8];
    int32_t fillCount = 0;
    SolidFill fills[4];
};

// The button's picture in face colour c (the pens use its inverse and white).
PictureShapes frame_button_picture(ButtonPicture picture, const PixelRect& r, uint32_t c);

// ---- Background and outline -------------------------------------------------

// Borders and caption background of a w x h frame in the skin colour (dimmed
// while inactive), with an outer outline, an inner highlight and a sunken
// edge around the client area. The caption painters cover the top later.
void frame_background(const FrameGeometry& geometry, int32_t w, int32_t h, uint32_t skin, bool active, FillSink sink);

// Left inset of the window outline in row y of an h-high window (the same on
// the right): rounded top corners that follow the caption band's, small
// rounded bottom corners. 0 for every row in between.
int32_t frame_outline_inset(int32_t y, int32_t h);

// The window region as horizontal runs (rectangles), the union of which is
// the visible shape: one rectangle for the straight part, one per corner row.
// Emits the rectangles with colour 0.
void frame_region_runs(int32_t w, int32_t h, FillSink sink);

// ---- Placement -----------------------------------------------------------------

enum class Placement { Normal = 0, Maximised = 1, Minimised = 2 };

struct FramePlacement {
    Placement state = Placement::Normal;
    Placement beforeMinimise = Placement::Normal;
    PixelRect saved{0, 0, 0, 0};
};

// Maximise: only with a maximise box and when not already maximised. Saves
// the current rectangle and returns true with the work area as target.
bool placement_maximise(FramePlacement& placement, const FrameStyle& style, const PixelRect& current,
                        const PixelRect& work_area, PixelRect* target);

// Restore from maximised: true with the saved rectangle as target.
bool placement_restore(FramePlacement& placement, PixelRect* target);

// Maximise, or restore when maximised (the maximise button, a caption
// double-click). True when the window moves.
bool placement_toggle(FramePlacement& placement, const FrameStyle& style, const PixelRect& current,
                      const PixelRect& work_area, PixelRect* target);

void placement_minimise(FramePlacement& placement);

// Back from minimised to the state before; false if not minimised.
bool placement_unminimise(FramePlacement& placement);

}  // namespace audiomix
