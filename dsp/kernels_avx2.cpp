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
#include "engine/engine_state.h"

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

void equaliser_avx2(EngineState& state, int16_t* samples, int32_t frames) {
    eq_pipeline<F64x4>(state, samples, frames);
}

void reverb_avx2(ReverbLine& line, const float* work, int32_t frames, int16_t* out, int32_t stride) {
    reverb_line<F64x4, Twin<Twin<F64x4>>>(line, work, frames, out, stride);
}

void compressor_avx2(CompressorRun& run, const float* work, int32_t frames, int16_t* out,
                     int32_t stride) {
    compress_channel<F64x4, Twin<Twin<F64x4>>>(run, work, frames, out, stride);
}

void power_avx2(const double* x, const double* y, double* out, int32_t n) {
    power_probe<F64x4>(x, y, out, n);
}
void equaliser_pcm16_avx2(const float* in, int32_t n, int16_t* out) { equaliser_pcm16_probe(in, n, out); }
void reverb_pcm16_avx2(const double* in, int32_t n, int16_t* out) { output_probe<F64x4, false>(in, n, out); }
void compressor_pcm16_avx2(const double* in, int32_t n, int16_t* out) { output_probe<F64x4, true>(in, n, out); }

}  // namespace
}  // namespace audiomix

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace audiomix {
namespace {
constexpr StageKernels kAvx2 = {
    SimdLevel::Avx2,  "AVX2 (four lanes)",  &equaliser_avx2,         &reverb_avx2,
    &compressor_avx2,     &power_avx2,         &equaliser_pcm16_avx2,  &reverb_pcm16_avx2,
    &compressor_pcm16_avx2};
}  // namespace

const StageKernels* avx2_kernels() { return &kAvx2; }

}  // namespace audiomix

#else

namespace audiomix {
const StageKernels* avx2_kernels() { return nullptr; }
}  // namespace audiomix

#endif
