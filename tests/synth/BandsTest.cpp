#include "synth/Bands.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(UrciPasmo, EveryBoundLandsInItsBandAndTheNeighbourOutside) {
    for (std::uint8_t pasmo = 1; pasmo <= Bands.size(); ++pasmo) {
        const Band& band = Bands[pasmo - 1U];
        EXPECT_EQ(UrciPasmo(band.Lowest), pasmo);
        EXPECT_EQ(UrciPasmo(band.Highest), pasmo);
        if (pasmo < Bands.size()) {
            EXPECT_EQ(UrciPasmo(static_cast<std::uint16_t>(band.Highest + 1)), pasmo + 1);
        }
    }
}

TEST(UrciPasmo, RefusesFrequenciesOutsideTheRange) {
    const std::uint16_t outside[] = {0, 10, 15001, 65535};
    for (std::uint16_t f : outside) {
        EXPECT_THROW(UrciPasmo(f), std::out_of_range) << f;
    }
}
