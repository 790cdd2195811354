#include "audio/platform/system/Clock.h"

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"

#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

class SystemClockImpl final : public Clock {
public:
    TimePoint Now() override {
        return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
    }

    void SleepUntil(TimePoint deadline) override { std::this_thread::sleep_until(deadline); }

    std::jthread StartThread(std::function<void(std::stop_token)> body) override {
        return std::jthread(std::move(body));
    }

    void SleepPaced(TimePoint deadline, std::stop_token stop) override {
        std::mutex mutex;
        std::condition_variable_any never;
        std::unique_lock lock(mutex);
        never.wait_until(lock, stop, deadline, [] { return false; });
    }
};

} // namespace

// Never destroyed: a render thread may still sleep on it while static objects are being destroyed
// at process end.
Clock& SystemClock() {
    static Clock* const clock = new SystemClockImpl;
    return *clock;
}

Clock& CurrentClock() {
    return Platform::Current().GetClock();
}

} // namespace platform

void Sleep(DWORD dwMilliseconds) {
    platform::Clock& clock = platform::CurrentClock();
    clock.SleepUntil(clock.Now() + std::chrono::milliseconds(dwMilliseconds));
}
