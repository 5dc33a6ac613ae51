#include "framework/tile_grid.h"

namespace audiomix {

TileGrid tile_grid(int32_t areaWidth, int32_t areaHeight, int32_t tileWidth, int32_t tileHeight) {
    TileGrid grid;
    if (areaWidth <= 0 || areaHeight <= 0 || tileWidth <= 0 || tileHeight <= 0) return grid;
    grid.tileWidth = tileWidth;
    grid.tileHeight = tileHeight;
    grid.columns = areaWidth / tileWidth + 1;
    grid.rows = areaHeight / tileHeight + 1;
    return grid;
}

}  // namespace audiomix
