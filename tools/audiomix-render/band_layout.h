// The equaliser's band layouts as the engine selects them, read from the
// library's own coefficient tables (the engine's objects are linked into the
// tool, so there is one copy of the data and one selection rule; whether a
// rate has tables at all is audiomix::is_equaliser_rate, dsp/equaliser.h).
#pragma once

#include <cstdint>
#include <vector>

namespace audiomix_render {

// The centre frequencies (Hz, ascending) of the layout the engine runs at
// rate with eq.bands = bandCount; empty at a rate without tables.
std::vector<double> band_centres(int32_t rate, int bandCount);

}  // namespace audiomix_render
