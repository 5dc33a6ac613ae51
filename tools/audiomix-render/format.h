// Small text formatting helpers shared by the summary and the messages.
#pragma once

#include <string>

namespace audiomix_render {

// Whole values without a fraction ("24", "-14"), others in up to six
// significant digits ("1.5", "0.333333").
std::string format_value(double v);

// "1:02.500" style duration for the summary: seconds with three decimals
// below a minute, minutes:seconds above.
std::string format_duration(double seconds);

}  // namespace audiomix_render
