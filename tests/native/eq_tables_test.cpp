// The coefficient tables against their rule, and which table a rate and a
// band count run.
#include "dsp/eq_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dsp/chain_state.h"

namespace audiomix {
namespace {

struct Layout {
    int32_t rate;
    double width;  // octaves
    std::vector<std::string> labels;
};

const std::vector<std::string> kLabels10 = {"31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "16K"};
const std::vector<std::string> kLabels15 = {"25", "40",   "63",   "100", "160",  "250", "400", "630",
                                            "1K", "1.6K", "2.5K", "4K",  "6.3K", "10K", "16K"};
const std::vector<std::string> kLabels25 = {"20",  "31.5", "40",  "50",  "80",    "100",   "125",  "160",  "250",
                                            "315", "400",  "500", "800", "1K",    "1.25K", "1.6K", "2.5K", "3.15K",
                                            "4K",  "5K",   "8K",  "10K", "12.5K", "16K",   "20K"};
const std::vector<std::string> kLabels31 = {"20",  "25",   "31.5",  "40",   "50",    "63",   "80",    "100",
                                            "125", "160",  "200",   "250",  "315",   "400",  "500",   "630",
                                            "800", "1K",   "1.25K", "1.6K", "2K",    "2.5K", "3.15K", "4K",
                                            "5K",  "6.3K", "8K",    "10K",  "12.5K", "16K",  "20K"};

const Layout kLayouts[] = {
    {11025, 1, {"31", "62", "125", "250", "500", "1K", "2K", "3K", "4K", "5.5K"}},
    {22050, 1, {"31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "11K"}},
    {44100, 1, kLabels10},
    {44100, 2.0 / 3, kLabels15},
    {44100, 1.0 / 3, kLabels25},
    {44100, 1.0 / 3, kLabels31},
    {48000, 1, kLabels10},
    {48000, 2.0 / 3, kLabels15},
    {48000, 1.0 / 3, kLabels25},
    {48000, 1.0 / 3, kLabels31},
};

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

// The band filter for centre f0 and lower edge f1 = f0 / 2^(width/2). Writing
// d = (c1 - c0)^2, s = s1^2 (c, s: cosines and sines of the edges' angles),
// the rule's quadratic P b^2 + Q b + R with P = (d - s)/2, Q = (d + s)/2,
// R = P/4 has the roots b and 1/(4b), so beta = 2b solves
//     beta^2 - 2 (s + d)/(s - d) beta + 1 = 0,
// whose root below 1 is (sqrt(s) - sqrt(d)) / (sqrt(s) + sqrt(d)). With
// delta = c1 - c0 > 0, from half-angle sines so that nothing cancels badly:
//     beta = (s1 - delta) / (s1 + delta), alpha = (1 - beta)/2, gamma = (1 + beta) c0.
// Both this form and the tables' generator keep every coefficient within
// 1e-5 of a single-precision ulp of the true value, and no true value here
// lies closer than 0.003 ulp to a rounding midpoint: so the floats must be
// equal, and a mismatch of even one ulp is a real difference.
TEST(EqTables, EveryLayoutOnceWithItsCaptionsAndTheRulesCoefficients) {
    ASSERT_EQ(std::size(kEqTables), std::size(kLayouts));
    for (const Layout& layout : kLayouts) {
        const int32_t count = static_cast<int32_t>(layout.labels.size());
        const EqCoefTable* table = find_table(layout.rate, count);
        ASSERT_NE(table, nullptr) << layout.rate << " Hz, " << count << " bands: missing or twice";
        for (int32_t i = 0; i < count; ++i) {
            const EqBand& band = table->bands[i];
            const std::string& label = layout.labels[i];
            SCOPED_TRACE(std::to_string(layout.rate) + " Hz, " + std::to_string(count) + " bands, " + label);
            EXPECT_STREQ(band.label, label.c_str());
            for (size_t k = std::strlen(band.label); k < sizeof band.label; ++k) EXPECT_EQ(band.label[k], '\0');
            const double f0 = std::strtod(label.c_str(), nullptr) * (label.back() == 'K' ? 1000.0 : 1.0);
            EXPECT_EQ(band.centre, static_cast<float>(f0));
            const double theta0 = 2.0 * M_PI * f0 / layout.rate;
            const double theta1 = theta0 / std::pow(2.0, layout.width / 2);
            const double h0 = std::sin(theta0 / 2.0), h1 = std::sin(theta1 / 2.0);
            const double delta = 2.0 * (h0 - h1) * (h0 + h1), s1 = std::sin(theta1);
            const double beta = (s1 - delta) / (s1 + delta);
            EXPECT_EQ(band.beta, static_cast<float>(beta));
            EXPECT_EQ(band.alpha, static_cast<float>(delta / (s1 + delta)));
            EXPECT_EQ(band.gamma, static_cast<float>(2.0 * s1 * std::cos(theta0) / (s1 + delta)));
        }
    }
}

TEST(EqTables, RateAndCountPickTheTableThatRuns) {
    struct Case {
        std::vector<int32_t> counts, rates;
        int32_t wantRate, wantCount;  // 0: the one asked for
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
    // them shows any stray write. Each selection replaces the previous one.
    auto state = std::make_unique<ChainParams>();
    std::memset(state.get(), 0xA5, sizeof *state);
    auto expected = std::make_unique<ChainParams>(*state);
    for (const Case& c : cases) {
        for (int32_t rate : c.rates) {
            for (int32_t count : c.counts) {
                SCOPED_TRACE("select(" + std::to_string(count) + ", " + std::to_string(rate) + ")");
                const int32_t wantRate = c.wantRate ? c.wantRate : rate, wantCount = c.wantCount ? c.wantCount : count;
                eq_select_table(*state, count, rate);
                EXPECT_EQ(state->sampleRate, wantRate);
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
