#include "dsp/chain_state.h"

#include <cstring>

namespace audiomix {

void chain_signal_load_state(ChainSignal& signal) {
    std::memset(&signal, 0, sizeof signal);
    signal.eqSlotCur = 0;
    signal.eqSlotPrev1 = 2;
    signal.eqSlotPrev2 = 1;
}

void chain_apply_resets(const ChainParams& params, ChainSignal& signal) {
    if (signal.eqClearsDone != params.eqClears) {
        std::memset(signal.eqHistory, 0, sizeof signal.eqHistory);
        signal.eqDitherIndex = 0;
        signal.eqClearsDone = params.eqClears;
    }
    if (signal.ringClearsDone != params.ringClears) {
        for (ReverbRing& ring : signal.reverb) std::memset(ring.samples, 0, sizeof ring.samples);
        signal.ringClearsDone = params.ringClears;
    }
    if (signal.compGainResetsDone != params.compGainResets) {
        signal.compGain = 1.0f;
        signal.compGainResetsDone = params.compGainResets;
    }
}

}  // namespace audiomix
