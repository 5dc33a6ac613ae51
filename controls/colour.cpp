#include "controls/colour.h"

namespace audiomix {

namespace {
uint32_t shift_components(uint32_t colour, int32_t amount) {
    auto component = [&](uint32_t v) {
        const int32_t shifted = static_cast<int32_t>(v) + amount;
        return static_cast<uint32_t>(shifted < 0 ? 0 : (shifted > 255 ? 255 : shifted));
    };
    return make_rgb(component(red_of(colour)), component(green_of(colour)), component(blue_of(colour)));
}
}  // namespace

uint32_t DarkenColor(uint32_t colour, uint8_t amount) {
    return shift_components(colour, -static_cast<int32_t>(amount));
}

uint32_t LightenColor(uint32_t colour, uint8_t amount) { return shift_components(colour, amount); }

uint32_t InvertColor(uint32_t colour) {
    return make_rgb(255 - red_of(colour), 255 - green_of(colour), 255 - blue_of(colour));
}

}  // namespace audiomix
