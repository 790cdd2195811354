#include "audio/platform/Clock.h"

#include "audio/platform/MMSystem.h"
#include "audio/platform/Seams.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <vector>

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

class VirtualClockImpl final : public Clock {
public:
    TimePoint Now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }

    void SleepUntil(TimePoint deadline) override {
        std::unique_lock lock(mutex_);
        const auto mine = deadlines_.insert(deadline);
        Settle();
        othersWake_.wait(lock, [&] { return now_ >= deadline && pacedAwake_ == 0; });
        deadlines_.erase(mine);
        Settle();
    }

    std::jthread StartThread(std::function<void(std::stop_token)> body) override {
        {
            std::lock_guard lock(mutex_);
            ++pacedAwake_;
        }
        return std::jthread([this, body = std::move(body)](std::stop_token stop) {
            body(stop);
            std::lock_guard lock(mutex_);
            --pacedAwake_;
            Settle();
        });
    }

    void SleepPaced(TimePoint deadline, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        PacedSleeper self{deadline};
        pacedSleepers_.push_back(&self);
        --pacedAwake_;
        Settle();
        pacedWake_.wait(lock, stop, [&] { return self.due; });
        std::erase(pacedSleepers_, &self);
        if (!self.due) {
            ++pacedAwake_; // woken by the stop, not by time
        }
    }

private:
    struct PacedSleeper {
        TimePoint deadline;
        bool due = false;
    };

    // Under mutex_, after every change. Once every paced thread sleeps and somebody else sleeps
    // too, time moves to the earliest deadline. Paced sleepers whose deadline has come run first;
    // the others wake only when none of those is left. Nobody is woken for nothing, so a paced
    // thread runs through its own deadlines without a switch while the others sleep on.
    void Settle() {
        if (pacedAwake_ == 0 && !deadlines_.empty()) {
            TimePoint next = *deadlines_.begin();
            for (const PacedSleeper* sleeper : pacedSleepers_) {
                next = std::min(next, sleeper->deadline);
            }
            now_ = std::max(now_, next);
        }
        bool woke = false;
        for (PacedSleeper* sleeper : pacedSleepers_) {
            if (!sleeper->due && sleeper->deadline <= now_) {
                sleeper->due = true;
                ++pacedAwake_;
                woke = true;
            }
        }
        if (woke) {
            pacedWake_.notify_all();
        } else if (pacedAwake_ == 0 && !deadlines_.empty() && *deadlines_.begin() <= now_) {
            othersWake_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable othersWake_;
    std::condition_variable_any pacedWake_;
    TimePoint now_{};
    std::multiset<TimePoint> deadlines_; // of the sleepers that are not paced
    std::vector<PacedSleeper*> pacedSleepers_;
    int pacedAwake_ = 0;
};

std::atomic<Clock*> installed{nullptr};

} // namespace

// Both clocks are never destroyed: a render thread may still sleep on one while static objects
// are being destroyed at process end.
Clock& SystemClock() {
    static Clock* const clock = new SystemClockImpl;
    return *clock;
}

Clock& VirtualClock() {
    static Clock* const clock = new VirtualClockImpl;
    return *clock;
}

Clock& CurrentClock() {
    Clock* const clock = installed.load(std::memory_order_acquire);
    return clock ? *clock : SystemClock();
}

void SetClock(Clock* clock) {
    installed.store(clock, std::memory_order_release);
}

} // namespace platform

void Sleep(DWORD dwMilliseconds) {
    platform::EnterCall("Sleep", {dwMilliseconds});
    platform::Clock& clock = platform::CurrentClock();
    clock.SleepUntil(clock.Now() + std::chrono::milliseconds(dwMilliseconds));
}
