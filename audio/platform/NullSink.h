#pragma once

#include "audio/platform/Sink.h"

#include <cstdint>

namespace platform {

// Plays nothing, in real time on the platform clock: it drains its queue at its rate as a card
// would, so whatever feeds it is paced as a card would pace it. When it is fed late, it waits for
// the new frames instead of counting the time it went without (as a card recovering from an
// underrun does).
class NullSink : public Sink {
public:
    explicit NullSink(Clock& clock, unsigned rate = SinkRate);

    unsigned Rate() const override { return rate_; }
    std::size_t Capacity() const override;
    std::size_t Period() const override { return 1; }
    std::size_t Queued() override;
    bool Write(std::span<const float> frames) override;

private:
    Clock& clock_;
    unsigned rate_;
    Clock::TimePoint start_{};  // when the first frame since the last underrun started to play
    std::uint64_t written_ = 0; // frames handed on since then
};

} // namespace platform
