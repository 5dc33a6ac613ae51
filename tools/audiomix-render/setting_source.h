// The setting of a render, resolved before the engine that renders exists.
//
// The library draws the reverb taps and the equaliser's dither when
// parameters change, in call order, so the same final values reached by
// different sequences of calls would not give the same samples. The
// sequence the command line describes (a base, then every --set and --preset
// in order) therefore runs on a scratch engine; the render's engine receives
// only the values read back from it, each once, in the library's order. The
// samples then follow from the values alone, and a setting saved with
// --save-settings renders again sample for sample with --settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects.h"
#include "settings_file.h"

namespace audiomix_render {

class EngineSession;
struct Options;

struct ResolvedSetting {
    ParamValues values;  // every parameter, in the library's order
    std::string source;  // one line: "built-in", "file x.toml" or "flat", then "+ 2 --set, preset NAME"
};

// The setting a render at this format uses: the base (the built-in setting,
// fileValues for --settings, nothing for --flat), then the --set and --preset
// options in command-line order. Returns 0, or the exit status with error
// set (kExitUsage for a value the format refuses, kExitFailed when the
// library refuses the format or the built-in setting).
int resolve_setting(const Options& o, const std::vector<SettingValue>& fileValues, int32_t rate, int channels,
                    ResolvedSetting& out, std::string& error);

// Gives a fresh engine the resolved values that differ from its own, each
// once, in their order, and
// checks that it holds them afterwards. False with error otherwise.
bool apply_setting(EngineSession& engine, const ParamValues& values, std::string& error);

// The source line of ResolvedSetting for these options.
std::string describe_setting_source(const Options& o);

// The settings file --save-settings writes: the values under a comment that
// says what wrote them, for which input (empty: the built-in piece) and rate.
std::string setting_file_text(const ResolvedSetting& setting, const std::string& input, int32_t rate);

}  // namespace audiomix_render
