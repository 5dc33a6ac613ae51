#include "setting_source.h"

#include <audiomix.h>

#include "default_setting.h"
#include "engine_session.h"
#include "format.h"
#include "options.h"
#include "param_hints.h"
#include "presets.h"

namespace audiomix_render {

namespace {

int current_bands(const EngineSession& engine) { return static_cast<int>(engine.get("eq.bands").value_or(0)); }

// The base: the built-in setting, the file's values, or nothing.
int apply_base(EngineSession& engine, const Options& o, const std::vector<SettingValue>& fileValues, int32_t rate,
               std::string& error) {
    if (o.flat) return kExitDone;
    if (!o.settingsFile.empty()) {
        for (const SettingValue& v : fileValues) {
            if (engine.set(v.name, v.value) == AUDIOMIX_PARAM_OK) continue;
            // The file was checked against the table; what is left is what
            // this format does not offer (more than ten bands below 44100 Hz).
            const ParamHint* hint = find_param_hint(v.name);
            error = v.where + ": " + v.name + " = " + format_value(v.value) + ": not available at " +
                    std::to_string(rate) + " Hz" + (hint ? std::string("; accepted: ") + hint->accepted : "");
            return kExitUsage;
        }
        return kExitDone;
    }
    size_t count = 0;
    const DefaultParam* setting = default_setting(count);
    for (size_t i = 0; i < count; ++i) {
        const int32_t code = engine.set(setting[i].name, setting[i].value);
        if (code != AUDIOMIX_PARAM_OK) {
            error =
                "the built-in setting was refused: " + param_error_message(setting[i].name, setting[i].value, code, 0);
            return kExitFailed;
        }
    }
    return kExitDone;
}

// Every --set in order, the preset in its place among them.
int apply_adjustments(EngineSession& engine, const Options& o, std::string& error) {
    for (size_t i = 0; i <= o.sets.size(); ++i) {
        if (o.preset && i == o.presetAfterSets) {
            error = apply_preset(engine, *o.preset, current_bands(engine));
            if (!error.empty()) return kExitUsage;
        }
        if (i == o.sets.size()) break;
        const ParamAssignment& a = o.sets[i];
        const int32_t code = engine.set(a.name, a.value);
        if (code != AUDIOMIX_PARAM_OK) {
            error = param_error_message(a.name, a.value, code, current_bands(engine));
            return kExitUsage;
        }
    }
    return kExitDone;
}

}  // namespace

int resolve_setting(const Options& o, const std::vector<SettingValue>& fileValues, int32_t rate, int channels,
                    ResolvedSetting& out, std::string& error) {
    EngineSession scratch(rate, channels);
    if (!scratch.ok()) {
        error = "the library refused the format " + std::to_string(rate) + " Hz";
        return kExitFailed;
    }
    if (const int status = apply_base(scratch, o, fileValues, rate, error)) return status;
    if (const int status = apply_adjustments(scratch, o, error)) return status;
    out.values = scratch.values();
    out.source = describe_setting_source(o);
    return kExitDone;
}

bool apply_setting(EngineSession& engine, const ParamValues& values, std::string& error) {
    // Only what differs from the engine's value at that point is set, as a
    // host moving the controls would (the LV2 plugin does the same): every
    // set may draw random numbers, so the state follows from the values and
    // the library's order alone.
    for (const auto& [name, value] : values) {
        if (engine.get(name) == value) continue;
        if (engine.set(name, value) != AUDIOMIX_PARAM_OK) {
            error = "the library refused " + name + "=" + format_value(value) + " of the resolved setting";
            return false;
        }
    }
    // A parameter whose change reset another would show here.
    if (engine.values() != values) {
        error = "the engine does not hold the resolved setting after applying it";
        return false;
    }
    return true;
}

std::string describe_setting_source(const Options& o) {
    std::string text = o.flat ? "flat" : o.settingsFile.empty() ? "built-in" : "file " + o.settingsFile;
    if (!o.sets.empty()) text += " + " + std::to_string(o.sets.size()) + " --set";
    if (o.preset) text += (o.sets.empty() ? " + preset " : ", preset ") + *o.preset;
    return text;
}

std::string setting_file_text(const ResolvedSetting& setting, const std::string& input, int32_t rate) {
    const std::string what = input.empty() ? "the built-in piece" : input;
    return settings_to_toml(setting.values,
                            {"audio effects setting, written by " + version_text(),
                             "the setting of " + what + " at " + std::to_string(rate) + " Hz: " + setting.source,
                             "--settings reads it; a key left out keeps the library's default"});
}

}  // namespace audiomix_render
