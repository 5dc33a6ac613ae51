// The equaliser's frame loop as a pipeline of bands, for any vector width
// (dsp/simd.h).
//
// Per frame and channel the bank is a chain: the running sum goes through the
// bands in order, each adding its filtered sample rounded to single
// precision, and in the second pass each band filters the running sum itself.
// Done frame by frame, every frame waits for the whole chain: with 31 bands
// and two passes, some 60 dependent roundings.
//
// But band b only needs, from frame n, the running sum that band b - 1 has
// passed on, and its own memory of frames n - 1 and n - 2. So the bands form a
// pipeline: at step s, stage i works on frame s - i, taking the sum that
// stage i - 1 produced at step s - 1. All stages of a step are independent of
// each other, and a frame leaves the last stage S - 1 steps after it entered.
// The arithmetic of every band, frame and channel is exactly that of the
// frame-by-frame loop, in the same order; only independent work interleaves.
//
// Data layout. Stage i is band i of the first pass for i < B, band i - B of
// the second pass above. A vector of V::kLanes doubles holds G = kLanes / 2
// consecutive stages, each as a pair of lanes (channel 0, channel 1; in mono
// the second lane runs on zeros): group k holds stages kG ... kG + G - 1.
// Per group: the coefficients, and the memory in three rotating slots
// widened to double, where stage i keeps eqHistory's slot q in its local slot
// (q + i) mod 3; frame s - i sits in state slot (eqSlotCur + s - i) mod 3,
// hence in local slot (eqSlotCur + s) mod 3, the same for every stage of
// step s. out[k] holds the sums group k produced in the last step and
// inputs[k] the frame inputs its first-pass stages filtered; both move on by
// one stage per step (shift_in_stage), the new frame's input entering at
// stage 0. The frames' inputs are computed a batch ahead into a ring; the
// sums of finished frames become samples a batch at a time.
//
// Internal linkage: see dsp/simd.h.
#pragma once

#include <cstdint>

#include "dsp/eq_tables.h"
#include "dsp/pcm.h"
#include "dsp/pcm_lanes.h"
#include "dsp/simd.h"
#include "dsp/chain_state.h"

namespace audiomix {
namespace {

constexpr int32_t kMaxStages = 2 * kMaxBands;
constexpr int32_t kInputBatch = 32;   // frames whose inputs are computed at once
constexpr int32_t kOutputBatch = 16;  // frames whose outputs are converted at once
constexpr int32_t kInputRing = 128;
static_assert(kInputRing >= kInputBatch + kMaxStages - 1 + kOutputBatch,
              "a frame's input must outlive its trip through the stages and its output batch");

// Whether every stage of a step is active (the middle of the buffer).
template <bool kAll>
struct ActiveFlag {
    static constexpr bool value = kAll;
};

template <class V>
struct StageGroup {
    V alpha, beta, gamma;
    V gain;  // per channel; doubled in the second pass (see below)
    V x[3], y[3];
    V index;  // each lane's stage number, to tell active stages at the ends
};

// The frame loop in its plain form, for buffers too short to pay for filling
// and draining the pipeline, and a bank of no bands, which only a record
// written by hand has (eq_process). Also the clearest statement of what the
// pipeline computes.
inline void eq_frame_by_frame(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    const EqBand* table = p.eqTable->bands;
    const int32_t bands = p.eqActiveBands < 0 ? 0 : (p.eqActiveBands < kMaxBands ? p.eqActiveBands : kMaxBands);
    const int32_t channels = p.channelCount;
    // One band's filter step on input x: alpha (x - x[-2]) + gamma y[-1] -
    // beta y[-2], the memory h holding x in slots 0 ... 2 and y in 3 ... 5.
    auto band_step = [](const EqBand& band, float* h, float x, int32_t cur, int32_t p1, int32_t p2) {
        h[cur] = x;
        const float y = static_cast<float>(static_cast<double>(band.alpha) * (static_cast<double>(x) - h[p2]) +
                                           static_cast<double>(band.gamma) * h[3 + p1] -
                                           static_cast<double>(band.beta) * h[3 + p2]);
        h[3 + cur] = y;
        return y;
    };
    int32_t cur = s.eqSlotCur;
    for (int32_t n = 0; n < frames; ++n, cur = cur == 2 ? 0 : cur + 1) {
        const int32_t p1 = cur == 0 ? 2 : cur - 1;
        const int32_t p2 = cur == 2 ? 0 : cur + 1;
        const double d = p.eqDither[(s.eqDitherIndex + n) & (kDitherSize - 1)];
        for (int32_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[n * channels + c];
            const float x = static_cast<float>(static_cast<double>(sample) * p.eqPreGain[c] + d);
            float acc = 0.0f;
            for (int32_t b = 0; b < bands; ++b) {
                const float y = band_step(table[b], s.eqHistory[0][b][c], x, cur, p1, p2);
                acc = static_cast<float>(static_cast<double>(acc) + static_cast<double>(y) * p.eqGain[b][c]);
            }
            if (p.eqSecondPass == 1) {
                for (int32_t b = 0; b < bands; ++b) {
                    const float y = band_step(table[b], s.eqHistory[1][b][c], acc, cur, p1, p2);
                    acc = static_cast<float>(static_cast<double>(acc) + 2.0 * static_cast<double>(y) * p.eqGain[b][c]);
                }
            }
            sample = equaliser_to_pcm16(static_cast<float>(0.45 * x + static_cast<double>(acc) - 0.25 * d));
        }
    }
    s.eqSlotCur = cur;
    s.eqSlotPrev1 = cur == 0 ? 2 : cur - 1;
    s.eqSlotPrev2 = cur == 2 ? 0 : cur + 1;
    s.eqDitherIndex = (s.eqDitherIndex + frames) & (kDitherSize - 1);
}

// Filters frames interleaved frames of one or two channels in place. Needs a
// table, and slot indices that are a rotation (prev1 = cur - 1, prev2 =
// cur - 2, mod 3), as the frame loop always leaves them.
template <class V>
void eq_pipeline(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    constexpr int32_t G = V::kLanes / 2;
    constexpr int32_t kMaxGroups = (kMaxStages + G - 1) / G;
    if (frames <= 0) return;
    const int32_t channels = p.channelCount;
    const bool stereo = channels > 1;
    const int32_t bands = p.eqActiveBands < kMaxBands ? p.eqActiveBands : kMaxBands;
    if (bands <= 0) return;  // eq_process runs these frame by frame
    const int32_t stages = p.eqSecondPass == 1 ? 2 * bands : bands;
    const int32_t groups = (stages + G - 1) / G;
    const EqBand* table = p.eqTable->bands;
    const int32_t cur0 = s.eqSlotCur;
    const int32_t dither0 = s.eqDitherIndex;

    // Lane values, group by group; lanes of stages past the last one run on
    // zeros and never count as active.
    StageGroup<V> group[kMaxGroups];
    for (int32_t k = 0; k < groups; ++k) {
        constexpr int32_t kFields = 11;  // alpha beta gamma gain x0 x1 x2 y0 y1 y2 index
        double lanes[kFields][V::kLanes];
        for (int32_t lane = 0; lane < V::kLanes; ++lane) {
            const int32_t i = k * G + lane / 2;
            const int32_t c = lane % 2;
            if (i >= stages) {
                for (int32_t f = 0; f < kFields - 1; ++f) lanes[f][lane] = 0.0;
                lanes[10][lane] = kMaxStages;
                continue;
            }
            const int32_t pass = i < bands ? 0 : 1;
            const int32_t b = i - pass * bands;
            const bool live = c < channels;
            const float(&h)[kMaxChannels][6] = s.eqHistory[pass][b];
            lanes[0][lane] = table[b].alpha;
            lanes[1][lane] = table[b].beta;
            lanes[2][lane] = table[b].gamma;
            // The second pass adds 2 y g. (2 y) g and y (2 g) are the same
            // number: both products of single-precision values are exact in
            // double precision, and doubling is exact.
            lanes[3][lane] = live ? (pass + 1) * static_cast<double>(p.eqGain[b][c]) : 0.0;
            for (int32_t q = 0; q < 3; ++q) {
                lanes[4 + (q + i) % 3][lane] = live ? h[c][q] : 0.0f;
                lanes[7 + (q + i) % 3][lane] = live ? h[c][3 + q] : 0.0f;
            }
            lanes[10][lane] = i;
        }
        StageGroup<V>& g = group[k];
        g.alpha = V::load(lanes[0]);
        g.beta = V::load(lanes[1]);
        g.gamma = V::load(lanes[2]);
        g.gain = V::load(lanes[3]);
        for (int32_t q = 0; q < 3; ++q) {
            g.x[q] = V::load(lanes[4 + q]);
            g.y[q] = V::load(lanes[7 + q]);
        }
        g.index = V::load(lanes[10]);
    }
    // Groups below first_pass_end filter frame inputs, the others running
    // sums; a group across the boundary (mixed) picks per lane.
    const int32_t first_pass_end = (bands + G - 1) / G;
    const int32_t mixed = bands % G != 0 && stages > bands ? bands / G : -1;
    const auto second_pass_lanes = V::splat(bands - 0.5) < group[mixed < 0 ? 0 : mixed].index;

    // The running sums and the frame inputs each group had in the last step.
    V out[kMaxGroups], inputs[kMaxGroups];
    for (int32_t k = 0; k < groups; ++k) out[k] = inputs[k] = V::zero();
    // Frame n's input pair at ring[n mod kInputRing], computed a batch of
    // frames ahead and kept until the frame's output is written.
    F64x2 ring[kInputRing];
    const F64x2 pre_gain = F64x2::of(p.eqPreGain[0], stereo ? p.eqPreGain[1] : 0.0);
    auto dither = [&](int32_t n) { return p.eqDither[(dither0 + n) & (kDitherSize - 1)]; };
    // Finished frames' sums wait here to be turned into samples a batch at a
    // time; a frame's samples are written only after it was read.
    F64x2 sums[kOutputBatch];
    int32_t first_finished = 0;

    // One group's work in one step: the stages take the sums (and the first
    // pass the frame inputs) the previous stages had, filter, add, and
    // remember. At the ends of the buffer only stages lo ... hi are active,
    // and the others must keep their memory.
    auto run_group = [&](auto all_active, int32_t k, F64x2 entering, int32_t cur, int32_t p1, int32_t p2, V lo_v,
                         V hi_v) {
        StageGroup<V>& g = group[k];
        const V in = shift_in_stage(k > 0 ? out[k - 1] : V::zero(), out[k]);
        V x = in;  // the second pass filters the running sum
        if (k < first_pass_end) {
            const V frame_x = shift_in_stage(k > 0 ? inputs[k - 1] : V::pairs(entering), inputs[k]);
            inputs[k] = frame_x;
            x = k == mixed ? select(second_pass_lanes, in, frame_x) : frame_x;
        }
        const V y = round_to_float(g.alpha * (x - g.x[p2]) + g.gamma * g.y[p1] - g.beta * g.y[p2]);
        out[k] = round_to_float(in + y * g.gain);
        if (decltype(all_active)::value) {
            g.x[cur] = x;
            g.y[cur] = y;
        } else {
            const auto active = (lo_v < g.index) & (g.index < hi_v);
            g.x[cur] = select(active, x, g.x[cur]);
            g.y[cur] = select(active, y, g.y[cur]);
        }
    };

    int32_t cur = cur0;  // local slot of the frames of this step: (cur0 + step) mod 3
    for (int32_t step = 0; step < frames + stages - 1; ++step, cur = cur == 2 ? 0 : cur + 1) {
        const int32_t p1 = cur == 0 ? 2 : cur - 1;
        const int32_t p2 = cur == 2 ? 0 : cur + 1;
        if (step % kInputBatch == 0 && step < frames) {
            const int32_t end = frames - step < kInputBatch ? frames : step + kInputBatch;
            for (int32_t n = step; n < end; ++n) {
                const int16_t* in = samples + n * channels;
                const F64x2 sample = F64x2::of(in[0], stereo ? in[1] : 0);
                ring[n & (kInputRing - 1)] = round_to_float(sample * pre_gain + F64x2::splat(dither(n)));
            }
        }
        // The frame entering stage 0 (stale past the last frame, unused).
        const F64x2 entering = ring[step & (kInputRing - 1)];
        // Later stages first, so that out[k - 1] still holds the last step's
        // sums when group k takes its input from it.
        const int32_t lo = step - frames + 1 > 0 ? step - frames + 1 : 0;
        const int32_t hi = step < stages - 1 ? step : stages - 1;
        if (lo == 0 && hi == stages - 1) {
            for (int32_t k = groups - 1; k >= 0; --k)
                run_group(ActiveFlag<true>(), k, entering, cur, p1, p2, V::zero(), V::zero());
        } else {
            const V lo_v = V::splat(lo - 0.5), hi_v = V::splat(hi + 0.5);
            for (int32_t k = hi / G; k >= lo / G; --k)
                run_group(ActiveFlag<false>(), k, entering, cur, p1, p2, lo_v, hi_v);
        }

        const int32_t done = step - (stages - 1);  // the frame leaving the last stage
        if (done >= 0) {
            sums[done - first_finished] = lane_pair(out[(stages - 1) / G], (stages - 1) % G);
            if (done + 1 - first_finished == kOutputBatch || done + 1 == frames) {
                float finished[kOutputBatch * kMaxChannels];
                for (int32_t n = first_finished; n <= done; ++n) {
                    const F64x2 x = ring[n & (kInputRing - 1)];
                    const F64x2 result = round_to_float(F64x2::splat(0.45) * x + sums[n - first_finished] -
                                                        F64x2::splat(0.25 * dither(n)));
                    for (int32_t c = 0; c < channels; ++c)
                        finished[(n - first_finished) * channels + c] = static_cast<float>(lane(result, c));
                }
                equaliser_to_pcm16_lanes(finished, (done + 1 - first_finished) * channels,
                                         samples + first_finished * channels);
                first_finished = done + 1;
            }
        }
    }

    // The memories back into their slots: the last three frames' (fewer if
    // the buffer was shorter; untouched slots keep their bits).
    const int32_t written = frames < 3 ? frames : 3;
    for (int32_t k = 0; k < groups; ++k) {
        double x[3][V::kLanes], y[3][V::kLanes];
        for (int32_t q = 0; q < 3; ++q) {
            store(x[q], group[k].x[q]);
            store(y[q], group[k].y[q]);
        }
        for (int32_t j = 0; j < G && k * G + j < stages; ++j) {
            const int32_t i = k * G + j;
            const int32_t pass = i < bands ? 0 : 1;
            const int32_t b = i - pass * bands;
            for (int32_t n = frames - written; n < frames; ++n) {
                const int32_t q = (cur0 + n) % 3;
                const int32_t local = (q + i) % 3;
                for (int32_t c = 0; c < channels; ++c) {
                    s.eqHistory[pass][b][c][q] = static_cast<float>(x[local][2 * j + c]);
                    s.eqHistory[pass][b][c][3 + q] = static_cast<float>(y[local][2 * j + c]);
                }
            }
        }
    }
    const int32_t last = (cur0 + frames) % 3;
    s.eqSlotCur = last;
    s.eqSlotPrev1 = (last + 2) % 3;
    s.eqSlotPrev2 = (last + 1) % 3;
    s.eqDitherIndex = (dither0 + frames) & (kDitherSize - 1);
}

}  // namespace
}  // namespace audiomix
