#include "synth/SweepSynth.h"

#include "synth/Bands.h"
#include "synth/Extended.h"
#include "synth/Sine.h"

#include <stdexcept>

namespace {

// Samples per second per hertz of a step, by band. The decimals are the system's own constants:
// in extended precision f times one of them lands exactly on the half where the exact product has
// one, so ties go to the even neighbour as they must (a double 8.505 would not).
constexpr std::array<long double, Bands.size()> RatePerHertz = {
    450, 225, 112.5L, 75, 56.08L, 44.06L, 30, 22.0351L, 8.505L, 3.95L, 3,
};

} // namespace

BandTables SweepBandTables(std::uint16_t Amplituda) {
    if (Amplituda > MaxAmplituda) {
        throw std::out_of_range("amplitude above 32767");
    }
    BandTables tables;
    for (std::size_t band = 0; band < Bands.size(); ++band) {
        tables[band] = TwoSinePeriods(Bands[band].Samples, Amplituda);
    }
    return tables;
}

std::uint32_t SweepRate(std::uint16_t f) {
    const std::uint8_t pasmo = UrciPasmo(f);
    return static_cast<std::uint32_t>(RoundEven(f * RatePerHertz[pasmo - 1U]));
}

std::uint32_t StepLoops(std::uint16_t f, std::uint16_t T) {
    return static_cast<std::uint32_t>(f) * T / 20;
}
