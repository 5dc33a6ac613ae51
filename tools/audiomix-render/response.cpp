#include "response.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "band_layout.h"
#include "dsp/equaliser.h"
#include "engine_session.h"
#include "format.h"

namespace audiomix_render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowest = 20.0;
constexpr double kHighest = 20000.0;
constexpr int kStepsPerOctave = 12;

// -20 dBFS leaves room for most boosts; a louder output (the pre-gain and
// a second pass can add 40 dB) is measured again at a lower level, so no
// step is ever distorted by clipping.
constexpr double kStartAmplitude = 3276.8;
constexpr double kMaxOutputPeak = 16384.0;  // half scale
constexpr double kTargetOutputPeak = 8192.0;
constexpr double kMinAmplitude = 8.0;  // the dither is a few units; stay well above it
constexpr int kMaxAttempts = 6;

// The narrowest band (20 Hz, 31 bands at 48 kHz) rings with a time constant
// of about 70 ms, i.e. 1.4 periods of its centre; 20 periods of the tone
// settle any band near it to well below 0.001 dB. Bands far from the tone
// barely ring, and what they do is rejected by the estimate below.
constexpr double kSettlePeriods = 20.0;
constexpr double kMinSettleSeconds = 0.05;

size_t measure_frames(double f, int32_t rate) {
    const double gap = std::min(2.0 * f, rate - 2.0 * f);  // to the mirror at -f (or rate - f)
    return std::max<size_t>(4096, static_cast<size_t>(std::ceil(8.0 * rate / gap)));
}

size_t settle_frames(double f, int32_t rate) {
    return static_cast<size_t>(std::ceil(std::max(kSettlePeriods / f, kMinSettleSeconds) * rate));
}

struct ToneResult {
    std::vector<double> gain;  // linear, per channel
    int32_t outputPeak = 0;
};

// Feeds a sine to every channel, its phase continuing from tone to tone,
// and compares input and output at the tone's frequency over a Hann window
// at the end: with at least 8 bins between the tone and its mirror image or
// a harmonic, the window's leakage, the dither and any distortion drop out.
class ToneRunner {
public:
    ToneRunner(EngineSession& engine, int32_t rate)
        : engine_(engine),
          rate_(rate),
          buffer_(kBufferFrames * static_cast<size_t>(engine.channels())),
          input_(buffer_.size()) {}

    ToneResult run(double f, double amplitude) {
        const size_t channels = static_cast<size_t>(engine_.channels());
        const size_t settle = settle_frames(f, rate_);
        const size_t measure = measure_frames(f, rate_);
        const double step = 2.0 * kPi * f / rate_;
        std::complex<double> in{};
        std::vector<std::complex<double>> out(channels);
        ToneResult result;
        for (size_t done = 0; done < settle + measure;) {
            const size_t frames = std::min(kBufferFrames, settle + measure - done);
            for (size_t i = 0; i < frames; ++i) {
                const auto x = static_cast<int16_t>(std::lround(amplitude * std::sin(phase_)));
                phase_ = std::fmod(phase_ + step, 2.0 * kPi);
                for (size_t c = 0; c < channels; ++c) buffer_[i * channels + c] = x;
            }
            std::copy(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(frames * channels),
                      input_.begin());
            engine_.process(buffer_.data(), frames);
            for (size_t i = 0; i < frames; ++i) {
                if (done + i < settle) continue;
                const double n = static_cast<double>(done + i - settle);
                const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * (n + 0.5) / static_cast<double>(measure));
                const std::complex<double> weight = std::polar(w, -step * n);
                in += weight * static_cast<double>(input_[i * channels]);
                for (size_t c = 0; c < channels; ++c) {
                    const int32_t y = buffer_[i * channels + c];
                    out[c] += weight * static_cast<double>(y);
                    result.outputPeak = std::max(result.outputPeak, y < 0 ? -y : y);
                }
            }
            done += frames;
        }
        for (const auto& o : out) result.gain.push_back(std::abs(o) / std::abs(in));
        return result;
    }

private:
    EngineSession& engine_;
    int32_t rate_;
    std::vector<int16_t> buffer_;
    std::vector<int16_t> input_;  // what buffer_ held before processing
    double phase_ = 0.0;
};

double to_db(double gain) { return gain > 0.0 ? 20.0 * std::log10(gain) : -std::numeric_limits<double>::infinity(); }

}  // namespace

std::vector<double> log_frequencies(double lo, double hi, int perOctave) {
    std::vector<double> out;
    if (!(lo > 0.0) || !(hi >= lo) || perOctave <= 0) return out;
    const double ratio = std::pow(2.0, 1.0 / perOctave);
    const double nearEnough = std::pow(2.0, 0.25 / perOctave);
    for (int k = 0;; ++k) {
        const double f = lo * std::pow(ratio, k);
        if (f * nearEnough > hi) break;
        out.push_back(f);
    }
    out.push_back(hi);
    return out;
}

bool measure_response(const ParamValues& setting, int32_t rate, int channels, EqResponse& out, std::string& error) {
    out = EqResponse{};
    EngineSession engine(rate, channels);
    if (!engine.ok()) {
        error =
            "the library refused the format " + std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels";
        return false;
    }
    for (const auto& [name, value] : setting) {
        if (engine.set(name, value) != AUDIOMIX_PARAM_OK) {
            error = "the library refused " + name + "=" + format_value(value) + " for the response";
            return false;
        }
    }
    engine.set("reverb.on", 0);
    engine.set("comp.on", 0);

    out.bandCount = static_cast<int>(engine.get("eq.bands").value_or(0));
    out.equaliserOn = engine.get("eq.on").value_or(0) == 1 && audiomix::is_equaliser_rate(rate);
    if (out.equaliserOn) out.bandCentres = band_centres(rate, out.bandCount);

    out.frequencies = log_frequencies(kLowest, std::min(kHighest, 0.99 * rate / 2.0), kStepsPerOctave);
    out.gainDb.assign(static_cast<size_t>(channels), {});
    ToneRunner runner(engine, rate);
    double amplitude = kStartAmplitude;
    for (const double f : out.frequencies) {
        ToneResult r = runner.run(f, amplitude);
        for (int attempt = 1; attempt < kMaxAttempts && r.outputPeak > kMaxOutputPeak && amplitude > kMinAmplitude;
             ++attempt) {
            amplitude = std::max(kMinAmplitude, amplitude * kTargetOutputPeak / r.outputPeak);
            r = runner.run(f, amplitude);
        }
        for (int c = 0; c < channels; ++c) out.gainDb[c].push_back(to_db(r.gain[c]));
        amplitude = std::min(kStartAmplitude, amplitude * 2.0);  // the next step is probably no louder
    }
    return true;
}

}  // namespace audiomix_render
