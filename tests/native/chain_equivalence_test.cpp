// The production chain against the scalar reference model (tests/oracle):
// both run on identical copies of one state over the same buffers, and every
// output sample and every byte of the state afterwards must agree, in every
// kernel set the processor runs (dsp/kernels.h).
#include <gtest/gtest.h>

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "dsp/chain.h"
#include "dsp/compressor.h"
#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "dsp/kernels.h"
#include "dsp/level_display.h"
#include "dsp/pcm.h"
#include "dsp/portable_math.h"
#include "dsp/random_source.h"
#include "dsp/reverb.h"
#include "tests/oracle/oracle_chain.h"

namespace audiomix {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A drawing target that accepts everything; the model only needs the
// columns to be computed, which happens only when a surface is present.
class DiscardingSurface : public ScopeSurface {
public:
    void fill_rect(int32_t, int32_t, int32_t, int32_t, uint32_t) override {}
    void set_pen(uint32_t) override {}
    void move_to(int32_t, int32_t) override {}
    void line_to(int32_t, int32_t) override {}
};

DiscardingSurface g_surface;

// ---------------------------------------------------------------------------
// Test signals: a random succession of segments of different character, so
// that one long signal drives the filters, the reverb tail and the
// compressor's detector through quiet, loud, clipped and static stretches.

int16_t to_pcm(double v) { return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0)); }

std::vector<int16_t> make_channel(uint32_t seed, double rate, int32_t frames) {
    std::mt19937 rng(seed);
    auto uniform_int = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto log_frequency = [&] { return std::exp(uniform(std::log(20.0), std::log(0.45 * rate))); };
    std::vector<int16_t> out;
    while (static_cast<int32_t>(out.size()) < frames) {
        const int32_t len = std::min<int32_t>(uniform_int(40, 2500), frames - static_cast<int32_t>(out.size()));
        switch (uniform_int(0, 7)) {
        case 0: {  // sine, sometimes driven past full scale
            const double amp = uniform(0.0, 40000.0), w = 2.0 * kPi * log_frequency() / rate;
            const double phase = uniform(0.0, 2.0 * kPi);
            for (int32_t i = 0; i < len; ++i) out.push_back(to_pcm(amp * std::sin(w * i + phase)));
            break;
        }
        case 1: {  // exponential sweep
            const double amp = uniform(1000.0, 32767.0), f0 = log_frequency(), f1 = log_frequency();
            double phase = 0.0;
            for (int32_t i = 0; i < len; ++i) {
                phase += 2.0 * kPi * f0 * std::pow(f1 / f0, static_cast<double>(i) / len) / rate;
                out.push_back(to_pcm(amp * std::sin(phase)));
            }
            break;
        }
        case 2: {  // white noise
            const int32_t amp = uniform_int(1, 32768);
            for (int32_t i = 0; i < len; ++i) out.push_back(to_pcm(uniform_int(-amp, amp - 1)));
            break;
        }
        case 3: {  // full-scale square wave
            const int32_t half = uniform_int(1, 200);
            for (int32_t i = 0; i < len; ++i) out.push_back((i / half) % 2 == 0 ? int16_t{32767} : int16_t{-32768});
            break;
        }
        case 4:  // silence: memories decay towards zero
            out.insert(out.end(), len, int16_t{0});
            break;
        case 5:  // isolated extreme peaks over a faint floor
            for (int32_t i = 0; i < len; ++i) {
                const int32_t r = uniform_int(0, 99);
                out.push_back(r == 0 ? int16_t{-32768} : r == 1 ? int16_t{32767} : to_pcm(uniform_int(-3, 3)));
            }
            break;
        case 6: {  // DC, the extremes included
            const int32_t pick = uniform_int(0, 3);
            out.insert(out.end(), len,
                       pick == 0 ? int16_t{-32768} : pick == 1 ? int16_t{32767} : to_pcm(uniform_int(-32768, 32767)));
            break;
        }
        default:  // a few LSBs: the dither dominates
            for (int32_t i = 0; i < len; ++i) out.push_back(to_pcm(uniform_int(-2, 2)));
            break;
        }
    }
    return out;
}

std::vector<int16_t> make_signal(uint32_t seed, int32_t rate, int32_t channels, int32_t frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
    for (int32_t c = 0; c < channels; ++c) {
        const std::vector<int16_t> one = make_channel(seed * 7919u + c, rate > 1000 ? rate : 44100, frames);
        for (int32_t f = 0; f < frames; ++f) out[static_cast<size_t>(f) * channels + c] = one[f];
    }
    return out;
}

// ---------------------------------------------------------------------------
// The pair of states under comparison.

// What one chain runs with and what it carries, kept together so that every
// side of a comparison starts from copies of one set-up.
struct ChainRecord {
    ChainParams params;
    ChainSignal signal;
};

// Names the fields in which two signal states differ, for the failure message.
std::string state_difference(const ChainSignal& p, const ChainSignal& o) {
    std::ostringstream msg;
#define AUDIOMIX_FIELD(f) \
    if (std::memcmp(&p.f, &o.f, sizeof p.f) != 0) msg << ' ' << #f;
    AUDIOMIX_FIELD(eqHistory) AUDIOMIX_FIELD(eqSlotCur) AUDIOMIX_FIELD(eqSlotPrev1) AUDIOMIX_FIELD(eqSlotPrev2)
    AUDIOMIX_FIELD(eqDitherIndex) AUDIOMIX_FIELD(reverb) AUDIOMIX_FIELD(compMeanSquare) AUDIOMIX_FIELD(compGain)
    AUDIOMIX_FIELD(scopeFrameCount) AUDIOMIX_FIELD(scopeLevel) AUDIOMIX_FIELD(scopeColumn)
    AUDIOMIX_FIELD(eqClearsDone) AUDIOMIX_FIELD(ringClearsDone) AUDIOMIX_FIELD(compGainResetsDone)
#undef AUDIOMIX_FIELD
    const std::string named = msg.str();
    return named.empty() ? std::string(" (some other field)") : named;
}

bool same_bytes(const ChainSignal& a, const ChainSignal& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same_bytes(const ChainParams& a, const ChainParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::unique_ptr<ChainRecord> fresh_state(int32_t rate, int32_t channels) {
    auto s = std::make_unique<ChainRecord>();
    std::memset(&s->params, 0, sizeof s->params);
    s->params.sampleRate = rate;
    s->params.channelCount = channels;
    chain_signal_load_state(s->signal);
    return s;
}

// Every kernel set this processor runs: the production chain is checked in
// each of them, the widest first.
std::vector<SimdLevel> supported_levels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel l : {SimdLevel::Avx512, SimdLevel::Avx2, SimdLevel::Baseline})
        if (simd_supported(l)) levels.push_back(l);
    return levels;
}

const char* level_name(SimdLevel l) {
    return l == SimdLevel::Baseline ? "baseline" : l == SimdLevel::Avx2 ? "AVX2" : "AVX-512";
}

// Runs the production chain with one kernel set and restores the widest.
void chain_process_at(SimdLevel level, const ChainParams& p, ChainSignal& s, int16_t* samples,
                      int32_t lengthBytes, uint8_t draw) {
    simd_select(level);
    chain_process(p, s, samples, lengthBytes, draw);
    simd_select(SimdLevel::Avx512);
}

// One set of parameters, the model's signal state and one production signal
// state per kernel set.
class ChainPair {
public:
    explicit ChainPair(const ChainRecord& start)
        : levels_(supported_levels()),
          params_(std::make_unique<ChainParams>(start.params)),
          model_(std::make_unique<ChainSignal>(start.signal)) {
        for (size_t i = 0; i < levels_.size(); ++i) prod_.push_back(std::make_unique<ChainSignal>(start.signal));
    }

    // The parameters every side runs with; a test may change them between
    // buffers, as the control side would.
    ChainParams& params() { return *params_; }

    // The production signal state of the widest set.
    ChainSignal& prod() { return *prod_[0]; }

    // Runs lengthBytes bytes of input (input must hold at least
    // ceil(lengthBytes / 2) samples) through the model and through the
    // production chain in every kernel set, and compares everything.
    ::testing::AssertionResult run(const int16_t* input, int32_t lengthBytes, uint8_t draw) {
        ++calls_;
        const size_t used = lengthBytes > 0 ? (static_cast<size_t>(lengthBytes) + 1) / 2 : 0;
        // Guard samples past the end catch writes beyond the buffer.
        std::vector<int16_t> b(used + 8, int16_t{0x5A5A});
        std::copy(input, input + used, b.begin());
        const std::vector<int16_t> fresh = b;
        const auto before = std::make_unique<ChainParams>(*params_);
        oracle::process(*params_, *model_, b.data(), lengthBytes, draw);
        if (!same_bytes(*params_, *before))
            return ::testing::AssertionFailure() << "call " << calls_ << ": the model changed the parameters";

        for (size_t l = 0; l < levels_.size(); ++l) {
            std::vector<int16_t> a = fresh;
            chain_process_at(levels_[l], *params_, *prod_[l], a.data(), lengthBytes, draw);
            const int32_t ch = std::max(1, params_->channelCount);
            auto fail = [&] {
                return ::testing::AssertionFailure() << level_name(levels_[l]) << ", call " << calls_ << " (lengthBytes "
                                                     << lengthBytes << ", draw " << int(draw) << "): ";
            };
            const auto diff = std::mismatch(a.begin(), a.end(), b.begin());
            if (diff.first != a.end()) {
                const size_t i = static_cast<size_t>(diff.first - a.begin());
                return fail() << "first differing sample " << i << " (frame " << i / ch << ", channel " << i % ch
                              << (i >= used ? ", past the end" : "") << "): production " << a[i] << ", model "
                              << b[i] << ", input " << (i < used ? input[i] : 0);
            }
            if (std::any_of(a.begin() + used, a.end(), [](int16_t v) { return v != int16_t{0x5A5A}; }))
                return fail() << "wrote past the end";
            if (!same_bytes(*params_, *before)) return fail() << "the parameters changed";
            if (!same_bytes(*prod_[l], *model_))
                return fail() << "states differ in" << state_difference(*prod_[l], *model_);
        }
        return ::testing::AssertionSuccess();
    }

    // Feeds a whole signal as consecutive buffers of the given frame counts.
    ::testing::AssertionResult run_sequence(const std::vector<int16_t>& signal,
                                            const std::vector<int32_t>& frameCounts, uint8_t draw = 0) {
        const int32_t ch = params_->channelCount;
        size_t pos = 0;
        for (int32_t frames : frameCounts) {
            const size_t need = static_cast<size_t>(frames) * ch;
            if (need > signal.size()) return ::testing::AssertionFailure() << "test signal too short for " << frames;
            if (pos + need > signal.size()) pos = 0;
            auto r = run(signal.data() + pos, frames * 2 * ch, draw);
            if (!r) return r;
            pos += need;
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::vector<SimdLevel> levels_;
    std::unique_ptr<ChainParams> params_;
    std::vector<std::unique_ptr<ChainSignal>> prod_;
    std::unique_ptr<ChainSignal> model_;
    int calls_ = 0;
};

// A fresh signal of the given length through a pair started from start.
::testing::AssertionResult matches_model(const ChainRecord& start, uint32_t seed, int32_t frames,
                                         const std::vector<int32_t>& frameCounts) {
    ChainPair pair(start);
    return pair.run_sequence(make_signal(seed, start.params.sampleRate, start.params.channelCount, frames),
                             frameCounts);
}

// Buffer sizes that cross every boundary: single frames, odd counts, the
// 4100-frame capacity and beyond it.
std::vector<int32_t> varied_frame_counts(std::mt19937& rng, int32_t total) {
    static const int32_t kFixed[] = {1, 2, 3, 4100, 4101, 9000, 0, 511};
    std::vector<int32_t> counts;
    size_t k = 0;
    for (int32_t sum = 0; sum < total;) {
        const bool fixed = k < std::size(kFixed) && rng() % 3 == 0;
        counts.push_back(fixed ? kFixed[k++] : std::uniform_int_distribution<int32_t>(1, 1500)(rng));
        sum += counts.back();
    }
    return counts;
}

// ---------------------------------------------------------------------------
// State set-up. The chain only reads parameters, so they are written directly
// where that reaches values the controls would not produce.

float uniform_f(std::mt19937& rng, float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }

template <typename Memories>
void fill_memories(Memories& m, std::mt19937& rng, float range) {
    for (auto& pass : m)
        for (auto& band : pass)
            for (auto& channel : band)
                for (float& v : channel) v = uniform_f(rng, -range, range);
}

// Equaliser on with random gains in the sliders' range; memories, slot
// rotation and dither position as if mid-stream.
void setup_equaliser(ChainRecord& s, std::mt19937& rng, int32_t bands, uint8_t secondPass) {
    ChainParams& p = s.params;
    const int32_t rate = p.sampleRate;
    eq_select_table(p, bands, rate);
    p.sampleRate = rate;  // keep an unsupported rate: the gate must then hold the stage off
    p.eqOn = 1;
    p.eqSecondPass = secondPass;
    for (int32_t c = 0; c < kMaxChannels; ++c) {
        // Pre-gain values are (position - 12) x 1.5 for positions 0 ... 24.
        p.eqPreGain[c] = eq_pregain_factor((static_cast<int32_t>(rng() % 25) - 12) * 1.5f);
        for (int32_t b = 0; b < kMaxBands; ++b) p.eqGain[b][c] = eq_band_factor(uniform_f(rng, -20.0f, 20.0f));
    }
    for (double& d : p.eqDither) d = static_cast<double>(rng() % 4) - 2.0;
    s.signal.eqDitherIndex = static_cast<int32_t>(rng() % kDitherSize);
    static const int32_t kRotations[3][3] = {{0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
    const auto& rot = kRotations[rng() % 3];
    s.signal.eqSlotCur = rot[0];
    s.signal.eqSlotPrev1 = rot[1];
    s.signal.eqSlotPrev2 = rot[2];
    fill_memories(s.signal.eqHistory, rng, 300.0f);
}

// Reverb on with taps of our own drawing: delays over the whole default
// window starting at 0 (one tap exactly at 0), decaying random gains.
void setup_reverb(ChainRecord& s, std::mt19937& rng, int32_t taps) {
    static const int32_t kCombDb[] = {-80, -10, -3, 0};
    static const int32_t kWetDb[] = {-100, -10, -1, 0};
    s.params.reverbOn = 1;
    const int32_t rate = s.params.sampleRate > 0 ? s.params.sampleRate : 44100;
    const int32_t spread = 2 * static_cast<int32_t>(20.0 * rate / 330.0);
    const double decay = std::max(1.0, 2.0 * static_cast<int32_t>(10.0 * rate / 330.0));
    for (int32_t c = 0; c < kMaxChannels; ++c) {
        ReverbVoice& voice = s.params.reverb[c];
        ReverbRing& ring = s.signal.reverb[c];
        voice.combGain = reverb_gain(kCombDb[rng() % 4]);
        voice.wetGain = reverb_gain(kWetDb[rng() % 4]);
        voice.combDelay = reverb_comb_delay(20, rate);
        voice.tapCount = static_cast<uint16_t>(taps);
        for (int32_t t = 0; t < kMaxTaps; ++t) {
            const double off = spread * (rng() % 32768) / 32767.0;
            voice.tapDelay[t] = static_cast<uint16_t>(off);
            voice.tapGain[t] = static_cast<float>((2.0 * (rng() % 32768) - 1.0) / 32767.0 * std::exp(-off / decay));
        }
        voice.tapDelay[rng() % taps] = 0;
        // Start near the wrap of the 16-bit index with a tail already running.
        ring.writePos = static_cast<uint16_t>(65536 - rng() % 3000);
        for (float& v : ring.samples) v = uniform_f(rng, -0.3f, 0.3f);
    }
}

struct Times {
    int32_t attackMs, releaseMs;
};

void setup_compressor(ChainRecord& s, std::mt19937& rng, int32_t ratio, Times t) {
    ChainParams& p = s.params;
    p.compOn = 1;
    p.compThreshold = comp_threshold(-static_cast<int32_t>(1 + rng() % 60));
    const CompTimes times = comp_times(p.sampleRate, t.attackMs, t.releaseMs);
    p.compAttackCoef = times.attack;
    p.compReleaseCoef = times.release;
    p.compAvgCoef = times.average;
    p.compSlope = comp_slope(ratio);
    s.signal.compMeanSquare = uniform_f(rng, 0.0f, 0.05f);
    s.signal.compGain = uniform_f(rng, 0.2f, 1.0f);
}

void setup_display(ChainRecord& s, int32_t width) {
    ChainParams& p = s.params;
    p.displayShown = 1;
    p.scopeDc = &g_surface;
    p.scopeWidth = width;
    p.scopeHeight = 57;
    p.scopeRowStep = p.scopeHeight / 6;
    p.scopeGridColumns = width / 10;
}

// ---------------------------------------------------------------------------
// The model itself against values worked out by hand, so that agreement
// with it means something.

TEST(ReferenceModel, EqualiserWithSilentBandsPassesTheAttenuatedDryPath) {
    auto start = fresh_state(44100, 1);
    ChainParams& p = start->params;
    ChainSignal& s = start->signal;
    eq_select_table(p, 10, 44100);
    p.eqOn = 1;
    p.eqPreGain[0] = 1.0f;  // band gains stay exactly 0
    // out = 0.45 x rounded to an integer (ties to even), then trunc(1.25 r).
    std::vector<int16_t> buf = {1000, -32768, 32767, 3, -5, 7};
    oracle::process(p, s, buf.data(), 12, 0);
    EXPECT_EQ(buf, (std::vector<int16_t>{562, -18432, 18431, 1, -2, 3}));
    // Every third frame brings the slots back to where they started.
    EXPECT_EQ((std::vector<int32_t>{s.eqSlotCur, s.eqSlotPrev1, s.eqSlotPrev2}), (std::vector<int32_t>{0, 2, 1}));

    // Dither -2: x = s - 2 and out = 0.45 x + 0.5, which lands on the ties
    // 0.5, 9.5 and 18.5 for s = 2, 22, 42; they go to the even neighbour.
    for (double& d : p.eqDither) d = -2.0;
    s.eqDitherIndex = 255;
    buf = {2, 4, 22, 42};
    oracle::process(p, s, buf.data(), 8, 0);
    EXPECT_EQ(buf, (std::vector<int16_t>{0, 1, 12, 22}));
    EXPECT_EQ(s.eqDitherIndex, 3);
    EXPECT_EQ((std::vector<int32_t>{s.eqSlotCur, s.eqSlotPrev1, s.eqSlotPrev2}), (std::vector<int32_t>{1, 0, 2}));
}

TEST(ReferenceModel, ReverbImpulseThroughCombAndOneTap) {
    auto s = fresh_state(44100, 1);
    s->params.reverbOn = 1;
    ReverbVoice& voice = s->params.reverb[0];
    ReverbRing& ring = s->signal.reverb[0];
    voice.tapCount = 1;
    voice.tapDelay[0] = 5;
    voice.tapGain[0] = 0.5f;
    voice.combDelay = 3;
    voice.combGain = 0.5f;
    voice.wetGain = 0.5f;
    ring.writePos = 65534;  // wraps during the block
    // Ring: r0 = 0.5, r3 = -0.25, r6 = 0.125, r9 = -0.0625. The tap adds
    // 0.5 r(n-5), the output is x + 0.5 (x + tap), times 32767, truncated.
    std::vector<int16_t> buf(12, 0);
    buf[0] = 16384;
    oracle::process(s->params, s->signal, buf.data(), 24, 0);
    EXPECT_EQ(buf, (std::vector<int16_t>{24575, 0, 0, 0, 0, 4095, 0, 0, -2047, 0, 0, 1023}));
    EXPECT_EQ(ring.writePos, 10);
    EXPECT_EQ(ring.samples[static_cast<uint16_t>(65534 + 9)], -0.0625f);

    // A tap of delay 0 reads the sample just written: y = x + (x + x).
    voice.tapDelay[0] = 0;
    voice.tapGain[0] = 1.0f;
    voice.combGain = 0.0f;
    voice.wetGain = 1.0f;
    buf = {8192};
    oracle::process(s->params, s->signal, buf.data(), 2, 0);
    EXPECT_EQ(buf[0], 24575);
}

TEST(ReferenceModel, CompressorSlopeOnePassesAndDefaultsSettle) {
    auto s = fresh_state(44100, 1);
    ChainParams& p = s->params;
    p.compOn = 1;
    p.compThreshold = static_cast<float>(std::pow(10.0, -1.15));
    p.compSlope = 1.0f;
    p.compAttackCoef = p.compAvgCoef = static_cast<float>(1.0 - 1.0 / 44.1);
    p.compReleaseCoef = static_cast<float>(1.0 - 1.0 / 441.0);
    s->signal.compGain = 1.0f;
    std::vector<int16_t> square(3000);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 50) % 2 ? -32768 : 32767;
    std::vector<int16_t> buf = square;
    oracle::process(p, s->signal, buf.data(), static_cast<int32_t>(buf.size() * 2), 0);
    EXPECT_EQ(buf, square);

    // Ratio 2:1 on a full-scale square: gain (1 / T^2)^-0.25, about 0.266.
    p.compSlope = 0.5f;
    buf = square;
    oracle::process(p, s->signal, buf.data(), static_cast<int32_t>(buf.size() * 2), 0);
    const double expected = std::pow(1.0 / std::pow(10.0, -2.3), -0.25) * 32767.0;
    EXPECT_NEAR(std::abs(buf.back()), expected, 0.01 * expected);
}

TEST(ReferenceModel, LevelCaptureAndColumns) {
    auto start = fresh_state(44100, 1);
    ChainSignal& s = start->signal;
    start->params.displayShown = 1;
    std::vector<int16_t> buf = {-32768, 32767, 255, 256, -511};
    oracle::process(start->params, s, buf.data(), 10, 1);
    EXPECT_EQ(s.scopeFrameCount, 5);  // no surface: levels kept for the next call
    const uint8_t expected[] = {128, 127, 0, 1, 1};
    EXPECT_EQ(std::memcmp(s.scopeLevel[0], expected, 5), 0);
    EXPECT_EQ(s.scopeLevel[1][0], 0);

    setup_display(*start, 2);  // two frames per column, the fifth ignored
    oracle::process(start->params, s, buf.data(), 10, 1);
    EXPECT_EQ(s.scopeColumn[0][0], 127);
    EXPECT_EQ(s.scopeColumn[0][1], 0);
    EXPECT_EQ(s.scopeFrameCount, 0);
}

// ---------------------------------------------------------------------------
// The equaliser alone, every rate and band layout. 32000 Hz is not a table
// rate: the stage must stay off there even with a table selected.

using EqParam = std::tuple<int32_t /*rate*/, int32_t /*bands*/, int32_t /*channels*/, uint8_t /*secondPass*/>;

class EqualiserBankMatchesModel : public ::testing::TestWithParam<EqParam> {};

TEST_P(EqualiserBankMatchesModel, OverLongVariedSignals) {
    const auto [rate, bands, channels, secondPass] = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(rate + bands * 7 + channels * 131 + secondPass * 977));
    auto start = fresh_state(rate, channels);
    setup_equaliser(*start, rng, bands, secondPass);
    const uint32_t seed = rng();
    ASSERT_TRUE(matches_model(*start, seed, 9000, varied_frame_counts(rng, 9000)));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, EqualiserBankMatchesModel,
                         ::testing::Combine(::testing::Values(11025, 22050, 44100, 48000, 32000),
                                            ::testing::Values(10, 15, 25, 31), ::testing::Values(1, 2),
                                            ::testing::Values(uint8_t{0}, uint8_t{1})));

// ---------------------------------------------------------------------------
// All three stages together in both orders, with the display capturing. Tap
// counts and ratios are spread over the rates rather than crossed with them:
// each pair of the two meets at least two of the twenty combinations.

using ChainParam = std::tuple<int32_t /*rate*/, int32_t /*channels*/, uint8_t /*reverbFirst*/>;

class FullChainMatchesModel : public ::testing::TestWithParam<ChainParam> {};

TEST_P(FullChainMatchesModel, OverConsecutiveBuffers) {
    const auto [rate, channels, reverbFirst] = GetParam();
    static const int32_t kRates[] = {11025, 22050, 44100, 48000, 32000};
    static const int32_t kTaps[] = {1, 20, 100}, kRatios[] = {0, 5, 10};
    static const Times kTimes[] = {{1, 10}, {10, 1}, {5, 5}, {1000, 1}, {1, 1000}, {50, 200}};
    static const int32_t kBands[] = {10, 15, 25, 31}, kWidths[] = {1, 137, 300, 1400};
    const int k = static_cast<int>(std::find(std::begin(kRates), std::end(kRates), rate) - kRates) * 4 +
                  (channels - 1) * 2 + reverbFirst;
    const int32_t taps = kTaps[k % 3], ratio = kRatios[k / 3 % 3];
    const uint32_t seed = static_cast<uint32_t>(rate + channels * 17 + reverbFirst * 71 + taps * 313 + ratio * 1009);
    std::mt19937 rng(seed);

    auto start = fresh_state(rate, channels);
    setup_equaliser(*start, rng, kBands[seed % 4], static_cast<uint8_t>(seed / 4 % 2));
    setup_reverb(*start, rng, taps);
    setup_compressor(*start, rng, ratio, kTimes[seed % 6]);
    setup_display(*start, kWidths[seed / 8 % 4]);
    start->params.reverbFirst = reverbFirst ? static_cast<uint8_t>(1 + rng() % 255) : 0;
    ChainPair pair(*start);

    const std::vector<int16_t> signal = make_signal(rng(), rate, channels, 9000);
    const std::vector<int32_t> counts = varied_frame_counts(rng, 7000);
    for (size_t i = 0, pos = 0; i < counts.size(); ++i) {
        const size_t need = static_cast<size_t>(counts[i]) * channels;
        if (pos + need > signal.size()) pos = 0;
        // Only a drawDisplay of exactly 1 captures.
        ASSERT_TRUE(pair.run(signal.data() + pos, counts[i] * 2 * channels, static_cast<uint8_t>(i % 3)))
            << taps << " taps, ratio " << ratio;
        pos += need;
    }
}

INSTANTIATE_TEST_SUITE_P(StagesAndOrders, FullChainMatchesModel,
                         ::testing::Combine(::testing::Values(11025, 22050, 44100, 48000, 32000),
                                            ::testing::Values(1, 2), ::testing::Values(uint8_t{0}, uint8_t{1})));

// ---------------------------------------------------------------------------
// Buffer lengths: empty, shorter than a frame, odd byte counts (the trailing
// half frame stays untouched), exactly the capacity, split buffers, and runs
// of many small buffers whose state carries over. Byte counts are used as
// they are for mono and stereo: an even count that is not a multiple of 4
// leaves a trailing half frame in stereo.

TEST(ChainEquivalence, BufferShapesWithEveryStageOn) {
    const std::vector<int32_t> kShapes[] = {
        {0, 0, 0},          {1, 1},  {2, 2, 2},  {3, 3}, {5, 7, 9, 4101, 999, 8201, 13}, {6, 10, 8198, 16402},
        {8200, 16400, 8202, 16404, 16398}, {18000, 18001, 36000, 36002}, {16380, 16382, 32760, 32764, 49200},
    };
    for (size_t index = 0; index < std::size(kShapes); ++index) {
        for (int32_t channels : {1, 2}) {
            std::mt19937 rng(static_cast<uint32_t>(index * 31 + channels));
            auto start = fresh_state(44100, channels);
            setup_equaliser(*start, rng, 31, 1);
            setup_reverb(*start, rng, 100);
            setup_compressor(*start, rng, 5, {1, 10});
            setup_display(*start, 137);
            ChainPair pair(*start);
            const std::vector<int16_t> signal = make_signal(rng(), 44100, 2, 13000);
            for (int32_t bytes : kShapes[index])
                ASSERT_TRUE(pair.run(signal.data(), bytes, 1)) << "shape " << index << ", " << channels << " channel(s)";
        }
    }
}

TEST(ChainEquivalence, ManySmallBuffersCarryStateAcross) {
    for (int32_t channels : {1, 2}) {
        std::mt19937 rng(4242u + channels);
        auto start = fresh_state(48000, channels);
        setup_equaliser(*start, rng, 25, 1);
        setup_reverb(*start, rng, 20);
        setup_compressor(*start, rng, 0, {1, 1000});
        setup_display(*start, 64);
        ChainPair pair(*start);
        const std::vector<int16_t> signal = make_signal(rng(), 48000, channels, 30000);
        size_t pos = 0;
        for (int call = 0; call < 400; ++call) {
            const int32_t bytes = static_cast<int32_t>(rng() % 300);  // odd lengths included
            if (pos + bytes / 2 + 1 > signal.size()) pos = 0;
            ASSERT_TRUE(pair.run(signal.data() + pos, bytes, static_cast<uint8_t>(rng() % 2))) << channels;
            pos += bytes / 2;
        }
    }
}

// Resets travel as counters in the parameters; both sides must perform each
// one at the start of the next buffer, whatever that buffer holds.
bool all_zero(const float* v, size_t n) {
    return std::all_of(v, v + n, [](float x) { return x == 0.0f; });
}

TEST(ChainEquivalence, ResetRequestsActAtTheStartOfTheNextBuffer) {
    for (int32_t channels : {1, 2}) {
        std::mt19937 rng(515u + channels);
        auto start = fresh_state(44100, channels);
        setup_equaliser(*start, rng, 15, 1);
        setup_reverb(*start, rng, 20);
        setup_compressor(*start, rng, 5, {1, 10});
        ChainPair pair(*start);
        ChainParams& p = pair.params();
        const std::vector<int16_t> signal = make_signal(rng(), 44100, channels, 12000);
        ASSERT_TRUE(pair.run_sequence(signal, {700}));

        // Two requests before one buffer are one reset; a buffer of no
        // frames still performs it.
        p.eqClears += 2;
        p.ringClears += 1;
        p.compGainResets += 1;
        ASSERT_TRUE(pair.run(signal.data(), 0, 0)) << channels;
        const ChainSignal& s = pair.prod();
        EXPECT_TRUE(all_zero(&s.eqHistory[0][0][0][0], sizeof s.eqHistory / sizeof(float)));
        EXPECT_EQ(s.eqDitherIndex, 0);
        for (int32_t c = 0; c < kMaxChannels; ++c)
            EXPECT_TRUE(all_zero(s.reverb[c].samples, kRingSize)) << "ring " << c;
        EXPECT_EQ(s.compGain, 1.0f);
        EXPECT_EQ(s.eqClearsDone, p.eqClears);
        EXPECT_EQ(s.ringClearsDone, p.ringClears);
        EXPECT_EQ(s.compGainResetsDone, p.compGainResets);

        // Each request alone, in the middle of a running stream, and a
        // counter that wraps.
        ASSERT_TRUE(pair.run_sequence(signal, {1000, 37}));
        p.ringClears += 1;
        ASSERT_TRUE(pair.run_sequence(signal, {513}));
        p.eqClears += 1;
        ASSERT_TRUE(pair.run_sequence(signal, {4101}));
        p.compGainResets = 0xFFFFFFFFu;
        ASSERT_TRUE(pair.run_sequence(signal, {1, 2000}));
        p.compGainResets += 1;
        p.eqClears += 1;
        ASSERT_TRUE(pair.run_sequence(signal, {3}));
        EXPECT_EQ(pair.prod().compGainResetsDone, 0u);
    }
}

// ---------------------------------------------------------------------------
// The level display's capture and column averaging over every combination
// of request, visibility, surface and width, with buffers shorter and longer
// than the display.

using DisplayParam = std::tuple<uint8_t /*draw*/, uint8_t /*shown*/, bool /*surface*/, int32_t /*width*/>;

class LevelCaptureMatchesModel : public ::testing::TestWithParam<DisplayParam> {};

TEST_P(LevelCaptureMatchesModel, ForBuffersAroundTheWidth) {
    const auto [draw, shown, surface, width] = GetParam();
    for (int32_t channels : {1, 2}) {
        std::mt19937 rng(static_cast<uint32_t>(width * 5 + shown * 3 + draw + channels * 1000));
        auto start = fresh_state(22050, channels);
        setup_compressor(*start, rng, 5, {1, 10});
        setup_display(*start, width);
        start->params.displayShown = shown;
        start->params.scopeDc = surface ? &g_surface : nullptr;
        // Stale levels and columns from an earlier, longer buffer.
        for (auto& row : start->signal.scopeLevel)
            for (uint8_t& v : row) v = static_cast<uint8_t>(rng());
        for (auto& row : start->signal.scopeColumn)
            for (uint8_t& v : row) v = static_cast<uint8_t>(rng());
        start->signal.scopeFrameCount = 777;
        ChainPair pair(*start);

        const std::vector<int16_t> signal = make_signal(rng(), 22050, channels, 9000);
        for (int32_t frames : {0, 5, width - 1, width, width + 1, 2 * width - 1, 4100, 9000}) {
            if (frames < 0) continue;
            ASSERT_TRUE(pair.run(signal.data(), frames * 2 * channels, draw)) << frames << " frames, " << channels;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, LevelCaptureMatchesModel,
                         ::testing::Combine(::testing::Values(uint8_t{0}, uint8_t{1}, uint8_t{2}),
                                            ::testing::Values(uint8_t{0}, uint8_t{1}, uint8_t{2}), ::testing::Bool(),
                                            ::testing::Values(0, 1, 700, 1400)));

// ---------------------------------------------------------------------------
// Values the controls never produce, set straight into the state.

TEST(ChainEquivalence, ReverbTapsOutsideTheControlRanges) {
    // 0 taps leaves only the doubled dry path; more than 100 runs 100.
    for (int32_t taps : {0, 150, 65535}) {
        std::mt19937 rng(static_cast<uint32_t>(taps));
        auto start = fresh_state(44100, 2);
        setup_reverb(*start, rng, 100);
        for (ReverbVoice& voice : start->params.reverb) voice.tapCount = static_cast<uint16_t>(taps);
        ASSERT_TRUE(matches_model(*start, rng(), 6000, {1000, 3000, 2000})) << taps << " taps";
    }

    // Delays over the whole ring, zero comb delay (the ring slot being
    // overwritten feeds back), feedback gain exactly 1, large tap gains.
    std::mt19937 rng(99u);
    auto start = fresh_state(11025, 2);
    setup_reverb(*start, rng, 100);
    for (ReverbVoice& voice : start->params.reverb) {
        for (int32_t t = 0; t < kMaxTaps; ++t) {
            voice.tapDelay[t] = static_cast<uint16_t>(rng());
            voice.tapGain[t] = uniform_f(rng, -1.5f, 1.5f);
        }
        voice.tapDelay[7] = 0;
        voice.tapDelay[8] = 65535;
        voice.combGain = reverb_gain(0);
    }
    start->params.reverb[0].combDelay = 0;
    start->params.reverb[1].combDelay = 1;
    ASSERT_TRUE(matches_model(*start, rng(), 20000, {4100, 4100, 9000, 1, 2799}));

    // Taps drawn by the engine over a long decay at full wet level.
    rng.seed(5u);
    start = fresh_state(48000, 2);
    setup_reverb(*start, rng, 100);
    RandomSource random;
    const TapLayout longDecay{20, 0, 1000};
    for (ReverbVoice& voice : start->params.reverb) voice.wetGain = reverb_gain(0);
    reverb_draw_taps(random, 48000, longDecay, start->params.reverb[1]);
    reverb_draw_taps(random, 48000, longDecay, start->params.reverb[0]);
    ASSERT_TRUE(matches_model(*start, rng(), 12000, {4100, 3900, 4000}));
}

TEST(ChainEquivalence, EqualiserWithGainsAndMemoriesBeyondTheSliders) {
    std::mt19937 rng(17u);
    for (uint8_t secondPass : {uint8_t{0}, uint8_t{1}}) {
        auto start = fresh_state(44100, 2);
        setup_equaliser(*start, rng, 31, secondPass);
        for (auto& band : start->params.eqGain)
            for (float& g : band) g = uniform_f(rng, -3.0f, 3.0f);
        start->params.eqPreGain[0] = 9.5f;
        start->params.eqPreGain[1] = -0.001f;
        fill_memories(start->signal.eqHistory, rng, 1e6f);
        ASSERT_TRUE(matches_model(*start, rng(), 8000, {4000, 4000})) << int(secondPass);
    }
}

TEST(ChainEquivalence, EqualiserWithoutTableOrActiveBandsKeepsTheDryPath) {
    // A state that never selected a table (switched on before the first
    // init) must not reach for coefficients; no active bands leaves only
    // the dry path.
    for (int32_t channels : {1, 2}) {
        std::mt19937 rng(static_cast<uint32_t>(channels));
        auto start = fresh_state(44100, channels);
        setup_equaliser(*start, rng, 10, 1);
        start->params.eqActiveBands = 0;
        ASSERT_TRUE(matches_model(*start, rng(), 3000, {1, 2, 1000, 3})) << channels << " channel(s)";
    }
    std::mt19937 rng(23u);
    auto start = fresh_state(44100, 2);
    setup_equaliser(*start, rng, 10, 1);
    setup_reverb(*start, rng, 20);
    start->params.eqTable = nullptr;
    ChainPair pair(*start);
    ASSERT_TRUE(pair.run_sequence(make_signal(rng(), 44100, 2, 3000), {3000}));
    EXPECT_EQ(std::memcmp(pair.prod().eqHistory, start->signal.eqHistory, sizeof start->signal.eqHistory), 0);
    EXPECT_EQ(pair.prod().eqDitherIndex, start->signal.eqDitherIndex);
}

TEST(ChainEquivalence, CompressorAtAbsurdSampleRates) {
    // Rate 0 makes the coefficients infinite and rate 1 makes them hugely
    // negative: the detector overflows and the state must still come out the
    // same (and finite) on both sides.
    for (int32_t rate : {0, 1, 7}) {
        for (int32_t channels : {1, 2}) {
            std::mt19937 rng(static_cast<uint32_t>(rate * 3 + channels));
            auto start = fresh_state(rate, channels);
            setup_compressor(*start, rng, 5, {1, 10});
            ChainPair pair(*start);
            ASSERT_TRUE(pair.run_sequence(make_signal(rng(), 44100, channels, 3000), {1000, 0, 2000})) << rate;
            EXPECT_TRUE(std::isfinite(pair.prod().compMeanSquare));
            EXPECT_TRUE(std::isfinite(pair.prod().compGain));
        }
    }
}

// ---------------------------------------------------------------------------
// Calls that must change nothing at all, on either side.

// Runs the production chain in every kernel set (and the model, if asked)
// on a copy of start and the buffer; both must come back unchanged.
void expect_untouched(const ChainRecord& start, const std::vector<int16_t>& signal, bool nullBuffer,
                      int32_t lengthBytes, uint8_t draw, bool model, const char* what) {
    if (model) {
        auto m = std::make_unique<ChainRecord>(start);
        std::vector<int16_t> b(signal);
        oracle::process(m->params, m->signal, nullBuffer ? nullptr : b.data(), lengthBytes, draw);
        EXPECT_EQ(b, signal) << what << ", model";
        EXPECT_TRUE(same_bytes(m->signal, start.signal)) << what << ", model:" << state_difference(m->signal, start.signal);
        EXPECT_TRUE(same_bytes(m->params, start.params)) << what << ", model: parameters";
    }
    for (SimdLevel level : supported_levels()) {
        auto prod = std::make_unique<ChainRecord>(start);
        std::vector<int16_t> a(signal);
        chain_process_at(level, prod->params, prod->signal, nullBuffer ? nullptr : a.data(), lengthBytes, draw);
        EXPECT_EQ(a, signal) << what << ", " << level_name(level);
        EXPECT_TRUE(same_bytes(prod->signal, start.signal))
            << what << ", " << level_name(level) << ":" << state_difference(prod->signal, start.signal);
        EXPECT_TRUE(same_bytes(prod->params, start.params)) << what << ", " << level_name(level) << ": parameters";
    }
}

TEST(ChainEquivalence, RejectedCallsLeaveBufferAndStateUntouched) {
    std::mt19937 rng(1u);
    auto start = fresh_state(44100, 2);
    setup_equaliser(*start, rng, 10, 0);
    setup_reverb(*start, rng, 20);
    setup_compressor(*start, rng, 5, {1, 10});
    setup_display(*start, 100);
    const std::vector<int16_t> signal = make_signal(rng(), 44100, 2, 1000);
    struct Case {
        const char* what;
        int32_t channels, lengthBytes;
        bool nullBuffer;
    };
    const Case cases[] = {
        {"null buffer", 2, 4000, true},    {"null buffer, no length", 2, 0, true},
        {"negative length", 2, -4, false}, {"most negative length", 2, std::numeric_limits<int32_t>::min(), false},
        {"no channels", 0, 4000, false},   {"three channels", 3, 4000, false},
        {"negative channels", -1, 4000, false},
    };
    for (const Case& c : cases) {
        start->params.channelCount = c.channels;
        expect_untouched(*start, signal, c.nullBuffer, c.lengthBytes, 1, true, c.what);
    }
}

TEST(ChainEquivalence, EqualiserSlotsThatAreNoRotationLeaveTheStageOff) {
    // The frame loop only ever leaves the slots a rotation with prev1 = cur
    // - 1 and prev2 = cur - 2; a record written otherwise by hand is not
    // filtered at all (and nothing outside the slots is read).
    std::mt19937 rng(8u);
    auto start = fresh_state(44100, 2);
    setup_equaliser(*start, rng, 31, 1);
    const std::vector<int16_t> signal = make_signal(rng(), 44100, 2, 500);
    for (const auto& slots : {std::vector<int32_t>{0, 0, 0}, {0, 1, 2}, {3, 2, 1}, {-1, 1, 0}}) {
        start->signal.eqSlotCur = slots[0];
        start->signal.eqSlotPrev1 = slots[1];
        start->signal.eqSlotPrev2 = slots[2];
        expect_untouched(*start, signal, false, static_cast<int32_t>(signal.size() * 2), 0, false, "slots");
    }
}

// ---------------------------------------------------------------------------
// Where the restructured loops change their way of working: the ends of the
// equaliser's band pipeline, the reverb's groups of frames around the comb
// and tap delays that forbid them, the compressor's blocks and its power law
// outside the range the controls give.

TEST(ChainEquivalence, EqualiserPipelineFillsAndDrainsAtEveryLength) {
    // Buffers shorter than, equal to and just beyond the pipeline's 10 ... 62
    // stages, and single frames after a long buffer.
    const std::vector<int32_t> counts = {1,  2,  3,  4,  5,  9,  10, 11, 19, 20, 21, 29, 30, 31, 32,
                                         49, 50, 51, 61, 62, 63, 64, 65, 1,  1,  1,  200, 3, 777};
    for (int32_t bands : {10, 15, 25, 31}) {
        for (uint8_t secondPass : {uint8_t{0}, uint8_t{1}}) {
            for (int32_t channels : {1, 2}) {
                std::mt19937 rng(static_cast<uint32_t>(bands * 4 + secondPass * 2 + channels));
                auto start = fresh_state(48000, channels);
                setup_equaliser(*start, rng, bands, secondPass);
                ASSERT_TRUE(matches_model(*start, rng(), 2000, counts))
                    << bands << " bands, pass " << int(secondPass) << ", " << channels << " channel(s)";
            }
        }
    }
}

TEST(ChainEquivalence, ReverbGroupsAroundCombAndTapHazards) {
    // Comb delays below, at and above the group sizes (8 ... 32 frames) and
    // next to the ring's wrap; taps short enough to read the group's own
    // writes, long enough to reach round the ring to slots the group has not
    // written yet, or spread out; the write position just before the wrap.
    const uint16_t kCombDelays[] = {0, 1, 3, 7, 8, 15, 16, 31, 32, 33, 64, 65503, 65504, 65535};
    enum Layout { Short, AroundTheRing, Spread };
    for (uint16_t comb : kCombDelays) {
        for (Layout layout : {Short, AroundTheRing, Spread}) {
            std::mt19937 rng(static_cast<uint32_t>(comb * 3 + layout));
            auto start = fresh_state(44100, 2);
            setup_reverb(*start, rng, layout == Spread ? 100 : 12);
            for (int32_t c = 0; c < kMaxChannels; ++c) {
                ReverbVoice& voice = start->params.reverb[c];
                voice.combDelay = comb;
                voice.combGain = reverb_gain(-3);
                for (int32_t t = 0; t < kMaxTaps; ++t) {
                    const uint32_t r = rng();
                    voice.tapDelay[t] =
                        static_cast<uint16_t>(layout == Short ? r % 40 : layout == AroundTheRing ? 65535 - r % 40 : r);
                }
                start->signal.reverb[c].writePos = static_cast<uint16_t>(65536 - 20 - rng() % 20);
            }
            ASSERT_TRUE(matches_model(*start, rng(), 6000, {1, 7, 31, 32, 33, 100, 1024, 4100, 5}))
                << "comb delay " << comb << ", layout " << layout;
        }
    }
}

TEST(ChainEquivalence, CompressorOutsideTheControlRanges) {
    // A threshold of 0 (every level at or above it, 0 / 0 for silence), an
    // infinite one, slopes below 0 and above 1 (powers outside -0.5 ... 0),
    // smoothing coefficients past 1; buffers around the 64-sample blocks.
    struct Case {
        float threshold, slope, attack, release;
    };
    const Case cases[] = {
        {0.0f, 0.5f, 0.9f, 0.99f},  {1e30f, 0.5f, 0.9f, 0.99f},  {0.01f, -1.0f, 0.9f, 0.99f},
        {0.01f, 1.5f, 0.9f, 0.99f}, {0.01f, 3.0f, 0.5f, 0.5f},   {0.001f, 0.0f, 1.5f, -0.5f},
        {1e-20f, 0.25f, 0.99f, 0.9f}, {0.05f, 1.0f, 0.0f, 1.0f},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (int32_t channels : {1, 2}) {
            std::mt19937 rng(static_cast<uint32_t>(i * 2 + channels));
            auto start = fresh_state(44100, channels);
            setup_compressor(*start, rng, 5, {1, 10});
            ChainParams& p = start->params;
            p.compThreshold = cases[i].threshold;
            p.compSlope = cases[i].slope;
            p.compAttackCoef = p.compAvgCoef = cases[i].attack;
            p.compReleaseCoef = cases[i].release;
            ASSERT_TRUE(matches_model(*start, rng(), 5000, {63, 64, 65, 127, 128, 129, 1, 2, 1000, 4100}))
                << "case " << i << ", " << channels << " channel(s)";
        }
    }
}

// ---------------------------------------------------------------------------
// Denormals: the chain runs with flush-to-zero and denormals-are-zero and
// gives the caller's floating-point mode back.

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
bool is_subnormal(float v) { return v != 0.0f && std::fabs(v) < std::numeric_limits<float>::min(); }

TEST(ChainFloatingPoint, MemoriesDecayToZeroNotToSubnormals) {
    std::mt19937 rng(31u);
    auto s = fresh_state(44100, 2);
    setup_equaliser(*s, rng, 10, 1);
    setup_reverb(*s, rng, 20);
    // A slow decay: the ring passes through the subnormal range.
    for (ReverbVoice& voice : s->params.reverb) voice.combGain = reverb_gain(-1);
    setup_compressor(*s, rng, 5, {1, 10});
    std::vector<int16_t> buf = make_signal(rng(), 44100, 2, 4100);
    const unsigned before = _mm_getcsr();
    chain_process(s->params, s->signal, buf.data(), static_cast<int32_t>(buf.size() * 2), 0);
    // Silence long enough for a feedback of -1 dB over 5344 samples to fall
    // by far more than the 2^-149 / 2^-126 of the subnormal range.
    for (int call = 0; call < 120 * 44100 / 4100; ++call) {
        std::fill(buf.begin(), buf.end(), int16_t{0});
        chain_process(s->params, s->signal, buf.data(), static_cast<int32_t>(buf.size() * 2), 0);
    }
    EXPECT_EQ(_mm_getcsr(), before) << "the caller's MXCSR must come back";
    for (const ReverbRing& ring : s->signal.reverb)
        for (float v : ring.samples) ASSERT_FALSE(is_subnormal(v)) << v;
    for (auto& pass : s->signal.eqHistory)
        for (auto& band : pass)
            for (auto& channel : band)
                for (float v : channel) ASSERT_FALSE(is_subnormal(v)) << v;
    EXPECT_FALSE(is_subnormal(s->signal.compMeanSquare));
}
#endif

// ---------------------------------------------------------------------------
// The kernel sets themselves: their choice, and their lane routines held
// against the scalar routines over whole input domains (the chain tests
// above only meet the values real signals produce).

TEST(KernelSets, TheChoiceStaysWithinTheCapAndTheProcessor) {
    EXPECT_TRUE(simd_supported(SimdLevel::Baseline));
    const SimdLevel all[] = {SimdLevel::Baseline, SimdLevel::Avx2, SimdLevel::Avx512};
    for (SimdLevel cap : all) {
        const SimdLevel got = simd_select(cap);
        EXPECT_TRUE(got <= cap);
        EXPECT_TRUE(simd_supported(got));
        EXPECT_EQ(stage_kernels().level, got);
        for (SimdLevel l : all)
            if (l <= cap && simd_supported(l)) {
                EXPECT_TRUE(l <= got) << "a wider set was passed over";
            }
    }
    simd_select(SimdLevel::Avx512);
}

bool same_double(double a, double b) {
    // NaN results need only agree in being NaN: which NaN comes out of an
    // operation on two NaNs depends on operand order, and the chain never
    // lets a NaN's bits reach a sample or the state.
    if (a != a || b != b) return a != a && b != b;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(KernelSets, PowerLanesGiveThePortableRoutinesBits) {
    std::vector<double> xs, ys;
    auto add = [&](double x, double y) {
        xs.push_back(x);
        ys.push_back(y);
    };
    // Every early return of log and exp, and of pow itself.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double kX[] = {nan, -nan, inf, -inf, 0.0, -0.0, -1.0, 4.9e-324, 1e-310, 2.2250738585072014e-308,
                         1e-300, 0.5, 1.0, std::nextafter(1.0, 2.0), std::nextafter(1.0, 0.0), 2.0, 1e300,
                         std::numeric_limits<double>::max()};
    const double kY[] = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 1e-12, -1e-12, 1e3, -1e3, 3e3, -3e3, nan, inf, -inf};
    for (double x : kX)
        for (double y : kY) add(x, y);
    // Around exp's limits and the three ways it scales by 2^k: x = e makes
    // y log x about y.
    const double e = 2.718281828459045;
    for (double v : {709.78, 709.7827128933839, 709.79, 708.39, 708.4, 708.5, -708.39, -708.4, -708.5, -708.9,
                     -709.1, -744.0, -745.13, -745.2, -746.0, 3.7e-9, -3.7e-9, 3.8e-9, 1e-20})
        for (int k = -3; k <= 3; ++k) add(e, v * (1.0 + k * 1e-15));
    // What the compressor meets: x = m / T^2 for single-precision m >= T^2,
    // y = (slope - 1) / 2 for the slopes 0, 0.1, ..., 1.
    std::mt19937 rng(77u);
    for (int i = 0; i < 200000; ++i) {
        const float t2 = static_cast<float>(std::pow(10.0, -0.1 * (3 + rng() % 60)));
        const float m = static_cast<float>(t2 * std::exp(std::uniform_real_distribution<double>(0.0, 16.0)(rng)));
        add(static_cast<double>(m) / t2, static_cast<double>(static_cast<float>(rng() % 11 * 0.1)) * 0.5 - 0.5);
    }
    // Anything at all.
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = (static_cast<uint64_t>(rng()) << 32) | rng();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        add(x, std::uniform_real_distribution<double>(-4.0, 4.0)(rng));
    }

    for (SimdLevel level : supported_levels()) {
        simd_select(level);
        std::vector<double> got(xs.size());
        stage_kernels().power(xs.data(), ys.data(), got.data(), static_cast<int32_t>(xs.size()));
        int shown = 0;
        for (size_t i = 0; i < xs.size() && shown < 5; ++i) {
            const double want = portable_pow(xs[i], ys[i]);
            if (!same_double(got[i], want)) {
                ADD_FAILURE() << level_name(level) << ": pow(" << xs[i] << ", " << ys[i] << ") gave " << got[i]
                              << ", the portable routine " << want;
                ++shown;
            }
        }
    }
    simd_select(SimdLevel::Avx512);
}

TEST(KernelSets, OutputConversionLanesGiveTheScalarConversions) {
    // Equaliser: every tie and its neighbours over the whole 16-bit range and
    // beyond, a sweep through all float bit patterns, the special values.
    std::vector<float> eq;
    for (int32_t k = -40000; k <= 40000; ++k) {
        for (float f : {static_cast<float>(k), k + 0.5f, k - 0.5f}) {
            eq.push_back(f);
            eq.push_back(std::nextafter(f, 1e9f));
            eq.push_back(std::nextafter(f, -1e9f));
        }
    }
    for (uint64_t bits = 0; bits < (1ull << 32); bits += 65521) {
        const uint32_t b = static_cast<uint32_t>(bits);
        float f;
        std::memcpy(&f, &b, sizeof f);
        eq.push_back(f);
    }
    for (float f : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(), 0.0f,
                    -0.0f, 1e-45f, -1e-45f, 16613376.0f, -16613376.0f, 3.4e38f, -3.4e38f})
        eq.push_back(f);
    // Reverb and compressor: around every output step and the clamps.
    std::vector<double> unit;
    for (int32_t k = -32768; k <= 32768; k += 7) {
        for (double scale : {32767.0, 32768.0}) {
            const double v = k / scale;
            unit.insert(unit.end(), {v, std::nextafter(v, 2.0), std::nextafter(v, -2.0)});
        }
    }
    for (double v : {1.0, -1.0, std::nextafter(1.0, 2.0), std::nextafter(-1.0, -2.0), 1e300, -1e300, 0.0, -0.0,
                     std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), 4.9e-324})
        unit.push_back(v);

    for (SimdLevel level : supported_levels()) {
        simd_select(level);
        const StageKernels& k = stage_kernels();
        std::vector<int16_t> got(eq.size());
        k.equaliser_pcm16(eq.data(), static_cast<int32_t>(eq.size()), got.data());
        for (size_t i = 0; i < eq.size(); ++i)
            ASSERT_EQ(got[i], equaliser_to_pcm16(eq[i])) << level_name(level) << ", equaliser, " << eq[i];
        got.assign(unit.size(), 0);
        k.reverb_pcm16(unit.data(), static_cast<int32_t>(unit.size()), got.data());
        for (size_t i = 0; i < unit.size(); ++i)
            ASSERT_EQ(got[i], reverb_to_pcm16(unit[i])) << level_name(level) << ", reverb, " << unit[i];
        k.compressor_pcm16(unit.data(), static_cast<int32_t>(unit.size()), got.data());
        for (size_t i = 0; i < unit.size(); ++i)
            ASSERT_EQ(got[i], compressor_to_pcm16(unit[i])) << level_name(level) << ", compressor, " << unit[i];
    }
    simd_select(SimdLevel::Avx512);
}

}  // namespace
}  // namespace audiomix
