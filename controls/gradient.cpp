#include "controls/gradient.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/colour.h"

namespace audiomix {

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Bands are a few pixels thick so a face costs a few dozen brushes at most.
int row_step(int h) { return clamp_int(h / 20, 1, 3); }
int column_step(int w, int divisor) { return clamp_int(w / divisor, 1, 4); }

// Walks i = 0..last and calls band(p, i) at every emission point: a multiple
// of the step past 0, and the last index. p is the previous emission.
template <class F>
void walk(int last, int step, F&& band) {
    int previous = 0;
    for (int i = 0; i <= last; ++i) {
        if ((i % step == 0 && i > 0) || i == last) {
            band(previous, i);
            previous = i;
        }
    }
}

// 0 in the middle, 255 at both ends.
int symmetric_ramp(int i, int half) { return clamp_int(std::abs(i - half) * 255 / half, 0, 255); }

// 255 at the start, 0 at the end.
int linear_ramp(int i, int extent) { return clamp_int((extent - i) * 255 / extent, 0, 255); }

// Odd styles are darkest where the ramp is 0, even ones where it is 255.
int two_thirds(int style, int value) { return (style & 1) ? (255 - value) * 2 / 3 : value * 2 / 3; }

// Quarter cosine of the distance from the middle: 1 in the middle, 0 at half.
double centre_cosine(int t, int half) { return std::cos(static_cast<double>(t) / half * kHalfPi); }

enum class Shape {
    Rows,                    // 7/8: full-width rows, symmetric
    Columns,                 // tab 9/10: full-height columns, symmetric
    LinearColumns,           // 19/20
    Capsule,                 // 17/18
    Wedge,                   // 27/28
    Sail,                    // 37/38
    Lens,                    // the tab's default
    RoundedRows,             // 21/22 of the control sets
    SymmetricColumns,        // the control sets' default
    Hourglass,               // label 57/58
    TwoThirdsColumns,        // label 47/48: the horizontal twin of 7/8
    Diamond,                 // label 77/78: a lens half as wide
    LinearTwoThirdsColumns,  // label 107/108: the horizontal twin of 21/22, square
};

bool knows_extended_control_styles(GradientSet set) { return set != GradientSet::ComboBox; }

Shape shape_of(GradientSet set, int style) {
    const int pair = (style & 1) ? style : style - 1;  // 7 for 7 and 8, ...
    if (set == GradientSet::Tab) {
        switch (pair) {
            case 7: return Shape::Rows;
            case 9: return Shape::Columns;
            case 19: return Shape::LinearColumns;
            case 17: return Shape::Capsule;
            case 27: return Shape::Wedge;
            case 37: return Shape::Sail;
            default: return Shape::Lens;
        }
    }
    switch (pair) {
        case 7: return Shape::Rows;
        case 21: return Shape::RoundedRows;
        case 19: return Shape::LinearColumns;
        default: break;
    }
    if (knows_extended_control_styles(set)) {
        switch (pair) {
            case 17: return Shape::Capsule;
            case 27: return Shape::Wedge;
            case 37: return Shape::Sail;
            default: break;
        }
    }
    if (set == GradientSet::Label) {
        switch (pair) {
            case 47: return Shape::TwoThirdsColumns;
            case 57: return Shape::Hourglass;
            case 77: return Shape::Diamond;
            case 107: return Shape::LinearTwoThirdsColumns;
            default: break;
        }
    }
    return Shape::SymmetricColumns;
}

bool has_underlay(GradientSet set) {
    return set == GradientSet::Button || set == GradientSet::ToolTip || set == GradientSet::Label;
}

class Painter {
public:
    Painter(uint32_t base, PixelRect rect, int style, FillSink sink)
        : base_(base), r_(rect), w_(rect.width()), h_(rect.height()), style_(style), sink_(sink) {}

    void paint(Shape shape, int default_column_divisor) {
        switch (shape) {
            case Shape::Rows: return rows();
            case Shape::Columns: return symmetric_columns(50, true);
            case Shape::LinearColumns: return linear_columns(false);
            case Shape::Capsule: return capsule();
            case Shape::Wedge: return wedge();
            case Shape::Sail: return sail();
            case Shape::Lens: return lens(1.0);
            case Shape::RoundedRows: return rounded_rows();
            case Shape::SymmetricColumns: return symmetric_columns(default_column_divisor, false);
            case Shape::Hourglass: return hourglass();
            case Shape::TwoThirdsColumns: return symmetric_columns(50, true);
            case Shape::Diamond: return lens(0.5);
            case Shape::LinearTwoThirdsColumns: return linear_columns(true);
        }
    }

private:
    // Some shapes' outlines reach past the face (the sail's foot, the
    // inclusive walks' last row): what falls outside is dropped here, so a
    // painter sharing a DC with its neighbours never paints over them.
    void fill(int left, int top, int right, int bottom, int amount) {
        const PixelRect band{std::max(left, r_.left), std::max(top, r_.top), std::min(right, r_.right),
                             std::min(bottom, r_.bottom)};
        if (band.empty()) return;
        sink_({band, DarkenColor(base_, static_cast<uint8_t>(clamp_int(amount, 0, 255)))});
    }
    void row_band(int p, int i, int from, int to, int amount) { fill(from, r_.top + p, to, r_.top + i, amount); }
    void column_band(int p, int i, int amount) { fill(r_.left + p, r_.top, r_.left + i, r_.bottom, amount); }

    void rows() {
        const int half = h_ / 2;
        if (half == 0) return;
        walk(h_ - 1, row_step(h_),
             [&](int p, int i) { row_band(p, i, r_.left, r_.right, two_thirds(style_, symmetric_ramp(i, half))); });
    }

    // two_thirds_mapping: the tab's 9/10 and the label's 47/48; otherwise the
    // full ramp, inverted for style 9 only (darkest in the middle).
    void symmetric_columns(int divisor, bool two_thirds_mapping) {
        const int half = w_ / 2;
        if (half == 0) return;
        walk(w_ - 1, column_step(w_, divisor), [&](int p, int i) {
            const int value = symmetric_ramp(i, half);
            int amount;
            if (two_thirds_mapping)
                amount = two_thirds(style_, value);
            else
                amount = style_ == 9 ? 255 - value : value;
            column_band(p, i, amount);
        });
    }

    // Inclusive walk over the width: 19 darkest at the start, 20 at the end
    // (full mapping); the label's 107/108 use the two-thirds mapping instead.
    void linear_columns(bool two_thirds_mapping) {
        if (w_ <= 0) return;
        walk(w_, column_step(w_, 50), [&](int p, int i) {
            const int value = linear_ramp(i, w_);
            const int amount = two_thirds_mapping ? two_thirds(style_, value) : ((style_ & 1) ? 255 - value : value);
            column_band(p, i, amount);
        });
    }

    void capsule() {
        const int half = h_ / 2;
        if (half == 0) return;
        walk(h_ - 1, row_step(h_), [&](int p, int i) {
            const int t = std::abs(i - half);
            const int k = static_cast<int>(half - centre_cosine(t, half) * h_ * 0.5);
            row_band(p, i, r_.left + k, r_.right - k, two_thirds(style_, symmetric_ramp(i, half)));
        });
    }

    void wedge() {
        const int half = h_ / 2;
        if (half == 0) return;
        walk(h_ - 1, row_step(h_), [&](int p, int i) {
            const int t = std::abs(i - half);
            const int k = static_cast<int>(half - centre_cosine(t, half) * h_ / 3.0);
            row_band(p, i, r_.left + half - k, r_.right - k, two_thirds(style_, linear_ramp(i, h_)));
        });
    }

    void sail() {
        const int half = h_ / 2;
        if (half == 0) return;
        walk(h_, row_step(h_), [&](int p, int i) {
            const int t = std::abs(i - half);
            const int k = static_cast<int>(centre_cosine(t, half) * h_ / 3.0);
            const int value = linear_ramp(i, h_);
            const int amount = (style_ & 1) ? (255 - value) * 3 / 5 : value * 2 / 3;
            row_band(p, i, r_.left + static_cast<int>(1.05 * k), r_.right + 3 * k / 2 - half, amount);
        });
    }

    // The middle of each row gets the ramp, the strips outside it a slightly
    // stronger one; the strips widen towards the top and bottom edges.
    void lens(double width_factor) {
        const int half = h_ / 2;
        if (half == 0) return;
        const bool inverted = style_ == 11;
        walk(h_ - 1, row_step(h_), [&](int p, int i) {
            const int t = std::abs(i - half);
            const int k = static_cast<int>(t * (static_cast<double>(w_) / h_) * width_factor);
            const int value = symmetric_ramp(i, half);
            const int side = clamp_int(static_cast<int>(value * 1.05), 0, 255);
            row_band(p, i, r_.left + k, r_.right - k, inverted ? 255 - value : value);
            row_band(p, i, r_.left, r_.left + k, inverted ? 255 - side : side);
            row_band(p, i, r_.right - k, r_.right, inverted ? 255 - side : side);
        });
    }

    // Inclusive walk down the rows with the bottom corners rounded off.
    void rounded_rows() {
        if (h_ <= 0) return;
        walk(h_, row_step(h_), [&](int p, int i) {
            int inset = 0;
            if (i == h_)
                inset = 2;
            else if (i == 1 || i == h_ - 1)
                inset = 1;
            row_band(p, i, r_.left + inset, r_.right - inset, two_thirds(style_, linear_ramp(i, h_)));
        });
    }

    // 57 stops short of the last row; 58 walks onto it and widens the outline
    // by one row to match.
    void hourglass() {
        const int half = h_ / 2;
        if (half == 0) return;
        const bool inclusive = !(style_ & 1);
        const int outline = inclusive ? h_ + 1 : h_;
        walk(inclusive ? h_ : h_ - 1, row_step(h_), [&](int p, int i) {
            const int t = std::abs(i - half);
            const int k = static_cast<int>(centre_cosine(t, half) * outline * 0.5);
            row_band(p, i, r_.left + k, r_.right - k, two_thirds(style_, symmetric_ramp(i, half)));
        });
    }

    uint32_t base_;
    PixelRect r_;
    int w_, h_;
    int style_;
    FillSink sink_;
};

}  // namespace

void gradient_bands(GradientSet set, uint32_t base, PixelRect rect, int style, FillSink sink) {
    if (has_underlay(set) && style < 10 && !rect.empty()) sink({rect, base});
    if (rect.empty()) return;
    Painter painter(base, rect, style, sink);
    painter.paint(shape_of(set, style), set == GradientSet::Button ? 40 : 50);
}

}  // namespace audiomix
