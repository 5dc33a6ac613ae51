#include <gtest/gtest.h>

#include "framework/tile_grid.h"

namespace audiomix {
namespace {

TEST(TileGrid, OneAndAHalfTilesWideTakesTwoColumns) {
    const TileGrid g = tile_grid(150, 50, 100, 80);
    EXPECT_EQ(g.columns, 2);
    EXPECT_EQ(g.rows, 1);
    EXPECT_EQ(g.x(1), 100);  // the second copy starts where the first ends
    EXPECT_EQ(g.y(0), 0);
}

TEST(TileGrid, AnExactMultipleStillAddsTheInclusiveLastCopy) {
    // Columns and rows run 0 .. extent / size inclusive: the extra copy lies
    // wholly outside and is clipped away.
    const TileGrid g = tile_grid(802, 366, 802, 366);
    EXPECT_EQ(g.columns, 2);
    EXPECT_EQ(g.rows, 2);
    EXPECT_EQ(g.count(), 4);
}

TEST(TileGrid, TheSkinCoversTheMainWindow) {
    // The 802 x 366 skin behind a 453 x 411 client area: one column, two rows.
    const TileGrid g = tile_grid(453, 411, 802, 366);
    EXPECT_EQ(g.columns, 1);
    EXPECT_EQ(g.rows, 2);
    EXPECT_EQ(g.y(1), 366);
    EXPECT_GE(g.x(g.columns - 1) + g.tileWidth, 453);
    EXPECT_GE(g.y(g.rows - 1) + g.tileHeight, 411);
}

TEST(TileGrid, NothingForAnEmptyAreaOrTile) {
    EXPECT_EQ(tile_grid(0, 100, 10, 10).count(), 0);
    EXPECT_EQ(tile_grid(100, 0, 10, 10).count(), 0);
    EXPECT_EQ(tile_grid(100, 100, 0, 10).count(), 0);
    EXPECT_EQ(tile_grid(100, 100, 10, -1).count(), 0);
}

}  // namespace
}  // namespace audiomix
