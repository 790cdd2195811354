#include "audio/platform/mixer/RawRange.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

using platform::ChannelReading;
using platform::LevelFromRaw;
using platform::RawFromLevel;
using platform::RawRange;
using platform::RawToWrite;

namespace {

// Ranges of real cards' elements: 5-bit and 7-bit codec volumes, a dB-like range below zero, and
// the widest range levels can still tell apart.
const std::vector<RawRange> NarrowRanges = {{0, 31}, {0, 87}, {0, 255}, {-6400, 0}, {0, 65535}};

} // namespace

TEST(RawRange, RangeEndsAreLevelEnds) {
    std::vector<RawRange> ranges = NarrowRanges;
    ranges.push_back({0, 65536});
    for (const RawRange range : ranges) {
        EXPECT_EQ(LevelFromRaw(range.min, range), 0) << range.max;
        EXPECT_EQ(LevelFromRaw(range.max, range), 0xFFFF) << range.max;
        EXPECT_EQ(RawFromLevel(0, range), range.min) << range.max;
        EXPECT_EQ(RawFromLevel(0xFFFF, range), range.max) << range.max;
    }
}

TEST(RawRange, EveryRawValueOfANarrowRangeComesBackFromItsLevel) {
    for (const RawRange range : NarrowRanges) {
        WORD previous = 0;
        for (long raw = range.min; raw <= range.max; ++raw) {
            const WORD level = LevelFromRaw(raw, range);
            ASSERT_EQ(RawFromLevel(level, range), raw) << range.min << ".." << range.max;
            ASSERT_EQ(RawToWrite(level, range, std::nullopt), raw);
            if (raw > range.min) {
                ASSERT_GT(level, previous) << "raw " << raw;
            }
            previous = level;
        }
    }
}

TEST(RawRange, AWideRangeComesBackThroughWhatWasRead) {
    const RawRange range{0, 65536}; // a sound server's 100 %: one raw value more than levels
    for (long raw = range.min; raw <= range.max; ++raw) {
        const WORD level = LevelFromRaw(raw, range);
        ASSERT_EQ(RawToWrite(level, range, ChannelReading{raw, level}), raw);
    }
    // A reading only pins its own level, and only while the range still holds it.
    const ChannelReading read{40000, LevelFromRaw(40000, range)};
    EXPECT_EQ(RawToWrite(0x1234, range, read), RawFromLevel(0x1234, range));
    EXPECT_EQ(RawToWrite(read.level, {0, 31}, read), RawFromLevel(read.level, {0, 31}));
}

TEST(RawRange, OddRangesAndValuesStayWithinBounds) {
    EXPECT_EQ(LevelFromRaw(-5, {0, 31}), 0);
    EXPECT_EQ(LevelFromRaw(99, {0, 31}), 0xFFFF);
    EXPECT_EQ(LevelFromRaw(7, {7, 7}), 0); // a single value
    EXPECT_EQ(RawFromLevel(0xFFFF, {7, 7}), 7);
    EXPECT_EQ(LevelFromRaw(5, {10, 0}), 0); // inverted: taken as its minimum alone
    EXPECT_EQ(RawFromLevel(0xFFFF, {10, 0}), 10);
    const RawRange huge{LONG_MIN, LONG_MAX};
    EXPECT_EQ(RawFromLevel(0, huge), INT_MIN);
    EXPECT_EQ(RawFromLevel(0xFFFF, huge), INT_MAX);
    EXPECT_EQ(LevelFromRaw(LONG_MAX, huge), 0xFFFF);
}
