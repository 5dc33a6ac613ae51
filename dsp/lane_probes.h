// Array versions of the lane routines (StageKernels::power and the output
// conversions), instantiated by each kernel set for the tests.
//
// Internal linkage: see dsp/simd.h.
#pragma once

#include <cstdint>

#include "dsp/pcm.h"
#include "dsp/pcm_lanes.h"
#include "dsp/pow_lanes.h"

namespace audiomix {
namespace {

// n values, a vector at a time; the last vector's missing lanes run on
// harmless values and are dropped.
template <class V, class Step>
void lanes_over(int32_t n, Step step) {
    for (int32_t i = 0; i < n; i += V::kLanes) step(i, n - i < V::kLanes ? n - i : V::kLanes);
}

template <class V>
void power_probe(const double* x, const double* y, double* out, int32_t n) {
    lanes_over<V>(n, [&](int32_t i, int32_t count) {
        double xs[V::kLanes], ys[V::kLanes], r[V::kLanes];
        for (int32_t j = 0; j < V::kLanes; ++j) {
            xs[j] = j < count ? x[i + j] : 2.0;
            ys[j] = j < count ? y[i + j] : -0.5;
        }
        store(r, pow_lanes(V::load(xs), V::load(ys)));
        for (int32_t j = 0; j < count; ++j) out[i + j] = r[j];
    });
}

inline void equaliser_pcm16_probe(const float* in, int32_t n, int16_t* out) { equaliser_to_pcm16_lanes(in, n, out); }

template <class V, bool kCompressor>
void output_probe(const double* in, int32_t n, int16_t* out) {
    lanes_over<V>(n, [&](int32_t i, int32_t count) {
        double ys[V::kLanes];
        int32_t r[V::kLanes];
        for (int32_t j = 0; j < V::kLanes; ++j) ys[j] = j < count ? in[i + j] : 0.0;
        if (kCompressor) {
            compressor_to_pcm16_lanes(V::load(ys), r);
            for (int32_t j = 0; j < count; ++j) out[i + j] = static_cast<int16_t>(r[j] > 32767 ? 32767 : r[j]);
        } else {
            reverb_to_pcm16_lanes(V::load(ys), r);
            for (int32_t j = 0; j < count; ++j) out[i + j] = static_cast<int16_t>(r[j]);
        }
    });
}

}  // namespace
}  // namespace audiomix
