// The AVX-512 builds of the stage loops: the same templates as the baseline,
// over eight lanes.
#define AUDIOMIX_KERNEL_TARGET "avx512f"
#define AUDIOMIX_KERNEL_SIMD   "dsp/simd_avx512.h"
#define AUDIOMIX_KERNEL_LANES  F64x8
#define AUDIOMIX_KERNEL_LEVEL  SimdLevel::Avx512
#define AUDIOMIX_KERNEL_NAME   "AVX-512 (eight lanes)"
#define AUDIOMIX_KERNEL_GETTER avx512_kernels

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 intrinsics start some results from a deliberately
// undefined register (`__m512i __Y = __Y;`), and -W(maybe-)uninitialized
// reports every use of them.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "dsp/kernels_target.inc"
