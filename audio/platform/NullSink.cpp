#include "audio/platform/NullSink.h"

namespace platform {
namespace {

// As much as the buffer asked of an ALSA device holds.
constexpr auto BufferTime = std::chrono::milliseconds(30);

std::uint64_t FramesIn(Clock::Duration elapsed, unsigned rate) {
    using std::chrono::seconds;
    const auto whole = std::chrono::duration_cast<seconds>(elapsed);
    const auto rest = std::chrono::duration_cast<Clock::Duration>(elapsed - whole);
    return static_cast<std::uint64_t>(whole.count()) * rate +
           static_cast<std::uint64_t>(rest.count()) * rate / 1'000'000'000u;
}

} // namespace

NullSink::NullSink(Clock& clock, unsigned rate) : clock_(clock), rate_(rate) {}

std::size_t NullSink::Capacity() const {
    return FramesIn(BufferTime, rate_);
}

std::size_t NullSink::Queued() {
    if (written_ == 0) {
        return 0;
    }
    const std::uint64_t played = FramesIn(clock_.Now() - start_, rate_);
    if (played >= written_) {
        written_ = 0;
        return 0;
    }
    return static_cast<std::size_t>(written_ - played);
}

bool NullSink::Write(std::span<const float> frames) {
    if (frames.empty()) {
        return true;
    }
    if (written_ == 0) {
        start_ = clock_.Now();
    }
    written_ += frames.size();
    return true;
}

} // namespace platform
