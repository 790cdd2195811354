#include "synth/Bands.h"

#include <stdexcept>
#include <string>

std::uint8_t UrciPasmo(std::uint16_t f) {
    for (std::uint8_t pasmo = 1; pasmo <= Bands.size(); ++pasmo) {
        const Band& band = Bands[pasmo - 1U];
        if (f >= band.Lowest && f <= band.Highest) {
            return pasmo;
        }
    }
    throw std::out_of_range("frequency " + std::to_string(f) + " Hz is outside 11..15000 Hz");
}
