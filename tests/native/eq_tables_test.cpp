#include "dsp/eq_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dsp/chain_state.h"

namespace audiomix {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Layout {
    int32_t rate;
    int widthNum;  // band width in octaves, widthNum / widthDen
    int widthDen;
    std::vector<std::string> labels;
};

const std::vector<std::string> kLabels10 = {"31", "62", "125", "250", "500",
                                            "1K", "2K", "4K", "8K", "16K"};
const std::vector<std::string> kLabels15 = {"25",  "40",   "63",   "100", "160",
                                            "250", "400",  "630",  "1K",  "1.6K",
                                            "2.5K", "4K",  "6.3K", "10K", "16K"};
const std::vector<std::string> kLabels25 = {
    "20",  "31.5", "40",   "50",    "80", "100", "125", "160", "250",
    "315", "400",  "500",  "800",   "1K", "1.25K", "1.6K", "2.5K", "3.15K",
    "4K",  "5K",   "8K",   "10K",   "12.5K", "16K", "20K"};
const std::vector<std::string> kLabels31 = {
    "20",  "25",  "31.5", "40",   "50",   "63",  "80",    "100", "125", "160", "200",
    "250", "315", "400",  "500",  "630",  "800", "1K",    "1.25K", "1.6K", "2K", "2.5K",
    "3.15K", "4K", "5K",  "6.3K", "8K",   "10K", "12.5K", "16K", "20K"};

const std::vector<Layout>& layouts() {
    static const std::vector<Layout> all = {
        {11025, 1, 1, {"31", "62", "125", "250", "500", "1K", "2K", "3K", "4K", "5.5K"}},
        {22050, 1, 1, {"31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "11K"}},
        {44100, 1, 1, kLabels10}, {44100, 2, 3, kLabels15},
        {44100, 1, 3, kLabels25}, {44100, 1, 3, kLabels31},
        {48000, 1, 1, kLabels10}, {48000, 2, 3, kLabels15},
        {48000, 1, 3, kLabels25}, {48000, 1, 3, kLabels31},
    };
    return all;
}

int32_t count_of(const Layout& layout) { return static_cast<int32_t>(layout.labels.size()); }

// The one table in kEqTables with this rate and size, or null.
const EqCoefTable* find_table(int32_t rate, int32_t count) {
    const EqCoefTable* found = nullptr;
    for (const EqCoefTable& table : kEqTables) {
        if (table.rate == rate && table.bandCount == count) {
            if (found != nullptr) return nullptr;
            found = &table;
        }
    }
    return found;
}

// "31.5" -> 31.5, "1.25K" -> 1250.
double hz_of_label(const std::string& label) {
    const bool kilo = !label.empty() && label.back() == 'K';
    const double value = std::strtod(label.c_str(), nullptr);
    return kilo ? value * 1000.0 : value;
}

int64_t ulp_distance(float a, float b) {
    // Map the sign-magnitude bit patterns onto a monotonic integer line.
    auto key = [](float f) {
        int32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return bits < 0 ? -static_cast<int64_t>(bits & 0x7fffffff) : static_cast<int64_t>(bits);
    };
    return std::llabs(key(a) - key(b));
}

struct Coefs {
    double beta, alpha, gamma;
};

double lower_edge_ratio(int widthNum, int widthDen) {
    // 2^(w/2) for the three widths in use, without pow.
    if (widthNum == 1 && widthDen == 1) return std::sqrt(2.0);
    if (widthNum == 2 && widthDen == 3) return std::cbrt(2.0);
    if (widthNum == 1 && widthDen == 3) return std::sqrt(std::cbrt(2.0));
    ADD_FAILURE() << "unexpected width " << widthNum << "/" << widthDen;
    return 1.0;
}

// Closed form of the band filter. Writing d = (c1 - c0)^2, s = s1^2, the
// quadratic's coefficients are P = (d - s)/2, Q = (d + s)/2, R = P/4, so its
// roots are b and 1/(4b) and beta = 2b solves
//     beta^2 - 2 (s + d)/(s - d) beta + 1 = 0,
// whose root below 1 is (sqrt(s) - sqrt(d)) / (sqrt(s) + sqrt(d)). With
// delta = c1 - c0 > 0:
//     beta = (s1 - delta) / (s1 + delta)
//     alpha = (1 - beta)/2 = delta / (s1 + delta)
//     gamma = (1 + beta) c0 = 2 s1 c0 / (s1 + delta).
// delta comes from half-angle sines, so nothing here cancels badly.
Coefs closed_form(double f0, int widthNum, int widthDen, double fs) {
    const double theta0 = 2.0 * kPi * f0 / fs;
    const double theta1 = 2.0 * kPi * (f0 / lower_edge_ratio(widthNum, widthDen)) / fs;
    const double h0 = std::sin(theta0 / 2.0);
    const double h1 = std::sin(theta1 / 2.0);
    const double delta = 2.0 * (h0 - h1) * (h0 + h1);  // cos t1 - cos t0 = 2 sin^2(t0/2) - 2 sin^2(t1/2)
    const double s1 = std::sin(theta1);
    const double c0 = std::cos(theta0);
    const double den = s1 + delta;
    return {(s1 - delta) / den, delta / den, 2.0 * s1 * c0 / den};
}

// The rule evaluated as written: P, Q, R summed term by term and the smaller
// root of P b^2 + Q b + R by the textbook formula. Loses up to ~1e-7 absolute
// on the narrowest low bands.
Coefs literal_rule(double f0, int widthNum, int widthDen, double fs) {
    const double theta0 = 2.0 * kPi * f0 / fs;
    const double theta1 = 2.0 * kPi * (f0 / lower_edge_ratio(widthNum, widthDen)) / fs;
    const double c0 = std::cos(theta0), c1 = std::cos(theta1), s1 = std::sin(theta1);
    const double P = 0.5 * c0 * c0 - c1 * c0 + 0.5 - s1 * s1;
    const double Q = c1 * c1 + 0.5 * c0 * c0 - c1 * c0 - 0.5 + s1 * s1;
    const double R = 0.125 * c0 * c0 - 0.25 * c1 * c0 + 0.125 - 0.25 * s1 * s1;
    const double root = std::sqrt(Q * Q - 4.0 * P * R);
    const double b = std::fmin((-Q + root) / (2.0 * P), (-Q - root) / (2.0 * P));
    const double beta = 2.0 * b;
    return {beta, (1.0 - beta) / 2.0, (1.0 + beta) * c0};
}

// --- Every coefficient from the rule -------------------------------------------

// Exact equality: both this closed form and the table's generator keep every
// coefficient within 1e-5 of a single-precision ulp of the true value, while
// no true value in these tables lies closer than 0.003 ulp to a rounding
// midpoint. So any mismatch, even of one ulp, is a real difference (a wrong
// centre, width, rate or root), never rounding noise of either side.
TEST(EqTablesTest, EveryLayoutOnceWithItsCaptionsAndTheRulesCoefficients) {
    ASSERT_EQ(sizeof kEqTables / sizeof kEqTables[0], layouts().size());
    for (const Layout& layout : layouts()) {
        const EqCoefTable* table = find_table(layout.rate, count_of(layout));
        ASSERT_NE(table, nullptr) << layout.rate << " Hz, " << count_of(layout) << " bands: missing or twice";
        ASSERT_EQ(table->bandCount, count_of(layout));
        for (int32_t i = 0; i < table->bandCount; ++i) {
            const EqBand& band = table->bands[i];
            SCOPED_TRACE(std::to_string(layout.rate) + " Hz, " +
                         std::to_string(count_of(layout)) + " bands, " + layout.labels[i]);
            EXPECT_STREQ(band.label, layout.labels[i].c_str());
            for (size_t k = std::strlen(band.label); k < sizeof band.label; ++k) EXPECT_EQ(band.label[k], '\0');
            const double f0 = hz_of_label(layout.labels[i]);
            EXPECT_EQ(band.centre, static_cast<float>(f0));
            const Coefs want = closed_form(f0, layout.widthNum, layout.widthDen, layout.rate);
            EXPECT_EQ(ulp_distance(band.beta, static_cast<float>(want.beta)), 0);
            EXPECT_EQ(ulp_distance(band.alpha, static_cast<float>(want.alpha)), 0);
            EXPECT_EQ(ulp_distance(band.gamma, static_cast<float>(want.gamma)), 0);
            // The closed form is the quadratic's smaller root: the rule as
            // written agrees to its own (cancellation-limited) accuracy, and a
            // wrong root or algebra slip would be off by far more.
            const Coefs literal = literal_rule(f0, layout.widthNum, layout.widthDen, layout.rate);
            EXPECT_NEAR(literal.beta, want.beta, 1e-6);
            EXPECT_NEAR(literal.alpha, want.alpha, 1e-6);
            EXPECT_NEAR(literal.gamma, want.gamma, 1e-6);
        }
    }
}

// --- Selection ------------------------------------------------------------------

TEST(EqSelectTest, RateAndCountPickTheTableThatRuns) {
    struct Case {
        std::vector<int32_t> counts, rates;
        int32_t wantRate, wantCount;  // 0: the count asked for
    };
    const Case cases[] = {
        // Low rates always run their ten bands.
        {{10, 15, 25, 31, 12, 0, -1}, {11025, 22050}, 0, 10},
        // Supported rates take the layout of the count, other counts fall back to ten.
        {{10, 15, 25, 31}, {44100, 48000}, 0, 0},
        {{12, 0, -1, 30, 32, 1000}, {44100, 48000}, 0, 10},
        // Unsupported rates run at 44100.
        {{31, 15, 10}, {96000, 8000, 32000, 44099, 0, -1}, 44100, 0},
        {{20}, {96000, 8000, 32000, 44099, 0, -1}, 44100, 10},
    };
    // Selection must leave every other parameter alone: a pattern in all of
    // them shows any stray write.
    auto state = std::make_unique<ChainParams>();
    std::memset(state.get(), 0xA5, sizeof *state);
    auto expected = std::make_unique<ChainParams>(*state);
    for (const Case& c : cases) {
        for (int32_t rate : c.rates) {
            for (int32_t count : c.counts) {
                SCOPED_TRACE("select(" + std::to_string(count) + ", " + std::to_string(rate) + ")");
                // Each selection replaces the previous one.
                const int32_t wantRate = c.wantRate ? c.wantRate : rate, wantCount = c.wantCount ? c.wantCount : count;
                eq_select_table(*state, count, rate);
                EXPECT_EQ(state->sampleRate, wantRate);
                ASSERT_NE(state->eqTable, nullptr);
                EXPECT_EQ(state->eqTable, find_table(wantRate, wantCount));
                EXPECT_EQ(state->eqActiveBands, wantCount);
                EXPECT_EQ(&eq_table_for(count, rate), state->eqTable);
                expected->sampleRate = state->sampleRate;
                expected->eqTable = state->eqTable;
                expected->eqActiveBands = state->eqActiveBands;
                EXPECT_EQ(std::memcmp(state.get(), expected.get(), sizeof *state), 0);
            }
        }
    }
}

}  // namespace
}  // namespace audiomix
