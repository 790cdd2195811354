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

    void SleepUntil(TimePoint deadline, std::stop_token stop) override {
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
        const auto mine = otherDeadlines_.insert(deadline);
        for (;;) {
            Advance();
            if (now_ >= deadline && pacedAwake_ == 0) {
                break;
            }
            changed_.wait(lock);
        }
        otherDeadlines_.erase(mine);
        changed_.notify_all();
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
            changed_.notify_all();
        });
    }

    void SleepUntil(TimePoint deadline, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        PacedSleeper self{deadline};
        pacedSleepers_.push_back(&self);
        --pacedAwake_;
        Advance();
        changed_.notify_all();
        changed_.wait(lock, stop, [&] { return self.due; });
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

    // Under mutex_. Moves time to the earliest deadline once only sleepers are left, then marks
    // the paced sleepers whose deadline has come; they run before anybody else wakes.
    void Advance() {
        bool changed = false;
        if (pacedAwake_ == 0 && !otherDeadlines_.empty()) {
            TimePoint next = *otherDeadlines_.begin();
            for (const PacedSleeper* sleeper : pacedSleepers_) {
                if (!sleeper->due) {
                    next = std::min(next, sleeper->deadline);
                }
            }
            if (next > now_) {
                now_ = next;
                changed = true;
            }
        }
        for (PacedSleeper* sleeper : pacedSleepers_) {
            if (!sleeper->due && sleeper->deadline <= now_) {
                sleeper->due = true;
                ++pacedAwake_;
                changed = true;
            }
        }
        if (changed) {
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    TimePoint now_{};
    std::multiset<TimePoint> otherDeadlines_;
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
