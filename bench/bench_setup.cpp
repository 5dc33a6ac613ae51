#include "bench/bench_setup.h"

#include <cmath>
#include <stdexcept>

#include "model/parameters.h"
#include "model/stream_rules.h"

namespace audiomix::bench {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<ParamValue> stages_on(bool reverbFirst) {
    return {{"eq.on", 1}, {"reverb.on", 1}, {"comp.on", 1}, {"order.reverb_first", reverbFirst ? 1.0 : 0.0}};
}

std::vector<ParamValue> typical_params() {
    std::vector<ParamValue> p = stages_on(false);
    // A gentle loudness curve: every band moved, none left at 0.
    static const double kBands[10] = {4.8, 3.2, 1.6, -1.6, -3.2, -2.4, 0.8, 2.4, 4.0, 5.6};
    for (int b = 0; b < 10; ++b) p.push_back({"eq.band." + std::to_string(b), kBands[b]});
    p.push_back({"eq.pregain", -3.0});
    return p;  // reverb and compressor keep their defaults (20 taps)
}

std::vector<ParamValue> worst_params() {
    std::vector<ParamValue> p = stages_on(false);
    p.push_back({"eq.bands", 31});  // resets the gains: set them afterwards
    p.push_back({"eq.second_pass", 1});
    for (int b = 0; b < 31; ++b) p.push_back({"eq.band." + std::to_string(b), 0.8 * ((b * 7) % 21 - 10) + 0.4});
    p.push_back({"eq.pregain", 1.5});
    p.push_back({"reverb.taps", 100});
    p.push_back({"reverb.base_m", 0});
    p.push_back({"reverb.decay_m", 1000});
    p.push_back({"comp.threshold_db", -59});
    return p;
}

const std::vector<Setting>& all_settings() {
    static const std::vector<Setting> kSettings = {
        {"typical", 44100, 2, typical_params()},
        {"worst", 48000, 2, worst_params()},
        {"typical-mono", 44100, 1, typical_params()},
        {"typical-11025", 11025, 2, typical_params()},
    };
    return kSettings;
}

// A small, fast, deterministic generator: the signal only has to be the
// same every run, not good noise for statistics.
class XorShift {
public:
    explicit XorShift(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    // Uniform in [-1, 1).
    double next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return static_cast<double>(s_ >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }

private:
    uint64_t s_;
};

// Pink (-3 dB per octave) noise from white noise through a sum of one-pole
// filters, the usual approximation to within a fraction of a dB.
class PinkFilter {
public:
    double step(double white) {
        b0_ = 0.99886 * b0_ + white * 0.0555179;
        b1_ = 0.99332 * b1_ + white * 0.0750759;
        b2_ = 0.96900 * b2_ + white * 0.1538520;
        b3_ = 0.86650 * b3_ + white * 0.3104856;
        b4_ = 0.55000 * b4_ + white * 0.5329522;
        b5_ = -0.7616 * b5_ - white * 0.0168980;
        const double pink = b0_ + b1_ + b2_ + b3_ + b4_ + b5_ + b6_ + white * 0.5362;
        b6_ = white * 0.115926;
        return pink;
    }

private:
    double b0_ = 0, b1_ = 0, b2_ = 0, b3_ = 0, b4_ = 0, b5_ = 0, b6_ = 0;
};

}  // namespace

const Setting& setting(const std::string& name) {
    for (const Setting& s : all_settings())
        if (s.name == name) return s;
    throw std::invalid_argument("no setting named '" + name + "'");
}

std::vector<std::string> setting_names() {
    std::vector<std::string> names;
    for (const Setting& s : all_settings()) names.push_back(s.name);
    return names;
}

std::unique_ptr<Settings> settings_for(const Setting& s) {
    auto settings = std::make_unique<Settings>();
    settings_load_state(*settings);
    stream_create(*settings, s.rate, s.channels);
    for (const ParamValue& p : s.params) {
        const int32_t code = param_set(*settings, p.name.c_str(), p.value);
        if (code != kParamOk)
            throw std::runtime_error("setting " + s.name + ": " + p.name + " refused (" + std::to_string(code) + ")");
    }
    return settings;
}

std::unique_ptr<ChainSignal> fresh_signal() {
    auto signal = std::make_unique<ChainSignal>();
    chain_signal_load_state(*signal);
    return signal;
}

std::vector<int16_t> pink_tremolo(int32_t rate, int32_t channels, int64_t frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames * channels));
    for (int32_t c = 0; c < channels; ++c) {
        XorShift white(1234567u + static_cast<uint64_t>(c));
        PinkFilter pink;
        for (int64_t f = 0; f < frames; ++f) {
            const double t = static_cast<double>(f) / rate;
            // 0.2 Hz between -26 and -16 dBFS RMS: the compressor's default
            // threshold (-23 dBFS) lies inside the swing.
            const double tremolo = std::pow(10.0, (-21.0 + 5.0 * std::sin(2.0 * kPi * 0.2 * t)) / 20.0);
            // The filter's output has an RMS near 1.76 for this white noise
            // (uniform in [-1, 1)); full scale is 32767.
            const double v = pink.step(white.next()) / 1.76 * tremolo * 32767.0;
            const double r = std::nearbyint(v);
            out[static_cast<size_t>(f * channels + c)] =
                static_cast<int16_t>(r > 32767.0 ? 32767.0 : (r < -32768.0 ? -32768.0 : r));
        }
    }
    return out;
}

}  // namespace audiomix::bench
