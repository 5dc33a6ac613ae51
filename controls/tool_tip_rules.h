// The tool tip's pure parts: bubble geometry and placement, its colours, the
// show/hide state machine driven by relayed mouse messages and timers, and
// the table of tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "controls/pixel_geometry.h"

namespace audiomix {

// ---- Geometry ------------------------------------------------------------------

struct BubbleGeometry {
    int32_t width;         // body width
    int32_t height;        // body height (without the tail)
    int32_t windowHeight;  // body plus tail
    PixelRect body;        // rounded rectangle {0, 0, width, height}
    int32_t cornerWidth;   // corner ellipse
    int32_t cornerHeight;
    PixelPoint tail[3];  // tail triangle; tail[1] is the tip
};

// Bubble for a text measured at (0, 0)-(text_width, text_height): 12 pixels
// of padding left and right, 10 above and below; an icon (0 x 0 when none)
// adds its width and 5 pixels and makes the body at least as tall as itself.
BubbleGeometry tool_tip_bubble(int32_t text_width, int32_t text_height, int32_t icon_width, int32_t icon_height);

// Window position (screen) that puts the tail's tip on the anchor.
PixelPoint tool_tip_position(const BubbleGeometry& bubble, PixelPoint anchor);

// Where the text is drawn inside the window; an icon pushes it right.
PixelRect tool_tip_text_rect(const BubbleGeometry& bubble, bool has_icon, int32_t icon_width);

// Icons of 16 pixels or less in height are not drawn.
bool tool_tip_draws_icon(int32_t icon_height);

struct ToolTipColours {
    uint32_t fill;          // region fill and the 3-pixel outer frame
    uint32_t gradientBase;  // base of the face gradient (style 7)
    uint32_t shadowFrame;   // 1-pixel frame shifted up-left
    uint32_t lightFrame;    // 1-pixel frame on the region's edge
};

ToolTipColours tool_tip_colours(uint32_t panel);

// Offset of the white emboss copy of the text: mode 1 up-left, 2 down-right,
// anything else none (returns false).
bool tool_tip_emboss_offset(int mode, PixelPoint* offset);

// ---- Behaviour -----------------------------------------------------------------

constexpr int kToolTipShowTimer = 9100;
constexpr int kToolTipWatchTimer = 9101;
constexpr int kToolTipShowDelayMs = 500;
constexpr int kToolTipWatchPeriodMs = 200;

// What the window has to do after an event. Several may be set; the window
// performs them in the order of the fields.
struct ToolTipActions {
    bool takeTool = false;        // adopt the tool's text (and, on a mouse move, its icon)
    bool startShowTimer = false;  // (re)start the show delay
    bool killShowTimer = false;
    bool show = false;  // size, shape and show at the anchor
    bool startWatchTimer = false;
    bool killWatchTimer = false;
    bool hide = false;
};

// The show/hide logic. The window feeds it the cursor position and whether a
// registered tool lies under the cursor.
class ToolTipLogic {
public:
    ToolTipActions mouse_move(PixelPoint cursor, bool on_tool);
    ToolTipActions button_down();
    ToolTipActions show_timer(PixelPoint cursor, bool on_tool);
    ToolTipActions watch_timer(PixelPoint cursor);

    // A window (re)created starts unsuppressed.
    void created() { suppressed_ = false; }
    // An explicit request to show at a point (ShowAt).
    void set_anchor(PixelPoint anchor) { anchor_ = anchor; }

    PixelPoint anchor() const { return anchor_; }
    bool shown() const { return shown_; }
    bool suppressed() const { return suppressed_; }

private:
    PixelPoint anchor_{0, 0};
    bool shown_ = false;
    bool suppressed_ = false;
};

// ---- Tools -----------------------------------------------------------------------

// Control window (as an integer) -> record. A small chained hash table of 17
// buckets; records live in blocks of 10 that are released together when the
// last record goes.
template <class Record>
class ToolTable {
public:
    static constexpr size_t kBuckets = 17;
    static constexpr size_t kBlockSize = 10;

    static size_t bucket_of(uintptr_t key) { return (key >> 4) % kBuckets; }

    // Inserts or replaces.
    void set(uintptr_t key, Record record) {
        if (Node* node = lookup(key)) {
            node->record = std::move(record);
            return;
        }
        Node* node = take_node();
        node->key = key;
        node->record = std::move(record);
        Node*& head = heads_[bucket_of(key)];
        node->next = head;
        head = node;
        ++count_;
    }

    // True if the key was present.
    bool remove(uintptr_t key) {
        for (Node** link = &heads_[bucket_of(key)]; *link != nullptr; link = &(*link)->next) {
            Node* node = *link;
            if (node->key != key) continue;
            *link = node->next;
            node->record = Record();
            node->next = free_;
            free_ = node;
            if (--count_ == 0) release();
            return true;
        }
        return false;
    }

    const Record* find(uintptr_t key) const {
        const Node* node = const_cast<ToolTable*>(this)->lookup(key);
        return node != nullptr ? &node->record : nullptr;
    }

    size_t size() const { return count_; }
    size_t block_count() const { return blocks_.size(); }

private:
    struct Node {
        uintptr_t key = 0;
        Record record{};
        Node* next = nullptr;
    };

    Node* lookup(uintptr_t key) {
        for (Node* node = heads_[bucket_of(key)]; node != nullptr; node = node->next)
            if (node->key == key) return node;
        return nullptr;
    }

    Node* take_node() {
        if (free_ == nullptr) {
            blocks_.push_back(std::make_unique<Node[]>(kBlockSize));
            Node* block = blocks_.back().get();
            for (size_t k = 0; k < kBlockSize; ++k) {
                block[k].next = free_;
                free_ = &block[k];
            }
        }
        Node* node = free_;
        free_ = node->next;
        node->next = nullptr;
        return node;
    }

    void release() {
        blocks_.clear();
        free_ = nullptr;
        for (Node*& head : heads_) head = nullptr;
    }

    Node* heads_[kBuckets] = {};
    Node* free_ = nullptr;
    std::vector<std::unique_ptr<Node[]>> blocks_;
    size_t count_ = 0;
};

}  // namespace audiomix
