#include "dsp/kernels.h"

#include <cstdlib>
#include <cstring>

#include "dsp/compressor_kernel.h"
#include "dsp/equaliser_kernel.h"
#include "dsp/lane_probes.h"
#include "dsp/reverb_kernel.h"
#include "dsp/simd.h"

namespace audiomix {
namespace {
using KernelLanes = F64x2;
}  // namespace
}  // namespace audiomix

#include "dsp/kernels_lanes.inc"

namespace audiomix {

namespace {

constexpr StageKernels kBaseline = lanes_kernels(SimdLevel::Baseline, "baseline (two lanes)");

// Also checks that the operating system saves the wide registers.
bool cpu_has(SimdLevel level) {
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    switch (level) {
        case SimdLevel::Baseline: return true;
        case SimdLevel::Avx2: return __builtin_cpu_supports("avx2") != 0;
        case SimdLevel::Avx512: return __builtin_cpu_supports("avx512f") != 0;
    }
    return false;
#else
    return level == SimdLevel::Baseline;
#endif
}

const StageKernels* built(SimdLevel level) {
    switch (level) {
        case SimdLevel::Baseline: return &kBaseline;
        case SimdLevel::Avx2: return avx2_kernels();
        case SimdLevel::Avx512: return avx512_kernels();
    }
    return nullptr;
}

// Constant-initialised, so a call before the load-time choice below still
// finds a valid set.
const StageKernels* g_active = &kBaseline;

const StageKernels& widest(SimdLevel cap) {
    if (cap >= SimdLevel::Avx512 && simd_supported(SimdLevel::Avx512)) return *built(SimdLevel::Avx512);
    if (cap >= SimdLevel::Avx2 && simd_supported(SimdLevel::Avx2)) return *built(SimdLevel::Avx2);
    return kBaseline;
}

SimdLevel cap_from_environment() {
    const char* cap = std::getenv("AUDIOMIX_SIMD");
    if (cap == nullptr) return SimdLevel::Avx512;
    if (std::strcmp(cap, "sse2") == 0) return SimdLevel::Baseline;
    if (std::strcmp(cap, "avx2") == 0) return SimdLevel::Avx2;
    return SimdLevel::Avx512;
}

// Runs while the library loads, before any export can be called.
struct ChooseAtLoad {
    ChooseAtLoad() { g_active = &widest(cap_from_environment()); }
} const choose_at_load;

}  // namespace

const StageKernels& stage_kernels() { return *g_active; }

bool simd_supported(SimdLevel level) { return built(level) != nullptr && cpu_has(level); }

SimdLevel simd_select(SimdLevel cap) {
    g_active = &widest(cap);
    return g_active->level;
}

}  // namespace audiomix
