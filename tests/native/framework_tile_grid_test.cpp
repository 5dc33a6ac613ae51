#include <gtest/gtest.h>

#include <random>

#include "framework/tile_grid.h"

namespace audiomix {
namespace {

// Whatever the sizes, the copies reach past the area's right and bottom edges
// and none starts beyond them (an exact multiple adds one clipped copy).
TEST(TileGrid, CopiesCoverTheAreaWithNoneStartingBeyondIt) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> size(1, 900);
    for (int n = 0; n < 500; ++n) {
        const int32_t w = size(rng), h = size(rng), tw = size(rng), th = size(rng);
        const TileGrid g = tile_grid(w, h, tw, th);
        EXPECT_GE(g.x(g.columns - 1) + tw, w) << w << "/" << tw;
        EXPECT_GE(g.y(g.rows - 1) + th, h) << h << "/" << th;
        EXPECT_LE(g.x(g.columns - 1), w) << w << "/" << tw;
        EXPECT_LE(g.y(g.rows - 1), h) << h << "/" << th;
    }
    // The skin behind the main window's client area: one column, two rows.
    const TileGrid skin = tile_grid(453, 411, 802, 366);
    EXPECT_EQ(skin.count(), 2);
    EXPECT_EQ(skin.y(1), 366);
    // Nothing for an empty area or tile.
    EXPECT_EQ(tile_grid(0, 100, 10, 10).count() + tile_grid(100, 100, 10, -1).count(), 0);
}

}  // namespace
}  // namespace audiomix
