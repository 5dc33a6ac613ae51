// Small value types shared by the pure painters of the skinned controls: a
// pixel rectangle, a point, a solid fill, a pen stroke, and a non-owning
// callback that receives fills one at a time (no allocation per band).
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace audiomix {

// Device pixels; right and bottom are exclusive, as in Win32 RECT.
struct PixelRect {
    int32_t left, top, right, bottom;

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr PixelRect offset(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

constexpr bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
constexpr bool operator!=(const PixelRect& a, const PixelRect& b) { return !(a == b); }

struct PixelPoint {
    int32_t x, y;
};

constexpr bool operator==(const PixelPoint& a, const PixelPoint& b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator!=(const PixelPoint& a, const PixelPoint& b) { return !(a == b); }

// A solid rectangle of one colour (0x00BBGGRR).
struct SolidFill {
    PixelRect rect;
    uint32_t colour;
};

// A polyline drawn with a solid pen of the given width, each segment from its
// first point up to but not including its second (GDI MoveTo/LineTo).
struct Stroke {
    static constexpr int kMaxPoints = 5;
    uint32_t colour;
    int32_t width;
    int32_t count;
    PixelPoint points[kMaxPoints];
};

// Non-owning reference to a callable taking one SolidFill. The callable must
// outlive the call it is passed to (it always does for a temporary lambda
// passed straight to a painter).
class FillSink {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FillSink>>>
    FillSink(F&& f)  // NOLINT: implicit on purpose, so lambdas can be passed directly
        : object_(const_cast<void*>(static_cast<const void*>(&f))), call_([](void* object, const SolidFill& fill) {
              (*static_cast<std::remove_reference_t<F>*>(object))(fill);
          }) {}

    void operator()(const SolidFill& fill) const { call_(object_, fill); }

private:
    void* object_;
    void (*call_)(void*, const SolidFill&);
};

}  // namespace audiomix
