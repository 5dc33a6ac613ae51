// Shared helpers of the native tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audiomix.h"
#include "controls/pixel_geometry.h"
#include "api/default_engine.h"
#include "model/engine.h"
#include "model/settings.h"

namespace audiomix::testing {

// Puts the default engine back into its load state: no window, load values,
// the random source at its unseeded start.
inline void reset_engine() {
    audiomix_close();
    default_engine().restore_load_state();
}

// The default engine's settings, copied under its lock.
inline Settings settings() { return *default_engine().view(); }

// A parameter of the default engine, read through the export.
inline double param(const std::string& name) {
    double v = -12345;
    EXPECT_EQ(audiomix_param_get(name.c_str(), &v), AUDIOMIX_PARAM_OK) << name;
    return v;
}

// A fixture for tests that drive the global engine through the exports.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { reset_engine(); }
    void TearDown() override { reset_engine(); }
};

// Private settings in their load state.
inline std::unique_ptr<Settings> make_settings() {
    auto state = std::make_unique<Settings>();
    settings_load_state(*state);
    return state;
}

// A deterministic interleaved signal of random segments: tones, noise, full
// scale squares, silence, constants and a few LSBs.
std::vector<int16_t> make_signal(uint32_t seed, int32_t channels, int32_t frames);

// Pixels the pure painters draw into, as FillRect and LineTo would; a sink
// for their fills. Pixels outside the grid are dropped.
struct Canvas {
    static constexpr uint32_t kUnpainted = 0xFF000000u;
    int w, h;
    std::vector<uint32_t> px;
    std::vector<SolidFill> fills;

    Canvas(int width, int height, uint32_t background = kUnpainted)
        : w(width), h(height), px(static_cast<size_t>(width * height), background) {}
    void set(int x, int y, uint32_t c) {
        if (x >= 0 && x < w && y >= 0 && y < h) px[static_cast<size_t>(y * w + x)] = c;
    }
    void operator()(const SolidFill& f) {
        fills.push_back(f);
        for (int y = f.rect.top; y < f.rect.bottom; ++y)
            for (int x = f.rect.left; x < f.rect.right; ++x) set(x, y, f.colour);
    }
    // A 1-pixel horizontal, vertical or 45-degree polyline, each segment
    // without its end point.
    void stroke(const Stroke& s) {
        for (int k = 1; k < s.count; ++k) {
            const PixelPoint to = s.points[k];
            for (PixelPoint p = s.points[k - 1]; p != to;
                 p.x += (to.x > p.x) - (to.x < p.x), p.y += (to.y > p.y) - (to.y < p.y))
                set(p.x, p.y, s.colour);
        }
    }
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

}  // namespace audiomix::testing
