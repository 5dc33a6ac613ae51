#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "dsp/pcm.h"

namespace audiomix {
namespace {

// Nearest with ties to even, saturating, over the whole range and beyond.
TEST(FloatToPcm16, AgreesWithNearbyintAndSaturates) {
    for (float v = -40000.0f; v <= 40000.0f; v += 0.25f) {
        long expected = std::lrint(v);  // default rounding: nearest, ties to even
        if (expected > 32767) expected = 32767;
        if (expected < -32768) expected = -32768;
        ASSERT_EQ(float_to_pcm16(v), expected) << v;
    }
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(float_to_pcm16(1e9f), 32767);
    EXPECT_EQ(float_to_pcm16(-inf), -32768);
    EXPECT_EQ(float_to_pcm16(inf), 32767);
    const int32_t nan = float_to_pcm16(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(nan == 32767 || nan == -32768);
}

TEST(StageConversions, ClampInclusivelyAndTruncate) {
    EXPECT_EQ(reverb_to_pcm16(1.0), 32767);
    EXPECT_EQ(reverb_to_pcm16(2.0), 32767);
    EXPECT_EQ(reverb_to_pcm16(-1.0), -32767);
    EXPECT_EQ(reverb_to_pcm16(-2.0), -32767);
    EXPECT_EQ(compressor_to_pcm16(-3.0), -32768);
    EXPECT_EQ(reverb_to_pcm16(0.99999), 32766);  // 32766.67 truncated
    EXPECT_EQ(reverb_to_pcm16(-0.5), -16383);    // -16383.5 truncated toward zero
    EXPECT_EQ(compressor_to_pcm16(-1.0), -32768);
    EXPECT_EQ(compressor_to_pcm16(0.5), 16384);
    EXPECT_EQ(compressor_to_pcm16(1.0), 32767);
    EXPECT_EQ(compressor_to_pcm16(std::nan("")), 0);
    EXPECT_EQ(reverb_to_pcm16(std::nan("")), 0);
}

TEST(StageConversions, EqualiserScalesByAQuarterMoreAndSaturates) {
    EXPECT_EQ(equaliser_to_pcm16(100.0f), 125);
    EXPECT_EQ(equaliser_to_pcm16(-3.0f), -3);    // -3.75 truncated toward zero
    EXPECT_EQ(equaliser_to_pcm16(2.5f), 2);      // rounds to 2, then 2.5 -> 2
    EXPECT_EQ(equaliser_to_pcm16(30000.0f), 32767);
    EXPECT_EQ(equaliser_to_pcm16(-30000.0f), -32768);
}

}  // namespace
}  // namespace audiomix
