#pragma once

// The render thread's link to the device: the sink while there is one, and the pacer that says
// what each round hands on to it (RenderPacer.h). When the device is lost (a sound server
// stopped, a card unplugged), the link closes it, says so once on standard error, and opens it
// again every ReopenPeriod; meanwhile the rounds go on into nothing, on the clock alone, so that
// headers still come back done on time, and the sound comes back by itself with the device.
//
// Used by the render thread only.

#include "audio/platform/sinks/Sink.h"
#include "audio/platform/sinks/SinkFactory.h"
#include "audio/platform/system/Clock.h"
#include "audio/platform/waveout/RenderPacer.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>

namespace platform {

inline constexpr std::chrono::milliseconds ReopenPeriod{500};

class DeviceLink {
public:
    // `sink` is open, from `factory`; `round`: the frames of one round of the render thread.
    DeviceLink(std::unique_ptr<Sink> sink, SinkFactory& factory, std::size_t round);

    // The first device's rate, which the streams convert to: a device that comes back at another
    // rate is not taken.
    unsigned Rate() const { return rate_; }

    // Before the round at `now`: the device opened again when it is time to, and asked how it
    // is. The frames the round is due.
    std::size_t Due(Clock::TimePoint now);
    // After the round: hands its frames on.
    void HandOn(Clock::TimePoint now, std::span<const float> frames);

    // Waits until what was handed on has played, at most `limit`.
    void Drain(std::chrono::milliseconds limit);
    void Close() { sink_.reset(); }

private:
    void OpenAgain(Clock::TimePoint now);
    void Lose(Clock::TimePoint now);

    SinkFactory& factory_;
    std::unique_ptr<Sink> sink_;
    unsigned rate_;
    RenderPacer pacer_;
    std::optional<Clock::TimePoint> nextOpen_; // while the device is lost
    bool lost_ = false;                        // found lost before the round's frames went
};

} // namespace platform
