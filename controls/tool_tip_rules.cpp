#include "controls/tool_tip_rules.h"

#include <algorithm>

#include "controls/colour.h"

namespace audiomix {

BubbleGeometry tool_tip_bubble(int32_t text_width, int32_t text_height, int32_t icon_width, int32_t icon_height) {
    int32_t w = text_width + 2 * 12;
    int32_t h = text_height + 2 * 10;
    if (icon_width > 0 || icon_height > 0) {
        w += icon_width + 5;
        h = std::max(h, icon_height);
    }
    BubbleGeometry b{};
    b.width = w;
    b.height = h;
    b.windowHeight = h + 20;
    b.body = {0, 0, w, h};
    b.cornerWidth = 12;
    b.cornerHeight = 10;
    b.tail[0] = {w - 12, h - 10};
    b.tail[1] = {w - 12, h + 10};
    b.tail[2] = {w - 37, h - 10};
    return b;
}

PixelPoint tool_tip_position(const BubbleGeometry& bubble, PixelPoint anchor) {
    return {anchor.x - bubble.width + 12, anchor.y - bubble.windowHeight + 10};
}

PixelRect tool_tip_text_rect(const BubbleGeometry& bubble, bool has_icon, int32_t icon_width) {
    PixelRect r{12, 10, bubble.width, bubble.windowHeight};
    if (has_icon) r.left += icon_width + 5;
    return r;
}

bool tool_tip_draws_icon(int32_t icon_height) { return icon_height > 16; }

ToolTipColours tool_tip_colours(uint32_t panel) {
    ToolTipColours c{};
    c.fill = panel;
    c.gradientBase = LightenColor(LightenColor(panel, 51), 52);
    c.shadowFrame = DarkenColor(DarkenColor(panel, 51), 57);
    c.lightFrame = LightenColor(LightenColor(panel, 51), 57);
    return c;
}

bool tool_tip_emboss_offset(int mode, PixelPoint* offset) {
    if (mode == 1)
        *offset = {-1, -1};
    else if (mode == 2)
        *offset = {1, 1};
    else
        return false;
    return true;
}

ToolTipActions ToolTipLogic::mouse_move(PixelPoint cursor, bool on_tool) {
    ToolTipActions a;
    if (cursor != anchor_ && on_tool) {
        anchor_ = cursor;
        suppressed_ = false;
        if (!shown_) {
            a.takeTool = true;
            a.startShowTimer = true;
        }
    }
    if (cursor != anchor_) {
        a.hide = true;
        shown_ = false;
        suppressed_ = false;
    }
    return a;
}

ToolTipActions ToolTipLogic::button_down() {
    ToolTipActions a;
    a.hide = true;
    shown_ = false;
    suppressed_ = true;
    return a;
}

ToolTipActions ToolTipLogic::show_timer(PixelPoint cursor, bool on_tool) {
    ToolTipActions a;
    a.killShowTimer = true;
    if (on_tool) {
        a.takeTool = true;
        anchor_ = cursor;
        shown_ = true;
    }
    if (shown_ && !suppressed_) {
        a.show = true;
        a.startWatchTimer = true;
    }
    suppressed_ = false;
    return a;
}

ToolTipActions ToolTipLogic::watch_timer(PixelPoint cursor) {
    ToolTipActions a;
    if (cursor != anchor_) {
        a.killWatchTimer = true;
        a.hide = true;
        shown_ = false;
        suppressed_ = false;
    }
    return a;
}

}  // namespace audiomix
