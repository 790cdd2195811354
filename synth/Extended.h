#pragma once

// The arithmetic every real-valued step of the synthesis uses: x86 extended precision, and
// rounding to nearest with ties to even. The rates and samples are defined by that arithmetic, so
// a target without it must not build rather than compute other values silently.

#include <cmath>
#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the synthesis needs long double with a 64-bit significand (x86 extended precision)");

// Relies on the default rounding mode, which nothing in the program changes.
inline std::int32_t RoundEven(long double x) {
    return static_cast<std::int32_t>(std::nearbyint(x));
}
