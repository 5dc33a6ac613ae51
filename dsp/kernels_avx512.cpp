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
#include "engine/engine_state.h"

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

void equaliser_avx512(EngineState& state, int16_t* samples, int32_t frames) {
    eq_pipeline<F64x8>(state, samples, frames);
}

void reverb_avx512(ReverbLine& line, const float* work, int32_t frames, int16_t* out, int32_t stride) {
    reverb_line<F64x8, Twin<Twin<F64x8>>>(line, work, frames, out, stride);
}

void compressor_avx512(CompressorRun& run, const float* work, int32_t frames, int16_t* out,
                     int32_t stride) {
    compress_channel<F64x8, Twin<Twin<F64x8>>>(run, work, frames, out, stride);
}

void power_avx512(const double* x, const double* y, double* out, int32_t n) {
    power_probe<F64x8>(x, y, out, n);
}
void equaliser_pcm16_avx512(const float* in, int32_t n, int16_t* out) { equaliser_pcm16_probe(in, n, out); }
void reverb_pcm16_avx512(const double* in, int32_t n, int16_t* out) { output_probe<F64x8, false>(in, n, out); }
void compressor_pcm16_avx512(const double* in, int32_t n, int16_t* out) { output_probe<F64x8, true>(in, n, out); }

}  // namespace
}  // namespace audiomix

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace audiomix {
namespace {
constexpr StageKernels kAvx512 = {
    SimdLevel::Avx512,  "AVX-512 (eight lanes)",  &equaliser_avx512,         &reverb_avx512,
    &compressor_avx512,     &power_avx512,         &equaliser_pcm16_avx512,  &reverb_pcm16_avx512,
    &compressor_pcm16_avx512};
}  // namespace

const StageKernels* avx512_kernels() { return &kAvx512; }

}  // namespace audiomix

#else

namespace audiomix {
const StageKernels* avx512_kernels() { return nullptr; }
}  // namespace audiomix

#endif
