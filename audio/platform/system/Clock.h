#pragma once

// The clock that paces the render thread, the null and wav sinks, the idle release of the sink
// and Sleep(). Each platform keeps the clock it was made with (Platform.h), and all of these keep
// its time alone.

#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>

namespace platform {

class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
    // Returns at `deadline` or later. May be called from any thread.
    virtual void SleepUntil(TimePoint deadline) = 0;

    // Starts a thread that this clock paces (the render thread). Such a thread sleeps only through
    // SleepPaced, which also returns as soon as a stop is requested.
    virtual std::jthread StartThread(std::function<void(std::stop_token)> body) = 0;
    virtual void SleepPaced(TimePoint deadline, std::stop_token stop) = 0;
};

// The monotonic clock of the system.
Clock& SystemClock();

// The clock of the current platform.
Clock& CurrentClock();

} // namespace platform
