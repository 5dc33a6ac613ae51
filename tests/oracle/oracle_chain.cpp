#include "tests/oracle/oracle_chain.h"

#include <cmath>
#include <cstdlib>

#include "dsp/eq_tables.h"
#include "dsp/fp_mode.h"
#include "dsp/pcm.h"
#include "dsp/portable_math.h"

namespace audiomix::oracle {

namespace {

bool eq_rate_supported(int32_t rate) {
    return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
}

// History layout per band and channel: x at [0..2], y at [3..5].
constexpr int kY = 3;

void equaliser(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    const int32_t channels = p.channelCount;
    for (int32_t f = 0; f < frames; ++f) {
        const double d = p.eqDither[s.eqDitherIndex];
        const int32_t cur = s.eqSlotCur;
        const int32_t p1 = s.eqSlotPrev1;
        const int32_t p2 = s.eqSlotPrev2;

        for (int32_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[f * channels + c];
            const float x = static_cast<float>(static_cast<double>(sample) *
                                                   static_cast<double>(p.eqPreGain[c]) +
                                               d);
            float acc = 0.0f;

            for (int32_t b = 0; b < p.eqActiveBands; ++b) {
                const EqBand& band = p.eqTable->bands[b];
                float* h = s.eqHistory[0][b][c];
                h[cur] = x;
                const double a = static_cast<double>(band.alpha) *
                                 (static_cast<double>(x) - static_cast<double>(h[p2]));
                const double g = static_cast<double>(band.gamma) * static_cast<double>(h[kY + p1]);
                const double be = static_cast<double>(band.beta) * static_cast<double>(h[kY + p2]);
                const float y = static_cast<float>(a + g - be);
                h[kY + cur] = y;
                acc = static_cast<float>(static_cast<double>(acc) +
                                         static_cast<double>(y) *
                                             static_cast<double>(p.eqGain[b][c]));
            }

            if (p.eqSecondPass == 1) {
                for (int32_t b = 0; b < p.eqActiveBands; ++b) {
                    const EqBand& band = p.eqTable->bands[b];
                    float* h = s.eqHistory[1][b][c];
                    const float in = acc;  // includes this pass's earlier bands
                    h[cur] = in;
                    const double a = static_cast<double>(band.alpha) *
                                     (static_cast<double>(in) - static_cast<double>(h[p2]));
                    const double g =
                        static_cast<double>(band.gamma) * static_cast<double>(h[kY + p1]);
                    const double be =
                        static_cast<double>(band.beta) * static_cast<double>(h[kY + p2]);
                    const float y2 = static_cast<float>(a + g - be);
                    h[kY + cur] = y2;
                    acc = static_cast<float>(static_cast<double>(acc) +
                                             2.0 * static_cast<double>(y2) *
                                                 static_cast<double>(p.eqGain[b][c]));
                }
            }

            const float out = static_cast<float>(0.45 * static_cast<double>(x) +
                                                 static_cast<double>(acc) - 0.25 * d);
            sample = equaliser_to_pcm16(out);
        }

        // Each index moves one slot on; exactly one of them wraps from 3.
        ++s.eqSlotCur;
        ++s.eqSlotPrev1;
        ++s.eqSlotPrev2;
        if (s.eqSlotCur == 3) {
            s.eqSlotCur = 0;
        } else if (s.eqSlotPrev1 == 3) {
            s.eqSlotPrev1 = 0;
        } else {
            s.eqSlotPrev2 = 0;
        }
        s.eqDitherIndex = (s.eqDitherIndex + 1) % kDitherSize;
    }
}

void reverb_channel(const ReverbVoice& voice, ReverbRing& ring, float* work, int32_t frames,
                    int16_t* out, int32_t stride) {
    const int32_t taps = voice.tapCount < kMaxTaps ? voice.tapCount : kMaxTaps;
    uint16_t w = ring.writePos;
    for (int32_t f = 0; f < frames; ++f) {
        const double x = static_cast<double>(work[f]) * kPcmToUnit;
        const float fed = ring.samples[static_cast<uint16_t>(w - voice.combDelay)];
        ring.samples[w] = static_cast<float>(
            x - static_cast<double>(voice.combGain) * static_cast<double>(fed));

        // Taps read after the write: a delay of 0 sees the value just stored.
        double acc = x;
        for (int32_t t = 0; t < taps; ++t) {
            acc += static_cast<double>(voice.tapGain[t]) *
                   static_cast<double>(ring.samples[static_cast<uint16_t>(w - voice.tapDelay[t])]);
        }
        const double y = x + static_cast<double>(voice.wetGain) * acc;
        out[f * stride] = reverb_to_pcm16(y);
        w = static_cast<uint16_t>(w + 1);
    }
    ring.writePos = w;
}

void compressor_channel(const ChainParams& p, ChainSignal& s, float* work, int32_t frames,
                        int16_t* out, int32_t stride) {
    float m = s.compMeanSquare;
    float g = s.compGain;
    const float t2 = static_cast<float>(static_cast<double>(p.compThreshold) *
                                        static_cast<double>(p.compThreshold));
    const double a = p.compAvgCoef;
    const double attack = p.compAttackCoef;
    const double release = p.compReleaseCoef;
    const double exponent = static_cast<double>(p.compSlope) * 0.5 - 0.5;

    for (int32_t f = 0; f < frames; ++f) {
        const float x = static_cast<float>(static_cast<double>(work[f]) * kPcmToUnit);
        const double xd = x;
        m = static_cast<float>(xd * xd * (1.0 - a) + static_cast<double>(m) * a);

        double target = 1.0;
        if (!(m < t2)) {
            target = portable_pow(static_cast<double>(m) / static_cast<double>(t2), exponent);
        }

        const double coef = target < static_cast<double>(g) ? attack : release;
        g = static_cast<float>((1.0 - coef) * target + coef * static_cast<double>(g));

        out[f * stride] = compressor_to_pcm16(xd * static_cast<double>(g));
    }

    // An absurd sample rate gives infinite coefficients; do not let the
    // resulting NaN live on in the state.
    if (!std::isfinite(m)) m = 0.0f;
    if (!std::isfinite(g)) g = 1.0f;
    s.compMeanSquare = m;
    s.compGain = g;
}

void reverb(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = p.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t f = 0; f < frames; ++f) work[f] = samples[f * channels + c];
        reverb_channel(p.reverb[c], s.reverb[c], work, frames, samples + c, channels);
    }
}

void compressor(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    float work[kMaxFrames];
    const int32_t channels = p.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t f = 0; f < frames; ++f) work[f] = samples[f * channels + c];
        compressor_channel(p, s, work, frames, samples + c, channels);
    }
}

// One host-sized call (at most kMaxFrames frames) through every stage.
void run_stages(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes,
                int32_t frames) {
    const bool eq = eq_rate_supported(p.sampleRate) && p.eqOn == 1 && lengthBytes >= 2 &&
                    p.eqTable != nullptr;
    const bool rv = p.reverbOn == 1;
    if (p.reverbFirst != 0) {
        if (rv) reverb(p, s, samples, frames);
        if (eq) equaliser(p, s, samples, frames);
    } else {
        if (eq) equaliser(p, s, samples, frames);
        if (rv) reverb(p, s, samples, frames);
    }
    if (p.compOn == 1) compressor(p, s, samples, frames);
}

uint8_t level_of(int16_t sample) {
    const int32_t v = std::abs(static_cast<int32_t>(sample)) / 256;
    return static_cast<uint8_t>(v < 255 ? v : 255);
}

void capture_and_columns(const ChainParams& p, ChainSignal& s, const int16_t* samples,
                         int32_t lengthBytes) {
    const int32_t channels = p.channelCount;
    s.scopeFrameCount = (lengthBytes / channels) / 2;
    if (s.scopeFrameCount < 1 || p.displayShown != 1) return;
    if (s.scopeFrameCount > kScopeMaxFrames) s.scopeFrameCount = kScopeMaxFrames;

    for (int32_t i = 0; i < s.scopeFrameCount; ++i) {
        s.scopeLevel[0][i] = level_of(samples[i * channels]);
        s.scopeLevel[1][i] = channels > 1 ? level_of(samples[i * channels + 1]) : 0;
    }

    // Drawing needs a surface and one frame per pixel column at least; the
    // width test keeps the division defined.
    if (p.scopeDc == nullptr || p.scopeWidth < 1) return;
    const int32_t n = s.scopeFrameCount / p.scopeWidth;
    if (n < 1) return;
    for (int k = 0; k < 2; ++k) {
        for (int32_t col = 0; col < p.scopeWidth; ++col) {
            int32_t sum = 0;
            for (int32_t i = col * n; i < col * n + n; ++i) sum += s.scopeLevel[k][i];
            s.scopeColumn[k][col] = static_cast<uint8_t>(sum / n);
        }
    }
    s.scopeFrameCount = 0;
}

}  // namespace

void process(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes,
             uint8_t drawDisplay) {
    // Requested resets happen even for a buffer the stages then refuse.
    chain_apply_resets(p, s);
    if (samples == nullptr || lengthBytes < 0) return;
    if (p.channelCount != 1 && p.channelCount != 2) return;

    ScopedFlushDenormals flush;
    const int32_t channels = p.channelCount;
    const int32_t frames = (lengthBytes / 2) / channels;

    if (frames <= kMaxFrames) {
        run_stages(p, s, samples, lengthBytes, frames);
    } else {
        // As if the host had split the buffer into calls of kMaxFrames frames.
        for (int32_t done = 0; done < frames; done += kMaxFrames) {
            const int32_t n = frames - done < kMaxFrames ? frames - done : kMaxFrames;
            run_stages(p, s, samples + done * channels, n * 2 * channels, n);
        }
    }

    if (drawDisplay == 1) capture_and_columns(p, s, samples, lengthBytes);
}

}  // namespace audiomix::oracle
