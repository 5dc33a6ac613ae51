// The level display: the envelope of the buffer just processed, channel 0
// upward from the middle line and channel 1 downward, over a shaded
// background and a dark green grid.
#pragma once

#include <cstdint>

namespace audiomix {

struct ChainParams;
struct ChainSignal;

// What the display draws on. Coordinates are client pixels, y downward;
// colours are 0x00BBGGRR. Lines follow the usual raster rule: drawn from the
// current point up to, not including, the end point, which becomes current.
class ScopeSurface {
public:
    virtual ~ScopeSurface() = default;
    // Solid fill of [left, right) x [top, bottom).
    virtual void fill_rect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) = 0;
    virtual void set_pen(uint32_t colour) = 0;
    virtual void move_to(int32_t x, int32_t y) = 0;
    virtual void line_to(int32_t x, int32_t y) = 0;
    // Brackets one frame of drawing, so a backend can lock its target and
    // skip the frame when the target is gone. begin returns false to skip.
    virtual bool begin_frame() { return true; }
    virtual void end_frame() {}
};

// Sets the display geometry from a client rectangle (right - left wide,
// bottom - top + 1 high), clamped to what the level arrays hold.
void scope_set_geometry(ChainParams& params, int32_t left, int32_t top, int32_t right, int32_t bottom);

// Capture and, when there is a surface and at least one frame per column,
// drawing. Runs after the last stage, when the host asked for the display.
void scope_update(const ChainParams& params, ChainSignal& signal, const int16_t* samples, int32_t lengthBytes);

// The stripe colour of background row r of a display of the given height.
uint32_t scope_stripe_colour(int32_t row, int32_t height);

// The pure parts, exposed for tests and for the window's own painting.
void scope_capture(const ChainParams& params, ChainSignal& signal, const int16_t* samples, int32_t lengthBytes);
void scope_compute_columns(const ChainParams& params, ChainSignal& signal);
void scope_draw(const ChainParams& params, ChainSignal& signal, ScopeSurface& surface);

}  // namespace audiomix
