// The virtual clock: time moves only inside sleeps, and a paced thread keeps step with it.

#include "audio/platform/system/Clock.h"

#include "tests/support/VirtualClock.h"

#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::Clock;

TEST(VirtualClock, MovesOnlyWhenSomebodySleeps) {
    Clock& clock = seams::VirtualClock();
    const Clock::TimePoint start = clock.Now();
    EXPECT_EQ(clock.Now(), start);
    clock.SleepUntil(start + 10min);
    EXPECT_EQ(clock.Now(), start + 10min);
    clock.SleepUntil(start); // in the past: returns at once, time stays
    EXPECT_EQ(clock.Now(), start + 10min);
}

// A paced thread that wakes every 2 ms and notes when.
class Ticker {
public:
    explicit Ticker(Clock& clock)
        : thread_(clock.StartThread([this, &clock](std::stop_token stop) {
              Clock::TimePoint next = clock.Now();
              while (!stop.stop_requested()) {
                  {
                      std::lock_guard lock(mutex_);
                      ticks_.push_back(clock.Now());
                  }
                  next += 2ms;
                  clock.SleepPaced(next, stop);
              }
          })) {}

    std::vector<Clock::TimePoint> Ticks() {
        std::lock_guard lock(mutex_);
        return ticks_;
    }

private:
    std::mutex mutex_;
    std::vector<Clock::TimePoint> ticks_;
    std::jthread thread_;
};

TEST(VirtualClock, PacedThreadHasDoneAllItsWorkWheneverASleepReturns) {
    Clock& clock = seams::VirtualClock();
    const Clock::TimePoint start = clock.Now();
    Ticker ticker(clock);
    for (int ms = 1; ms <= 9; ++ms) {
        clock.SleepUntil(start + std::chrono::milliseconds(ms));
        // Ticks at 0, 2, 4 ... up to now, the tick at the very deadline included, none beyond.
        const std::vector<Clock::TimePoint> ticks = ticker.Ticks();
        ASSERT_EQ(ticks.size(), static_cast<std::size_t>(ms / 2 + 1)) << ms;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_EQ(ticks[i], start + 2ms * static_cast<int>(i));
        }
    }
}

TEST(VirtualClock, LongSleepRunsAPacedThreadThroughEveryStepOfIt) {
    Clock& clock = seams::VirtualClock();
    const Clock::TimePoint start = clock.Now();
    Ticker ticker(clock);
    clock.SleepUntil(start + 10min);
    EXPECT_EQ(ticker.Ticks().size(), 300001u);
    EXPECT_EQ(clock.Now(), start + 10min);
}

TEST(VirtualClock, TimeStandsWhileNobodyElseSleepsAndAStopWakesThePacedThread) {
    Clock& clock = seams::VirtualClock();
    const Clock::TimePoint start = clock.Now();
    {
        Ticker ticker(clock);
        while (ticker.Ticks().empty()) {
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(5ms); // real time: the virtual clock must not move
        EXPECT_EQ(ticker.Ticks().size(), 1u);
    } // joins: the stop wakes the sleeping ticker
    EXPECT_EQ(clock.Now(), start);
}

TEST(SystemClock, StopWakesAPacedSleepLongBeforeItsDeadline) {
    Clock& clock = platform::SystemClock();
    const Clock::TimePoint start = clock.Now();
    std::jthread sleeper = clock.StartThread(
        [&clock](std::stop_token stop) { clock.SleepPaced(clock.Now() + 1h, stop); });
    sleeper.request_stop();
    sleeper.join();
    EXPECT_LT(clock.Now(), start + 1h);
}

} // namespace
