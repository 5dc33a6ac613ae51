#include "dsp/units.h"

#include "dsp/portable_math.h"

namespace audiomix {

double db_to_linear(int16_t dB) { return portable_exp10(static_cast<double>(dB) * static_cast<double>(0.05f)); }

double ms_to_coef(int32_t sampleRate, float ms) {
    return 1.0 - 1.0 / (static_cast<double>(sampleRate) * static_cast<double>(ms) * static_cast<double>(0.001f));
}

}  // namespace audiomix
