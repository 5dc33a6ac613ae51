// The production chain against the scalar reference model (tests/oracle):
// both run on identical copies of one state over the same buffers, and every
// output sample and every byte of the state afterwards must agree, in every
// kernel set the processor runs (dsp/kernels.h). A set-up worked out by hand
// makes agreement with the model mean something.
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
#include <vector>

#include "dsp/chain.h"
#include "dsp/compressor.h"
#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "dsp/kernels.h"
#include "dsp/level_display.h"
#include "dsp/raster_surface.h"
#include "dsp/reverb.h"
#include "test_support.h"
#include "tests/oracle/oracle_chain.h"

namespace audiomix {
namespace {

using Samples = std::vector<int16_t>;
using testing::make_signal;

// The columns are only computed when there is a surface to draw on.
RasterSurface g_surface(kScopeMaxWidth, 57);

// What one chain runs with and what it carries, kept together so that every
// side of a comparison starts from copies of one set-up.
struct ChainRecord {
    ChainParams params;
    ChainSignal signal;
};

template <typename T>
bool same_bytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::unique_ptr<ChainRecord> fresh_state(int32_t rate, int32_t channels) {
    auto s = std::make_unique<ChainRecord>();
    std::memset(&s->params, 0, sizeof s->params);
    s->params.sampleRate = rate;
    s->params.channelCount = channels;
    chain_signal_load_state(s->signal);
    // Reset counts about to wrap: a reset is asked for by any change.
    s->params.eqClears = s->signal.eqClearsDone = 0xFFFFFFFFu;
    s->params.ringClears = s->signal.ringClearsDone = 0xFFFFFFFEu;
    s->params.compGainResets = s->signal.compGainResetsDone = 0xFFFFFFFFu;
    return s;
}

// Every kernel set this processor runs, the widest first.
std::vector<SimdLevel> supported_levels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel l : {SimdLevel::Avx512, SimdLevel::Avx2, SimdLevel::Baseline})
        if (simd_supported(l)) levels.push_back(l);
    return levels;
}

const char* level_name(SimdLevel l) {
    return l == SimdLevel::Baseline ? "baseline" : l == SimdLevel::Avx2 ? "AVX2" : "AVX-512";
}

// One set of parameters, the model's signal state and one production signal
// state per kernel set. A test may change the parameters between buffers, as
// the control side would.
class ChainPair {
public:
    explicit ChainPair(const ChainRecord& start)
        : params_(std::make_unique<ChainParams>(start.params)), model_(std::make_unique<ChainSignal>(start.signal)) {
        for (SimdLevel l : supported_levels()) prod_.emplace_back(l, std::make_unique<ChainSignal>(start.signal));
    }

    ChainParams& params() { return *params_; }
    // The model's state; after a successful run every kernel set's is the same.
    const ChainSignal& signal() const { return *model_; }
    // Runs lengthBytes bytes of input (at least ceil(lengthBytes / 2)
    // samples) through the model and the production chain in every kernel
    // set, and compares everything.
    ::testing::AssertionResult run(const int16_t* input, int32_t lengthBytes, uint8_t draw) {
        ++calls_;
        const size_t used = lengthBytes > 0 ? (static_cast<size_t>(lengthBytes) + 1) / 2 : 0;
        // Guard samples past the end catch writes beyond the buffer.
        Samples in(used + 8, int16_t{0x5A5A});
        std::copy(input, input + used, in.begin());
        out_ = in;
        const auto before = std::make_unique<ChainParams>(*params_);
        oracle::process(*params_, *model_, out_.data(), lengthBytes, draw);
        for (auto& [level, signal] : prod_) {
            Samples a = in;
            if (simd_select(level) != level) return ::testing::AssertionFailure() << level_name(level) << " not chosen";
            chain_process(*params_, *signal, a.data(), lengthBytes, draw);
            simd_select(SimdLevel::Avx512);
            auto fail = [&, level = level] {
                return ::testing::AssertionFailure() << level_name(level) << ", call " << calls_ << " (lengthBytes "
                                                     << lengthBytes << ", draw " << int(draw) << "): ";
            };
            const auto diff = std::mismatch(a.begin(), a.end(), out_.begin());
            if (diff.first != a.end()) {
                const size_t i = static_cast<size_t>(diff.first - a.begin());
                return fail() << "first differing sample " << i << (i >= used ? " (past the end)" : "")
                              << ": production " << a[i] << ", model " << out_[i];
            }
            if (!same_bytes(*params_, *before)) return fail() << "the parameters changed";
            if (!same_bytes(*signal, *model_)) return fail() << "the signal states differ";
        }
        return ::testing::AssertionSuccess();
    }

    // The whole of buf through both, the result left in buf.
    ::testing::AssertionResult run(Samples& buf, uint8_t draw = 0) {
        auto result = run(buf.data(), static_cast<int32_t>(buf.size() * 2), draw);
        std::copy_n(out_.begin(), buf.size(), buf.begin());
        return result;
    }

private:
    std::unique_ptr<ChainParams> params_;
    std::unique_ptr<ChainSignal> model_;
    std::vector<std::pair<SimdLevel, std::unique_ptr<ChainSignal>>> prod_;
    Samples out_;
    int calls_ = 0;
};

// ---------------------------------------------------------------------------
// State set-up. The chain only reads parameters, so they are written directly
// where that reaches values the controls would not produce.

float uniform_f(std::mt19937& rng, float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }

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
    const int32_t rotation = static_cast<int32_t>(rng() % 3);
    s.signal.eqSlotCur = rotation;
    s.signal.eqSlotPrev1 = (rotation + 2) % 3;
    s.signal.eqSlotPrev2 = (rotation + 1) % 3;
    for (auto& pass : s.signal.eqHistory)
        for (auto& band : pass)
            for (auto& channel : band)
                for (float& v : channel) v = uniform_f(rng, -300.0f, 300.0f);
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
        voice.tapDelay[rng() % std::max(1, std::min(taps, kMaxTaps))] = 0;
        // Start near the wrap of the 16-bit index with a tail already running.
        ring.writePos = static_cast<uint16_t>(65536 - rng() % 3000);
        for (float& v : ring.samples) v = uniform_f(rng, -0.3f, 0.3f);
    }
}

void setup_compressor(ChainRecord& s, std::mt19937& rng, int32_t ratio, int32_t attackMs, int32_t releaseMs) {
    ChainParams& p = s.params;
    p.compOn = 1;
    p.compThreshold = comp_threshold(-static_cast<int32_t>(1 + rng() % 60));
    const CompTimes times = comp_times(p.sampleRate, attackMs, releaseMs);
    p.compAttackCoef = times.attack;
    p.compReleaseCoef = times.release;
    p.compAvgCoef = times.average;
    p.compSlope = comp_slope(ratio);
    s.signal.compMeanSquare = uniform_f(rng, 0.0f, 0.05f);
    s.signal.compGain = uniform_f(rng, 0.2f, 1.0f);
}

void setup_display(ChainParams& p, int32_t width) {
    p.displayShown = 1;
    p.scopeDc = &g_surface;
    scope_set_geometry(p, 0, 0, width, 56);
}

// ---------------------------------------------------------------------------
// Worked out by hand, through the model and the production chain alike: at
// -20 dB (a threshold 3 dB lower), 1 ms attack and 10 ms release; the ratio
// setting 10 is a slope of 1 (no compression), 5 is 2:1.
TEST(HandWorked, CompressorRatiosAndReleaseTime) {
    auto start = fresh_state(44100, 1);
    std::mt19937 rng(1u);
    setup_compressor(*start, rng, 10, 1, 10);
    start->params.compThreshold = comp_threshold(-20);
    start->signal.compGain = 1.0f;
    start->signal.compMeanSquare = 0.0f;
    Samples square(3000);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 50) % 2 ? -32768 : 32767;
    ChainPair pair(*start);
    Samples buf = square;
    ASSERT_TRUE(pair.run(buf));
    EXPECT_EQ(buf, square);

    // Ratio 2:1 on a full-scale square: gain (1 / T^2)^-0.25, about 0.266.
    pair.params().compSlope = comp_slope(5);
    ASSERT_TRUE(pair.run(buf));
    const double expected = std::pow(1.0 / std::pow(10.0, -2.3), -0.25) * 32767.0;
    EXPECT_NEAR(std::abs(buf.back()), expected, 0.01 * expected);

    // Far below the threshold for 10 ms, one release time constant, a gain
    // of 0.25 rises to 1 - 0.75 / e.
    start->signal.compGain = 0.25f;
    ChainPair quiet(*start);
    buf.assign(441, 3);
    ASSERT_TRUE(quiet.run(buf));
    EXPECT_NEAR(quiet.signal().compGain, 1 - 0.75 * std::exp(-1.0), 0.01);
}

// ---------------------------------------------------------------------------
// One property over many random set-ups from a fixed seed: every format
// (32000 Hz is not a table rate, so the equaliser must stay off there), each
// stage alone or together in either order, values inside and outside the
// controls' ranges, the display in every state, and buffers of every shape:
// empty, single frames, odd byte counts (the trailing half frame stays
// untouched), the 4100-frame work buffer and beyond, around the equaliser's
// pipeline, the reverb's groups and the compressor's 64-sample blocks.
// Resets requested between buffers act at the start of the next one.

TEST(ChainEquivalence, RandomSetupsAndBuffersMatchTheModel) {
    static const int32_t kRates[] = {11025, 22050, 44100, 48000, 32000};
    static const int32_t kBands[] = {10, 15, 25, 31};
    static const int32_t kTaps[] = {0, 1, 12, 20, 100, 150};
    static const uint16_t kCombDelays[] = {0, 1, 7, 8, 31, 33, 65503, 65535};
    static const int32_t kWidths[] = {0, 1, 64, 137, 700, 1400};
    static const int32_t kFrames[] = {0, 1, 2, 3, 9, 31, 62, 63, 64, 65, 127, 129, 511, 4100, 4101, 9000};
    std::mt19937 rng(20240611u);
    for (int run = 0; run < 160; ++run) {
        const int32_t rate = kRates[rng() % 5], channels = 1 + static_cast<int32_t>(rng() % 2);
        auto start = fresh_state(rate, channels);
        ChainParams& p = start->params;
        const uint32_t stages = 1 + rng() % 7;  // a bit per stage, at least one on
        if (stages & 1) setup_equaliser(*start, rng, kBands[rng() % 4], static_cast<uint8_t>(rng() % 2));
        if (stages & 2) setup_reverb(*start, rng, kTaps[rng() % 6]);
        if (stages & 4)
            setup_compressor(*start, rng, static_cast<int32_t>(rng() % 11), 1 + rng() % 1000, 1 + rng() % 1000);
        const uint32_t odd = rng() % 8;  // now and then a value no control produces
        if (odd == 0 && (stages & 2)) {
            for (ReverbVoice& v : p.reverb) {
                v.combDelay = kCombDelays[rng() % 8];
                for (uint16_t& d : v.tapDelay) d = static_cast<uint16_t>(rng() % 2 ? rng() % 40 : 65535 - rng() % 40);
            }
        } else if (odd == 1 && (stages & 4)) {
            const float k[] = {0.0f, 1e30f, -1.0f, 1.5f, 3.0f, 1e-20f};
            p.compThreshold = k[rng() % 2 ? 0 : 5];
            p.compSlope = k[2 + rng() % 3];
            p.compAttackCoef = p.compAvgCoef = uniform_f(rng, -0.5f, 1.5f);
            p.compReleaseCoef = uniform_f(rng, -0.5f, 1.5f);
        } else if (odd == 2 && (stages & 1)) {
            for (auto& band : p.eqGain)
                for (float& g : band) g = uniform_f(rng, -3.0f, 3.0f);
            p.eqPreGain[0] = 9.5f;
            if (rng() % 2) p.eqActiveBands = 0;
        }
        if (rng() % 2) setup_display(p, kWidths[rng() % 6]);
        p.displayShown = static_cast<uint8_t>(rng() % 3);
        p.reverbFirst = static_cast<uint8_t>(rng() % 2 ? 1 + rng() % 255 : 0);
        for (auto& row : start->signal.scopeLevel)  // stale levels of an earlier buffer
            for (uint8_t& v : row) v = static_cast<uint8_t>(rng());
        start->signal.scopeFrameCount = static_cast<int32_t>(rng() % 1000);

        ChainPair pair(*start);
        const Samples signal = make_signal(rng(), channels, 10000);
        for (int32_t total = 0; total < 9000;) {
            const uint32_t pick = rng() % 4;
            const int32_t frames = pick == 0 ? kFrames[rng() % 16] : static_cast<int32_t>(rng() % 1500);
            const int32_t bytes = frames * 2 * channels + (pick == 1 ? static_cast<int32_t>(rng() % 4) : 0);
            const uint32_t reset = rng() % 16;
            if (reset == 0) pair.params().eqClears += 1 + rng() % 2;
            if (reset == 1) pair.params().ringClears += 1;
            if (reset == 2) pair.params().compGainResets += 1;
            const size_t at = rng() % (signal.size() - (bytes + 1) / 2 + 1);
            ASSERT_TRUE(pair.run(signal.data() + at, bytes, static_cast<uint8_t>(rng() % 3)))
                << "run " << run << ": " << rate << " Hz, " << channels << " channel(s), stages " << stages << ", odd "
                << odd;
            total += std::max(frames, 200);
        }
    }
}

// The chain runs with flush-to-zero and denormals-are-zero and gives the
// caller's floating-point mode back.
#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
TEST(ChainFloatingPoint, MemoriesDecayToZeroNotToSubnormals) {
    std::mt19937 rng(31u);
    auto s = fresh_state(44100, 2);
    setup_equaliser(*s, rng, 10, 1);
    setup_reverb(*s, rng, 20);
    // A slow decay: the ring passes through the subnormal range.
    for (ReverbVoice& voice : s->params.reverb) voice.combGain = reverb_gain(-1);
    setup_compressor(*s, rng, 5, 1, 10);
    Samples buf = make_signal(rng(), 2, 4100);
    const unsigned before = _mm_getcsr();
    // Then silence long enough for a feedback of -1 dB over 5344 samples to
    // fall by far more than the 2^-149 / 2^-126 of the subnormal range.
    for (int call = 0; call <= 120 * 44100 / 4100; ++call) {
        chain_process(s->params, s->signal, buf.data(), static_cast<int32_t>(buf.size() * 2), 0);
        std::fill(buf.begin(), buf.end(), int16_t{0});
    }
    EXPECT_EQ(_mm_getcsr(), before) << "the caller's MXCSR must come back";
    auto subnormal = [](float v) { return v != 0.0f && std::fabs(v) < std::numeric_limits<float>::min(); };
    for (const ReverbRing& ring : s->signal.reverb)
        EXPECT_TRUE(std::none_of(ring.samples, ring.samples + kRingSize, subnormal));
    const float* eq = &s->signal.eqHistory[0][0][0][0];
    EXPECT_TRUE(std::none_of(eq, eq + sizeof s->signal.eqHistory / sizeof(float), subnormal));
    EXPECT_FALSE(subnormal(s->signal.compMeanSquare));
}
#endif

}  // namespace
}  // namespace audiomix
