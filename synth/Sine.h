#pragma once

// The one sine formula of the system, shared by the manual tone and the sweep tables.

#include <cstdint>
#include <vector>

// Two periods of a sine of peak `amplituda` (0..32767) over `samples` samples: sample i (from 1)
// is Round(A * sin(4 * 3.141592 * i / samples)). The first sample lies one step after phase 0 and
// the last at phase 4 * 3.141592, which rounds to 0, so the looped buffer has no step.
std::vector<std::int16_t> TwoSinePeriods(std::uint16_t samples, std::uint16_t amplituda);
