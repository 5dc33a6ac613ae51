// A level-display surface that draws into memory: the headless shell's
// display and the tests' canvas. Pixels are 0x00BBGGRR, row-major.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/level_display.h"

namespace audiomix {

class RasterSurface : public ScopeSurface {
public:
    RasterSurface(int32_t width, int32_t height, uint32_t background = 0);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // The pixel at (x, y); background for points outside.
    uint32_t pixel(int32_t x, int32_t y) const;
    // Number of frames drawn so far.
    int32_t frames() const { return frames_; }

    void fill_rect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) override;
    void set_pen(uint32_t colour) override { pen_ = colour; }
    void move_to(int32_t x, int32_t y) override;
    void line_to(int32_t x, int32_t y) override;
    void end_frame() override { ++frames_; }

private:
    void plot(int32_t x, int32_t y);

    int32_t width_, height_;
    uint32_t background_;
    std::vector<uint32_t> pixels_;
    uint32_t pen_ = 0;
    int32_t x_ = 0, y_ = 0;
    int32_t frames_ = 0;
};

}  // namespace audiomix
