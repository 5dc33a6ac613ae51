#include "controls/combo_rules.h"

#include <utility>

#include "controls/gradient.h"
#include "controls/label_rules.h"

namespace audiomix {

namespace {

constexpr uint8_t kGradientLift = 51;

PixelRect inflate(PixelRect r, int32_t dx, int32_t dy) {
    return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

}  // namespace

ComboItemPaint combo_item_paint(const ComboLook& look, PixelRect item, int index, bool selected) {
    ComboItemPaint p{};
    p.backgroundStyle = look.backgroundStyle;
    if (look.backgroundStyle <= 0) {
        // Style 0 leaves the outermost ring to the frame. Negative styles are
        // not used by anyone; they draw as the solid face rather than nothing.
        p.backgroundKind = ComboBackgroundKind::Solid;
        p.backgroundRect = inflate(item, -1, -1);
        p.backgroundColour = look.background;
    } else if (look.backgroundStyle <= 6) {
        p.backgroundKind = ComboBackgroundKind::Bevel;
        p.backgroundRect = item;
        p.backgroundColour = look.background;
    } else {
        p.backgroundKind = ComboBackgroundKind::Gradient;
        p.backgroundRect = item;
        p.backgroundColour = LightenColor(LightenColor(look.background, kGradientLift), kGradientLift);
    }

    p.highlighted = selected;
    p.highlightColour = InvertColor(look.highlight);
    const uint32_t text = selected ? LightenColor(look.text, kComboSelectedTextLift) : look.text;

    if (index != -1) {
        const PixelRect inner = inflate(item, -3, 0);
        const PixelRect grown = inflate(inner, 1, 1);
        if (look.textEffect == kComboTextDarkShadow || look.textEffect == kComboTextWhiteShadow) {
            const uint32_t first = look.textEffect == kComboTextDarkShadow ? kComboDarkShadow : kComboWhiteShadow;
            p.textPasses[0] = {inner, first};
            p.textPasses[1] = {grown, text};
            p.textPassCount = 2;
        } else {
            // Unknown effects draw plain text rather than none.
            p.textPasses[0] = {grown, text};
            p.textPassCount = 1;
        }
    }
    p.frame = item;
    return p;
}

void combo_face_fills(const ComboItemPaint& paint, FillSink sink) {
    switch (paint.backgroundKind) {
        case ComboBackgroundKind::Solid:
            if (!paint.backgroundRect.empty()) sink({paint.backgroundRect, paint.backgroundColour});
            break;
        case ComboBackgroundKind::Bevel:
            // The label's bevel: the face in the background colour, lighter and
            // darker edges (raised for 1-3, sunken for 4-6).
            label_bevel(paint.backgroundRect, paint.backgroundStyle, paint.backgroundColour, sink);
            break;
        case ComboBackgroundKind::Gradient:
            gradient_bands(GradientSet::ComboBox, paint.backgroundColour, paint.backgroundRect, paint.backgroundStyle,
                           sink);
            break;
    }
    if (paint.highlighted)
        gradient_bands(GradientSet::ComboBox, paint.highlightColour, paint.frame, kComboHighlightStyle, sink);
}

void combo_frame_fills(const ComboItemPaint& paint, FillSink sink) {
    const PixelRect r = paint.frame;
    if (r.empty()) return;
    sink({{r.left, r.top, r.right, r.top + 1}, kComboFrameColour});
    sink({{r.left, r.bottom - 1, r.right, r.bottom}, kComboFrameColour});
    sink({{r.left, r.top, r.left + 1, r.bottom}, kComboFrameColour});
    sink({{r.right - 1, r.top, r.right, r.bottom}, kComboFrameColour});
}

void combo_store_values(const std::vector<uint32_t>& values, std::vector<uint8_t>& archive) {
    const auto put = [&archive](uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) archive.push_back(static_cast<uint8_t>(v >> shift));
    };
    put(static_cast<uint32_t>(values.size()));
    for (uint32_t v : values) put(v);
}

bool combo_load_values(const std::vector<uint8_t>& archive, size_t& offset, std::vector<uint32_t>& values) {
    const auto get = [&archive](size_t at) {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(archive[at + static_cast<size_t>(k)]) << (8 * k);
        return v;
    };
    if (offset > archive.size() || archive.size() - offset < 4) return false;
    const uint32_t count = get(offset);
    // Compared in 64 bits: a hostile count times 4 must not wrap.
    if (static_cast<uint64_t>(count) * 4 > archive.size() - offset - 4) return false;
    std::vector<uint32_t> loaded(count);
    for (uint32_t i = 0; i < count; ++i) loaded[i] = get(offset + 4 + 4 * static_cast<size_t>(i));
    values = std::move(loaded);
    offset += 4 + 4 * static_cast<size_t>(count);
    return true;
}

}  // namespace audiomix
