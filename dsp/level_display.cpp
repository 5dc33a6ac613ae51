#include "dsp/level_display.h"

#include "dsp/chain_state.h"

namespace audiomix {

namespace {

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr uint32_t kGridColour = rgb(0, 32, 0);
constexpr uint32_t kBodyColour = rgb(212, 212, 16);
constexpr uint32_t kUpperOutline = rgb(255, 255, 255);
constexpr uint32_t kLowerOutline = rgb(0, 0, 0);

uint32_t darken(uint32_t colour, int32_t by) {
    auto channel = [&](int shift) {
        const int32_t v = static_cast<int32_t>((colour >> shift) & 0xff) - by;
        return static_cast<uint32_t>(v < 0 ? 0 : v) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace

void scope_set_geometry(ChainParams& state, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    int32_t width = right - left;
    if (width < 0) width = 0;
    if (width > kScopeMaxWidth) width = kScopeMaxWidth;
    int32_t height = bottom - top + 1;
    if (height < 0) height = 0;
    state.scopeHeight = height;
    state.scopeRowStep = height / 6;
    state.scopeWidth = width;
    state.scopeGridColumns = width / 10;
}

uint32_t scope_stripe_colour(int32_t row, int32_t height) {
    const int32_t half = height / 2;
    const int32_t distance = row > half ? row - half : half - row;
    int32_t v = 255 - 2 * distance;
    if (v < 0) v = 0;
    return darken(rgb(32, 192, 255), (3 * v) / 4);
}

void scope_capture(const ChainParams& p, ChainSignal& s, const int16_t* samples, int32_t lengthBytes) {
    const int32_t channels = p.channelCount;
    int32_t frames = (lengthBytes / channels) / 2;
    s.scopeFrameCount = frames;
    if (frames < 1 || p.displayShown != 1) return;
    if (frames > kScopeMaxFrames) frames = s.scopeFrameCount = kScopeMaxFrames;
    for (int32_t i = 0; i < frames; ++i) {
        for (int32_t k = 0; k < kMaxChannels; ++k) {
            int32_t level = 0;
            if (k < channels) {
                const int32_t v = samples[i * channels + k];
                level = (v < 0 ? -v : v) / 256;
                if (level > 255) level = 255;
            }
            s.scopeLevel[k][i] = static_cast<uint8_t>(level);
        }
    }
}

void scope_compute_columns(const ChainParams& p, ChainSignal& s) {
    const int32_t width = p.scopeWidth;
    const int32_t per_column = s.scopeFrameCount / width;
    for (int32_t k = 0; k < kMaxChannels; ++k) {
        const uint8_t* level = s.scopeLevel[k];
        for (int32_t c = 0; c < width; ++c) {
            int32_t sum = 0;
            for (int32_t i = c * per_column; i < (c + 1) * per_column; ++i) sum += level[i];
            s.scopeColumn[k][c] = static_cast<uint8_t>(sum / per_column);
        }
    }
}

void scope_draw(const ChainParams& p, ChainSignal& s, ScopeSurface& surface) {
    const int32_t width = p.scopeWidth;
    const int32_t height = p.scopeHeight;
    const int32_t half = height / 2;

    // Background: stripes four rows high, the last one closing at the bottom.
    int32_t top = 0;
    for (int32_t r = 0; r < height; ++r) {
        if ((r % 4 == 0 && r > 0) || r == height - 1) {
            surface.fill_rect(0, top, width, r, scope_stripe_colour(r, height));
            top = r;
        }
    }

    surface.set_pen(kGridColour);
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t y = i == 3 ? half : p.scopeRowStep * i;
        surface.move_to(1, y);
        surface.line_to(width - 2, y);
    }
    surface.move_to(1, height - 2);
    surface.line_to(width - 2, height - 2);
    for (int32_t i = 0; i < p.scopeGridColumns; ++i) {
        surface.move_to(10 * i, 1);
        surface.line_to(10 * i, height - 1);
    }
    surface.move_to(width - 2, 1);
    surface.line_to(width - 2, height - 1);

    scope_compute_columns(p, s);
    const float scale = static_cast<float>((height - 2) * 0.003921569f);
    s.scopeFrameCount = 0;
    const uint8_t* up = s.scopeColumn[0];
    const uint8_t* down = s.scopeColumn[1];

    surface.set_pen(kBodyColour);
    for (int32_t c = 0; c < width; ++c) {
        surface.move_to(c, static_cast<int32_t>(half - up[c] * scale));
        surface.line_to(c, static_cast<int32_t>(half + down[c] * scale));
    }

    surface.set_pen(kUpperOutline);
    surface.move_to(0, static_cast<int32_t>(half - up[0] * scale) - 1);
    for (int32_t c = 1; c < width; ++c) surface.line_to(c, static_cast<int32_t>(half - up[c] * scale - 1));

    surface.set_pen(kLowerOutline);
    surface.move_to(0, static_cast<int32_t>(half + down[0] * scale + 1));
    for (int32_t c = 1; c < width; ++c) surface.line_to(c, static_cast<int32_t>(half + down[c] * scale + 1));
}

void scope_update(const ChainParams& p, ChainSignal& s, const int16_t* samples, int32_t lengthBytes) {
    scope_capture(p, s, samples, lengthBytes);
    if (s.scopeFrameCount < 1 || p.displayShown != 1) return;
    ScopeSurface* surface = p.scopeDc;
    if (surface == nullptr || p.scopeWidth < 1 || p.scopeHeight < 1) return;
    if (s.scopeFrameCount / p.scopeWidth < 1) return;
    if (!surface->begin_frame()) return;
    scope_draw(p, s, *surface);
    surface->end_frame();
}

}  // namespace audiomix
