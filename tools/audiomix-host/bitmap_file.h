// A captured picture as a 24-bit BMP file.
#pragma once

#include <cstdint>
#include <vector>

namespace host {

// pixels: width x height values 0x00RRGGBB (a 32-bit DIB's layout), top row
// first. Returns the bytes of a bottom-up 24-bit BMP file.
std::vector<uint8_t> encode_bmp(int width, int height, const std::vector<uint32_t>& pixels);

}  // namespace host
