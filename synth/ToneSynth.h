#pragma once

// The manual tone: one buffer of two periods, and the rate at which looping it sounds at the
// requested frequency.

#include <cstdint>
#include <vector>

enum class TPrubeh { Sin, Troj, Obdelnik, Pila };

struct ManualTone {
    std::uint16_t SampleRate;
    std::vector<std::int16_t> Samples; // N of the band, sample 1 first
};

// Throws std::out_of_range for a frequency outside 11..15000 or an amplitude above 32767 (the
// window never passes either).
ManualTone VypocitejManual(std::uint16_t Frekvence, std::uint16_t Amplituda, TPrubeh Prubeh);
