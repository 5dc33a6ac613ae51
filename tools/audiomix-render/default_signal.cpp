#include "default_signal.h"

#include <algorithm>
#include <cmath>

namespace audiomix_render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEighth = 0.25;  // seconds: 120 beats per minute
constexpr int kEighthsPerBar = 8;
constexpr int kHalfBars = 8;  // the pattern: four bars in half-bar steps
constexpr double kFadeSeconds = 0.6;
constexpr double kFadeInSeconds = 0.01;  // the first kick's click would start mid-swing
constexpr double kMasterGain = 0.78;     // puts the loudest moment near -3 dBFS

// Chords (MIDI notes, low to high) and the bass root under each.
struct Chord {
    int notes[4];
    int bass;
};
constexpr Chord kC{{60, 64, 67, 72}, 36};
constexpr Chord kAm{{57, 60, 64, 69}, 33};
constexpr Chord kF{{57, 60, 65, 69}, 41};
constexpr Chord kG{{55, 59, 62, 67}, 43};

// C | Am | F G | C: the third bar splits for a IV-V-I cadence.
constexpr const Chord* kChordAt[kHalfBars] = {&kC, &kC, &kAm, &kAm, &kF, &kG, &kC, &kC};
// Half-bars where a pad chord starts, and how long it is held (s).
constexpr double kPadGate[kHalfBars] = {1.9, 0, 1.9, 0, 0.95, 0.95, 1.9, 0};

// Equal temperament, A4 = 440 Hz; a table because every voice asks for every sample.
double midi_hz(int note) {
    static const auto table = [] {
        struct {
            double hz[128];
        } t{};
        for (int n = 0; n < 128; ++n) t.hz[n] = 440.0 * std::pow(2.0, (n - 69) / 12.0);
        return t;
    }();
    return table.hz[note & 127];
}

// Sum of a[h] sin((h+1) phase), by the Chebyshev recurrence: one sin and one
// cos per voice instead of one per partial.
double partials(double phase, const double* amp, int count) {
    const double s1 = std::sin(phase);
    const double twoCos = 2.0 * std::cos(phase);
    double prev = 0.0, cur = s1, sum = 0.0;
    for (int h = 0; h < count; ++h) {
        sum += amp[h] * cur;
        const double next = twoCos * cur - prev;
        prev = cur;
        cur = next;
    }
    return sum;
}

// Linear attack, decay to sustain, linear release after the gate.
double adsr(double t, double attack, double decay, double sustain, double gate, double release) {
    auto held = [&](double u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < 0.0) return 0.0;
    if (t <= gate) return held(t);
    const double r = 1.0 - (t - gate) / release;
    return r > 0.0 ? held(gate) * r : 0.0;
}

// Constant-power pan, p from -1 (left) to +1 (right).
void pan_into(double v, double p, double& l, double& r) {
    const double a = (p + 1.0) * kPi / 4.0;
    l += v * std::cos(a);
    r += v * std::sin(a);
}

// Our own noise: a 64-bit mix of (instrument, event, sample), uniform in
// [-1, 1). Random access keeps the piece independent of how it is cut.
double noise(uint64_t instrument, int64_t event, int64_t sample) {
    uint64_t z = (instrument << 56) ^ (static_cast<uint64_t>(event) << 28) ^ static_cast<uint64_t>(sample);
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

struct Context {
    int32_t rate;
    int64_t frame;
    double t;  // seconds since the start
};

// Seconds since an event that starts at the given time; the start is rounded
// to a frame so that noise indices are whole samples.
int64_t start_frame(const Context& c, double start) { return static_cast<int64_t>(std::llround(start * c.rate)); }

// Calls f(slot, start seconds) for every grid slot that may still sound.
template <typename F>
void for_recent_slots(const Context& c, double step, double maxLength, F f) {
    const int64_t last = static_cast<int64_t>(std::floor(c.t / step));
    const int64_t first = std::max<int64_t>(0, static_cast<int64_t>(std::floor((c.t - maxLength) / step)));
    for (int64_t k = first; k <= last; ++k) f(k, k * step);
}

const Chord& chord_at_eighth(int64_t eighth) { return *kChordAt[(eighth / 4) % kHalfBars]; }

void pads(const Context& c, double& l, double& r) {
    static const double amp[5] = {1.0, 0.4, 0.2, 0.1, 0.05};
    static const double voicePan[4] = {-0.3, 0.1, -0.1, 0.3};
    static const double detune = std::pow(2.0, 6.0 / 1200.0);  // +-6 cents between the copies
    for_recent_slots(c, 1.0, 1.9 + 0.7, [&](int64_t slot, double start) {
        const double gate = kPadGate[slot % kHalfBars];
        if (gate == 0.0) return;
        const double u = c.t - start;
        const double env = adsr(u, 0.12, 0.5, 0.6, gate, 0.7);
        if (env <= 0.0) return;
        const Chord& chord = *kChordAt[slot % kHalfBars];
        for (int v = 0; v < 4; ++v) {
            const double f = midi_hz(chord.notes[v]);
            const double lo = partials(2.0 * kPi * f / detune * u, amp, 5);
            const double hi = partials(2.0 * kPi * f * detune * u, amp, 5);
            pan_into(0.045 * env * lo, voicePan[v] - 0.35, l, r);
            pan_into(0.045 * env * hi, voicePan[v] + 0.35, l, r);
        }
    });
}

void arpeggio(const Context& c, double& l, double& r) {
    static const int order[kEighthsPerBar] = {0, 1, 2, 3, 2, 1, 2, 3};
    constexpr double kLength = 0.9;
    for_recent_slots(c, kEighth, kLength, [&](int64_t slot, double start) {
        const double u = c.t - start;
        if (u >= kLength) return;
        const int note = chord_at_eighth(slot).notes[order[slot % kEighthsPerBar]] + 12;
        // Brighter at the pluck: upper partials die away faster.
        double amp[6];
        for (int h = 0; h < 6; ++h) amp[h] = std::exp(-u * 4.0 * h) / (h + 1);
        const double attack = u < 0.004 ? u / 0.004 : 1.0;
        const double tail = u > kLength - 0.05 ? (kLength - u) / 0.05 : 1.0;
        const double env = attack * tail * std::exp(-u / 0.22);
        const double v = 0.16 * env * partials(2.0 * kPi * midi_hz(note) * u, amp, 6);
        pan_into(v, slot % 2 ? 0.45 : -0.45, l, r);
    });
}

void bass(const Context& c, double& l, double& r) {
    // Per bar: eighths 0, 3, 4 and 6 with their gates in seconds.
    static const double gate[kEighthsPerBar] = {0.6, 0, 0, 0.2, 0.45, 0, 0.45, 0};
    static const double amp[3] = {1.0, 0.45, 0.15};
    for_recent_slots(c, kEighth, 0.6 + 0.08, [&](int64_t slot, double start) {
        const double g = gate[slot % kEighthsPerBar];
        if (g == 0.0) return;
        const double u = c.t - start;
        const double env = adsr(u, 0.008, 0.15, 0.7, g, 0.08);
        if (env <= 0.0) return;
        const double f = midi_hz(chord_at_eighth(slot).bass);
        const double v = 0.36 * env * partials(2.0 * kPi * f * u, amp, 3);
        pan_into(v, 0.0, l, r);
    });
}

bool kick_at(int64_t eighth) {
    const int pos = static_cast<int>(eighth % kEighthsPerBar);
    const bool lastBar = (eighth / kEighthsPerBar) % 4 == 3;
    return pos == 0 || pos == 4 || (lastBar && pos == 7);
}

void drums(const Context& c, double& l, double& r) {
    for_recent_slots(c, kEighth, 0.45, [&](int64_t slot, double start) {
        const double u = c.t - start;
        const int64_t k = c.frame - start_frame(c, start);
        if (u >= 0.45 || k < 0) return;
        const int pos = static_cast<int>(slot % kEighthsPerBar);
        // Kick: a sine falling from 140 Hz to 50 Hz, with a tiny click.
        if (kick_at(slot)) {
            const double phase = 2.0 * kPi * (50.0 * u + 90.0 * 0.03 * (1.0 - std::exp(-u / 0.03)));
            const double v =
                0.75 * std::exp(-u / 0.22) * std::sin(phase) + 0.08 * std::exp(-u / 0.002) * noise(1, slot, k);
            pan_into(v * (1.0 - u / 0.45), 0.0, l, r);
        }
        // Snare on beats two and four: a short body tone and brighter noise.
        if (pos == 2 || pos == 6) {
            const double n = noise(2, slot, k) - noise(2, slot, k - 1);
            const double v =
                0.18 * std::exp(-u / 0.05) * std::sin(2.0 * kPi * 190.0 * u) + 0.10 * std::exp(-u / 0.10) * n;
            pan_into(v * (1.0 - u / 0.45), -0.1, l, r);
        }
        // Hi-hat on every eighth, accented off the beat: second-differenced
        // noise leaves mostly the top octaves.
        if (u < 0.15) {
            const double n = noise(3, slot, k) - 2.0 * noise(3, slot, k - 1) + noise(3, slot, k - 2);
            const double accent = pos % 2 ? 1.0 : 0.55;
            const double v = 0.035 * accent * std::exp(-u / 0.025) * n;
            pan_into(v * (1.0 - u / 0.15), 0.35, l, r);
        }
    });
}

int16_t to_pcm(double v) {
    const double s = std::nearbyint(v * 32767.0);
    return static_cast<int16_t>(std::clamp(s, -32768.0, 32767.0));
}

}  // namespace

void synthesise_default(int32_t rate, int64_t totalFrames, int64_t firstFrame, size_t frames, int16_t* out) {
    if (rate <= 0) {
        std::fill(out, out + 2 * frames, int16_t{0});
        return;
    }
    const double fadeSeconds = std::min(kFadeSeconds, 0.1 * static_cast<double>(totalFrames) / rate);
    const int64_t fadeFrames = static_cast<int64_t>(fadeSeconds * rate);
    const int64_t fadeInFrames = static_cast<int64_t>(kFadeInSeconds * rate);
    for (size_t i = 0; i < frames; ++i) {
        Context c{rate, firstFrame + static_cast<int64_t>(i), 0.0};
        c.t = static_cast<double>(c.frame) / rate;
        double l = 0.0, r = 0.0;
        pads(c, l, r);
        arpeggio(c, l, r);
        bass(c, l, r);
        drums(c, l, r);
        double gain = kMasterGain;
        const int64_t left = totalFrames - c.frame;
        if (fadeFrames > 0 && left <= fadeFrames)  // reaches 0 on the last frame
            gain *= left > 0 ? static_cast<double>(left - 1) / fadeFrames : 0.0;
        if (c.frame < fadeInFrames) gain *= static_cast<double>(c.frame) / fadeInFrames;
        out[2 * i] = to_pcm(gain * l);
        out[2 * i + 1] = to_pcm(gain * r);
    }
}

}  // namespace audiomix_render
