#pragma once

// The clock that paces the render thread, the null and wav sinks, the idle release of the sink
// and Sleep(). Tests install a virtual clock so that minutes of sound pass in milliseconds.

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

// A clock whose time moves only when somebody sleeps on it, and only while every thread it paces
// is asleep too: a sleep then moves time to the earliest deadline of all sleepers at once. So
// everything paced by it runs as fast as the processor allows, and a run is the same every time:
// when a Sleep() returns, the render thread has done all it had to do up to that moment.
Clock& VirtualClock();

// The clock in use; SetClock(nullptr) restores the system clock. Switch it only while no handle
// is open and the sink has been released (a paced thread keeps the clock it was started on).
Clock& CurrentClock();
void SetClock(Clock* clock);

} // namespace platform
