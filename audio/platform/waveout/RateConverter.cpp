#include "audio/platform/waveout/RateConverter.h"

#include <new>
#include <soxr.h>

namespace platform {
namespace {

// The most samples the converter asks for at once.
constexpr std::size_t MostInput = 4096;

std::size_t Supply(void* state, soxr_in_t* data, std::size_t most) {
    const std::span<const std::int16_t> samples =
        (*static_cast<RateConverter::Input*>(state))(most);
    // A non-null pointer with no samples tells libsoxr that the input has ended (null would mean
    // an error).
    static constexpr std::int16_t nothing = 0;
    *data = samples.empty() ? &nothing : samples.data();
    return samples.size();
}

} // namespace

void RateConverter::SoxrDelete::operator()(soxr* resampler) const {
    soxr_delete(resampler);
}

RateConverter::RateConverter(unsigned inputRate, unsigned outputRate, Input input)
    : input_(std::move(input)) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_FLOAT32_I);
    // Linear phase keeps the waveform's shape; the precise clock keeps the ratio exact even where
    // it is not a small fraction.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, SOXR_HI_PREC_CLOCK);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr_.reset(soxr_create(inputRate, outputRate, 1, &error, &io, &quality, &runtime));
    if (error || !soxr_ || soxr_set_input_fn(soxr_.get(), Supply, &input_, MostInput)) {
        throw std::bad_alloc();
    }
}

RateConverter::~RateConverter() = default;

std::size_t RateConverter::Convert(std::span<float> out) {
    if (out.empty()) {
        return 0;
    }
    return soxr_output(soxr_.get(), out.data(), out.size());
}

} // namespace platform
