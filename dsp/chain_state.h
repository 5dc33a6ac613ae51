// What the processing chain runs on, in two records with two owners.
//
// ChainParams is everything a buffer is processed with: the format, the
// switches, and the derived values of every stage (filter table and gains,
// dither, reverb taps and gains, compressor coefficients, display geometry).
// The control side computes it and hands it over whole; the chain only reads
// it. ChainSignal is what the chain itself carries from buffer to buffer
// (filter memories, reverb rings, compressor detector and gain, display
// capture); only the audio side touches it.
//
// Resets of signal state are requested through ChainParams: each reset has a
// counter the control side moves on, and the chain performs the reset at the
// start of the first buffer that sees a new count (chain_apply_resets). Two
// requests between buffers are one reset, as they would be on a plain record.
#pragma once

#include <cstdint>

namespace audiomix {

struct EqCoefTable;
class ScopeSurface;

constexpr int kMaxChannels = 2;
constexpr int kMaxFrames = 4100;  // frames per piece the work buffers hold
constexpr int kMaxBands = 31;
constexpr int kMaxTaps = 100;
constexpr int kRingSize = 65536;  // indices wrap in 16 bits
constexpr int kDitherSize = 256;
constexpr int kScopeMaxFrames = 8190;
constexpr int kScopeMaxWidth = 1400;

// One channel's reverb as the chain runs it: the taps and the two gains.
struct ReverbVoice {
    uint16_t tapCount;
    uint16_t tapDelay[kMaxTaps];
    float tapGain[kMaxTaps];
    uint16_t combDelay;
    float combGain;
    float wetGain;
};

// One channel's reverb memory.
struct ReverbRing {
    uint16_t writePos;
    float samples[kRingSize];
};

struct ChainParams {
    // Format
    int32_t sampleRate;
    int32_t channelCount;

    // Switches: stages run when exactly 1; reverbFirst counts when non-zero.
    uint8_t eqOn;
    uint8_t reverbOn;
    uint8_t compOn;
    uint8_t reverbFirst;
    uint8_t eqSecondPass;
    uint8_t displayShown;

    // Equaliser
    const EqCoefTable* eqTable;
    int32_t eqActiveBands;
    float eqGain[kMaxBands][kMaxChannels];
    float eqPreGain[kMaxChannels];
    double eqDither[kDitherSize];

    // Reverb, one voice per channel
    ReverbVoice reverb[kMaxChannels];

    // Compressor
    float compThreshold;
    float compSlope;
    float compAttackCoef;
    float compReleaseCoef;
    float compAvgCoef;

    // Level display: where and how large it draws.
    ScopeSurface* scopeDc;
    int32_t scopeWidth;
    int32_t scopeHeight;
    int32_t scopeRowStep;
    int32_t scopeGridColumns;

    // Reset requests (see above).
    uint32_t eqClears;        // filter memories to zero, dither from its start
    uint32_t ringClears;      // both reverb rings to zero
    uint32_t compGainResets;  // compressor gain back to 1
};

struct ChainSignal {
    // Equaliser: pass, band, channel: x[0..2], y[0..2], in rotating slots.
    float eqHistory[2][kMaxBands][kMaxChannels][6];
    int32_t eqSlotCur;
    int32_t eqSlotPrev1;
    int32_t eqSlotPrev2;
    int32_t eqDitherIndex;

    ReverbRing reverb[kMaxChannels];

    float compMeanSquare;
    float compGain;

    // Level display capture of the last buffer.
    int32_t scopeFrameCount;
    uint8_t scopeLevel[kMaxChannels][8192];
    uint8_t scopeColumn[kMaxChannels][kScopeMaxWidth];

    // The reset counts last performed.
    uint32_t eqClearsDone;
    uint32_t ringClearsDone;
    uint32_t compGainResetsDone;
};

// The state of a freshly loaded library: every value zero but the slot
// rotation the frame loop expects.
void chain_signal_load_state(ChainSignal& signal);

// Performs the resets params requests that signal has not done yet.
void chain_apply_resets(const ChainParams& params, ChainSignal& signal);

}  // namespace audiomix
