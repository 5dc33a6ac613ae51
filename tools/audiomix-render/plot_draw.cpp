#include "plot_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "plot_axes.h"

namespace audiomix_render {

namespace {

struct Colour {
    double r, g, b;
};

// Colour-blind safe pairs: blue against vermillion for the channels, a
// neutral grey (before) against blue (after) for the levels.
constexpr Colour kInk{0.13, 0.13, 0.13};
constexpr Colour kMuted{0.40, 0.40, 0.40};
constexpr Colour kGrid{0.91, 0.91, 0.91};
constexpr Colour kGridMinor{0.955, 0.955, 0.955};
constexpr Colour kFrame{0.70, 0.70, 0.70};
constexpr Colour kZeroLine{0.50, 0.50, 0.50};
constexpr Colour kShade{0.96, 0.96, 0.96};
constexpr Colour kBandMark{0.45, 0.45, 0.45};
constexpr Colour kLeft{0.0, 0.447, 0.698};
constexpr Colour kRight{0.835, 0.369, 0.0};
constexpr Colour kInput{0.58, 0.58, 0.58};
constexpr Colour kOutput{0.0, 0.447, 0.698};

constexpr double kTitleSize = 15.0;
constexpr double kHeaderSize = 13.0;
constexpr double kLabelSize = 11.0;
constexpr double kPeakAlpha = 0.22;
constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;
constexpr double kQuarterTurn = 1.57079632679489661923;  // radians

struct Rect {
    double x, y, w, h;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

// The panels' plot areas; their headers sit above, tick labels and captions below.
constexpr double kLeftEdge = 24.0;
constexpr Rect kResponseArea{78.0, 88.0, 894.0, 292.0};
constexpr Rect kLevelArea{78.0, 458.0, 894.0, 182.0};

void set_colour(cairo_t* cr, Colour c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

// Pixel centres, so that one-unit lines stay sharp in the PNG.
double crisp(double v) { return std::floor(v) + 0.5; }

void set_font(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double text_width(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

enum class Align { Left, Centre, Right };

// Draws text with the current font, its baseline at y; returns its width.
double draw_text(cairo_t* cr, const std::string& text, double x, double y, Align align, Colour colour) {
    const double w = text_width(cr, text);
    const double left = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
    set_colour(cr, colour);
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, text.c_str());
    return w;
}

void hline(cairo_t* cr, double x0, double x1, double y) {
    cairo_move_to(cr, x0, crisp(y));
    cairo_line_to(cr, x1, crisp(y));
}

void vline(cairo_t* cr, double x, double y0, double y1) {
    cairo_move_to(cr, crisp(x), y0);
    cairo_line_to(cr, crisp(x), y1);
}

void frame(cairo_t* cr, const Rect& r) {
    set_colour(cr, kFrame);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, crisp(r.x), crisp(r.y), std::floor(r.w), std::floor(r.h));
    cairo_stroke(cr);
}

void no_data(cairo_t* cr, const Rect& r, const char* what) {
    frame(cr, r);
    set_font(cr, kHeaderSize, false);
    draw_text(cr, what, r.x + r.w / 2, r.y + r.h / 2, Align::Centre, kMuted);
}

// What a legend entry's swatch shows.
enum class Swatch { None, Line, Dashed, Tick, LineOverShade };

struct LegendEntry {
    std::string label;
    Colour colour;
    Swatch swatch;
};

void line_style(cairo_t* cr, Swatch swatch) {
    static const double kDashes[] = {7.0, 4.0};
    cairo_set_dash(cr, kDashes, swatch == Swatch::Dashed ? 2 : 0, 0.0);
}

// Entries right-aligned on the header baseline at y, ending at right.
void draw_legend(cairo_t* cr, const std::vector<LegendEntry>& entries, double right, double y) {
    constexpr double kSwatch = 22.0, kGap = 6.0, kSpacing = 18.0;
    set_font(cr, kLabelSize, false);
    double x = right;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        x -= draw_text(cr, it->label, x, y, Align::Right, it->swatch == Swatch::None ? kMuted : kInk);
        if (it->swatch != Swatch::None) x -= kGap + kSwatch;
        const double mid = y - 4.0;
        set_colour(cr, it->colour);
        switch (it->swatch) {
            case Swatch::None: break;
            case Swatch::Tick:
                cairo_set_line_width(cr, 1.0);
                vline(cr, x + kSwatch / 2, mid - 6, mid + 6);
                cairo_stroke(cr);
                break;
            case Swatch::LineOverShade:
                set_colour(cr, it->colour, kPeakAlpha * 1.5);
                cairo_rectangle(cr, x, mid - 6, kSwatch, 8);
                cairo_fill(cr);
                set_colour(cr, it->colour);
                [[fallthrough]];
            case Swatch::Line:
            case Swatch::Dashed:
                cairo_set_line_width(cr, 2.0);
                line_style(cr, it->swatch);
                cairo_move_to(cr, x, mid + 2);
                cairo_line_to(cr, x + kSwatch, mid + 2);
                cairo_stroke(cr);
                line_style(cr, Swatch::Line);
                break;
        }
        x -= kSpacing;
    }
}

void draw_header(cairo_t* cr, const Rect& r, const std::string& title, const std::string& note) {
    set_font(cr, kHeaderSize, true);
    const double w = draw_text(cr, title, r.x, r.y - 12, Align::Left, kInk);
    if (note.empty()) return;
    set_font(cr, kHeaderSize, false);
    draw_text(cr, "  \u00b7  " + note, r.x + w, r.y - 12, Align::Left, kMuted);
}

// A caption turned a quarter left, centred on the area's height.
void draw_side_caption(cairo_t* cr, const Rect& r, const std::string& caption) {
    set_font(cr, kLabelSize, false);
    cairo_save(cr);
    cairo_translate(cr, kLeftEdge + 8, r.y + r.h / 2);
    cairo_rotate(cr, -kQuarterTurn);
    draw_text(cr, caption, 0, 0, Align::Centre, kMuted);
    cairo_restore(cr);
}

// Horizontal grid lines and their labels at every step of axis; y maps a value.
template <class MapY>
void draw_db_grid(cairo_t* cr, const Rect& r, const AxisRange& axis, MapY y) {
    set_font(cr, kLabelSize, false);
    cairo_set_line_width(cr, 1.0);
    for (double v = axis.lo; v <= axis.hi + 1e-9; v += axis.step) {
        set_colour(cr, v == 0 ? kZeroLine : kGrid);
        hline(cr, r.x, r.right(), y(v));
        cairo_stroke(cr);
        draw_text(cr, db_label(v, axis.step), r.x - 8, y(v) + 4, Align::Right, kMuted);
    }
}

// ---------------------------------------------------------------- response

double frequency_x(const Rect& r, double hz) {
    return r.x + r.w * std::log(hz / kLowestHz) / std::log(kHighestHz / kLowestHz);
}

void draw_response(cairo_t* cr, const EqResponse& response, int32_t rate) {
    const Rect& r = kResponseArea;
    const bool measured = !response.frequencies.empty() && !response.gainDb.empty();
    draw_header(cr, r, "Equaliser response",
                !measured              ? ""
                : response.equaliserOn ? "measured through the engine"
                                       : "equaliser off");
    if (!measured) return no_data(cr, r, "no response measured");

    const AxisRange axis = gain_axis(response.gainDb);
    auto y = [&](double db) { return r.y + r.h * (axis.hi - db) / (axis.hi - axis.lo); };

    // Above the Nyquist frequency the engine has nothing to show.
    const double nyquist = rate / 2.0;
    if (nyquist > kLowestHz && nyquist < kHighestHz) {
        const double x = frequency_x(r, nyquist);
        set_colour(cr, kShade);
        cairo_rectangle(cr, x, r.y, r.right() - x, r.h);
        cairo_fill(cr);
        set_font(cr, kLabelSize, false);
        if (r.right() - x > 70) draw_text(cr, "above fs/2", x + 6, r.y + 16, Align::Left, kMuted);
    }

    cairo_set_line_width(cr, 1.0);
    set_font(cr, kLabelSize, false);
    for (const Tick& tick : frequency_ticks()) {
        const double x = frequency_x(r, tick.value);
        set_colour(cr, tick.label.empty() ? kGridMinor : kGrid);
        vline(cr, x, r.y, r.bottom());
        cairo_stroke(cr);
        if (!tick.label.empty()) draw_text(cr, tick.label, x, r.bottom() + 16, Align::Centre, kMuted);
    }
    draw_db_grid(cr, r, axis, y);

    if (response.equaliserOn) {
        set_colour(cr, kBandMark);
        for (double hz : response.bandCentres) {
            if (hz < kLowestHz || hz > kHighestHz) continue;
            vline(cr, frequency_x(r, hz), r.bottom() - 8, r.bottom());
        }
        cairo_stroke(cr);
    }

    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const size_t channels = response.gainDb.size();
    for (size_t c = 0; c < channels; ++c) {
        const std::vector<double>& db = response.gainDb[c];
        bool drawing = false;
        for (size_t i = 0; i < response.frequencies.size() && i < db.size(); ++i) {
            if (!std::isfinite(db[i])) {
                drawing = false;
                continue;
            }
            const double x = frequency_x(r, response.frequencies[i]);
            if (drawing)
                cairo_line_to(cr, x, y(db[i]));
            else
                cairo_move_to(cr, x, y(db[i]));
            drawing = true;
        }
        // The right channel dashed on top: identical channels still show both.
        const Swatch style = c == 1 ? Swatch::Dashed : Swatch::Line;
        set_colour(cr, c == 1 ? kRight : kLeft);
        cairo_set_line_width(cr, 2.0);
        line_style(cr, style);
        cairo_stroke(cr);
        line_style(cr, Swatch::Line);
    }
    cairo_restore(cr);
    frame(cr, r);

    set_font(cr, kLabelSize, false);
    draw_text(cr, "frequency (Hz)", r.x + r.w / 2, r.bottom() + 34, Align::Centre, kMuted);
    draw_side_caption(cr, r, "gain (dB)");

    std::vector<LegendEntry> legend;
    if (channels == 2) {
        legend.push_back({"left", kLeft, Swatch::Line});
        legend.push_back({"right", kRight, Swatch::Dashed});
    } else {
        legend.push_back({channels == 1 ? "mono" : "channel 1", kLeft, Swatch::Line});
    }
    if (response.equaliserOn && !response.bandCentres.empty())
        legend.push_back({"band centres", kBandMark, Swatch::Tick});
    draw_legend(cr, legend, r.right(), r.y - 12);
}

// ---------------------------------------------------------------- levels

// One history's windows with the channels combined: the power mean of the
// RMS and the highest peak.
struct LevelTrace {
    std::vector<double> seconds;  // window centres
    std::vector<double> rms;
    std::vector<double> peak;
};

LevelTrace trace_of(const LevelHistory& history) {
    LevelTrace t;
    for (size_t w = 0; w < history.windows(); ++w) {
        double power = 0.0, peak = -INFINITY;
        for (int c = 0; c < history.channels(); ++c) {
            power += std::pow(10.0, history.rms_dbfs(w, c) / 10.0);
            peak = std::max(peak, history.peak_dbfs(w, c));
        }
        t.seconds.push_back(history.window_start_seconds(w) + history.window_seconds(w) / 2);
        t.rms.push_back(10.0 * std::log10(power / std::max(1, history.channels())));
        t.peak.push_back(peak);
    }
    return t;
}

void draw_trace(cairo_t* cr, const LevelTrace& t, Colour colour, const Rect& r, double seconds,
                const AxisRange& level) {
    if (t.seconds.empty()) return;
    // Silence sits on the bottom edge rather than leaving a gap.
    auto x = [&](double s) { return r.x + r.w * s / seconds; };
    auto y = [&](double db) { return r.y + r.h * (level.hi - std::max(db, level.lo)) / (level.hi - level.lo); };

    cairo_move_to(cr, x(t.seconds[0]), y(t.peak[0]));
    for (size_t i = 1; i < t.seconds.size(); ++i) cairo_line_to(cr, x(t.seconds[i]), y(t.peak[i]));
    for (size_t i = t.seconds.size(); i-- > 0;) cairo_line_to(cr, x(t.seconds[i]), y(t.rms[i]));
    cairo_close_path(cr);
    set_colour(cr, colour, kPeakAlpha);
    cairo_fill(cr);

    cairo_move_to(cr, x(t.seconds[0]), y(t.rms[0]));
    for (size_t i = 1; i < t.seconds.size(); ++i) cairo_line_to(cr, x(t.seconds[i]), y(t.rms[i]));
    set_colour(cr, colour);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void draw_levels(cairo_t* cr, const LevelHistory* input, const LevelHistory* output) {
    const Rect& r = kLevelArea;
    draw_header(cr, r, "Level", "");
    const bool any = (input && input->windows() > 0) || (output && output->windows() > 0);
    if (!any) return no_data(cr, r, "no audio");

    const LevelTrace in = input ? trace_of(*input) : LevelTrace{};
    const LevelTrace out = output ? trace_of(*output) : LevelTrace{};
    double seconds = 0.0;
    for (const LevelHistory* h : {input, output})
        if (h && h->rate() > 0) seconds = std::max(seconds, static_cast<double>(h->frames()) / h->rate());
    if (!(seconds > 0.0)) return no_data(cr, r, "no audio");
    std::vector<double> rms = in.rms;
    rms.insert(rms.end(), out.rms.begin(), out.rms.end());
    const AxisRange level = level_axis(std::move(rms));
    auto y = [&](double db) { return r.y + r.h * (level.hi - db) / (level.hi - level.lo); };

    set_font(cr, kLabelSize, false);
    cairo_set_line_width(cr, 1.0);
    for (const Tick& tick : time_ticks(seconds)) {
        const double x = r.x + r.w * tick.value / seconds;
        set_colour(cr, kGrid);
        vline(cr, x, r.y, r.bottom());
        cairo_stroke(cr);
        draw_text(cr, tick.label, x, r.bottom() + 16, Align::Centre, kMuted);
    }
    draw_db_grid(cr, r, level, y);

    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    draw_trace(cr, in, kInput, r, seconds, level);
    draw_trace(cr, out, kOutput, r, seconds, level);
    cairo_restore(cr);
    frame(cr, r);

    set_font(cr, kLabelSize, false);
    draw_text(cr, "time", r.x + r.w / 2, r.bottom() + 34, Align::Centre, kMuted);
    draw_side_caption(cr, r, "level (dBFS)");
    draw_legend(cr,
                {{"input", kInput, Swatch::LineOverShade},
                 {"output", kOutput, Swatch::LineOverShade},
                 {"line RMS, shade up to peak", kMuted, Swatch::None}},
                r.right(), r.y - 12);
}

// ---------------------------------------------------------------- title

std::string format_text(int32_t rate, int channels) {
    const std::string layout = channels == 1   ? "mono"
                               : channels == 2 ? "stereo"
                                               : std::to_string(channels) + " channels";
    return std::to_string(rate) + " Hz, " + layout + ", 16-bit";
}

// The input name, shortened in the middle until the whole line fits.
void draw_title(cairo_t* cr, const PlotData& data) {
    const double y = 36.0;
    const double room = kResponseArea.right() - kLeftEdge;
    std::string rest = "    " + format_text(data.rate, data.channels);
    if (!data.settingSource.empty()) rest += "  \u00b7  setting: " + printable_utf8(data.settingSource);
    set_font(cr, kTitleSize, false);
    const double restWidth = text_width(cr, rest);

    std::string name = printable_utf8(data.input.empty() ? std::string("(no input)") : data.input);
    set_font(cr, kTitleSize, true);
    const std::string full = name;
    // No longer name fits the line at the smallest glyphs.
    for (size_t chars = std::min<size_t>(full.size(), 250); chars > 3 && text_width(cr, name) + restWidth > room;
         --chars)
        name = ellipsize_middle(full, chars);
    const double w = draw_text(cr, name, kLeftEdge, y, Align::Left, kInk);
    set_font(cr, kTitleSize, false);
    draw_text(cr, rest, kLeftEdge + w, y, Align::Left, kMuted);
}

}  // namespace

void draw_plot(cairo_t* cr, const PlotData& data) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    draw_title(cr, data);
    draw_response(cr, data.response, data.rate);
    draw_levels(cr, data.inputLevels, data.outputLevels);
}

}  // namespace audiomix_render
