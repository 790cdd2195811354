#include "tests/support/VirtualClock.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <vector>

namespace seams {
namespace {

using platform::Clock;

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

} // namespace

platform::Clock& VirtualClock() {
    static Clock* const clock = new VirtualClockImpl;
    return *clock;
}

} // namespace seams
