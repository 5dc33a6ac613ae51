// The tool tip's bubble geometry, show/hide logic and tool table.
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
}

// ---- behaviour

// The actions as letters: t take the tool, S start / k kill the show delay,
// s show, W start / w kill the watch timer, h hide.
std::string letters(const ToolTipActions& a) {
    std::string out;
    const std::pair<bool, char> flags[] = {{a.takeTool, 't'}, {a.startShowTimer, 'S'},  {a.killShowTimer, 'k'},
                                           {a.show, 's'},     {a.startWatchTimer, 'W'}, {a.killWatchTimer, 'w'},
                                           {a.hide, 'h'}};
    for (auto [set, c] : flags)
        if (set) out += c;
    return out;
}

// The window tests show, move and hide the tip with the real mouse; here the
// suppression a click leaves behind, which the screen cannot tell apart.
TEST(ToolTipLogic, AClickHidesAndSuppressesTheNextShowUntilTheMouseMovesOnATool) {
    ToolTipLogic logic;
    EXPECT_EQ(letters(logic.mouse_move({12, 10}, true)), "tS");  // resting on a tool starts the delay
    EXPECT_EQ(letters(logic.show_timer({12, 10}, true)), "tksW");
    EXPECT_EQ(letters(logic.mouse_move({20, 11}, true)), "");  // within the tools: kept, the anchor follows
    EXPECT_EQ(logic.anchor(), (PixelPoint{20, 11}));
    EXPECT_EQ(letters(logic.button_down()), "h");
    EXPECT_TRUE(logic.suppressed());
    EXPECT_EQ(letters(logic.mouse_move({14, 10}, true)), "tS");  // moving onto a tool clears it
    EXPECT_FALSE(logic.suppressed());
    EXPECT_EQ(letters(logic.button_down()), "h");                // a click while the delay runs...
    EXPECT_EQ(letters(logic.show_timer({14, 10}, true)), "tk");  // ...ends it without showing
    EXPECT_FALSE(logic.suppressed());
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
