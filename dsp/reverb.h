// The reverb: per channel a 65536-sample ring fed through a feedback comb and
// read by up to 100 randomly placed, exponentially decaying taps.
#pragma once

#include <cstdint>

#include "dsp/chain_state.h"

namespace audiomix {

class RandomSource;

// Metres of sound travel at 330 m/s to samples, truncated, taken modulo 2^16.
uint16_t reverb_metres_to_samples(int32_t metres, int32_t sampleRate);

// Feedback-path delay for a comb length: twice the metres' samples.
uint16_t reverb_comb_delay(int32_t combM, int32_t sampleRate);

// The lengths, in metres, that place the taps.
struct TapLayout {
    int32_t spreadM;  // offsets are uniform in [0, 2 x spread)
    int32_t baseM;    // added to every offset
    int32_t decayM;   // e-folding length of the tap gains (doubled)
};

// Draws tapDelay and tapGain for the first tapCount taps of the voice, two
// draws per tap; later taps keep their values.
void reverb_draw_taps(RandomSource& random, int32_t sampleRate, const TapLayout& layout, ReverbVoice& voice);

// The linear gain of a level in whole dB (comb feedback, wet level).
float reverb_gain(int32_t dB);

// Runs frames samples of one channel, given in the work buffer as sample
// values, through the voice and its ring; writes the 16-bit results to every
// stride-th sample of out.
void reverb_process(const ReverbVoice& voice, ReverbRing& ring, const float* work, int32_t frames, int16_t* out,
                    int32_t stride);

}  // namespace audiomix
