#pragma once

// How many frames the render thread hands on in each round.
//
// The clock is the monotonic one: a timeline runs with it, and the frames handed on never run
// more than a lead (and a device cycle) ahead of it. A device that tells its fill is filled up to
// the lead, and it steers the timeline by at most 0.1 %, enough to follow a card's crystal or a
// server's clock; so a device that always reports room (ALSA's null PCM) still plays in real time,
// and a device that has gone away leaves the timeline running on the clock alone, so that headers
// still end on time.
//
// The lead follows what the device takes at once: the most it took between two rounds over the
// last TakenRounds rounds (1.4 s; a sound server takes a whole cycle at a time, 1024 frames or more
// on some desktops), plus a margin for the render thread's own lateness. A device that has just
// started keeps half its buffer queued until it has shown what it takes. The margin starts at
// MinMargin (a thread's wakeup is late by up to 3.5 ms on a busy two-core machine), grows by
// MarginStep with every underrun up to MaxMargin, and shrinks by MarginRelief for every CalmTime
// without one. With a round every RenderPeriod this keeps a new tone within about one server
// cycle, MinMargin and a round of the device: 16 ms ahead at a 64-frame cycle, 15 to 20 ms at 256,
// 25 ms at 1024, 47 ms at 2048 (PipeWire; and bare ALSA, whose card takes a period at a time).
//
// A device that tells its cycle at open takes that cycle whole, at one moment, and needs all of it
// queued then. So from the first round on its lead is whole cycles: as many as a round and the
// margin span, and one more. On PulseAudio, whose server runs at our period of 512 frames, that is
// 3 cycles (1536 frames, 32 ms; 4 once underruns have widened the margin past 10 ms): the render
// thread may be up to 21 ms late before the server finds a cycle short, and a new tone waits for
// the next round and then behind about 21 ms of sound, about 27 ms from a typed Return to the
// server's sink (bench/README.md).
//
// Used by the render thread only.

#include "audio/platform/system/Clock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

class RenderPacer {
public:
    using TimePoint = Clock::TimePoint;

    // `round`: the frames of one round of the render thread; `period`, `capacity` and `cycle`:
    // the device's (Sink.h), where it tells a fill (for a device that does not, all 0).
    RenderPacer(unsigned rate, std::size_t round, std::size_t period, std::size_t capacity,
                std::size_t cycle);

    // The device holds `queued` frames from `now` on: the timeline starts again from there, so an
    // empty device is primed with a whole lead in the next round.
    void Restart(TimePoint now, std::size_t queued);
    // The device ran dry: from now on keep more queued, and start again.
    void Underran(TimePoint now);
    // The device is gone or back: `capacity` 0 for none (the clock alone paces the rounds).
    void UseDevice(std::size_t period, std::size_t capacity, std::size_t cycle);

    // The frames to hand on in the round at `now`; `queued` is the device's fill where it tells
    // one. Never more than the device has room for.
    std::size_t Due(TimePoint now, std::optional<std::size_t> queued);
    // After the round: `frames` were handed on.
    void HandedOn(std::size_t frames);

    // The frames to keep queued ahead of the device.
    std::size_t Lead() const;

private:
    // The most the device took between two rounds of late, and at least a round.
    std::size_t Taken() const;
    double Playhead(TimePoint now) const;
    void Steer(TimePoint now, std::size_t queued);
    void Observe(std::size_t queued);

    unsigned rate_;
    std::size_t round_;
    std::size_t capacity_ = 0;
    std::size_t cycle_ = 0; // where the device tells it at open
    TimePoint origin_{};    // where the timeline's frame 0 plays
    std::uint64_t handedOn_ = 0;
    std::optional<TimePoint> lastRound_;
    std::size_t lastQueued_ = 0;
    std::size_t lastHandedOn_ = 0;
    // What the device took between two rounds, over the last rounds.
    static constexpr std::size_t TakenRounds = 128;
    std::array<std::size_t, TakenRounds> taken_{};
    std::size_t nextTaken_ = 0;
    Clock::Duration margin_;
    TimePoint calmSince_{}; // the last underrun, or the last shrink of the margin
};

} // namespace platform
