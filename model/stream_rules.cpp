#include "model/stream_rules.h"

#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "model/effect_rules.h"
#include "model/eq_rules.h"
#include "model/settings.h"

namespace audiomix {

void stream_begin(Settings& state) {
    state.eqBandCount = 10;
    eq_select_table(state.chain, 10, 44100);
    eq_reset_state(state);
}

void stream_window_started(Settings& state) { eq_page_initialised(state); }

void stream_init(Settings& state, int32_t sampleRate, int32_t channels) {
    ChainParams& chain = state.chain;
    chain.channelCount = channels;
    state.reportedChannels = channels;
    state.reportedRate = sampleRate;
    chain.sampleRate = sampleRate;

    chain.reverbOn = 0;
    for (int32_t c = 0; c < kMaxChannels; ++c) {
        reverb_set_defaults(state, c);
        reverb_redraw_taps(state, c);
    }
    ++chain.ringClears;

    chain.compOn = 0;
    ++chain.compGainResets;
    compressor_set_defaults(state);
    chain.eqOn = 0;

    if (is_equaliser_rate(sampleRate)) {
        chain.eqSecondPass = 0;
        eq_set_band_count(state, 10);
    }
}

void stream_pages_reset(Settings& state) {
    effect_reload(state);
    eq_page_reset(state);
}

void stream_close(Settings& state) {
    state.chain.reverbOn = 0;
    state.chain.compOn = 0;
    state.chain.displayShown = 0;
}

void stream_data_refresh(Settings& state) {
    if (!is_equaliser_rate(state.chain.sampleRate)) return;
    ++state.chain.ringClears;
    eq_reset_state(state);
}

void stream_create(Settings& state, int32_t sampleRate, int32_t channels) {
    stream_begin(state);
    stream_window_started(state);
    stream_init(state, sampleRate, channels);
    stream_pages_reset(state);
}

}  // namespace audiomix
