// The equaliser's band layouts as the engine selects them, read from the
// library's own coefficient tables (dsp/eq_tables.cpp is compiled into the
// tool, so there is one copy of the data and one selection rule).
#pragma once

#include <cstdint>
#include <vector>

namespace audiomix_render {

// Whether the library has equaliser tables for rate; at any other rate the
// equaliser stage never runs.
bool has_equaliser_tables(int32_t rate);

// The centre frequencies (Hz, ascending) of the layout the engine runs at
// rate with eq.bands = bandCount; empty at a rate without tables.
std::vector<double> band_centres(int32_t rate, int bandCount);

}  // namespace audiomix_render
