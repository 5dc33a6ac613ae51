#include "music.h"

#include <cmath>

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 60.0 / 112.0;  // seconds
constexpr int kBeatsPerChord = 4;
constexpr int kChords = 4;

// C major, A minor, F major, G major, as MIDI notes (bass root, three tones).
constexpr int kChordNotes[kChords][4] = {{36, 60, 64, 67}, {33, 57, 60, 64}, {29, 53, 57, 60}, {31, 55, 59, 62}};
// Arpeggio order over the three chord tones and their octaves, per eighth note.
constexpr int kPattern[8] = {0, 1, 2, 4, 5, 4, 2, 1};

double midi_hz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Deterministic white noise from a sample index.
double noise(int64_t n) {
    uint32_t h = static_cast<uint32_t>(n) * 0x9E3779B1u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return (h & 0xFFFF) / 32768.0 - 1.0;
}

double plucked(double hz, double age) {
    if (age < 0) return 0;
    const double attack = age < 0.004 ? age / 0.004 : 1.0;
    const double w = 2 * kPi * hz * age;
    return attack * std::exp(-age / 0.32) * (std::sin(w) + 0.3 * std::sin(2 * w) + 0.12 * std::sin(3 * w));
}

}  // namespace

Music::Music(int rate) : rate_(rate > 0 ? rate : 44100) {}

int64_t Music::loop_frames() const {
    return static_cast<int64_t>(std::llround(kBeat * kBeatsPerChord * kChords * rate_));
}

// One side (0 left, 1 right) at time t within the loop. Every sound is an
// event with its own start; the last few events of each voice are summed so
// that a new note never cuts the previous one off (no clicks), and events
// are counted round the loop so that it repeats seamlessly.
double Music::sample(double t, int side) const {
    const double bar = kBeat * kBeatsPerChord;
    const int beats = kBeatsPerChord * kChords;
    auto wrap = [](int k, int n) { return ((k % n) + n) % n; };
    double s = 0;

    // Kick on beats 1 and 3: a falling sine.
    const int half = static_cast<int>(t / (2 * kBeat));
    for (int back = 0; back < 2; ++back) {
        const double age = t - (half - back) * 2 * kBeat;
        const double hz = 50 + 70 * std::exp(-age / 0.03);
        s += 0.55 * std::exp(-age / 0.14) * std::sin(2 * kPi * hz * age);
    }

    // Bass on every beat, the chord's root, slightly saturated.
    const int quarter = static_cast<int>(t / kBeat);
    for (int back = 0; back < 3; ++back) {
        const int q = quarter - back;
        const double age = t - q * kBeat;
        const int root = kChordNotes[wrap(q, beats) / kBeatsPerChord][0];
        const double attack = age < 0.005 ? age / 0.005 : 1.0;
        s += 0.30 * attack * std::tanh(1.6 * std::sin(2 * kPi * midi_hz(root) * age) * std::exp(-age / 0.45));
    }

    // Arpeggio in eighths, alternating sides.
    const double eighth = kBeat / 2;
    const int step = static_cast<int>(t / eighth);
    for (int back = 0; back < 4; ++back) {
        const int k = step - back;
        const int e = wrap(k, 2 * beats);
        const int* notes = kChordNotes[e / (2 * kBeatsPerChord)];
        const int idx = kPattern[e % 8];
        const int note = notes[1 + idx % 3] + 12 * (idx / 3);
        const double pan = (e % 2 == 0) == (side == 0) ? 0.75 : 0.35;
        s += 0.22 * pan * plucked(midi_hz(note), t - k * eighth);
    }

    // Pad: each bar's chord held softly an octave down, faded in and out,
    // with a slow swell that differs per side.
    const int this_bar = static_cast<int>(t / bar);
    for (int back = 0; back < 2; ++back) {
        const int b = this_bar - back;
        const double age = t - b * bar;
        const double env = (age < 0.08 ? age / 0.08 : 1.0) * (age > bar ? std::exp(-(age - bar) / 0.06) : 1.0);
        const double swell = 0.6 + 0.4 * std::sin(2 * kPi * (age / bar + 0.25 * side));
        const int* notes = kChordNotes[wrap(b, kChords)];
        for (int i = 1; i < 4; ++i)
            s += 0.035 * env * swell * std::sin(2 * kPi * midi_hz(notes[i] - 12) * age * (1 + 0.001 * side));
    }

    // Hats on the off-beats: short noise bursts, brighter on the right.
    const double off_age = std::fmod(t + eighth, kBeat);
    if (off_age < 0.08) {
        const int64_t n = static_cast<int64_t>(t * rate_);
        const double hiss = noise(n) - 0.7 * noise(n - 1);  // tilt towards the highs
        const double attack = off_age < 0.001 ? off_age / 0.001 : 1.0;
        s += (side == 1 ? 0.10 : 0.07) * attack * std::exp(-off_age / 0.018) * hiss;
    }
    return s;
}

void Music::render(int16_t* out, int frames, int channels) {
    const int64_t loop = loop_frames();
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(position_ % loop) / rate_;
        const double l = sample(t, 0), r = sample(t, 1);
        const double sides[2] = {channels == 1 ? 0.5 * (l + r) : l, r};
        for (int c = 0; c < channels; ++c) {
            double v = std::round(sides[c] * 26000.0);
            v = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
            out[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(v);
        }
        ++position_;
    }
}

}  // namespace host
