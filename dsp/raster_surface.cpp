#include "dsp/raster_surface.h"

#include <cstddef>

namespace audiomix {

RasterSurface::RasterSurface(int32_t width, int32_t height, uint32_t background)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      background_(background),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), background) {}

uint32_t RasterSurface::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return background_;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void RasterSurface::plot(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = pen_;
}

void RasterSurface::fill_rect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > width_) right = width_;
    if (bottom > height_) bottom = height_;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void RasterSurface::move_to(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
}

// Bresenham from the current point, the end point excluded.
void RasterSurface::line_to(int32_t x1, int32_t y1) {
    int32_t x = x_, y = y_;
    const int32_t dx = x1 > x ? x1 - x : x - x1;
    const int32_t dy = y1 > y ? y1 - y : y - y1;
    const int32_t sx = x1 > x ? 1 : -1;
    const int32_t sy = y1 > y ? 1 : -1;
    int32_t err = dx - dy;
    while (x != x1 || y != y1) {
        plot(x, y);
        const int32_t e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    x_ = x1;
    y_ = y1;
}

}  // namespace audiomix
