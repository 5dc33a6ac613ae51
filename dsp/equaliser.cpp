#include "dsp/equaliser.h"

#include "dsp/eq_tables.h"
#include "dsp/equaliser_kernel.h"
#include "dsp/kernels.h"
#include "dsp/portable_math.h"
#include "dsp/random_source.h"

namespace audiomix {

namespace {

// The frame loop only ever leaves the slot indices a rotation of (0, 1, 2)
// with prev1 = cur - 1 and prev2 = cur - 2 (mod 3); the kernels rely on it.
bool slots_are_a_rotation(const ChainSignal& s) {
    const int32_t cur = s.eqSlotCur;
    return cur >= 0 && cur < 3 && s.eqSlotPrev1 == (cur + 2) % 3 && s.eqSlotPrev2 == (cur + 1) % 3;
}

}  // namespace

bool is_equaliser_rate(int32_t rate) {
    for (const EqCoefTable& table : kEqTables)
        if (table.rate == rate) return true;
    return false;
}

float eq_band_factor(float value) {
    // Fitted so that 0 gives no band contribution and +20 about unity.
    return static_cast<float>(0.25220207857061455 * portable_exp(0.08017836180235399 * value) - 0.2522020785283656);
}

float eq_pregain_factor(float value) {
    return static_cast<float>(0.9999994649721758 * portable_exp(0.06931473865667184 * value) + 3.7119444716771826e-07);
}

void eq_draw_dither(RandomSource& random, double (&dither)[kDitherSize]) {
    for (double& d : dither) d = static_cast<double>(random.next() % 4 - 2);
}

bool eq_stage_enabled(const ChainParams& params, int32_t lengthBytes) {
    return is_equaliser_rate(params.sampleRate) && params.eqOn == 1 && lengthBytes >= 2 && params.eqTable != nullptr;
}

void eq_process(const ChainParams& params, ChainSignal& signal, int16_t* samples, int32_t frames) {
    if (params.eqTable == nullptr || params.channelCount < 1 || params.channelCount > kMaxChannels ||
        !slots_are_a_rotation(signal))
        return;
    // Filling and draining the pipeline costs about as much as 4 + 40 / stages
    // frames run one by one (measured); shorter buffers go frame by frame.
    const int32_t bands = params.eqActiveBands;
    const int32_t stages = params.eqSecondPass == 1 ? 2 * bands : bands;
    if (bands <= 0 || frames < 4 + 40 / stages)
        eq_frame_by_frame(params, signal, samples, frames);
    else
        stage_kernels().equaliser(params, signal, samples, frames);
}

}  // namespace audiomix
