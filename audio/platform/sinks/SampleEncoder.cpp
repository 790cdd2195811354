#include "audio/platform/sinks/SampleEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

void PutLittleEndian(std::int64_t value, std::uint8_t* out, std::size_t bytes) {
    const auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < bytes; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

} // namespace

std::size_t SampleEncoder::Bytes() const {
    switch (format_) {
    case SampleFormat::S24Packed:
        return 3;
    case SampleFormat::S16:
        return 2;
    default:
        return 4;
    }
}

void SampleEncoder::Encode(float frame, std::uint8_t* out) {
    switch (format_) {
    case SampleFormat::Float:
        std::memcpy(out, &frame, sizeof frame);
        break;
    case SampleFormat::S32: {
        const double scaled = std::nearbyint(double{frame} * 2147483648.0);
        PutLittleEndian(static_cast<std::int64_t>(std::clamp(scaled, -2147483648.0, 2147483647.0)),
                        out, 4);
        break;
    }
    case SampleFormat::S24:
        // Sign-extended into the fourth byte, which the device ignores.
        PutLittleEndian(Quantise(frame, 8388608.0), out, 4);
        break;
    case SampleFormat::S24Packed:
        PutLittleEndian(Quantise(frame, 8388608.0), out, 3);
        break;
    case SampleFormat::S16:
        PutLittleEndian(Quantise(frame, 32768.0), out, 2);
        break;
    }
}

std::int64_t SampleEncoder::Quantise(float frame, double fullScale) {
    // The difference of two uniform values is triangular over (-1, 1) step.
    const double dither = Uniform() - Uniform();
    const double value = std::nearbyint(double{frame} * fullScale + dither);
    return static_cast<std::int64_t>(std::clamp(value, -fullScale, fullScale - 1));
}

double SampleEncoder::Uniform() {
    // xorshift64*: plenty for noise, and cheap enough for every sample.
    noise_ ^= noise_ >> 12;
    noise_ ^= noise_ << 25;
    noise_ ^= noise_ >> 27;
    return static_cast<double>((noise_ * 0x2545F4914F6CDD1Du) >> 11) * 0x1.0p-53;
}

} // namespace platform
