// Every frequency's rates against the decimal constants applied as exact fractions in integers, so
// that neither the extended arithmetic nor the rounding of ties can drift unnoticed.

#include "synth/Bands.h"
#include "synth/SweepSynth.h"
#include "synth/ToneSynth.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

struct Fraction {
    std::int64_t num;
    std::int64_t den;
};

// Rounds num / den (both positive) to the nearest integer, an exact half to the even neighbour.
std::int64_t RoundHalfEven(Fraction x) {
    const std::int64_t quotient = x.num / x.den;
    const std::int64_t twiceRemainder = 2 * (x.num % x.den);
    if (twiceRemainder > x.den || (twiceRemainder == x.den && quotient % 2 != 0)) {
        return quotient + 1;
    }
    return quotient;
}

// f times the band's decimal factor, by band, as a fraction. Band 1 and 2 are the sweep's.
Fraction StepProduct(std::uint8_t pasmo, std::int64_t f) {
    constexpr Fraction factors[] = {{450, 1},     {225, 1},    {1125, 10}, {75, 1},
                                    {5608, 100},  {4406, 100}, {30, 1},    {220351, 10000},
                                    {8505, 1000}, {395, 100},  {3, 1}};
    const Fraction factor = factors[pasmo - 1];
    return {f * factor.num, factor.den};
}

Fraction ManualProduct(std::uint8_t pasmo, std::int64_t f) {
    switch (pasmo) {
    case 1:
        return {4496 * f + 800, 10}; // f * 449.6 + 80
    case 2:
        return {225 * f - 100, 1};
    default:
        return StepProduct(pasmo, f);
    }
}

} // namespace

TEST(ExactRates, EveryFrequencyMatchesTheExactFractions) {
    for (std::uint16_t f = MinFrekvence; f <= MaxFrekvence; ++f) {
        const std::uint8_t pasmo = UrciPasmo(f);
        const ManualTone tone = VypocitejManual(f, 1000, TPrubeh::Sin);
        ASSERT_EQ(tone.SampleRate, RoundHalfEven(ManualProduct(pasmo, f))) << f << " Hz";
        ASSERT_EQ(tone.Samples.size(), Bands[pasmo - 1U].Samples) << f << " Hz";
        ASSERT_EQ(SweepRate(f), RoundHalfEven(StepProduct(pasmo, f))) << f << " Hz";
    }
}
