// The AVX-512 builds of the stage loops: the same templates as the baseline,
// over eight lanes.
//
// Only what follows the target switch below is compiled for AVX-512, and all of
// it has internal linkage, so no inline function shared with the rest of the
// library (pcm.h, the standard library) is ever emitted in an AVX-512 version
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
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
// GCC 12's AVX-512 intrinsics start some results from a deliberately
// undefined register (`__m512i __Y = __Y;`), and -W(maybe-)uninitialized
// reports every use of them.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "dsp/compressor_kernel.h"
#include "dsp/equaliser_kernel.h"
#include "dsp/lane_probes.h"
#include "dsp/reverb_kernel.h"
#include "dsp/simd.h"
#include "dsp/simd_avx512.h"

namespace audiomix {
namespace {
using KernelLanes = F64x8;
}  // namespace
}  // namespace audiomix

#include "dsp/kernels_lanes.inc"

namespace audiomix {
namespace {
constexpr StageKernels kAvx512 = lanes_kernels(SimdLevel::Avx512, "AVX-512 (eight lanes)");
}  // namespace
}  // namespace audiomix

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace audiomix {

const StageKernels* avx512_kernels() { return &kAvx512; }

}  // namespace audiomix

#else

namespace audiomix {
const StageKernels* avx512_kernels() { return nullptr; }
}  // namespace audiomix

#endif
