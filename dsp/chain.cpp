#include "dsp/chain.h"

#include "dsp/compressor.h"
#include "dsp/equaliser.h"
#include "dsp/fp_mode.h"
#include "dsp/level_display.h"
#include "dsp/reverb.h"
#include "engine/engine_state.h"

namespace audiomix {

namespace {

// Copies one channel's samples into the work buffer as float sample values.
void gather_channel(const int16_t* samples, int32_t frames, int32_t channels, int32_t c,
                    float* work) {
    for (int32_t f = 0; f < frames; ++f) work[f] = samples[f * channels + c];
}

void run_reverb(EngineState& state, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = state.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        gather_channel(samples, frames, channels, c, work);
        reverb_process(state.reverb[c], work, frames, samples + c, channels);
    }
}

void run_compressor(EngineState& state, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = state.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        gather_channel(samples, frames, channels, c, work);
        comp_process(state, work, frames, samples + c, channels);
    }
}

// One piece of at most kMaxFrames frames through every enabled stage.
void run_stages(EngineState& state, int16_t* samples, int32_t lengthBytes, int32_t frames) {
    const bool eq = eq_stage_enabled(state, lengthBytes);
    const bool reverb = state.reverbOn == 1;
    if (state.reverbFirst != 0) {
        if (reverb) run_reverb(state, samples, frames);
        if (eq) eq_process(state, samples, frames);
    } else {
        if (eq) eq_process(state, samples, frames);
        if (reverb) run_reverb(state, samples, frames);
    }
    if (state.compOn == 1) run_compressor(state, samples, frames);
}

}  // namespace

int32_t chain_frame_count(int32_t lengthBytes, int32_t channels) {
    if (lengthBytes < 0 || channels < 1) return 0;
    return (lengthBytes / 2) / channels;
}

void chain_process(EngineState& state, int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay) {
    const int32_t channels = state.channelCount;
    if (samples == nullptr || lengthBytes < 0 || channels < 1 || channels > kMaxChannels) return;
    ScopedFlushDenormals flush;

    const int32_t frames = chain_frame_count(lengthBytes, channels);
    if (frames <= kMaxFrames) {
        run_stages(state, samples, lengthBytes, frames);
    } else {
        // A longer buffer runs as if the host had passed it in pieces.
        const int32_t piece_bytes = kMaxFrames * channels * 2;
        for (int32_t done = 0; done < frames; done += kMaxFrames) {
            const int32_t piece = frames - done < kMaxFrames ? frames - done : kMaxFrames;
            const int32_t bytes = piece == kMaxFrames ? piece_bytes : piece * channels * 2;
            run_stages(state, samples + static_cast<int64_t>(done) * channels, bytes, piece);
        }
    }
    if (drawDisplay == 1) scope_update(state, samples, lengthBytes);
}

}  // namespace audiomix
