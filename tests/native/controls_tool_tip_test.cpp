// The tool tip's bubble geometry, colours, show/hide logic and tool table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/colour.h"
#include "controls/tool_tip_rules.h"

namespace audiomix {
namespace {

// ---- geometry

TEST(ToolTipBubble, TextIsPaddedAndTheTailHangsBelow) {
    // A 100 x 13 text: 12 pixels either side, 10 above and below.
    const BubbleGeometry b = tool_tip_bubble(100, 13, 0, 0);
    EXPECT_EQ((std::vector<int>{b.width, b.height, b.windowHeight, b.cornerWidth, b.cornerHeight}),
              (std::vector<int>{124, 33, 53, 12, 10}));
    EXPECT_EQ(b.body, (PixelRect{0, 0, 124, 33}));
    EXPECT_EQ(b.tail[0], (PixelPoint{112, 23}));
    EXPECT_EQ(b.tail[1], (PixelPoint{112, 43}));
    EXPECT_EQ(b.tail[2], (PixelPoint{87, 23}));

    // An icon widens the body and may make it taller.
    const BubbleGeometry small = tool_tip_bubble(100, 13, 32, 32);
    EXPECT_EQ(small.width, 124 + 32 + 5);
    EXPECT_EQ(small.height, 33);  // already taller than the icon
    const BubbleGeometry tall = tool_tip_bubble(100, 13, 48, 48);
    EXPECT_EQ(tall.width, 124 + 48 + 5);
    EXPECT_EQ(tall.height, 48);
    EXPECT_EQ(tall.windowHeight, 68);
    EXPECT_EQ(tall.tail[1], (PixelPoint{177 - 12, 58}));
}

TEST(ToolTipBubble, TheTailTipLandsOnTheAnchor) {
    const BubbleGeometry b = tool_tip_bubble(100, 13, 0, 0);
    const PixelPoint at = tool_tip_position(b, {500, 400});
    EXPECT_EQ(at, (PixelPoint{388, 357}));  // 500 - 124 + 12, 400 - 53 + 10
    for (const BubbleGeometry& g : {b, tool_tip_bubble(7, 40, 0, 0), tool_tip_bubble(250, 26, 32, 32)}) {
        const PixelPoint w = tool_tip_position(g, {-30, 75});
        EXPECT_EQ(w.x + g.tail[1].x, -30);
        EXPECT_EQ(w.y + g.tail[1].y, 75);
    }
}

TEST(ToolTipBubble, TextRectangleAndIcon) {
    const BubbleGeometry b = tool_tip_bubble(100, 13, 32, 32);
    EXPECT_EQ(tool_tip_text_rect(b, false, 0), (PixelRect{12, 10, 161, 53}));
    EXPECT_EQ(tool_tip_text_rect(b, true, 32), (PixelRect{49, 10, 161, 53}));
    EXPECT_FALSE(tool_tip_draws_icon(16));
    EXPECT_TRUE(tool_tip_draws_icon(17));
    EXPECT_FALSE(tool_tip_draws_icon(0));
}

TEST(ToolTipBubble, ColoursFromThePanel) {
    const ToolTipColours c = tool_tip_colours(make_rgb(6, 76, 98));
    EXPECT_EQ(c.fill, make_rgb(6, 76, 98));
    EXPECT_EQ(c.gradientBase, make_rgb(109, 179, 201));  // + 51 + 52
    EXPECT_EQ(c.shadowFrame, make_rgb(0, 0, 0));         // - 51 - 57, stopped at 0
    EXPECT_EQ(c.lightFrame, make_rgb(114, 184, 206));    // + 51 + 57
    const ToolTipColours bright = tool_tip_colours(make_rgb(200, 160, 120));
    EXPECT_EQ(bright.gradientBase, make_rgb(255, 255, 223));
    EXPECT_EQ(bright.shadowFrame, make_rgb(92, 52, 12));
}

// ---- behaviour

TEST(ToolTipLogic, RestingOnAToolShowsTheTipAtTheMouse) {
    ToolTipLogic logic;
    ToolTipActions a = logic.mouse_move({100, 50}, true);
    EXPECT_TRUE(a.takeTool);
    EXPECT_TRUE(a.startShowTimer);
    EXPECT_FALSE(a.hide);
    EXPECT_FALSE(logic.shown());
    EXPECT_EQ(logic.anchor(), (PixelPoint{100, 50}));

    // Each further move restarts the delay: the mouse has to rest.
    a = logic.mouse_move({101, 50}, true);
    EXPECT_TRUE(a.startShowTimer);

    a = logic.show_timer({101, 50}, true);
    EXPECT_TRUE(a.killShowTimer);
    EXPECT_TRUE(a.show);
    EXPECT_TRUE(a.startWatchTimer);
    EXPECT_TRUE(logic.shown());
}

TEST(ToolTipLogic, MovingWithinToolsKeepsTheTipAndLeavingHidesIt) {
    ToolTipLogic logic;
    logic.mouse_move({100, 50}, true);
    logic.show_timer({100, 50}, true);

    // Same tool or another tool: no new delay, nothing hidden, anchor follows.
    ToolTipActions a = logic.mouse_move({110, 52}, true);
    EXPECT_FALSE(a.startShowTimer);
    EXPECT_FALSE(a.hide);
    EXPECT_FALSE(a.show);
    EXPECT_TRUE(logic.shown());
    EXPECT_EQ(logic.anchor(), (PixelPoint{110, 52}));
    // The watch timer sees the cursor at the anchor and leaves it alone.
    a = logic.watch_timer({110, 52});
    EXPECT_FALSE(a.hide);

    // A point that is no tool hides it.
    a = logic.mouse_move({300, 300}, false);
    EXPECT_TRUE(a.hide);
    EXPECT_FALSE(logic.shown());
    EXPECT_FALSE(logic.suppressed());
    EXPECT_EQ(logic.anchor(), (PixelPoint{110, 52}));
}

TEST(ToolTipLogic, WatchTimerHidesWhenTheMouseLeftTheAnchor) {
    ToolTipLogic logic;
    logic.mouse_move({10, 10}, true);
    logic.show_timer({10, 10}, true);
    const ToolTipActions a = logic.watch_timer({40, 10});
    EXPECT_TRUE(a.killWatchTimer);
    EXPECT_TRUE(a.hide);
    EXPECT_FALSE(logic.shown());
}

TEST(ToolTipLogic, AClickHidesAndSuppressesUntilTheMouseMovesOntoATool) {
    ToolTipLogic logic;
    logic.mouse_move({10, 10}, true);
    logic.show_timer({10, 10}, true);
    ToolTipActions a = logic.button_down();
    EXPECT_TRUE(a.hide);
    EXPECT_FALSE(logic.shown());
    EXPECT_TRUE(logic.suppressed());

    // A click while the delay runs: the delay ends without showing anything.
    ToolTipLogic pending;
    pending.mouse_move({10, 10}, true);
    pending.button_down();
    a = pending.show_timer({10, 10}, true);
    EXPECT_FALSE(a.show);
    EXPECT_FALSE(pending.suppressed());

    // Moving onto a tool clears the suppression and starts the delay again.
    a = logic.mouse_move({12, 10}, true);
    EXPECT_FALSE(logic.suppressed());
    EXPECT_TRUE(a.startShowTimer);
}

// ---- tool table

TEST(ToolTable, InsertReplaceFindRemove) {
    ToolTable<std::string> table;
    EXPECT_EQ(table.find(0x1230), nullptr);
    table.set(0x1230, "one");
    table.set(0x4560, "two");
    ASSERT_NE(table.find(0x1230), nullptr);
    EXPECT_EQ(*table.find(0x1230), "one");
    table.set(0x1230, "uno");
    EXPECT_EQ(*table.find(0x1230), "uno");
    EXPECT_EQ(table.size(), 2u);
    EXPECT_TRUE(table.remove(0x1230));
    EXPECT_FALSE(table.remove(0x1230));
    EXPECT_EQ(table.find(0x1230), nullptr);
    EXPECT_EQ(*table.find(0x4560), "two");
}

TEST(ToolTable, CollidingHandlesChainAndRemoveFromTheMiddle) {
    // Buckets are the handle over 16 modulo 17: 0x123 = 291 -> 2; handles
    // 17 * 16 apart land in the same bucket.
    EXPECT_EQ(ToolTable<int>::bucket_of(0x1230), 2u);
    EXPECT_EQ(ToolTable<int>::bucket_of(0x000F), 0u);
    EXPECT_EQ(ToolTable<int>::bucket_of(17u << 4), 0u);
    ToolTable<int> table;
    for (uintptr_t k = 0; k < 5; ++k) table.set(0x2000 + k * 272, static_cast<int>(k));
    for (uintptr_t k = 0; k < 5; ++k) ASSERT_EQ(ToolTable<int>::bucket_of(0x2000 + k * 272), ToolTable<int>::bucket_of(0x2000));
    EXPECT_TRUE(table.remove(0x2000 + 2 * 272));
    for (uintptr_t k = 0; k < 5; ++k) {
        const int* found = table.find(0x2000 + k * 272);
        if (k == 2) EXPECT_EQ(found, nullptr);
        else {
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(*found, static_cast<int>(k));
        }
    }
}

}  // namespace
}  // namespace audiomix
