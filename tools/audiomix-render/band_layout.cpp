#include "band_layout.h"

#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"

namespace audiomix_render {

std::vector<double> band_centres(int32_t rate, int bandCount) {
    std::vector<double> centres;
    if (!audiomix::is_equaliser_rate(rate)) return centres;
    const audiomix::EqCoefTable& table = audiomix::eq_table_for(bandCount, rate);
    for (int32_t b = 0; b < table.bandCount; ++b) centres.push_back(table.bands[b].centre);
    return centres;
}

}  // namespace audiomix_render
