// The tool tip's bubble geometry, colours, show/hide logic and tool table.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "controls/colour.h"
#include "controls/tool_tip_rules.h"

namespace audiomix {
namespace {

// ---- geometry

TEST(ToolTipBubble, TextIsPaddedAndTheTailHangsBelow) {
    // A 100 x 13 text: 12 pixels either side, 10 above and below, the tail 20 below the body.
    const BubbleGeometry b = tool_tip_bubble(100, 13, 0, 0);
    EXPECT_EQ(b.body, (PixelRect{0, 0, 124, 33}));
    EXPECT_EQ(b.windowHeight, 53);
    EXPECT_EQ(b.tail[1], (PixelPoint{112, 43}));
    // An icon widens the body by its width and a gap, and may make it taller.
    EXPECT_EQ(tool_tip_bubble(100, 13, 32, 32).body, (PixelRect{0, 0, 161, 33}));
    const BubbleGeometry tall = tool_tip_bubble(100, 13, 48, 48);
    EXPECT_EQ(tall.body, (PixelRect{0, 0, 177, 48}));
    EXPECT_EQ(tall.tail[1], (PixelPoint{165, 58}));
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
    // The white emboss copy: up-left, down-right, or none.
    const struct {
        int mode;
        bool drawn;
        PixelPoint offset;
    } emboss[] = {{1, true, {-1, -1}}, {2, true, {1, 1}}, {0, false, {}}, {3, false, {}}};
    for (const auto& e : emboss) {
        PixelPoint at{};
        EXPECT_EQ(tool_tip_emboss_offset(e.mode, &at), e.drawn) << e.mode;
        if (e.drawn) {
            EXPECT_EQ(at, e.offset) << e.mode;
        }
    }
}

TEST(ToolTipBubble, ColoursFromThePanel) {
    // Gradient base and frames lifted or darkened from the panel, each component stopping at its limit.
    const ToolTipColours c = tool_tip_colours(make_rgb(6, 76, 98)), bright = tool_tip_colours(make_rgb(200, 160, 120));
    EXPECT_EQ(c.fill, make_rgb(6, 76, 98));
    EXPECT_EQ(c.gradientBase, make_rgb(109, 179, 201));
    EXPECT_EQ(c.shadowFrame, make_rgb(0, 0, 0));
    EXPECT_EQ(c.lightFrame, make_rgb(114, 184, 206));
    EXPECT_EQ(bright.gradientBase, make_rgb(255, 255, 223));
    EXPECT_EQ(bright.shadowFrame, make_rgb(92, 52, 12));
}

// ---- behaviour

// The actions as letters: t take the tool, S start / k kill the show delay,
// s show, W start / w kill the watch timer, h hide.
std::string letters(const ToolTipActions& a) {
    std::string out;
    for (auto [set, c] : {std::pair{a.takeTool, 't'}, {a.startShowTimer, 'S'}, {a.killShowTimer, 'k'}, {a.show, 's'},
                          {a.startWatchTimer, 'W'}, {a.killWatchTimer, 'w'}, {a.hide, 'h'}})
        if (set) out += c;
    return out;
}

TEST(ToolTipLogic, ShowsAfterARestHidesOnLeavingOrClickingAndAClickSuppressesTheNextShow) {
    enum Event { Move, Down, ShowTimer, WatchTimer };
    const struct {
        Event event;
        int x, y;
        bool onTool;
        const char* actions;
        int shown, suppressed, anchorX, anchorY;  // shown -1: not checked
    } script[] = {
        {Move, 100, 50, true, "tS", 0, 0, 100, 50},       // resting on a tool starts the delay
        {Move, 101, 50, true, "tS", 0, 0, 101, 50},       // each move restarts it
        {ShowTimer, 101, 50, true, "tksW", 1, 0, 101, 50},
        {Move, 110, 52, true, "", 1, 0, 110, 52},         // within the tools: kept, the anchor follows
        {WatchTimer, 110, 52, false, "", 1, 0, 110, 52},  // the cursor at the anchor: left alone
        {Move, 300, 300, false, "h", 0, 0, 110, 52},      // no tool: hidden
        {Move, 10, 10, true, "tS", 0, 0, 10, 10},
        {ShowTimer, 10, 10, true, "tksW", 1, 0, 10, 10},
        {WatchTimer, 40, 10, false, "wh", 0, 0, 10, 10},  // the mouse left the anchor
        {Move, 12, 10, true, "tS", 0, 0, 12, 10},
        {ShowTimer, 12, 10, true, "tksW", 1, 0, 12, 10},
        {Down, 0, 0, false, "h", 0, 1, 12, 10},           // a click hides and suppresses
        {Move, 14, 10, true, "tS", 0, 0, 14, 10},         // moving onto a tool clears it
        {Down, 0, 0, false, "h", 0, 1, 14, 10},           // a click while the delay runs...
        {ShowTimer, 14, 10, true, "tk", -1, 0, 14, 10},   // ...ends it without showing
    };
    ToolTipLogic logic;
    int step = 0;
    for (const auto& k : script) {
        const ToolTipActions a = k.event == Move        ? logic.mouse_move({k.x, k.y}, k.onTool)
                                 : k.event == Down      ? logic.button_down()
                                 : k.event == ShowTimer ? logic.show_timer({k.x, k.y}, k.onTool)
                                                        : logic.watch_timer({k.x, k.y});
        EXPECT_EQ(letters(a), k.actions) << "step " << step;
        if (k.shown >= 0) {
            EXPECT_EQ(logic.shown(), k.shown != 0) << "step " << step;
        }
        EXPECT_EQ(logic.suppressed(), k.suppressed != 0) << "step " << step;
        EXPECT_EQ(logic.anchor(), (PixelPoint{k.anchorX, k.anchorY})) << "step " << step;
        ++step;
    }
}

// ---- tool table

TEST(ToolTable, InsertReplaceFindAndRemoveAlsoFromTheMiddleOfAChain) {
    ToolTable<std::string> named;
    EXPECT_EQ(named.find(0x1230), nullptr);
    named.set(0x1230, "one");
    named.set(0x4560, "two");
    named.set(0x1230, "uno");
    ASSERT_NE(named.find(0x1230), nullptr);
    EXPECT_EQ(*named.find(0x1230), "uno");
    EXPECT_EQ(named.size(), 2u);
    EXPECT_TRUE(named.remove(0x1230));
    EXPECT_FALSE(named.remove(0x1230));
    EXPECT_EQ(named.find(0x1230), nullptr);
    EXPECT_EQ(*named.find(0x4560), "two");

    // Handles 17 * 16 apart share a bucket (handle / 16 modulo 17).
    ToolTable<int> table;
    for (uintptr_t k = 0; k < 5; ++k) {
        ASSERT_EQ(ToolTable<int>::bucket_of(0x2000 + k * 272), ToolTable<int>::bucket_of(0x2000));
        table.set(0x2000 + k * 272, static_cast<int>(k));
    }
    EXPECT_TRUE(table.remove(0x2000 + 2 * 272));
    for (uintptr_t k = 0; k < 5; ++k) {
        const int* found = table.find(0x2000 + k * 272);
        EXPECT_EQ(found ? *found : -1, k == 2 ? -1 : static_cast<int>(k)) << k;
    }
}

}  // namespace
}  // namespace audiomix
