#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace host {

namespace {

bool parse_number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

const char* usage() {
    return "usage: audiomix-host [--seconds N] [--screenshot FILE.bmp] [--frames N] [FILE.wav]\n"
           "  Loads audiomix.dll beside the program, shows its control window and plays\n"
           "  FILE.wav (16-bit PCM, looped) or built-in music through audiomix_change in\n"
           "  real time, discarding the output.\n"
           "  --seconds N         stop after N seconds (default: when the window closes)\n"
           "  --screenshot FILE   save the control window as a 24-bit BMP after ~2 s of audio\n"
           "  --frames N          frames per buffer, 64 to 4100 (default 1024)\n";
}

std::string parse_options(const std::vector<std::string>& args, Options& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--seconds") {
            double s = 0;
            if (!value(v) || !parse_number(v, s) || s <= 0 || s > 86400)
                return "--seconds needs a number of seconds above 0";
            options.seconds = s;
        } else if (a == "--screenshot") {
            if (!value(v) || v.empty()) return "--screenshot needs a file name";
            options.screenshot = v;
        } else if (a == "--frames") {
            double f = 0;
            if (!value(v) || !parse_number(v, f) || f != std::floor(f) || f < 64 || f > 4100)
                return "--frames needs a whole number from 64 to 4100";
            options.frames = static_cast<int>(f);
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else if (options.wav.empty()) {
            options.wav = a;
        } else {
            return "only one input file, got " + options.wav + " and " + a;
        }
    }
    return {};
}

}  // namespace host
