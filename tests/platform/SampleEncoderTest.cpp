// The device formats: byte layout, exact where the format holds the mix, and dithered, unbiased
// and within one step where it does not.

#include "audio/platform/sinks/SampleEncoder.h"

#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using platform::SampleEncoder;
using platform::SampleFormat;

// The signed little-endian integer of `bytes` bytes at `at`.
std::int64_t Decode(const std::uint8_t* at, std::size_t bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        bits |= std::uint64_t{at[i]} << (8 * i);
    }
    const unsigned shift = static_cast<unsigned>(64 - 8 * bytes);
    return static_cast<std::int64_t>(bits << shift) >> shift;
}

TEST(SampleEncoder, FloatAnd32BitHoldTheMixExactly) {
    SampleEncoder floats(SampleFormat::Float);
    SampleEncoder integers(SampleFormat::S32);
    ASSERT_EQ(floats.Bytes(), 4u);
    ASSERT_EQ(integers.Bytes(), 4u);
    for (const float frame : {0.0f, 0.25f, -0.5f, 0x1.0p-20f, -1.0f, 1.0f}) {
        std::array<std::uint8_t, 4> bytes{};
        floats.Encode(frame, bytes.data());
        float back = 0;
        std::memcpy(&back, bytes.data(), sizeof back);
        EXPECT_EQ(back, frame);
        integers.Encode(frame, bytes.data());
        EXPECT_EQ(Decode(bytes.data(), 4),
                  std::min<std::int64_t>(std::llround(double{frame} * 2147483648.0), 2147483647));
    }
}

TEST(SampleEncoder, NarrowFormatsAreDitheredWithinOneStepAndUnbiased) {
    struct Case {
        SampleFormat format;
        std::size_t bytes;  // in the sample
        std::size_t stored; // holding the value
        double fullScale;
    };
    for (const Case c :
         {Case{SampleFormat::S24, 4, 4, 8388608.0}, Case{SampleFormat::S24Packed, 3, 3, 8388608.0},
          Case{SampleFormat::S16, 2, 2, 32768.0}}) {
        SCOPED_TRACE(std::to_string(c.bytes) + " bytes, full scale " + std::to_string(c.fullScale));
        SampleEncoder encoder(c.format);
        ASSERT_EQ(encoder.Bytes(), c.bytes);
        // A value between two steps: the dither spreads it over its neighbours, and on average
        // gives it back, where plain rounding would always give the nearer step.
        const float frame = static_cast<float>(1000.3 / c.fullScale);
        const double exact = double{frame} * c.fullScale;
        constexpr int samples = 100000;
        double sum = 0;
        bool varies = false;
        std::int64_t first = 0;
        for (int i = 0; i < samples; ++i) {
            std::array<std::uint8_t, 4> bytes{};
            encoder.Encode(frame, bytes.data());
            const std::int64_t value = Decode(bytes.data(), c.stored);
            ASSERT_LE(std::abs(static_cast<double>(value) - exact), 1.5);
            sum += static_cast<double>(value);
            varies = varies || (i > 0 && value != first);
            first = i == 0 ? value : first;
        }
        EXPECT_TRUE(varies);
        EXPECT_NEAR(sum / samples, exact, 0.02);
        // Full scale clamps instead of wrapping, also under the dither.
        for (const float extreme : {1.0f, -1.0f}) {
            std::array<std::uint8_t, 4> bytes{};
            encoder.Encode(extreme, bytes.data());
            const std::int64_t value = Decode(bytes.data(), c.stored);
            EXPECT_LE(static_cast<double>(value), c.fullScale - 1);
            EXPECT_GE(static_cast<double>(value), -c.fullScale);
            EXPECT_EQ(value > 0, extreme > 0);
        }
    }
}

} // namespace
