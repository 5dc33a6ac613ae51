// The one process-wide engine record: every parameter and all signal state.
//
// The exports, the processing chain and the pages of the control window read
// and write these fields directly; a value written between two buffers takes
// effect on the next one. Fields are plain (no atomics): the window thread
// writes, the audio thread reads, and a torn read of a parameter only ever
// mixes an old and a new setting for one buffer.
#pragma once

#include <cstdint>

namespace audiomix {

struct EqCoefTable;
class ScopeSurface;

constexpr int kMaxChannels = 2;
constexpr int kMaxFrames = 4100;       // frames per call the work buffer holds
constexpr int kMaxBands = 31;
constexpr int kMaxTaps = 100;
constexpr int kRingSize = 65536;       // indices wrap in 16 bits
constexpr int kDitherSize = 256;
constexpr int kScopeMaxFrames = 8190;
constexpr int kScopeMaxWidth = 1400;

// Window handles and the control window object are opaque on the portable
// side; the shell gives them meaning.
using WindowHandle = void*;
class ControlWindow;

struct ReverbLine {
    uint16_t writePos;
    uint16_t tapCount;
    uint16_t tapDelay[kMaxTaps];
    float tapGain[kMaxTaps];
    uint16_t combDelay;
    float combGain;
    float wetGain;
    float ring[kRingSize];
    int32_t spreadM;
    int32_t baseM;
    int32_t decayM;
    int32_t combM;
    int32_t wetDb;
    int32_t combDb;
};

struct EngineState {
    // Format
    int32_t sampleRate;
    int32_t reportedRate;
    int32_t channelCount;
    int32_t reportedChannels;

    // Switches: stages run when exactly 1; reverbFirst counts when non-zero.
    uint8_t eqOn;
    uint8_t reverbOn;
    uint8_t compOn;
    uint8_t reverbFirst;
    uint8_t eqSecondPass;
    uint8_t displayShown;
    uint8_t settingsChanged;

    // Host link
    WindowHandle hostWindow;
    char title[512];
    uint32_t skinColour;  // 0x00BBGGRR
    char presetPath[256];
    ControlWindow* controlWindow;

    // Equaliser
    int32_t eqBandCount;
    const EqCoefTable* eqTable;
    int32_t eqActiveBands;
    float eqGain[kMaxBands][kMaxChannels];
    float eqPreGain[kMaxChannels];
    float eqHistory[2][kMaxBands][kMaxChannels][6];  // pass, band, channel: x[0..2], y[0..2]
    int32_t eqSlotCur;
    int32_t eqSlotPrev1;
    int32_t eqSlotPrev2;
    double eqDither[kDitherSize];
    int32_t eqDitherIndex;

    // Reverb, one line per channel
    ReverbLine reverb[kMaxChannels];

    // Compressor
    int32_t compThresholdDb;
    int32_t compRatio;
    int32_t compAttackMs;
    int32_t compReleaseMs;
    float compThreshold;
    float compSlope;
    float compAttackCoef;
    float compReleaseCoef;
    float compAvgCoef;
    float compMeanSquare;
    float compGain;

    // Level display
    ScopeSurface* scopeDc;
    int32_t scopeWidth;
    int32_t scopeHeight;
    int32_t scopeRowStep;
    int32_t scopeGridColumns;
    int32_t scopeFrameCount;
    uint8_t scopeLevel[kMaxChannels][8192];
    uint8_t scopeColumn[kMaxChannels][kScopeMaxWidth];

    // Process-wide values of the control window and its pages.
    WindowHandle mixWindowHandle;
    uint32_t skinPanelColour;
    uint32_t skinTabColour;
    int32_t bandGainDb[32];  // whole-dB gain the equaliser page last applied per band

    // The value last applied to each band and to the pre-gain (channel 0),
    // in the equaliser page's scale; read back by the parameter interface
    // and by the equaliser page when it reloads.
    float eqBandValue[kMaxBands];
    float eqPreGainValue;
};

// The single instance, in its load state when the library is loaded.
extern EngineState engine;

// Puts a record into the load state: the load values, everything else zero.
void engine_load_state(EngineState& state);

// 10^(dB x 0.05) with 0.05 in single precision, the product and the power in
// double precision.
double db_to_linear(int16_t dB);

// One-pole smoothing coefficient 1 - 1 / (rate x ms x 0.001), with 0.001 in
// single precision, at the state's sample rate.
double ms_to_coef(const EngineState& state, float ms);

}  // namespace audiomix
