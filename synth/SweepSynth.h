#pragma once

// The sweep: eleven sine tables computed once per sweep, and per step only a rate and a loop
// count.

#include <array>
#include <cstdint>
#include <vector>

// Band 1 first; each table holds two periods of a sine of the given amplitude in the band's N
// samples (2057 samples in all). Throws std::out_of_range for an amplitude above 32767.
using BandTables = std::array<std::vector<std::int16_t>, 11>;
BandTables SweepBandTables(std::uint16_t Amplituda);

// The sample rate of a sweep step at f (11..15000): f times its band's decimal factor, ties to
// even. Throws std::out_of_range outside.
std::uint32_t SweepRate(std::uint16_t f);

// How many times a step at f with the dwell T (units of 100 ms) loops its band table:
// (f * T) div 20, so 0 when f * T is below 20.
std::uint32_t StepLoops(std::uint16_t f, std::uint16_t T);
