#include "dsp/chain.h"

#include "dsp/compressor.h"
#include "dsp/equaliser.h"
#include "dsp/fp_mode.h"
#include "dsp/level_display.h"
#include "dsp/pcm.h"
#include "dsp/reverb.h"

namespace audiomix {

namespace {

// Copies one channel's samples into the work buffer as float sample values.
void gather_channel(const int16_t* samples, int32_t frames, int32_t channels, int32_t c, float* work) {
    for (int32_t f = 0; f < frames; ++f) work[f] = samples[f * channels + c];
}

void run_reverb(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = p.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        gather_channel(samples, frames, channels, c, work);
        reverb_process(p.reverb[c], s.reverb[c], work, frames, samples + c, channels);
    }
}

void run_compressor(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = p.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        gather_channel(samples, frames, channels, c, work);
        comp_process(p, s, work, frames, samples + c, channels);
    }
}

// One piece of at most kMaxFrames frames through every enabled stage.
void run_stages(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes, int32_t frames) {
    const bool eq = eq_stage_enabled(p, lengthBytes);
    const bool reverb = p.reverbOn == 1;
    if (p.reverbFirst != 0) {
        if (reverb) run_reverb(p, s, samples, frames);
        if (eq) eq_process(p, s, samples, frames);
    } else {
        if (eq) eq_process(p, s, samples, frames);
        if (reverb) run_reverb(p, s, samples, frames);
    }
    if (p.compOn == 1) run_compressor(p, s, samples, frames);
}

}  // namespace

int32_t chain_frame_count(int32_t lengthBytes, int32_t channels) {
    if (lengthBytes < 0 || channels < 1) return 0;
    return (lengthBytes / 2) / channels;
}

void chain_process(const ChainParams& params, ChainSignal& signal, int16_t* samples, int32_t lengthBytes,
                   uint8_t drawDisplay) {
    chain_apply_resets(params, signal);
    // The channel count is read once: every stage and the piece size below
    // work from this one value.
    const int32_t channels = params.channelCount;
    if (samples == nullptr || lengthBytes < 0 || channels < 1 || channels > kMaxChannels) return;
    ScopedFlushDenormals flush;

    const int32_t frames = chain_frame_count(lengthBytes, channels);
    if (frames <= kMaxFrames) {
        run_stages(params, signal, samples, lengthBytes, frames);
    } else {
        // A longer buffer runs as if the host had passed it in pieces.
        const int32_t piece_bytes = kMaxFrames * channels * 2;
        for (int32_t done = 0; done < frames; done += kMaxFrames) {
            const int32_t piece = frames - done < kMaxFrames ? frames - done : kMaxFrames;
            const int32_t bytes = piece == kMaxFrames ? piece_bytes : piece * channels * 2;
            run_stages(params, signal, samples + static_cast<int64_t>(done) * channels, bytes, piece);
        }
    }
    if (drawDisplay == 1) scope_update(params, signal, samples, lengthBytes);
}

int32_t chain_process_planar(const ChainParams& params, ChainSignal& signal, const float* const* in, float* const* out,
                             int32_t frames) {
    const int32_t channels = params.channelCount;
    if (frames < 0 || channels < 1 || channels > kMaxChannels) return 0;
    chain_apply_resets(params, signal);
    int16_t buffer[kMaxFrames * kMaxChannels];
    for (int32_t done = 0; done < frames; done += kMaxFrames) {
        const int32_t piece = frames - done < kMaxFrames ? frames - done : kMaxFrames;
        for (int32_t c = 0; c < channels; ++c) {
            const float* from = in != nullptr ? in[c] : nullptr;
            for (int32_t f = 0; f < piece; ++f)
                buffer[f * channels + c] = from != nullptr ? pcm16_from_unit(from[done + f]) : int16_t{0};
        }
        chain_process(params, signal, buffer, piece * channels * 2, 0);
        for (int32_t c = 0; c < channels; ++c) {
            float* to = out != nullptr ? out[c] : nullptr;
            if (to == nullptr) continue;
            for (int32_t f = 0; f < piece; ++f) to[done + f] = unit_from_pcm16(buffer[f * channels + c]);
        }
    }
    return frames;
}

}  // namespace audiomix
