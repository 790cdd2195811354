#include "synth/SweepSynth.h"

#include "synth/Bands.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

} // namespace

TEST(SweepBandTables, WorkedTables) {
    const BandTables tables = SweepBandTables(10000);
    // 3.141592 is not pi, so the two periods are not exactly symmetric (-1837 against 1838).
    EXPECT_EQ(tables[8], (Samples{6737, 9957, 7980, 1838, -5264, -9618, -8952, -3612, 3612, 8952,
                                  9618, 5264, -1837, -7980, -9957, -6737, 0}));
    EXPECT_EQ(tables[9], (Samples{10000, 0, -10000, 0, 10000, 0, -10000, 0}));
    EXPECT_EQ(tables[10], (Samples{-8660, 8660, 0}));
}

TEST(SweepBandTables, SizesAndLastElements) {
    const BandTables tables = SweepBandTables(32767);
    for (std::size_t band = 0; band < tables.size(); ++band) {
        ASSERT_EQ(tables[band].size(), Bands[band].Samples) << "band " << band + 1;
        EXPECT_EQ(tables[band].back(), 0) << "band " << band + 1;
    }
    const auto [low, high] = std::minmax_element(tables[0].begin(), tables[0].end());
    EXPECT_EQ(*low, -32766);
    EXPECT_EQ(*high, 32766);
    const Samples& band10 = tables[9];
    EXPECT_EQ(*std::min_element(band10.begin(), band10.end()), -32767);
    EXPECT_EQ(*std::max_element(band10.begin(), band10.end()), 32767);
}

TEST(SweepBandTables, AmplitudeZeroGivesSilenceAndTooLargeIsRefused) {
    for (const Samples& table : SweepBandTables(0)) {
        EXPECT_EQ(table, Samples(table.size(), 0));
    }
    EXPECT_THROW(SweepBandTables(32768), std::out_of_range);
}

TEST(SweepRate, BandEdgesAndTies) {
    const std::pair<std::uint16_t, std::uint32_t> expected[] = {
        {11, 4950},    {99, 44550},   {100, 22500},  {200, 45000},   {201, 22612},
        {203, 22838},  {205, 23062},  {825, 36350},  {875, 38552},   {1000, 44060},
        {1001, 30030}, {2100, 17860}, {2300, 19562}, {2500, 21262},  {2900, 24664},
        {4900, 41674}, {5010, 19790}, {5030, 19868}, {15000, 45000},
    };
    for (const auto& [f, rate] : expected) {
        EXPECT_EQ(SweepRate(f), rate) << f << " Hz";
    }
    EXPECT_THROW(SweepRate(10), std::out_of_range);
    EXPECT_THROW(SweepRate(15001), std::out_of_range);
}

TEST(StepLoops, IsTheIntegerQuotient) {
    EXPECT_EQ(StepLoops(11, 1), 0U);
    EXPECT_EQ(StepLoops(19, 1), 0U);
    EXPECT_EQ(StepLoops(20, 1), 1U);
    EXPECT_EQ(StepLoops(39, 1), 1U);
    EXPECT_EQ(StepLoops(15000, 99), 74250U);
    EXPECT_EQ(StepLoops(65535, 65535), 214741811U); // no overflow for any 16-bit pair
}
