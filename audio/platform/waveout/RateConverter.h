#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

struct soxr;

namespace platform {

// Converts one stream of 16-bit mono samples from its rate to the sink's rate with libsoxr at very
// high quality (28-bit precision, linear phase) and the exact ratio of the two rates, so that the
// pitch a rate carries is kept exactly and nothing outside the input's band is added. The filter's
// delay is taken out: output frame k lies at input time k * inputRate / outputRate, and once the
// input has ended the output stops at the frame that matches its end (round(inputs * ratio)
// frames in all).
class RateConverter {
public:
    // Supplies at most `most` further samples; an empty span ends the input for good.
    using Input = std::function<std::span<const std::int16_t>(std::size_t most)>;

    // Throws std::bad_alloc when libsoxr cannot be set up.
    RateConverter(unsigned inputRate, unsigned outputRate, Input input);
    ~RateConverter();

    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    // Writes up to out.size() frames; fewer only once the input has ended and its last frame is
    // out (then 0 from there on).
    std::size_t Convert(std::span<float> out);

private:
    struct SoxrDelete {
        void operator()(soxr* resampler) const;
    };

    Input input_;
    std::unique_ptr<soxr, SoxrDelete> soxr_;
};

} // namespace platform
