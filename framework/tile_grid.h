// Where the copies of a tiled background bitmap go: columns 0 .. width /
// tileWidth and rows 0 .. height / tileHeight, both inclusive, each copy at
// (column x tileWidth, row x tileHeight). The last column and row may lie
// partly (or, for an exact multiple, wholly) outside the area; the DC clips.
// Pure, so the tiling of the dialogs, the tab strip and the labels is tested
// natively.
#pragma once

#include <cstdint>

namespace audiomix {

struct TileGrid {
    int32_t columns = 0;  // number of copies across
    int32_t rows = 0;     // number of copies down
    int32_t tileWidth = 0;
    int32_t tileHeight = 0;

    int32_t x(int32_t column) const { return column * tileWidth; }
    int32_t y(int32_t row) const { return row * tileHeight; }
    int32_t count() const { return columns * rows; }
};

// No copies for an empty area or a tile without size.
TileGrid tile_grid(int32_t areaWidth, int32_t areaHeight, int32_t tileWidth, int32_t tileHeight);

}  // namespace audiomix
