// The twelve exports. Each one is a short sequence of engine steps; the
// window work goes through the shell.
#include "audiomix.h"

#include <cstring>

#include "dsp/chain.h"
#include "dsp/eq_tables.h"
#include "dsp/equaliser.h"
#include "dsp/level_display.h"
#include "dsp/reverb.h"
#include "engine/engine_state.h"
#include "engine/lifecycle.h"
#include "engine/shell.h"
#include "ui/effect_rules.h"

using namespace audiomix;

namespace {

bool is_equaliser_rate(int32_t rate) {
    return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
}

void init_reverb_line(ReverbLine& line, int32_t rate) {
    reverb_line_set_defaults(line, rate);
    reverb_regenerate_taps(engine, line);
    std::memset(line.ring, 0, sizeof line.ring);
}

void init_compressor(EngineState& state) {
    state.compOn = 0;
    state.compGain = 1.0f;
    compressor_set_defaults(state);
}

}  // namespace

extern "C" {

void AUDIOMIX_CALL audiomix_begin(uint32_t colour) {
    engine.skinColour = colour;

    char module[256];
    Shell& sh = shell();
    if (!sh.module_path(module, sizeof module)) module[0] = '\0';
    preset_path_from_module(module, sh.path_separator(), engine.presetPath, sizeof engine.presetPath);

    engine.eqBandCount = 10;
    eq_select_table(engine, 10, 44100);
    eq_reset_state(engine);

    if (engine.controlWindow == nullptr) {
        engine.settingsChanged = 0;
        engine.controlWindow = sh.create_window(engine);
    }
    if (engine.controlWindow != nullptr) sh.show_window(engine.controlWindow, false);
    engine.displayShown = 0;
}

void AUDIOMIX_CALL audiomix_close(void) {
    if (engine.controlWindow != nullptr) {
        // The level display must not draw on a surface that is going away.
        engine.scopeDc = nullptr;
        ControlWindow* window = engine.controlWindow;
        engine.controlWindow = nullptr;
        shell().destroy_window(window);
    }
    engine.reverbOn = 0;
    engine.compOn = 0;
    engine.displayShown = 0;
}

int32_t AUDIOMIX_CALL audiomix_change(int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay) {
    chain_process(engine, samples, lengthBytes, drawDisplay);
    return lengthBytes;
}

void AUDIOMIX_CALL audiomix_init(int32_t sampleRate, int32_t channels, int32_t show) {
    engine.channelCount = channels;
    engine.reportedChannels = channels;

    engine.reportedRate = sampleRate;
    engine.sampleRate = sampleRate;
    engine.reverbOn = 0;
    for (ReverbLine& line : engine.reverb) init_reverb_line(line, sampleRate);

    init_compressor(engine);
    engine.eqOn = 0;

    if (is_equaliser_rate(sampleRate)) {
        engine.eqBandCount = 10;
        engine.eqSecondPass = 0;
        eq_select_table(engine, 10, sampleRate);
        eq_reset_state(engine);
        const int32_t gain_channels = channels < kMaxChannels ? channels : kMaxChannels;
        for (int32_t c = 0; c < gain_channels; ++c) {
            eq_set_gain(engine, 0.0f, -1, c);
            for (int32_t b = 0; b < engine.eqBandCount; ++b) eq_set_gain(engine, 0.0f, b, c);
        }
    }

    ControlWindow* window = engine.controlWindow;
    if (window == nullptr) return;  // the host skipped audiomix_begin
    Shell& sh = shell();
    if (show == 1) {
        engine.displayShown = 1;
        sh.show_window(window, true);
    }
    const ClientRect rect = sh.scope_rect(window);
    scope_set_geometry(engine, rect.left, rect.top, rect.right, rect.bottom);
    engine.scopeDc = sh.scope_surface(window);
    sh.reset_pages(window);
}

void AUDIOMIX_CALL audiomix_setiir(uint8_t on) { engine.eqOn = on; }

void AUDIOMIX_CALL audiomix_setdisp(uint8_t show) {
    if (engine.controlWindow == nullptr) return;
    shell().show_window(engine.controlWindow, show == 1);
    engine.displayShown = show;
}

void AUDIOMIX_CALL audiomix_datarefresh(void) {
    if (!is_equaliser_rate(engine.sampleRate)) return;
    for (ReverbLine& line : engine.reverb) std::memset(line.ring, 0, sizeof line.ring);
    eq_reset_state(engine);
}

uint8_t AUDIOMIX_CALL audiomix_get_dispstatus(void) { return engine.displayShown; }

int32_t AUDIOMIX_CALL audiomix_get_sample(void) { return engine.reportedRate; }

void AUDIOMIX_CALL audiomix_set_mainwnd(audiomix_window window) { engine.hostWindow = window; }

int32_t AUDIOMIX_CALL audiomix_get_ch(void) { return engine.reportedChannels; }

void AUDIOMIX_CALL audiomix_set_title(const char* text) {
    copy_title(text, engine.title, sizeof engine.title);
    if (engine.controlWindow != nullptr) shell().set_caption(engine.controlWindow, engine.title);
}

}  // extern "C"
