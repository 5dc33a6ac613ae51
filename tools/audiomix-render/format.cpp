#include "format.h"

#include <cmath>
#include <cstdio>

namespace audiomix_render {

std::string format_value(double v) {
    char text[32];
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", v == 0.0 ? 0.0 : v);  // no "-0"
    else
        std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

std::string format_duration(double seconds) {
    char text[48];
    // Round to the millisecond first so that 119.9999 s reads 2:00.000.
    const long long ms = std::llround(seconds * 1000.0);
    if (ms < 60000) {
        std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", ms / 60000, ms / 1000 % 60, ms % 1000);
    }
    return text;
}

}  // namespace audiomix_render
