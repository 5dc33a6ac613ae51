// The control ports as the engine's parameters: at the start of each run the
// values that changed since the last run go through the engine's own rules,
// in table order (the band count before the bands), and nothing else does,
// so that a tap redraw draws random numbers only when a reverb value really
// changed. Runs in the plugin's run call: no allocation, no lock.
#pragma once

#include <cstdint>

#include "plugins/lv2/ports.h"

namespace audiomix {
struct Settings;
}

namespace audiomix::lv2 {

// What a port's value means for its parameter: NaN is no value at all
// (false); anything else is clamped to the range, rounded to a whole number
// where the parameter takes one, and a band count moves to the nearest of
// 10, 15, 25 and 31.
bool control_value(const ParamInfo& info, float raw, double& value);

class Controls {
public:
    // Takes the engine's current values as the ports' last ones: ports that
    // hold the defaults change nothing.
    explicit Controls(const Settings& settings);

    // Applies every port whose value differs from the last one seen. A null
    // port changes nothing. After a new band count every band port counts
    // as changed (the count puts the engine's bands back to 0). Returns the
    // number of parameters applied.
    int32_t apply(Settings& settings, const float* const ports[kControlPorts]);

private:
    char names_[kControlPorts][24];
    float last_[kControlPorts];
};

}  // namespace audiomix::lv2
