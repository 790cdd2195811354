#pragma once

// The float mix (full scale ±1.0) in a device's sample format, little-endian. The 16- and 24-bit
// formats are coarser than the float mix, so they get TPDF dither of one step: the rounding then
// leaves a constant faint noise instead of distortion that follows the tone. Float and 32-bit
// hold the mix exactly.

#include <cstddef>
#include <cstdint>

namespace platform {

enum class SampleFormat {
    Float,     // 32-bit IEEE float
    S32,       // 32-bit integer
    S24,       // 24-bit integer in the low three bytes of four
    S24Packed, // 24-bit integer in three bytes
    S16,       // 16-bit integer
};

class SampleEncoder {
public:
    explicit SampleEncoder(SampleFormat format) : format_(format) {}

    std::size_t Bytes() const;
    // Writes one sample of `frame` at `out` (Bytes() bytes).
    void Encode(float frame, std::uint8_t* out);

private:
    // The integer of `frame` at `fullScale` steps per unit, dithered, rounded and clamped.
    std::int64_t Quantise(float frame, double fullScale);
    // Uniform in [0, 1).
    double Uniform();

    SampleFormat format_;
    std::uint64_t noise_ = 0x9E3779B97F4A7C15u;
};

} // namespace platform
