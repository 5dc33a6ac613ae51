#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

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

// Options that take a value, with or without '='.
bool takes_value(const std::string& name) {
    return name == "--set" || name == "--seconds" || name == "--preset" || name == "--jobs" ||
           name == "--output" || name == "-o" || name == "-j";
}

}  // namespace

std::string parse_assignment(const std::string& text, ParamAssignment& out) {
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        return "--set expects name=value, got '" + text + "'";
    const std::string name = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    if (name.empty()) return "--set '" + text + "' has no parameter name";
    double v = 0.0;
    if (!parse_number(value, v))
        return "--set " + name + ": '" + value + "' is not a number";
    out.name = name;
    out.value = v;
    return {};
}

ParseResult parse_options(const std::vector<std::string>& args) {
    ParseResult result;
    Options& o = result.options;
    std::vector<std::string> positional;
    bool optionsEnded = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        std::string name = arg;
        std::optional<std::string> value;
        const auto eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }

        if (takes_value(name)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    result.error = name + " needs a value";
                    return result;
                }
                value = args[++i];
            }
            if (name == "--set") {
                ParamAssignment a;
                result.error = parse_assignment(*value, a);
                if (!result.ok()) return result;
                o.sets.push_back(a);
            } else if (name == "--seconds") {
                double s = 0.0;
                if (!parse_number(*value, s) || s <= 0.0 || s > kMaxSeconds) {
                    result.error = "--seconds expects a number above 0 and at most 86400, got '" +
                                   *value + "'";
                    return result;
                }
                o.seconds = s;
            } else if (name == "--jobs" || name == "-j") {
                double n = 0.0;
                if (!parse_number(*value, n) || n != std::trunc(n) || n < 1 || n > kMaxJobs) {
                    result.error = name + " expects a whole number from 1 to " + std::to_string(kMaxJobs) +
                                   ", got '" + *value + "'";
                    return result;
                }
                o.jobs = static_cast<int>(n);
            } else if (name == "--output" || name == "-o") {
                if (value->empty()) {
                    result.error = name + " needs a file name";
                    return result;
                }
                o.output = *value;
            } else {
                if (value->empty()) {
                    result.error = "--preset needs a name";
                    return result;
                }
                o.preset = *value;
                o.presetAfterSets = o.sets.size();
            }
            continue;
        }

        if (value) {
            result.error = name + " takes no value";
            return result;
        }
        if (name == "--list-params") {
            o.listParams = true;
        } else if (name == "--list-presets") {
            o.listPresets = true;
        } else if (name == "--quiet" || name == "-q") {
            o.quiet = true;
        } else if (name == "--help" || name == "-h") {
            o.help = true;
        } else {
            result.error = "unknown option '" + arg + "'";
            return result;
        }
    }

    o.inputs = positional;
    if (!o.output.empty() && o.inputs.size() > 1) {
        result.error = "-o names the output of one input; " + std::to_string(o.inputs.size()) +
                       " inputs go to out/<input>-audiomix.wav";
        return result;
    }
    return result;
}

std::string usage_text() {
    return
        "usage: audiomix-render [options] [input.wav ...]\n"
        "\n"
        "Runs a 16-bit PCM WAV file (mono or stereo, any rate) through the audiomix\n"
        "effects exactly as a host would and writes a 16-bit WAV of the same format.\n"
        "Without an input it renders a built-in 8-second stereo piece through a\n"
        "built-in setting (equaliser, small room reverb, compressor); --set options\n"
        "then adjust that setting. Each output is out/<input>-audiomix.wav\n"
        "(out/default.wav for the built-in piece) unless -o names it. Several\n"
        "inputs render at once, one engine each.\n"
        "\n"
        "options:\n"
        "  --set NAME=VALUE  set an engine parameter after initialisation; repeatable,\n"
        "                    applied in order (eq.bands before eq.band.N: changing\n"
        "                    the band count resets the band gains)\n"
        "  --seconds S       render only the first S seconds (the built-in piece\n"
        "                    is rendered S seconds long)\n"
        "  --list-params     print every parameter with its value after initialisation\n"
        "  --preset NAME     apply the equaliser preset of the current band count\n"
        "                    called NAME (exactly; UTF-8), in order among the --set\n"
        "                    options (eq.bands before it chooses the band count)\n"
        "  --list-presets    print the current band count's presets after the --set\n"
        "                    options, one name per line, and render nothing\n"
        "  -o, --output FILE the output of the one input (or of the built-in piece)\n"
        "  -j, --jobs N      render up to N inputs at once (default: one per processor)\n"
        "  -q, --quiet       no progress bar and no summary\n"
        "  -h, --help        this text\n"
        "\n"
        "exit status: 0 done, 1 failed to write, 2 bad command line, parameter or input\n";
}

}  // namespace audiomix_render
