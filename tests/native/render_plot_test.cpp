// audiomix-render --plot: the equaliser response measured through an engine,
// the level history, the text it draws and the written pictures.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <iterator>
#include <new>

#include "level_history.h"
#include "plot.h"
#include "plot_axes.h"
#include "response.h"

using namespace audiomix_render;
namespace fs = std::filesystem;

// Every allocation of the process, to show that feeding a level history
// allocates nothing. (GCC cannot see that these two belong together.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<size_t> gAllocations{0};
void* operator new(size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

const double kNegInf = -std::numeric_limits<double>::infinity();

EqResponse measure(int32_t rate, int channels, const ParamValues& setting) {
    EqResponse r;
    std::string error;
    EXPECT_TRUE(measure_response(setting, rate, channels, r, error)) << error;
    return r;
}

double max_of(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }
double min_of(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

// ---------------------------------------------------------------- response

TEST(PlotResponse, FlatIsFlatAndABoostPeaksNearItsBandCentre) {
    // Off, or at a rate without tables, nothing runs and nothing changes.
    const ParamValues off = {{"eq.on", 0}}, noTables = {{"eq.on", 1}, {"eq.band.3", 12}};
    for (const EqResponse& r : {measure(44100, 2, off), measure(32000, 2, noTables)}) {
        EXPECT_FALSE(r.equaliserOn);
        EXPECT_TRUE(std::fabs(max_of(r.gainDb[0])) < 0.01 && std::fabs(min_of(r.gainDb[0])) < 0.01);
    }
    struct Case {
        int32_t rate;
        int channels, bands, band;
        double centre;  // the layout's nominal frequency
    };
    for (const Case& c : {Case{44100, 2, 10, 5, 1000.0}, {48000, 2, 31, 20, 2000.0}, {11025, 1, 10, 9, 5500.0}}) {
        const std::string band = "eq.band." + std::to_string(c.band);
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.bands) + " bands, " + band);
        const EqResponse flat = measure(c.rate, c.channels, {{"eq.on", 1}, {"eq.bands", double(c.bands)}});
        EXPECT_LT(max_of(flat.gainDb[0]) - min_of(flat.gainDb[0]), 0.3);  // every band at 0
        EXPECT_LT(flat.frequencies.back(), c.rate / 2.0);
        const EqResponse r = measure(c.rate, c.channels, {{"eq.on", 1}, {"eq.bands", double(c.bands)}, {band, 20}});
        ASSERT_EQ(r.bandCentres.size(), static_cast<size_t>(c.bands));
        EXPECT_EQ(r.bandCentres[c.band], c.centre);
        for (int ch = 0; ch < c.channels; ++ch) {
            const std::vector<double>& g = r.gainDb[ch];
            const size_t peak = static_cast<size_t>(std::max_element(g.begin(), g.end()) - g.begin());
            EXPECT_LE(std::fabs(std::log2(r.frequencies[peak] / c.centre)), 1.0 / 3.0) << r.frequencies[peak];
            EXPECT_GT(g[peak] - flat.gainDb[ch][peak], 6.0);  // "+20 lifts the band centre about 10 dB"
        }
    }
}

TEST(PlotResponse, PreGainShiftsTheWholeCurveEvenWhenLoud) {
    // The pre-gain doubles the input every +10: +18 is 18 / 10 doublings.
    // With every band and the second pass at full boost, the curve only
    // keeps its shape if no tone was clipped.
    ParamValues base = {{"eq.on", 1}, {"eq.second_pass", 1}};
    for (int b = 0; b < 10; ++b) base.emplace_back("eq.band." + std::to_string(b), 20);
    ParamValues lifted = base;
    lifted.emplace_back("eq.pregain", 18);
    const EqResponse a = measure(44100, 2, base);
    const EqResponse b = measure(44100, 2, lifted);
    EXPECT_GT(max_of(b.gainDb[0]), 30.0);  // louder than a -20 dBFS tone allows
    for (size_t i = 0; i < a.frequencies.size(); ++i)
        EXPECT_NEAR(b.gainDb[0][i] - a.gainDb[0][i], 20.0 * std::log10(std::pow(2.0, 1.8)), 0.1) << a.frequencies[i];
}

TEST(PlotResponse, OnlyTheEqualiserIsMeasuredAndChannelsAgree) {
    const ParamValues eq = {{"eq.on", 1}, {"eq.band.2", 15}, {"eq.band.8", -20}};
    ParamValues everything = {{"reverb.on", 1}, {"comp.on", 1}, {"comp.threshold_db", -50}, {"comp.ratio", 2}};
    everything.insert(everything.end(), eq.begin(), eq.end());
    const EqResponse a = measure(44100, 2, eq);
    const EqResponse b = measure(44100, 2, everything);
    ASSERT_EQ(a.frequencies.size(), b.frequencies.size());
    for (size_t i = 0; i < a.frequencies.size(); ++i) {
        EXPECT_NEAR(a.gainDb[0][i], b.gainDb[0][i], 0.02) << a.frequencies[i];
        EXPECT_NEAR(b.gainDb[0][i], b.gainDb[1][i], 0.02) << a.frequencies[i];
    }
    // A setting or a format the library refuses measures nothing.
    EqResponse r;
    std::string error;
    EXPECT_FALSE(measure_response({{"eq.on", 1}, {"eq.band.12", 3}}, 44100, 2, r, error));
    EXPECT_NE(error.find("eq.band.12"), std::string::npos) << error;
    EXPECT_FALSE(measure_response({}, 44100, 3, r, error));
}

// ---------------------------------------------------------------- level history

TEST(PlotLevels, KnownSignalsLandInTheirWindows) {
    // Left: a full-scale square (0 dBFS RMS and peak). Right: silence and one
    // spike of 16384 in window 3. Fed in buffers that do not line up with the
    // 441-frame windows.
    constexpr size_t kWindow = 441, kFrames = 120 * kWindow;
    std::vector<int16_t> pcm(2 * kFrames);
    for (size_t f = 0; f < kFrames; ++f) pcm[2 * f] = (f / 50) % 2 ? -32768 : 32767;
    pcm[2 * (3 * kWindow + 7) + 1] = 16384;
    LevelHistory h(2, 44100);
    for (size_t f = 0; f < kFrames; f += 1000) h.add(&pcm[2 * f], std::min<size_t>(1000, kFrames - f));

    ASSERT_EQ(h.windows(), 120u);
    const double square = 20.0 * std::log10(std::sqrt((32767.0 * 32767.0 + 32768.0 * 32768.0) / 2) / 32768.0);
    for (size_t w = 0; w < h.windows(); ++w) {
        SCOPED_TRACE(w);
        EXPECT_NEAR(h.window_start_seconds(w), w * 0.01, 1e-12);
        EXPECT_NEAR(h.rms_dbfs(w, 0), square, 0.01);  // 441 is not whole square periods
        EXPECT_EQ(h.peak_dbfs(w, 0), 0.0);
        EXPECT_EQ(h.rms_dbfs(w, 1) == kNegInf, w != 3);
    }
    EXPECT_NEAR(h.peak_dbfs(3, 1), -6.0206, 1e-4);
    EXPECT_NEAR(h.rms_dbfs(3, 1), -6.0206 - 10.0 * std::log10(441.0), 1e-4);
    // A last window holds the rest.
    const std::vector<int16_t> rest(2 * 100, 1000);
    h.add(rest.data(), 100);
    ASSERT_EQ(h.windows(), 121u);
    EXPECT_NEAR(h.window_seconds(120), 100.0 / 44100, 1e-15);
    EXPECT_NEAR(h.rms_dbfs(120, 0), 20.0 * std::log10(1000.0 / 32768), 1e-9);
}

TEST(PlotLevels, LongInputStaysBoundedWithoutAllocating) {
    // Two seconds at 8000 Hz in at most 8 windows: the first second at
    // -12.04 dBFS, the second silent.
    LevelHistory h(1, 8000, 8);
    const std::vector<int16_t> loud(400, 8192), quiet(400, 0);
    const size_t before = gAllocations;
    for (int i = 0; i < 40; ++i) h.add((i < 20 ? loud : quiet).data(), 400);
    EXPECT_EQ(gAllocations - before, 0u);

    EXPECT_EQ(h.frames(), 16000u);
    EXPECT_TRUE(h.windows() <= 8 && h.windows() >= 4) << h.windows();
    const uint64_t wf = h.window_frames();
    EXPECT_TRUE(wf % 80 == 0 && ((wf / 80) & (wf / 80 - 1)) == 0) << wf;  // 10 ms windows, doubled
    for (size_t w = 0; w < h.windows(); ++w) {
        const double start = h.window_start_seconds(w), end = start + h.window_seconds(w);
        if (end <= 1.0) {
            EXPECT_NEAR(h.rms_dbfs(w, 0), -12.0412, 1e-4) << w;
        } else if (start >= 1.0) {
            EXPECT_EQ(h.peak_dbfs(w, 0), kNegInf) << w;
        }
    }
}

// ---------------------------------------------------------------- axes

TEST(PlotAxes, TextIsMadeDrawable) {
    const std::pair<std::string, std::string> cases[] = {
        {"caf\xc3\xa9 \xe9\x9f\xb3", "caf\xc3\xa9 \xe9\x9f\xb3"},
        {"a\nb\tc", "a?b?c"},
        {"x\xff", "x\xef\xbf\xbd"},                // not UTF-8 at all
        {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},  // overlong '/'
        {"\xe2\x82", "\xef\xbf\xbd\xef\xbf\xbd"},  // cut short
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(printable_utf8(in), out);
    EXPECT_EQ(ellipsize_middle("abcdefghij", 5), "ab\u2026ij");
    EXPECT_EQ(ellipsize_middle("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", 3), "\xc3\xa9\u2026\xc3\xa9");
}

// ---------------------------------------------------------------- pictures

TEST(PlotPicture, WritesSvgAndPngOfTheFixedSizeWhateverTheData) {
    // Missing, silent, odd or non-UTF-8 data still draws; the extension
    // names the format, in any case.
    EqResponse odd;
    odd.frequencies = {20, 200, 2000};
    odd.gainDb = {{kNegInf, NAN, 3.0}};
    LevelHistory silent(1, 8000), empty(1, 8000);
    const std::vector<int16_t> zeros(100, 0);
    silent.add(zeros.data(), zeros.size());
    const PlotData data = {"bad \xff name\n" + std::string(3000, 'n'), 0, 7, "\xc0", odd, &silent, &empty};
    const fs::path dir = AUDIOMIX_RENDER_SCRATCH, svgPath = dir / "odd.SVG", pngPath = dir / "odd.Png";
    fs::create_directories(dir);
    fs::remove(svgPath);
    fs::remove(pngPath);
    std::string error;
    ASSERT_TRUE(write_plot(svgPath.string(), data, error) && write_plot(pngPath.string(), data, error)) << error;
    cairo_surface_t* png = cairo_image_surface_create_from_png(pngPath.c_str());
    EXPECT_EQ(cairo_image_surface_get_width(png), 1000);  // 0 when unreadable
    EXPECT_EQ(cairo_image_surface_get_height(png), 700);
    cairo_surface_destroy(png);
    std::ifstream f(svgPath);
    const std::string svg((std::istreambuf_iterator<char>(f)), {});
    EXPECT_NE(svg.find("width=\"1000pt\" height=\"700pt\""), std::string::npos) << svg.substr(0, 300);
    // An unknown extension or an unwritable path writes nothing.
    const std::pair<std::string, std::string> refused[] = {{(dir / "p.jpg").string(), "'.jpg'"},
                                                           {(dir / "missing/p.png").string(), "missing/p.png"}};
    for (const auto& [path, mention] : refused) {
        EXPECT_FALSE(write_plot(path, data, error)) << path;
        EXPECT_NE(error.find(mention), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(path)) << path;
    }
}
