#include "dsp/reverb.h"

#include "dsp/kernels.h"
#include "dsp/portable_math.h"
#include "dsp/random_source.h"
#include "dsp/reverb_kernel.h"
#include "dsp/units.h"

namespace audiomix {

namespace {
constexpr int32_t kFrameByFrameBelow = 4;
constexpr double kSecondsPerMetre = static_cast<double>(1.0f / 330.0f);
constexpr double kRandomScale = static_cast<double>(1.0f / 32767.0f);
}  // namespace

uint16_t reverb_metres_to_samples(int32_t metres, int32_t sampleRate) {
    // The product is formed in 64 bits so that no rate a host passes overflows.
    const int64_t product = static_cast<int64_t>(metres) * sampleRate;
    return static_cast<uint16_t>(static_cast<int64_t>(static_cast<double>(product) * kSecondsPerMetre));
}

uint16_t reverb_comb_delay(int32_t combM, int32_t sampleRate) {
    return static_cast<uint16_t>(2u * reverb_metres_to_samples(combM, sampleRate));
}

void reverb_draw_taps(RandomSource& random, int32_t sampleRate, const TapLayout& layout, ReverbVoice& voice) {
    const uint16_t spread = static_cast<uint16_t>(2u * reverb_metres_to_samples(layout.spreadM, sampleRate));
    const uint16_t base = reverb_metres_to_samples(layout.baseM, sampleRate);
    const uint16_t decay = static_cast<uint16_t>(2u * reverb_metres_to_samples(layout.decayM, sampleRate));
    const int32_t taps = voice.tapCount < kMaxTaps ? voice.tapCount : kMaxTaps;
    for (int32_t t = 0; t < taps; ++t) {
        const int32_t r1 = random.next();
        const float offset = static_cast<float>(spread * (r1 * kRandomScale));
        voice.tapDelay[t] = static_cast<uint16_t>(static_cast<int32_t>(base + static_cast<double>(offset)));
        const int32_t r2 = random.next();
        // A decay window of 0 samples would divide 0 by 0 for the tap at
        // offset 0; such a tap gets no decay.
        const double fall =
            decay != 0 ? portable_exp(-static_cast<double>(offset) / decay) : (offset == 0.0f ? 1.0 : 0.0);
        voice.tapGain[t] = static_cast<float>((2 * r2 - 1) * kRandomScale * fall);
    }
}

float reverb_gain(int32_t dB) { return static_cast<float>(db_to_linear(static_cast<int16_t>(dB))); }

void reverb_process(const ReverbVoice& voice, ReverbRing& ring, const float* work, int32_t frames, int16_t* out,
                    int32_t stride) {
    // A few frames go one at a time, here: less than the vector set-up costs.
    if (frames < kFrameByFrameBelow)
        reverb_frame_by_frame(voice, ring, work, frames, out, stride);
    else
        stage_kernels().reverb(voice, ring, work, frames, out, stride);
}

}  // namespace audiomix
