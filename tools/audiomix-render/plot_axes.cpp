#include "plot_axes.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdio>

namespace audiomix_render {

namespace {

// The range [lo, hi] in whole steps from the list, at most maxSteps of them.
AxisRange round_range(double lo, double hi, const std::vector<double>& steps, int maxSteps) {
    for (const double step : steps) {
        const double a = std::floor(lo / step) * step;
        const double b = std::ceil(hi / step) * step;
        if ((b - a) / step <= maxSteps + 1e-9 || step == steps.back()) return {a, b, step};
    }
    return {lo, hi, hi - lo};
}

bool is_utf8_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

AxisRange gain_axis(const std::vector<std::vector<double>>& gainDb) {
    double lo = 0.0, hi = 0.0;
    for (const auto& curve : gainDb) {
        for (const double g : curve) {
            if (!std::isfinite(g)) continue;
            lo = std::min(lo, std::max(g, -120.0));
            hi = std::max(hi, std::min(g, 60.0));
        }
    }
    lo -= 1.0;  // a little air above and below the curve
    hi += 1.0;
    const double minSpan = 12.0;
    if (hi - lo < minSpan) {
        const double grow = (minSpan - (hi - lo)) / 2.0;
        lo -= grow;
        hi += grow;
    }
    return round_range(lo, hi, {1, 2, 3, 5, 6, 10, 12, 20, 30, 50}, 8);
}

AxisRange level_axis(std::vector<double> rmsDb) {
    rmsDb.erase(std::remove_if(rmsDb.begin(), rmsDb.end(), [](double v) { return !std::isfinite(v); }), rmsDb.end());
    double lo = -60.0;
    if (!rmsDb.empty()) {
        auto middle = rmsDb.begin() + static_cast<std::ptrdiff_t>(rmsDb.size() / 2);
        std::nth_element(rmsDb.begin(), middle, rmsDb.end());
        lo = std::clamp(std::floor((*middle - 30.0) / 10.0) * 10.0, -100.0, -60.0);
    }
    return {lo, 0.0, lo < -80.0 ? 20.0 : 10.0};
}

std::vector<Tick> frequency_ticks() {
    std::vector<Tick> ticks;
    for (double decade = 10.0; decade <= 10000.0; decade *= 10.0) {
        for (int m = 1; m <= 9; ++m) {
            const double f = m * decade;
            if (f < 20.0 || f > 20000.0) continue;
            std::string label;
            if (m == 1 || m == 2 || m == 5) {
                char text[16];
                if (f >= 1000.0)
                    std::snprintf(text, sizeof text, "%gk", f / 1000.0);
                else
                    std::snprintf(text, sizeof text, "%g", f);
                label = text;
            }
            ticks.push_back({f, label});
        }
    }
    return ticks;
}

std::vector<Tick> time_ticks(double seconds) {
    std::vector<Tick> ticks;
    if (!(seconds > 0.0) || !std::isfinite(seconds)) return ticks;
    static const double kSteps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05,  0.1,   0.2,   0.5,
                                    1,     2,     5,     10,   15,   30,    60,    120,   300,
                                    600,   900,   1800,  3600, 7200, 10800, 21600, 43200, 86400};
    double step = kSteps[std::size(kSteps) - 1];
    for (const double s : kSteps) {
        if (seconds / s <= 10.0) {
            step = s;
            break;
        }
    }
    const bool clock = seconds >= 60.0;
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    for (long k = 0; k * step <= seconds * (1.0 + 1e-12); ++k) {
        const double t = k * step;
        char text[32];
        if (!clock) {
            std::snprintf(text, sizeof text, "%.*f s", decimals, t);
        } else {
            const long long whole = std::llround(t);
            if (whole >= 3600)
                std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
            else
                std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
        }
        ticks.push_back({t, text});
    }
    return ticks;
}

std::string db_label(double db, double step) {
    const int decimals = step >= 1.0 ? 0 : 1;
    const double rounded = std::round(db * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(rounded));
    if (rounded > 0.0) return std::string("+") + text;
    if (rounded < 0.0) return std::string("\u2212") + text;
    return text;
}

std::string printable_utf8(const std::string& text) {
    std::string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        // Sequence length and the smallest code point it may carry (no
        // overlong forms).
        size_t length = 0;
        uint32_t cp = 0, least = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2, cp = c & 0x1F, least = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, cp = c & 0x0F, least = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, cp = c & 0x07, least = 0x10000;
        bool ok = length > 0 && i + length <= n;
        for (size_t k = 1; ok && k < length; ++k) {
            ok = is_utf8_continuation(static_cast<char>(s[i + k]));
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        ok = ok && cp >= least && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            out.append(text, i, length);
            i += length;
        } else {
            out += "\uFFFD";
            ++i;
        }
    }
    return out;
}

std::string ellipsize_middle(const std::string& text, size_t maxChars) {
    // Offsets of each character's first byte.
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if (!is_utf8_continuation(text[i])) starts.push_back(i);
    if (starts.size() <= maxChars || maxChars < 3) return text;
    const size_t keep = maxChars - 1;  // the rest, around the ellipsis
    const size_t head = (keep + 1) / 2;
    const size_t tail = keep - head;
    return text.substr(0, starts[head]) + "\u2026" + text.substr(starts[starts.size() - tail]);
}

}  // namespace audiomix_render
