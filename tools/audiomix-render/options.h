// Command line of audiomix-render, parsed (with CLI11) without side effects.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace audiomix_render {

// One --set name=value, kept in command-line order: the engine applies them
// one after another and some depend on earlier ones (eq.bands resets the
// band gains, so it must come before eq.band.N).
struct ParamAssignment {
    std::string name;
    double value = 0.0;
};

struct Options {
    // Where the setting starts, before --set and --preset: the built-in one,
    // a settings file, or the library's defaults.
    std::string settingsFile;  // --settings
    bool flat = false;         // --flat
    std::vector<ParamAssignment> sets;
    std::optional<double> seconds;      // render only this much (or this long a default)
    std::optional<std::string> preset;  // UTF-8, exact
    size_t presetAfterSets = 0;         // how many --set come before --preset
    bool listPresets = false;
    bool listParams = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> inputs;  // none: the embedded default signal; "-" standard input
    std::string output;               // -o; empty: <outDir>/<input stem>-audiomix.<ext> or <outDir>/default.wav
    std::string outDir = "out";
    std::string type;           // -t: the container whatever the names say ("wav", "flac"...)
    bool inPlace = false;       // an output may be its input
    std::string plot;           // "svg" or "png": beside each output; otherwise the plot's file
    int jobs = 0;               // files rendered at once; 0: one per processor
    std::string saveSettings;   // the setting of the first input (or the piece) goes here
    std::string exportPresets;  // the preset file's user presets to this TOML file
    std::string importPresets;  // presets from this TOML file into the preset file
    std::string presetFile;     // the binary preset file; empty: the one beside the library
};

// Whether the run moves presets between the preset file and TOML, alone.
bool exchanges_presets(const Options& o);

// Whether the run only writes the built-in piece's setting: --save-settings
// without an input and without -o.
bool only_saves_setting(const Options& o);

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is valid
    bool ok() const { return error.empty(); }
};

// The longest --seconds accepted: a day of audio.
constexpr double kMaxSeconds = 86400.0;

// The most --jobs accepted.
constexpr int kMaxJobs = 64;

// args excludes the program name. Options accept both "--opt value" and
// "--opt=value"; "--" ends the options. Errors name what was typed.
ParseResult parse_options(const std::vector<std::string>& args);

// Exit statuses, as sox's.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;   // the command line, a parameter or a preset name
constexpr int kExitFailed = 2;  // an input, the output, or the library
constexpr int kExitWarned = 3;  // done, but an input ended before its header said

// The status of a batch: a failure outweighs a warning, a warning success.
int worse_status(int a, int b);

// Splits "name=value" into a ParamAssignment; the value must be a finite
// number. Returns an error message, or empty on success.
std::string parse_assignment(const std::string& text, ParamAssignment& out);

// Whether a path ends in .svg or .png, any case.
bool plot_extension_known(const std::string& path);

// The --help text, the options in groups.
std::string usage_text();

// The --version line.
std::string version_text();

}  // namespace audiomix_render
