// The reverb line's sample loop, for any vector width (dsp/simd.h).
//
// Per frame the line writes one ring slot (the comb) and then sums up to 100
// taps, each a product added in double precision, in tap order. Summing tap
// by tap for one frame is a chain of dependent additions; summing for
// several frames side by side is not. So frames go in groups (of 8 ... 32
// frames, a few vectors side by side): first the group's comb writes, then
// the taps, tap by tap, for all frames of the group at once.
//
// Data layout: lane j of the group's vector holds frame f0 + j; tap t reads
// the group's consecutive ring slots w0 + j - delay[t] as one load (split
// only where the ring wraps); the tap gains are widened to double once per
// call. Each frame still adds its taps in the same order.
//
// Writing the whole group's ring slots before any tap reads is what the
// frame-by-frame order does too, except for a tap that reaches almost all
// the way round the ring (delay > 65536 - group): it would see a slot that a
// later frame of the group has already overwritten. Lines with such taps go
// one frame per group. The comb's writes of a group go at once too when no
// frame reads a slot an earlier frame of the group writes (comb delay 0 or
// at least a group), otherwise one by one in frame order.
//
// Internal linkage: see dsp/simd.h.
#pragma once

#include <cstdint>

#include "dsp/pcm.h"
#include "dsp/pcm_lanes.h"
#include "dsp/chain_state.h"

namespace audiomix {
namespace {

// kLanes consecutive ring slots from slot first on, wrapping at the end.
template <class V>
V load_ring(const float* ring, uint32_t first) {
    if (first <= static_cast<uint32_t>(kRingSize - V::kLanes)) return V::load_floats(ring + first);
    float wrapped[V::kLanes] = {};
    for (int j = 0; j < V::kLanes; ++j) wrapped[j] = ring[(first + j) & (kRingSize - 1)];
    return V::load_floats(wrapped);
}

// One frame at a time, the plain form: for calls of a few frames, where the
// groups' set-up costs more than they save (reverb_process).
inline void reverb_frame_by_frame(const ReverbVoice& line, ReverbRing& rb, const float* work, int32_t frames,
                                  int16_t* out, int32_t stride) {
    float* const ring = rb.samples;
    const int32_t taps = line.tapCount < kMaxTaps ? line.tapCount : kMaxTaps;
    const double comb_gain = line.combGain;
    uint16_t w = rb.writePos;
    for (int32_t f = 0; f < frames; ++f, ++w) {
        const double x = work[f] * kPcmToUnit;
        ring[w] = static_cast<float>(x - comb_gain * ring[static_cast<uint16_t>(w - line.combDelay)]);
        double acc = x;  // taps read after the write: a delay of 0 hears this frame
        for (int32_t t = 0; t < taps; ++t)
            acc += static_cast<double>(line.tapGain[t]) * ring[static_cast<uint16_t>(w - line.tapDelay[t])];
        out[f * stride] = reverb_to_pcm16(x + line.wetGain * acc);
    }
    rb.writePos = w;
}

// Groups of V::kLanes frames (a few vectors side by side in a Twin, for
// independent chains of additions).
template <class V>
void reverb_groups(const ReverbVoice& line, ReverbRing& rb, const float* work, int32_t frames, int16_t* out,
                   int32_t stride) {
    float* const ring = rb.samples;
    const int32_t taps = line.tapCount < kMaxTaps ? line.tapCount : kMaxTaps;
    const double comb_gain = line.combGain;
    const V wet_gain = V::splat(line.wetGain);
    const uint16_t comb_delay = line.combDelay;

    // Hoisted out of the frame loop: each tap's gain in double precision and
    // its delay.
    double gain[kMaxTaps];
    uint16_t delay[kMaxTaps];
    uint16_t longest = 0;
    for (int32_t t = 0; t < taps; ++t) {
        gain[t] = line.tapGain[t];
        delay[t] = line.tapDelay[t];
        if (delay[t] > longest) longest = delay[t];
    }
    const int32_t group = longest <= kRingSize - V::kLanes ? V::kLanes : 1;

    // The comb's writes go a whole group at once too when no frame of the
    // group reads a slot an earlier frame of the group writes: a comb delay
    // of 0 (each frame reads the slot it overwrites) or of a group or more.
    const bool comb_by_group = comb_delay == 0 || comb_delay >= V::kLanes;

    uint16_t w = rb.writePos;
    for (int32_t f0 = 0; f0 < frames; f0 += group) {
        const int32_t n = frames - f0 < group ? frames - f0 : group;
        // A short group's missing lanes run on silence and are dropped.
        float tail[V::kLanes] = {};
        if (n < V::kLanes)
            for (int32_t j = 0; j < n; ++j) tail[j] = work[f0 + j];
        const V x = V::load_floats(n < V::kLanes ? tail : work + f0) * V::splat(kPcmToUnit);

        if (comb_by_group && n == V::kLanes && w <= kRingSize - V::kLanes) {
            const V fed = load_ring<V>(ring, static_cast<uint16_t>(w - comb_delay));
            store_floats(ring + w, x - V::splat(comb_gain) * fed);
        } else {
            for (int32_t j = 0; j < n; ++j) {
                const uint16_t slot = static_cast<uint16_t>(w + j);
                const double xj = work[f0 + j] * kPcmToUnit;
                ring[slot] = static_cast<float>(xj - comb_gain * ring[static_cast<uint16_t>(slot - comb_delay)]);
            }
        }

        V acc = x;
        for (int32_t t = 0; t < taps; ++t)
            acc = acc + V::splat(gain[t]) * load_ring<V>(ring, static_cast<uint16_t>(w - delay[t]));

        int32_t y[V::kLanes];
        reverb_to_pcm16_lanes(x + wet_gain * acc, y);
        for (int32_t j = 0; j < n; ++j) out[(f0 + j) * stride] = static_cast<int16_t>(y[j]);
        w = static_cast<uint16_t>(w + n);
    }
    rb.writePos = w;
}

// A call: groups of W frames, or of V frames when the call is shorter than
// one W group (its missing lanes would be wasted work).
template <class V, class W>
void reverb_line(const ReverbVoice& line, ReverbRing& rb, const float* work, int32_t frames, int16_t* out,
                 int32_t stride) {
    if (frames < W::kLanes)
        reverb_groups<V>(line, rb, work, frames, out, stride);
    else
        reverb_groups<W>(line, rb, work, frames, out, stride);
}

}  // namespace
}  // namespace audiomix
