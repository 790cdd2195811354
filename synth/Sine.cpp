#include "synth/Sine.h"

#include "synth/Extended.h"

#include <cmath>

namespace {

// The system's pi is the decimal 3.141592, not the full value. Scaling by 4 is exact in binary, so
// the manual tone's (i * 12.566368) and the sweep's ((4 * i) * 3.141592) are the same numbers.
constexpr long double FourPi = 12.566368L;
static_assert(FourPi == 4 * 3.141592L);

} // namespace

std::vector<std::int16_t> TwoSinePeriods(std::uint16_t samples, std::uint16_t amplituda) {
    const long double reciprocal = 1.0L / samples;
    const long double peak = amplituda;
    std::vector<std::int16_t> buffer(samples);
    for (std::uint16_t i = 1; i <= samples; ++i) {
        const long double phase = (i * FourPi) * reciprocal;
        buffer[i - 1U] = static_cast<std::int16_t>(RoundEven(peak * std::sin(phase)));
    }
    return buffer;
}
