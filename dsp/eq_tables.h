// Compiled-in coefficient tables of the equaliser's band filters, one per
// supported sample rate and band layout, and the selection of a table.
#pragma once

#include <cstdint>

namespace audiomix {

struct ChainParams;

struct EqBand {
    float centre;    // Hz
    char label[12];  // ASCII caption, NUL-padded ("1.25K")
    float beta;
    float alpha;
    float gamma;
};

struct EqCoefTable {
    int32_t rate;       // Hz
    int32_t bandCount;  // 10, 15, 25 or 31
    const EqBand* bands;
};

// The ten tables: 11025 and 22050 Hz with 10 bands; 44100 and 48000 Hz with
// 10, 15, 25 and 31 bands each.
extern const EqCoefTable kEqTables[10];

// The table for (rate, bandCount) by the selection rule, without touching
// any state: 11025 and 22050 Hz always give their 10-band table; 48000 Hz a
// table of that size for 15, 25 or 31 bands, else 10; every other rate the
// 44100 Hz table chosen the same way.
const EqCoefTable& eq_table_for(int32_t bandCount, int32_t rate);

// Selects the table into the state: sets sampleRate (44100 for every rate
// other than 11025, 22050 and 48000), eqTable and eqActiveBands.
void eq_select_table(ChainParams& state, int32_t bandCount, int32_t rate);

}  // namespace audiomix
