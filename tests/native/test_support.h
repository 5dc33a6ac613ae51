// Shared helpers of the native tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "audiomix.h"
#include "engine/engine_state.h"
#include "engine/random_source.h"

namespace audiomix::testing {

// Puts the process-wide engine back into its load state: no window, load
// values, the random source at its unseeded start.
inline void reset_engine() {
    audiomix_close();
    engine_load_state(engine);
    random_restart();
}

// A fixture for tests that drive the global engine through the exports.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { reset_engine(); }
    void TearDown() override { reset_engine(); }
};

// A private engine record on the heap (the record is far too big for a stack).
inline std::unique_ptr<EngineState> make_state() {
    auto state = std::make_unique<EngineState>();
    engine_load_state(*state);
    return state;
}

// 10^(dB/20) in plain double arithmetic, for expectations.
double expected_db(double dB);

// A deterministic test signal: sum of sines plus noise, interleaved.
std::vector<int16_t> make_signal(int32_t frames, int32_t channels, double amplitude, uint32_t seed);

}  // namespace audiomix::testing
