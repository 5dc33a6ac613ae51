// The tool tip's bubble geometry, colours, show/hide logic and tool table.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "controls/tool_tip_rules.h"

namespace audiomix {
namespace {

// ---- geometry

// For any text and icon: the text and the icon fit in the body with their
// padding, the tail hangs below it, and the tail's tip lands on the anchor.
TEST(ToolTipBubble, TextAndIconFitAndTheTailTipLandsOnTheAnchor) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> d(0, 300);
    for (int n = 0; n < 300; ++n) {
        const int tw = 1 + d(rng), th = 8 + d(rng) / 10, icon = d(rng) % 3 ? 0 : 16 + d(rng) / 8;
        const BubbleGeometry b = tool_tip_bubble(tw, th, icon, icon);
        const PixelRect text = tool_tip_text_rect(b, icon > 0, icon);
        EXPECT_EQ(text.left, 12 + (icon ? icon + 5 : 0)) << tw << "x" << th << " icon " << icon;
        EXPECT_GE(b.body.right - text.left, tw + 12);
        EXPECT_GE(b.body.bottom, std::max(th + 20, icon));
        EXPECT_GT(b.tail[1].y, b.body.bottom);
        EXPECT_GT(b.windowHeight, b.tail[1].y);
        const PixelPoint anchor{d(rng) - 150, d(rng)};
        const PixelPoint at = tool_tip_position(b, anchor);
        EXPECT_EQ((PixelPoint{at.x + b.tail[1].x, at.y + b.tail[1].y}), anchor);
    }
    EXPECT_FALSE(tool_tip_draws_icon(16));
    EXPECT_TRUE(tool_tip_draws_icon(17));
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
        {ShowTimer, 100, 50, true, "tksW", 1, 0, 100, 50},
        {Move, 110, 52, true, "", 1, 0, 110, 52},         // within the tools: kept, the anchor follows
        {Move, 300, 300, false, "h", 0, 0, 110, 52},      // no tool: hidden
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

TEST(ToolTable, ReplaceFindAndRemoveAlsoFromTheMiddleOfAChain) {
    // Handles 17 * 16 apart share a bucket (handle / 16 modulo 17).
    ToolTable<std::string> table;
    for (uintptr_t k = 0; k < 5; ++k) {
        ASSERT_EQ(ToolTable<std::string>::bucket_of(0x2000 + k * 272), ToolTable<std::string>::bucket_of(0x2000));
        table.set(0x2000 + k * 272, std::to_string(k));
    }
    table.set(0x2000 + 3 * 272, "three");
    EXPECT_EQ(table.size(), 5u);
    EXPECT_TRUE(table.remove(0x2000 + 2 * 272));
    EXPECT_FALSE(table.remove(0x2000 + 2 * 272));
    const char* want[] = {"0", "1", nullptr, "three", "4"};
    for (uintptr_t k = 0; k < 5; ++k) {
        const std::string* found = table.find(0x2000 + k * 272);
        EXPECT_EQ(found ? *found : "none", want[k] ? want[k] : "none") << k;
    }
}

}  // namespace
}  // namespace audiomix
