#include "engine/engine_state.h"

#include <cstring>
#include <type_traits>

#include "dsp/portable_math.h"

namespace audiomix {

static_assert(std::is_trivially_copyable<EngineState>::value,
              "the engine record is plain data: tests copy it and zero it");

EngineState engine;

namespace {
// Runs while the library loads, before any export can be called.
struct LoadState {
    LoadState() { engine_load_state(engine); }
} const load_state;
}  // namespace

void engine_load_state(EngineState& state) {
    std::memset(&state, 0, sizeof state);
    state.sampleRate = -1;
    state.reportedRate = 1;
    state.channelCount = 2;
    state.reportedChannels = 0;
    state.skinColour = 0x00804004;  // RGB(4, 64, 128)
    state.eqSlotCur = 0;
    state.eqSlotPrev1 = 2;
    state.eqSlotPrev2 = 1;
}

double db_to_linear(int16_t dB) {
    return portable_exp10(static_cast<double>(dB) * static_cast<double>(0.05f));
}

double ms_to_coef(const EngineState& state, float ms) {
    return 1.0 - 1.0 / (static_cast<double>(state.sampleRate) * static_cast<double>(ms) *
                        static_cast<double>(0.001f));
}

}  // namespace audiomix
