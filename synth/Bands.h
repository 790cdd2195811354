#pragma once

// The eleven frequency bands shared by the manual tone and the sweep. A band's buffer holds two
// periods of the waveform in a fixed number of samples; the playback rate, not the samples,
// carries the frequency.

#include <array>
#include <cstdint>

struct Band {
    std::uint16_t Lowest;  // Hz, inclusive
    std::uint16_t Highest; // Hz, inclusive
    std::uint16_t Samples; // N
};

inline constexpr std::uint16_t MinFrekvence = 11;
inline constexpr std::uint16_t MaxFrekvence = 15000;
inline constexpr std::uint16_t MaxAmplituda = 32767;

// Indexed by band - 1.
inline constexpr std::array<Band, 11> Bands = {{
    {11, 99, 900},
    {100, 200, 450},
    {201, 400, 225},
    {401, 600, 150},
    {601, 800, 112},
    {801, 1000, 88},
    {1001, 1500, 60},
    {1501, 2000, 44},
    {2001, 5000, 17},
    {5001, 10000, 8},
    {10001, 15000, 3},
}};

// The band 1..11 whose range holds f. Throws std::out_of_range for f outside 11..15000.
std::uint8_t UrciPasmo(std::uint16_t f);
