// The AVX2 builds of the stage loops: the same templates as the baseline,
// over four lanes.
//
// Only what follows the target switch below is compiled for AVX2, and all of
// it has internal linkage, so no inline function shared with the rest of the
// library (pcm.h, the standard library) is ever emitted in an AVX2 version
// the linker could pick for baseline code. Hence every header the kernels
// use from outside is included first.
#include "dsp/kernels.h"

#include <cstdint>
#include <cstring>

#include "dsp/eq_tables.h"
#include "dsp/pcm.h"
#include "dsp/portable_math.h"
#include "dsp/chain_state.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))

#include <emmintrin.h>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "dsp/compressor_kernel.h"
#include "dsp/equaliser_kernel.h"
#include "dsp/lane_probes.h"
#include "dsp/reverb_kernel.h"
#include "dsp/simd.h"
#include "dsp/simd_avx2.h"

namespace audiomix {
namespace {
using KernelLanes = F64x4;
}  // namespace
}  // namespace audiomix

#include "dsp/kernels_lanes.inc"

namespace audiomix {
namespace {
constexpr StageKernels kAvx2 = lanes_kernels(SimdLevel::Avx2, "AVX2 (four lanes)");
}  // namespace
}  // namespace audiomix

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace audiomix {

const StageKernels* avx2_kernels() { return &kAvx2; }

}  // namespace audiomix

#else

namespace audiomix {
const StageKernels* avx2_kernels() { return nullptr; }
}  // namespace audiomix

#endif
