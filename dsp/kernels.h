// The stages' sample loops, compiled for more than one instruction set and
// chosen once, when the library loads, by what the processor offers.
//
// Every set computes the same bits (the loops are the same templates over
// vector types whose lanes do IEEE-754 basic operations only); a wider set
// only does more lanes per instruction. The baseline (SSE2, two lanes) runs
// on every x86-64 processor; AVX2 (four lanes) and AVX-512 (eight lanes) are
// chosen when the processor and the operating system support them. The
// environment variable AUDIOMIX_SIMD (sse2 or avx2), read once at load, caps
// the choice; tests switch sets with simd_select.
#pragma once

#include <cstdint>

namespace audiomix {

struct ChainParams;
struct ChainSignal;
struct ReverbVoice;
struct ReverbRing;

enum class SimdLevel : int32_t { Baseline = 0, Avx2 = 1, Avx512 = 2 };

// The compressor's parameters as its loop uses them, and its two states.
struct CompressorRun {
    float meanSquare;
    float gain;
    double threshold2;  // compThreshold squared, rounded to single precision
    double avg;         // detector coefficient
    double attack;
    double release;
    double exponent;  // (compSlope - 1) / 2: the power acts on the mean square
};

struct StageKernels {
    SimdLevel level;
    const char* name;
    // Needs a table and valid slot indices (dsp/equaliser_kernel.h).
    void (*equaliser)(const ChainParams& params, ChainSignal& signal, int16_t* samples, int32_t frames);
    void (*reverb)(const ReverbVoice& voice, ReverbRing& ring, const float* work, int32_t frames, int16_t* out,
                   int32_t stride);
    void (*compressor)(CompressorRun& run, const float* work, int32_t frames, int16_t* out, int32_t stride);

    // The lane routines inside those loops, over arrays, so that tests can
    // hold each set against the scalar routines over whole input domains:
    // portable_pow(x[i], y[i]), and the three output conversions of pcm.h.
    void (*power)(const double* x, const double* y, double* out, int32_t n);
    void (*equaliser_pcm16)(const float* in, int32_t n, int16_t* out);
    void (*reverb_pcm16)(const double* in, int32_t n, int16_t* out);
    void (*compressor_pcm16)(const double* in, int32_t n, int16_t* out);
};

// The set in use. Never changes while audio runs, except through
// simd_select.
const StageKernels& stage_kernels();

// Whether this processor (and this build) can run a set.
bool simd_supported(SimdLevel level);

// Makes the widest supported set not above cap the one in use and returns
// its level. For tests and benchmarks; not for use while audio runs.
SimdLevel simd_select(SimdLevel cap);

// The wider sets, or null when the build has none (dsp/kernels_avx2.cpp,
// dsp/kernels_avx512.cpp).
const StageKernels* avx2_kernels();
const StageKernels* avx512_kernels();

}  // namespace audiomix
