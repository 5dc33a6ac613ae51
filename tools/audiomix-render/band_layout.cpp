#include "band_layout.h"

#include "dsp/eq_tables.h"

namespace audiomix_render {

bool has_equaliser_tables(int32_t rate) {
    for (const audiomix::EqCoefTable& table : audiomix::kEqTables)
        if (table.rate == rate) return true;
    return false;
}

std::vector<double> band_centres(int32_t rate, int bandCount) {
    std::vector<double> centres;
    if (!has_equaliser_tables(rate)) return centres;
    const audiomix::EqCoefTable& table = audiomix::eq_table_for(bandCount, rate);
    for (int32_t b = 0; b < table.bandCount; ++b) centres.push_back(table.bands[b].centre);
    return centres;
}

}  // namespace audiomix_render
