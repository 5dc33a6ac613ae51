// The plugins' control ports as parameters, without a host: what a port's
// value means, and which changes reach the engine.
#include <cmath>
#include <limits>

#include "model/param_table.h"
#include "model/parameters.h"
#include "model/stream_rules.h"
#include "plugins/lv2/controls.h"
#include "test_support.h"

namespace audiomix::lv2 {
namespace {

int32_t port_of(const char* name) {
    for (int32_t k = 0; k < kControlPorts; ++k)
        if (control_name(k) == name) return k;
    return kControlPorts - 1;
}

const ParamInfo& info(const char* name) { return control_info(port_of(name)); }

TEST(Lv2ControlValue, ClampsRoundsAndIgnoresNan) {
    struct Case {
        const char* name;
        float raw;
        double expected;
    } cases[] = {
        // The plugin host test covers the ends; these are the roundings.
        {"eq.on", 0.4f, 0},          {"eq.on", 0.6f, 1},   {"reverb.taps", 41.5f, 42}, {"comp.threshold_db", -70, -59},
        {"eq.pregain", 2.25f, 2.25}, {"eq.bands", 12, 10}, {"eq.bands", 13, 15},       {"eq.bands", 28.5f, 31},
    };
    for (const Case& c : cases) {
        double v = -999;
        ASSERT_TRUE(control_value(info(c.name), c.raw, v)) << c.name << " " << c.raw;
        EXPECT_EQ(v, c.expected) << c.name << " " << c.raw;
    }
    double untouched = 7;
    EXPECT_FALSE(control_value(info("reverb.taps"), std::numeric_limits<float>::quiet_NaN(), untouched));
    EXPECT_EQ(untouched, 7);
}

class Lv2Controls : public ::testing::Test {
protected:
    void SetUp() override {
        stream_create(*settings, 44100, 2);
        controls = std::make_unique<Controls>(*settings);
        for (int32_t k = 0; k < kControlPorts; ++k) {
            values[k] = static_cast<float>(control_info(k).defaultValue);
            ports[k] = &values[k];
        }
    }
    float& port(const char* name) { return values[port_of(name)]; }
    double get(const char* name) {
        double v = -999;
        param_get(*settings, name, &v);
        return v;
    }
    // The next draw of the settings' random source, without disturbing it.
    int32_t next_draw() const { return RandomSource(settings->random).next(); }

    std::unique_ptr<Settings> settings = testing::make_settings();
    std::unique_ptr<Controls> controls;
    float values[kControlPorts];
    const float* ports[kControlPorts];
};

// Ports at their defaults change nothing (no taps redrawn, no dither drawn);
// a changed port applies once; an unconnected port changes nothing.
TEST_F(Lv2Controls, OnlyChangedPortsApplyAndOnlyOnce) {
    const int32_t draw = next_draw();
    EXPECT_EQ(controls->apply(*settings, ports), 0);
    EXPECT_EQ(next_draw(), draw);
    EXPECT_EQ(settings->settingsChanged, 0);
    port("reverb.taps") = 60;
    port("eq.band.3") = 5;
    port("eq.band.20") = -4;  // beyond 10 bands: ignored for now
    EXPECT_EQ(controls->apply(*settings, ports), 2);
    EXPECT_EQ(get("reverb.taps"), 60);
    EXPECT_NE(next_draw(), draw);  // the new tap count drew new taps
    const int32_t after = next_draw();
    EXPECT_EQ(controls->apply(*settings, ports), 0);
    EXPECT_EQ(next_draw(), after);
    ports[5] = nullptr;
    EXPECT_EQ(controls->apply(*settings, ports), 0);

    // A new band count resets every band in the engine, and the band ports
    // apply again, the newly shown ones too.
    port("eq.bands") = 31;
    controls->apply(*settings, ports);
    EXPECT_EQ(get("eq.bands"), 31);
    EXPECT_EQ(get("eq.band.3"), 5);
    EXPECT_EQ(get("eq.band.20"), -4);
    EXPECT_EQ(get("eq.band.21"), 0);
}

}  // namespace
}  // namespace audiomix::lv2
