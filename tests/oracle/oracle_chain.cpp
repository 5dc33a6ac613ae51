#include "tests/oracle/oracle_chain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "dsp/eq_tables.h"
#include "dsp/fp_mode.h"
#include "dsp/pcm.h"
#include "dsp/portable_math.h"

namespace audiomix::oracle {

namespace {

bool eq_rate_supported(int32_t rate) { return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000; }

// History layout per band and channel: x at [0..2], y at [3..5].
constexpr int kY = 3;

// One band filter step on history h: input in, output returned.
float band_step(const EqBand& band, float* h, float in, int32_t cur, int32_t p1, int32_t p2) {
    h[cur] = in;
    const double a = static_cast<double>(band.alpha) * (static_cast<double>(in) - static_cast<double>(h[p2]));
    const double g = static_cast<double>(band.gamma) * static_cast<double>(h[kY + p1]);
    const double be = static_cast<double>(band.beta) * static_cast<double>(h[kY + p2]);
    const float y = static_cast<float>(a + g - be);
    h[kY + cur] = y;
    return y;
}

void equaliser(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    const int32_t channels = p.channelCount;
    for (int32_t f = 0; f < frames; ++f) {
        const double d = p.eqDither[s.eqDitherIndex];
        for (int32_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[f * channels + c];
            const float x = static_cast<float>(static_cast<double>(sample) * static_cast<double>(p.eqPreGain[c]) + d);
            float acc = 0.0f;
            for (int32_t b = 0; b < p.eqActiveBands; ++b) {
                const float y =
                    band_step(p.eqTable->bands[b], s.eqHistory[0][b][c], x, s.eqSlotCur, s.eqSlotPrev1, s.eqSlotPrev2);
                acc = static_cast<float>(static_cast<double>(acc) + static_cast<double>(y) * p.eqGain[b][c]);
            }
            // The second pass filters the running sum, this pass's earlier
            // bands included, and adds twice its bands.
            for (int32_t b = 0; p.eqSecondPass == 1 && b < p.eqActiveBands; ++b) {
                const float y = band_step(p.eqTable->bands[b], s.eqHistory[1][b][c], acc, s.eqSlotCur, s.eqSlotPrev1,
                                          s.eqSlotPrev2);
                acc = static_cast<float>(static_cast<double>(acc) + 2.0 * static_cast<double>(y) * p.eqGain[b][c]);
            }
            const float out = static_cast<float>(0.45 * static_cast<double>(x) + static_cast<double>(acc) - 0.25 * d);
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

// Each channel in place, one after the other: a sample is read just before
// its result is written.
void reverb(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    const int32_t channels = p.channelCount;
    for (int32_t c = 0; c < channels; ++c) {
        const ReverbVoice& voice = p.reverb[c];
        ReverbRing& ring = s.reverb[c];
        const int32_t taps = voice.tapCount < kMaxTaps ? voice.tapCount : kMaxTaps;
        for (int32_t f = 0; f < frames; ++f, ++ring.writePos) {
            const uint16_t w = ring.writePos;
            const double x = static_cast<double>(samples[f * channels + c]) * kPcmToUnit;
            const float fed = ring.samples[static_cast<uint16_t>(w - voice.combDelay)];
            ring.samples[w] = static_cast<float>(x - static_cast<double>(voice.combGain) * static_cast<double>(fed));
            // Taps read after the write: a delay of 0 sees the value just stored.
            double acc = x;
            for (int32_t t = 0; t < taps; ++t)
                acc += static_cast<double>(voice.tapGain[t]) *
                       static_cast<double>(ring.samples[static_cast<uint16_t>(w - voice.tapDelay[t])]);
            samples[f * channels + c] = reverb_to_pcm16(x + static_cast<double>(voice.wetGain) * acc);
        }
    }
}

// One detector and gain for both channels: the second channel starts where
// the first one ended.
void compressor(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t frames) {
    const int32_t channels = p.channelCount;
    float m = s.compMeanSquare;
    float g = s.compGain;
    const float t2 = static_cast<float>(static_cast<double>(p.compThreshold) * static_cast<double>(p.compThreshold));
    const double a = p.compAvgCoef;
    const double exponent = static_cast<double>(p.compSlope) * 0.5 - 0.5;
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t f = 0; f < frames; ++f) {
            int16_t& sample = samples[f * channels + c];
            const double x = static_cast<float>(static_cast<double>(sample) * kPcmToUnit);
            m = static_cast<float>(x * x * (1.0 - a) + static_cast<double>(m) * a);
            const double target =
                m < t2 ? 1.0 : portable_pow(static_cast<double>(m) / static_cast<double>(t2), exponent);
            const double coef = target < static_cast<double>(g) ? p.compAttackCoef : p.compReleaseCoef;
            g = static_cast<float>((1.0 - coef) * target + coef * static_cast<double>(g));
            sample = compressor_to_pcm16(x * static_cast<double>(g));
        }
        // An absurd sample rate gives infinite coefficients; do not let the
        // resulting NaN live on in the state, nor into the next channel.
        if (!std::isfinite(m)) m = 0.0f;
        if (!std::isfinite(g)) g = 1.0f;
    }
    s.compMeanSquare = m;
    s.compGain = g;
}

// One host-sized call (at most kMaxFrames frames) through every stage.
void run_stages(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes, int32_t frames) {
    const bool eq = eq_rate_supported(p.sampleRate) && p.eqOn == 1 && lengthBytes >= 2 && p.eqTable != nullptr;
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

void capture_and_columns(const ChainParams& p, ChainSignal& s, const int16_t* samples, int32_t lengthBytes) {
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

void process(const ChainParams& p, ChainSignal& s, int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay) {
    // Requested resets happen even for a buffer the stages then refuse; a
    // count differing from the last one seen asks for one reset.
    if (s.eqClearsDone != p.eqClears) {
        float* history = &s.eqHistory[0][0][0][0];
        std::fill(history, history + sizeof s.eqHistory / sizeof(float), 0.0f);
        s.eqDitherIndex = 0;
        s.eqClearsDone = p.eqClears;
    }
    if (s.ringClearsDone != p.ringClears) {
        for (ReverbRing& ring : s.reverb) std::fill(std::begin(ring.samples), std::end(ring.samples), 0.0f);
        s.ringClearsDone = p.ringClears;
    }
    if (s.compGainResetsDone != p.compGainResets) {
        s.compGain = 1.0f;
        s.compGainResetsDone = p.compGainResets;
    }
    if (samples == nullptr || lengthBytes < 0) return;
    if (p.channelCount != 1 && p.channelCount != 2) return;

    ScopedFlushDenormals flush;
    const int32_t channels = p.channelCount;
    const int32_t frames = (lengthBytes / 2) / channels;

    // As if the host had split the buffer into calls of kMaxFrames frames.
    for (int32_t done = 0; done < frames; done += kMaxFrames) {
        const int32_t n = frames - done < kMaxFrames ? frames - done : kMaxFrames;
        run_stages(p, s, samples + done * channels, n * 2 * channels, n);
    }

    if (drawDisplay == 1) capture_and_columns(p, s, samples, lengthBytes);
}

}  // namespace audiomix::oracle
