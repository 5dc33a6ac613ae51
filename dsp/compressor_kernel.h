// The compressor's sample loop, for any vector width (dsp/simd.h).
//
// Two recurrences run through the samples: the detector's mean square m and
// the smoothed gain g, each a few dependent operations per sample. Between
// them sits the power law of the gain curve, by far the costliest part but
// independent from sample to sample, so it runs a vector of samples at once
// (dsp/pow_lanes.h).
//
// Internal linkage: see dsp/simd.h.
#pragma once

#include <cstdint>

#include "dsp/kernels.h"
#include "dsp/pcm.h"
#include "dsp/pcm_lanes.h"
#include "dsp/portable_math.h"
#include "dsp/pow_lanes.h"
#include "dsp/simd.h"

namespace audiomix {
namespace {

// The gain curve's target for levels (mean squares) m: 1 below the
// threshold, (m / T^2)^exponent at or above it. Lanes below it divide 1 by 1
// and take the power of 1, which is dropped.
template <class P>
P target_lanes(P level, P t2, P exponent) {
    const P one = P::splat(1.0);
    const auto below = level < t2;
    if (all(below)) return one;  // a quiet stretch: no power at all
    const P ratio = select(below, one, level) / select(below, one, t2);
    return select(below, one, pow_lanes(ratio, exponent));
}

inline double target_scalar(float level, double t2, double exponent) {
    return level < t2 ? 1.0 : portable_pow(static_cast<double>(level) / t2, exponent);
}

// One sample at a time, the plain form: for calls of a few samples, where
// the blocks' set-up costs more than they save (comp_process).
inline void compress_frame_by_frame(CompressorRun& run, const float* work, int32_t frames, int16_t* out,
                                    int32_t stride) {
    float m = run.meanSquare;
    float g = run.gain;
    for (int32_t f = 0; f < frames; ++f) {
        const float x = static_cast<float>(work[f] * kPcmToUnit);
        const double xd = x;
        m = static_cast<float>(xd * xd * (1.0 - run.avg) + m * run.avg);
        const double target = target_scalar(m, run.threshold2, run.exponent);
        const double k = target < g ? run.attack : run.release;
        g = static_cast<float>((1.0 - k) * target + k * g);
        out[f * stride] = compressor_to_pcm16(xd * g);
    }
    run.meanSquare = m;
    run.gain = g;
}

// Runs one channel through the compressor. V is the vector type, P several
// of them side by side (Twin), which the power law runs on: its chain of
// dependent operations is long, and independent chains side by side keep the
// processor busy.
//
// Blocks of kBlock samples: the targets of a whole block at once, then one
// loop that smooths the gain through the block and runs the detector through
// the next block, two independent recurrences side by side. Each sample
// still sees exactly the operations of the plain loop.
template <class V, class P>
void compress_channel(CompressorRun& run, const float* work, int32_t frames, int16_t* out, int32_t stride) {
    constexpr int32_t kBlock = 64;
    static_assert(kBlock % P::kLanes == 0, "whole power vectors per block");
    float m = run.meanSquare;
    float g = run.gain;
    const double a = run.avg;
    const double one_minus_a = 1.0 - a;
    const double attack = run.attack;
    const double release = run.release;
    const double one_minus_attack = 1.0 - attack;
    const double one_minus_release = 1.0 - release;
    const double t2 = run.threshold2;
    const double exponent = run.exponent;

    // One detector step: the sample scaled to +-1, its square into the mean.
    auto detect = [&](float sample, float& x) {
        x = static_cast<float>(sample * kPcmToUnit);
        const double xd = x;
        m = static_cast<float>(xd * xd * one_minus_a + m * a);
        return m;
    };
    // One gain step towards target, at the attack rate when falling.
    auto smooth = [&](double target) {
        const double fall = one_minus_attack * target + attack * g;
        const double rise = one_minus_release * target + release * g;
        // A branch, not a select: well predicted, it keeps the choice off the
        // recurrence (measured faster on music-like signals).
        g = static_cast<float>(target < g ? fall : rise);
        return g;
    };
    // The samples times their gains, converted to 16 bits a vector at a time.
    auto write = [&](const float* xs, const float* gains, int32_t count, int16_t* o) {
        int32_t i = 0;
        for (; i + V::kLanes <= count; i += V::kLanes) {
            int32_t ints[V::kLanes];
            compressor_to_pcm16_lanes(V::load_floats(xs + i) * V::load_floats(gains + i), ints);
            for (int32_t j = 0; j < V::kLanes; ++j)
                o[(i + j) * stride] = static_cast<int16_t>(ints[j] > 32767 ? 32767 : ints[j]);
        }
        for (; i < count; ++i) o[i * stride] = compressor_to_pcm16(static_cast<double>(xs[i]) * gains[i]);
    };

    // Per block: the scaled samples and the levels, for this block and the
    // next (double-buffered), and the targets.
    float x[2][kBlock];
    float level[2][kBlock];
    double target[kBlock];
    float gain[kBlock];

    int32_t n = frames < kBlock ? frames : kBlock;
    for (int32_t i = 0; i < n; ++i) level[0][i] = detect(work[i], x[0][i]);
    for (int32_t start = 0, cur = 0; start < frames; start += kBlock, cur ^= 1) {
        const float* lv = level[cur];
        int32_t i = 0;
        for (; i + P::kLanes <= n; i += P::kLanes)
            store(target + i, target_lanes(P::load_floats(lv + i), P::splat(t2), P::splat(exponent)));
        for (; i + V::kLanes <= n; i += V::kLanes)
            store(target + i, target_lanes(V::load_floats(lv + i), V::splat(t2), V::splat(exponent)));
        for (; i < n; ++i) target[i] = target_scalar(lv[i], t2, exponent);

        const int32_t next = start + kBlock;
        const int32_t n_next = frames - next < kBlock ? (frames > next ? frames - next : 0) : kBlock;
        const float* const xs = x[cur];
        int16_t* const o = out + start * stride;
        float* const next_level = level[cur ^ 1];
        float* const next_x = x[cur ^ 1];
        const float* const next_work = work + next;
        const int32_t both = n < n_next ? n : n_next;
        for (i = 0; i < both; ++i) {
            gain[i] = smooth(target[i]);
            next_level[i] = detect(next_work[i], next_x[i]);
        }
        for (; i < n; ++i) gain[i] = smooth(target[i]);
        write(xs, gain, n, o);
        n = n_next;
    }
    run.meanSquare = m;
    run.gain = g;
}

}  // namespace
}  // namespace audiomix
