#include "options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cctype>
#include <cstdlib>

#include "sound_format.h"

#ifndef AUDIOMIX_VERSION
#define AUDIOMIX_VERSION "unknown"
#endif

namespace audiomix_render {

namespace {

// A whole-string decimal number; strtod alone would accept "1x" and "inf".
bool parse_number(const std::string& text, double& value) {
    if (text.empty() || text.find_first_of(" \t\n") != std::string::npos) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(begin, &end);
    if (end != begin + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// The options as CLI11 sees them: every value as the text typed, checked
// afterwards so that each message can quote it.
struct Typed {
    std::vector<std::string> sets;
    std::string seconds, preset, jobs;
};

void define(CLI::App& app, Options& o, Typed& typed) {
    app.description(
        "Runs audio files (mono or stereo, any rate, any format libsndfile reads; - is\n"
        "standard input) through the audiomix effects, one engine per file. The engine\n"
        "works on 16-bit samples: other inputs are converted on the way in. Without an\n"
        "input it renders a built-in 8-second stereo piece. Every input goes through a\n"
        "built-in setting (equaliser, small room reverb, compressor) unless --settings or\n"
        "--flat chooses another start; --set and --preset then adjust it, in command-line\n"
        "order. In a settings file (TOML, as --save-settings writes it) a key left out\n"
        "keeps the library's default. Each output is <out-dir>/<input>-audiomix.<ext>\n"
        "(default.wav for the piece) unless -o names it; its container follows the\n"
        "extension (wav, rf64, w64, flac, ogg, aiff; a WAV past 4 GiB is written as RF64).\n"
        "Files are written whole beside the target, then renamed over it; inputs,\n"
        "folders, devices and read-only files are refused.");
    app.footer(
        "exit status: 0 done, 1 bad command line, parameter, preset name, settings or\n"
        "presets file, 2 failure (an input that cannot be read, an output that cannot be\n"
        "written, a preset file left alone), 3 done with a warning (an input ended\n"
        "before its header said)");
    app.set_help_flag("-h,--help", "this text");
    app.set_version_flag("--version", version_text());
    app.add_option("input", o.inputs, "audio files to render, - for standard input (none: the built-in piece)");

    app.add_option("--settings", o.settingsFile, "start from the setting in FILE (TOML) instead of the built-in one")
        ->group("Effects")
        ->type_name("FILE");
    app.add_flag("--flat", o.flat, "start from the library's defaults (every effect off)")->group("Effects");
    app.add_option("--set", typed.sets,
                   "set a parameter; repeatable, in order (eq.bands resets the bands: set it first)")
        ->group("Effects")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);  // one value per --set: what follows is a file
    app.add_option("--preset", typed.preset,
                   "apply the current band count's preset NAME (exact, UTF-8) in its place among the --set options")
        ->group("Effects")
        ->type_name("NAME");

    app.add_option("-o,--output", o.output,
                   "the output of the one input or of the built-in piece; - is standard output")
        ->group("Files")
        ->type_name("FILE");
    app.add_option("--out-dir", o.outDir, "where outputs go unless -o names one (default: out)")
        ->group("Files")
        ->type_name("DIR");
    app.add_option("-t,--type", o.type,
                   "the outputs' container whatever their names say: wav, rf64, w64, flac, ogg or aiff")
        ->group("Files")
        ->type_name("TYPE");
    app.add_flag("--in-place", o.inPlace, "allow an output to replace its input (written whole, then renamed)")
        ->group("Files");
    app.add_option("--plot", o.plot,
                   "draw the equaliser's response and the levels over time: svg or png beside each output, "
                   "or FILE.svg / FILE.png for the one input")
        ->group("Files")
        ->type_name("FORMAT|FILE");
    app.add_option("--seconds", typed.seconds, "render the first S seconds (the built-in piece: S seconds long)")
        ->group("Files")
        ->type_name("S");
    app.add_option("-j,--jobs", typed.jobs, "render up to N inputs at once (default: one per processor)")
        ->group("Files")
        ->type_name("N");

    app.add_option("--save-settings", o.saveSettings,
                   "write the setting used (the first input's) as TOML; with no input and no -o, "
                   "the built-in piece's, rendering nothing")
        ->group("Files")
        ->type_name("FILE");
    app.add_option("--export-presets", o.exportPresets,
                   "write the preset file's user presets to FILE (TOML); renders nothing")
        ->group("Files")
        ->type_name("FILE");
    app.add_option("--import-presets", o.importPresets,
                   "add FILE's presets (TOML) to the preset file, skipping names it has")
        ->group("Files")
        ->type_name("FILE");
    app.add_option("--preset-file", o.presetFile,
                   "the preset file for those two (default: audioeqset.eq beside libaudiomix.so)")
        ->group("Files")
        ->type_name("PATH");

    app.add_flag("--list-params", o.listParams, "print every parameter with its value after the --set options")
        ->group("Listings");
    app.add_flag("--list-presets", o.listPresets,
                 "print the band count's presets after the --set options, render nothing")
        ->group("Listings");
    app.add_flag("-q,--quiet", o.quiet, "no progress bar and no summary")->group("Listings");
}

// Where --preset stands among the --set options.
size_t sets_before_preset(const CLI::App& app) {
    size_t sets = 0;
    for (const CLI::Option* opt : app.parse_order()) {
        if (opt->get_name() == "--preset") return sets;
        if (opt->get_name() == "--set") ++sets;
    }
    return sets;
}

// Options that contradict each other, or that mean nothing without another.
std::string check_combinations(const CLI::App& app, const Options& o) {
    if (!o.settingsFile.empty() && o.flat)
        return "--settings and --flat both choose where the setting starts; give one";
    if (!o.exportPresets.empty() && !o.importPresets.empty())
        return "--export-presets and --import-presets: one at a time";
    if (exchanges_presets(o)) {
        const char* exchange = o.exportPresets.empty() ? "--import-presets" : "--export-presets";
        if (!o.inputs.empty())
            return std::string(exchange) + " renders nothing; it takes no input ('" + o.inputs[0] + "')";
        for (const char* other : {"--set", "--preset", "--settings", "--flat", "--save-settings", "--output",
                                  "--seconds", "--jobs", "--list-params", "--list-presets"})
            if (app.count(other) > 0)
                return std::string(exchange) + " works on the preset file alone, without " + other;
    } else if (!o.presetFile.empty()) {
        return "--preset-file names the preset file of --export-presets and --import-presets";
    }
    return {};
}

}  // namespace

bool exchanges_presets(const Options& o) { return !o.exportPresets.empty() || !o.importPresets.empty(); }

bool only_saves_setting(const Options& o) { return !o.saveSettings.empty() && o.inputs.empty() && o.output.empty(); }

std::string parse_assignment(const std::string& text, ParamAssignment& out) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return "--set expects name=value, got '" + text + "'";
    const std::string name = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    if (name.empty()) return "--set '" + text + "' has no parameter name";
    double v = 0.0;
    if (!parse_number(value, v)) return "--set " + name + ": '" + value + "' is not a number";
    out.name = name;
    out.value = v;
    return {};
}

ParseResult parse_options(const std::vector<std::string>& args) {
    ParseResult result;
    Options& o = result.options;
    Typed typed;
    CLI::App app{"", "audiomix-render"};
    define(app, o, typed);
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        o.help = true;
        return result;
    } catch (const CLI::CallForVersion&) {
        o.version = true;
        return result;
    } catch (const CLI::ParseError& e) {
        result.error = e.what();
        return result;
    }

    for (const std::string& text : typed.sets) {
        ParamAssignment a;
        result.error = parse_assignment(text, a);
        if (!result.ok()) return result;
        o.sets.push_back(a);
    }
    if (app.count("--seconds") > 0) {
        double s = 0.0;
        if (!parse_number(typed.seconds, s) || s <= 0.0 || s > kMaxSeconds) {
            result.error = "--seconds expects a number above 0 and at most 86400, got '" + typed.seconds + "'";
            return result;
        }
        o.seconds = s;
    }
    if (app.count("--jobs") > 0) {
        double n = 0.0;
        if (!parse_number(typed.jobs, n) || n != std::trunc(n) || n < 1 || n > kMaxJobs) {
            result.error =
                "--jobs expects a whole number from 1 to " + std::to_string(kMaxJobs) + ", got '" + typed.jobs + "'";
            return result;
        }
        o.jobs = static_cast<int>(n);
    }
    if (app.count("--preset") > 0) {
        if (typed.preset.empty()) {
            result.error = "--preset needs a name";
            return result;
        }
        o.preset = typed.preset;
        o.presetAfterSets = sets_before_preset(app);
    }
    for (const char* name :
         {"--output", "--settings", "--save-settings", "--export-presets", "--import-presets", "--preset-file"}) {
        if (app.count(name) > 0 && app.get_option(name)->as<std::string>().empty()) {
            result.error = std::string(name) + " needs a file name";
            return result;
        }
    }
    result.error = check_combinations(app, o);
    if (!result.ok()) return result;
    if (!o.output.empty() && o.inputs.size() > 1) {
        result.error = "-o names the output of one input; " + std::to_string(o.inputs.size()) +
                       " inputs go to --out-dir (default out/)";
        return result;
    }
    if (app.count("--out-dir") > 0 && o.outDir.empty()) {
        result.error = "--out-dir needs a folder";
        return result;
    }
    if (app.count("--type") > 0 && !container_for_extension("." + o.type)) {
        result.error = "--type: '" + o.type + "' is not one of " + known_extensions();
        return result;
    }
    if (app.count("--plot") > 0) {
        const bool beside = o.plot == "svg" || o.plot == "png";
        if (!beside && o.inputs.size() > 1) {
            result.error = "--plot '" + o.plot + "' names one file; with several inputs give svg or png";
            return result;
        }
        if (!beside && !plot_extension_known(o.plot)) {
            result.error = "--plot '" + o.plot + "': the picture is .svg or .png";
            return result;
        }
    }
    size_t stdinInputs = 0;
    for (const std::string& input : o.inputs) stdinInputs += input == "-";
    if (stdinInputs > 1) {
        result.error = "- (standard input) can be read once";
        return result;
    }
    return result;
}

int worse_status(int a, int b) {
    const auto rank = [](int status) { return status == kExitWarned ? 1 : status == kExitDone ? 0 : 1 + status; };
    return rank(a) >= rank(b) ? a : b;
}

bool plot_extension_known(const std::string& path) {
    const auto dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".svg" || ext == ".png";
}

std::string usage_text() {
    Options o;
    Typed typed;
    CLI::App app{"", "audiomix-render"};
    define(app, o, typed);
    return app.help();
}

std::string version_text() { return std::string("audiomix-render ") + AUDIOMIX_VERSION; }

}  // namespace audiomix_render
