// The reverb: per channel a 65536-sample ring fed through a feedback comb and
// read by up to 100 randomly placed, exponentially decaying taps.
#pragma once

#include <cstdint>

namespace audiomix {

struct EngineState;
struct ReverbLine;

// Metres of sound travel at 330 m/s to samples, truncated, taken modulo 2^16.
uint16_t reverb_metres_to_samples(int32_t metres, int32_t sampleRate);

// Feedback-path delay for a comb length: twice the metres' samples.
uint16_t reverb_comb_delay(int32_t combM, int32_t sampleRate);

// Draws tapDelay and tapGain for the first tapCount taps from the shared
// random source; later taps keep their values. The ring keeps running.
void reverb_regenerate_taps(const EngineState& state, ReverbLine& line);

// combGain and wetGain from combDb and wetDb.
void reverb_update_gains(ReverbLine& line);

// Runs frames samples of one channel, given in the work buffer as sample
// values, through the line; writes the 16-bit results to every stride-th
// sample of out.
void reverb_process(ReverbLine& line, const float* work, int32_t frames, int16_t* out,
                    int32_t stride);

}  // namespace audiomix
