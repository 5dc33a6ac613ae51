// The AVX2 builds of the stage loops: the same templates as the baseline,
// over four lanes.
#define AUDIOMIX_KERNEL_TARGET "avx2"
#define AUDIOMIX_KERNEL_SIMD   "dsp/simd_avx2.h"
#define AUDIOMIX_KERNEL_LANES  F64x4
#define AUDIOMIX_KERNEL_LEVEL  SimdLevel::Avx2
#define AUDIOMIX_KERNEL_NAME   "AVX2 (four lanes)"
#define AUDIOMIX_KERNEL_GETTER avx2_kernels
#include "dsp/kernels_target.inc"
