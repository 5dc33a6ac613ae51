// Colour arithmetic of the skin. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace audiomix {

constexpr uint32_t make_rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t red_of(uint32_t c) { return c & 0xff; }
constexpr uint32_t green_of(uint32_t c) { return (c >> 8) & 0xff; }
constexpr uint32_t blue_of(uint32_t c) { return (c >> 16) & 0xff; }

// Each component lowered by amount, not below 0.
uint32_t DarkenColor(uint32_t colour, uint8_t amount);

// Each component raised by amount, not above 255.
uint32_t LightenColor(uint32_t colour, uint8_t amount);

// Each component replaced by 255 minus it.
uint32_t InvertColor(uint32_t colour);

}  // namespace audiomix
