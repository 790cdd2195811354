#pragma once

// The clock that paces the null and wav sinks, the idle release of the sink and Sleep(). Tests
// install a virtual clock so that minutes of sound pass in milliseconds.

#include <chrono>

namespace platform {

class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
    // Returns at `deadline` or later. May be called from any thread.
    virtual void SleepUntil(TimePoint deadline) = 0;
};

// The monotonic clock of the system.
Clock& SystemClock();

// A clock whose time moves only when somebody sleeps on it: SleepUntil advances it to the
// deadline at once, so everything paced by it runs as fast as the processor allows.
Clock& VirtualClock();

// The clock in use; SetClock(nullptr) restores the system clock. Set it before any handle is
// opened.
Clock& CurrentClock();
void SetClock(Clock* clock);

} // namespace platform
