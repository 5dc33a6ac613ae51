#include "summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "format.h"

namespace audiomix_render {

namespace {

const char* channel_label(int channels, int c) {
    if (channels == 1) return "mono";
    return c == 0 ? "L" : "R";
}

std::string speed(double audioSeconds, double seconds) {
    if (!(seconds > 0.0)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.0fx", audioSeconds / seconds);
    return text;
}

void level_lines(std::string& out, const char* what, const LevelMeter& m) {
    char line[128];
    for (int c = 0; c < m.channels(); ++c) {
        std::snprintf(line, sizeof line, "          %-6s %-4s %9s %9s\n", what, channel_label(m.channels(), c),
                      format_db(m.peak_dbfs(c)).c_str(), format_db(m.rms_dbfs(c)).c_str());
        out += line;
    }
}

}  // namespace

std::string format_summary(const RenderReport& r) {
    std::string out;
    char line[256];
    const double seconds = r.rate > 0 ? static_cast<double>(r.frames) / r.rate : 0.0;

    out += "input     " + r.input + "\n";
    if (!r.inputFormat.empty()) out += "read as   " + r.inputFormat + ", converted to 16-bit for the effects\n";
    out += "output    " + r.output + " (" + r.container +
           (r.promoted ? ": the data passes 4 GiB, more than WAV can count" : "") + ")\n";
    if (!r.plot.empty()) out += "plot      " + r.plot + "\n";
    std::snprintf(line, sizeof line, "format    %d Hz, %s, 16-bit, %s (%lld frames)\n", r.rate,
                  r.channels == 1 ? "mono" : "stereo", format_duration(seconds).c_str(),
                  static_cast<long long>(r.frames));
    out += line;
    out += "levels    dBFS             peak       RMS\n";
    if (r.inputLevels) level_lines(out, "input", *r.inputLevels);
    if (r.outputLevels) level_lines(out, "output", *r.outputLevels);
    out += "chain     " + describe_chain(r.effective, r.rate) + "\n";

    // The values themselves are the "changed" list below.
    if (!r.settingSource.empty()) out += "setting   " + r.settingSource + "\n";

    const std::vector<ChangedParam> changed = changed_params(r.defaults, r.effective);
    if (changed.empty()) {
        out += "changed   nothing (every parameter at its default)\n";
    } else {
        bool first = true;
        for (const ChangedParam& p : changed) {
            std::snprintf(line, sizeof line, "%s%-20s %8s   (default %s)\n", first ? "changed   " : "          ",
                          p.name.c_str(), format_value(p.value).c_str(), format_value(p.defaultValue).c_str());
            out += line;
            first = false;
        }
    }
    out += "speed     " + speed(seconds, r.wallSeconds) + " real time (effects alone " +
           speed(seconds, r.engineSeconds) + ")\n";
    return out;
}

std::string format_summary_line(const RenderReport& r) {
    const double seconds = r.rate > 0 ? static_cast<double>(r.frames) / r.rate : 0.0;
    double inPeak = -HUGE_VAL, outPeak = -HUGE_VAL;
    for (int c = 0; r.inputLevels && c < r.inputLevels->channels(); ++c)
        inPeak = std::max(inPeak, r.inputLevels->peak_dbfs(c));
    for (int c = 0; r.outputLevels && c < r.outputLevels->channels(); ++c)
        outPeak = std::max(outPeak, r.outputLevels->peak_dbfs(c));
    char line[160];
    std::snprintf(line, sizeof line, "  %s, %d Hz %s, peak %s dBFS in, %s out", format_duration(seconds).c_str(),
                  r.rate, r.channels == 1 ? "mono" : "stereo", format_db(inPeak).c_str(), format_db(outPeak).c_str());
    std::string text = r.input + " -> " + r.output + line;
    if (r.promoted) text += ", RF64";
    if (!r.inputFormat.empty()) text += ", converted to 16-bit";
    return text + "\n";
}

}  // namespace audiomix_render
