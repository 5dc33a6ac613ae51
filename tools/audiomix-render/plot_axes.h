// The axes of the --plot picture as plain numbers and words: ranges that
// hold the data, the ticks and their labels. No drawing here.
#pragma once

#include <string>
#include <vector>

namespace audiomix_render {

struct AxisRange {
    double lo;
    double hi;
    double step;  // between labelled ticks; lo and hi are multiples of it
};

struct Tick {
    double value;
    std::string label;  // empty for a minor grid line
};

// The response's dB axis: 0 dB and every finite gain inside, at least 12 dB
// tall, at most eight steps.
AxisRange gain_axis(const std::vector<std::vector<double>>& gainDb);

// The level axis from 0 dBFS down to 60 dB below 0, or further when the
// typical (median) RMS level is quieter than -30 dBFS, at most to -100.
AxisRange level_axis(std::vector<double> rmsDb);

// 20 Hz to 20 kHz: labels at 1, 2 and 5 times the powers of ten ("20",
// "500", "1k", "20k"), minor lines at the other whole multiples.
std::vector<Tick> frequency_ticks();

// Labelled ticks from 0 to at most seconds, at most ten of them, in a round
// step; labels in seconds ("1.5 s") for under a minute, else "m:ss" (or
// "h:mm:ss" from an hour).
std::vector<Tick> time_ticks(double seconds);

// "+6", "0", "−6" (a true minus sign), in whole dB or with the fraction
// the step needs.
std::string db_label(double db, double step);

// text as valid UTF-8 for drawing: every byte that does not start a valid
// sequence becomes U+FFFD, control characters become '?'.
std::string printable_utf8(const std::string& text);

// Shortens text to at most maxChars characters (UTF-8 aware) by cutting
// its middle and putting "…" there.
std::string ellipsize_middle(const std::string& text, size_t maxChars);

}  // namespace audiomix_render
