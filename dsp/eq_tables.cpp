#include "dsp/eq_tables.h"

#include "dsp/chain_state.h"

namespace audiomix {

namespace {
#include "dsp/eq_tables_data.inc"
}  // namespace

const EqCoefTable kEqTables[10] = {
    {11025, 10, kBands11025x10}, {22050, 10, kBands22050x10}, {44100, 10, kBands44100x10}, {44100, 15, kBands44100x15},
    {44100, 25, kBands44100x25}, {44100, 31, kBands44100x31}, {48000, 10, kBands48000x10}, {48000, 15, kBands48000x15},
    {48000, 25, kBands48000x25}, {48000, 31, kBands48000x31},
};

namespace {

// The rate whose tables serve `rate`: every unsupported rate runs on the
// 44100 Hz tables.
int32_t table_rate(int32_t rate) {
    switch (rate) {
        case 11025:
        case 22050:
        case 48000: return rate;
        default: return 44100;
    }
}

int32_t table_size(int32_t bandCount, int32_t tableRate) {
    if (tableRate == 11025 || tableRate == 22050) return 10;  // the only layout there
    return (bandCount == 15 || bandCount == 25 || bandCount == 31) ? bandCount : 10;
}

}  // namespace

const EqCoefTable& eq_table_for(int32_t bandCount, int32_t rate) {
    const int32_t tableRate = table_rate(rate);
    const int32_t size = table_size(bandCount, tableRate);
    for (const EqCoefTable& table : kEqTables) {
        if (table.rate == tableRate && table.bandCount == size) return table;
    }
    return kEqTables[2];  // not reached: every (rate, size) above has a table
}

void eq_select_table(ChainParams& state, int32_t bandCount, int32_t rate) {
    const EqCoefTable& table = eq_table_for(bandCount, rate);
    state.sampleRate = table.rate;
    state.eqTable = &table;
    // The table's own size: the same as bandCount for 10, 15, 25 and 31 at
    // 44100 and 48000 Hz, 10 at the two low rates, and for any other count
    // it keeps the filter bank inside the table it runs on.
    state.eqActiveBands = table.bandCount;
}

}  // namespace audiomix
