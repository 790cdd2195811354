// The render thread's pacing against simulated devices: a sound server that takes whole cycles at
// once, a card whose crystal runs apart from the clock, a PCM that always reports room, and no
// device at all. Rounds come every 11 ms, a little late now and then, as a busy thread's would.

#include "audio/platform/waveout/RenderPacer.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

using platform::RenderPacer;
using namespace std::chrono_literals;
using TimePoint = RenderPacer::TimePoint;

constexpr unsigned Rate = 48000;
constexpr std::size_t Round = 528; // 11 ms
constexpr std::size_t Capacity = 4096;

std::size_t Frames(std::chrono::microseconds time) {
    return static_cast<std::size_t>(time.count()) * Rate / 1'000'000;
}

// A device that, every `cycle` frames of its own time, takes `cycle` frames at once from what it
// was given. Its time runs `speed` times as fast as the clock.
class ServerDevice {
public:
    ServerDevice(std::size_t cycle, double speed) : cycle_(cycle), speed_(speed) {}

    void RunUntil(TimePoint now) {
        const double deviceFrames =
            std::chrono::duration<double>(now - TimePoint{}).count() * Rate * speed_;
        while (static_cast<double>(cycles_ + 1) * static_cast<double>(cycle_) <= deviceFrames) {
            ++cycles_;
            if (Queued() < cycle_) {
                ++shortCycles_;
            }
            played_ += std::min(cycle_, Queued());
        }
    }
    std::size_t Queued() const { return static_cast<std::size_t>(given_ - played_); }
    void Give(std::size_t frames) { given_ += frames; }
    std::uint64_t ShortCycles() const { return shortCycles_; }

private:
    std::size_t cycle_;
    double speed_;
    std::uint64_t cycles_ = 0;
    std::uint64_t given_ = 0;
    std::uint64_t played_ = 0;
    std::uint64_t shortCycles_ = 0;
};

// Round n at n x 11 ms, up to 1.5 ms late in a pattern that repeats every 7 rounds.
TimePoint RoundTime(int n) {
    static constexpr int late[] = {0, 300, 0, 1500, 100, 0, 800};
    return TimePoint{} + n * 11ms + std::chrono::microseconds(late[n % 7]);
}

TEST(RenderPacer, KeepsAServerFedAtEveryCycleWithinOneCyclePlusSixteenMilliseconds) {
    for (const std::size_t cycle : {64u, 256u, 1024u, 2048u}) {
        for (const double speed : {1.0, 1.00005, 0.99995}) {
            SCOPED_TRACE(std::to_string(cycle) + " frames per cycle, speed " +
                         std::to_string(speed));
            ServerDevice device(cycle, speed);
            RenderPacer pacer(Rate, Round, 512, Capacity, 0);
            std::size_t mostQueued = 0;
            constexpr int rounds = 6000; // over a minute
            for (int n = 0; n < rounds; ++n) {
                const TimePoint now = RoundTime(n);
                device.RunUntil(now);
                const std::size_t due = pacer.Due(now, device.Queued());
                ASSERT_LE(device.Queued() + due, Capacity);
                device.Give(due);
                pacer.HandedOn(due);
                if (n > 200) { // the first seconds learn the cycle
                    mostQueued = std::max(mostQueued, device.Queued());
                }
            }
            EXPECT_EQ(device.ShortCycles(), 0u) << "ran dry";
            // What is queued is what a new tone waits behind.
            EXPECT_LE(mostQueued, cycle + Frames(16ms));
            EXPECT_GE(pacer.Lead(), cycle);
        }
    }
}

// PulseAudio's server at our period: it tells its cycle at open, a little shorter than a round, so
// that now and then a round sees two cycles go, and three when a round, every 3.3 s, is 20 ms late.
TEST(RenderPacer, KeepsAServerThatToldItsCycleFedFromTheFirstRoundThoughARoundIsLate) {
    constexpr std::size_t cycle = 512;
    for (const double speed : {1.0, 1.00005, 0.99995}) {
        SCOPED_TRACE("speed " + std::to_string(speed));
        ServerDevice device(cycle, speed);
        RenderPacer pacer(Rate, Round, cycle, Capacity, cycle);
        std::size_t mostQueued = 0;
        TimePoint last{};
        for (int n = 0; n < 6000; ++n) {
            last = std::max(last, RoundTime(n) + (n % 300 == 200 ? 19ms : 0ms));
            device.RunUntil(last);
            const std::size_t due = pacer.Due(last, device.Queued());
            device.Give(due);
            pacer.HandedOn(due);
            mostQueued = std::max(mostQueued, device.Queued());
        }
        EXPECT_EQ(device.ShortCycles(), 0u) << "ran dry";
        EXPECT_LE(mostQueued, 3 * cycle + Frames(4ms));
    }
}

TEST(RenderPacer, PlaysInRealTimeWhetherTheDeviceAlwaysReportsRoomOrTellsNoFill) {
    RenderPacer roomy(Rate, Round, 512, Capacity, 0);
    RenderPacer clockOnly(Rate, Round, 0, 0, 0);
    std::uint64_t roomyFrames = 0;
    std::uint64_t clockFrames = 0;
    constexpr int rounds = 6000;
    for (int n = 0; n < rounds; ++n) {
        const TimePoint now = RoundTime(n);
        const std::size_t fromRoomy = roomy.Due(now, 0);
        roomy.HandedOn(fromRoomy);
        roomyFrames += fromRoomy;
        const std::size_t fromClock = clockOnly.Due(now, std::nullopt);
        clockOnly.HandedOn(fromClock);
        clockFrames += fromClock;
    }
    const double seconds =
        std::chrono::duration<double>(RoundTime(rounds - 1) - TimePoint{}).count();
    const double realTime = seconds * Rate;
    // A lead ahead of the clock; where the device takes everything, never more than 0.1 % fast
    // and a lead and a round ahead.
    EXPECT_NEAR(static_cast<double>(clockFrames), realTime + static_cast<double>(clockOnly.Lead()),
                1.0);
    EXPECT_GE(static_cast<double>(roomyFrames), realTime);
    EXPECT_LE(static_cast<double>(roomyFrames),
              realTime * 1.001 + 2.0 * static_cast<double>(roomy.Lead()));
}

TEST(RenderPacer, UnderrunsWidenTheMarginUpToALimitAndCalmNarrowsItAgain) {
    RenderPacer pacer(Rate, Round, 0, 0, 0);
    TimePoint now{};
    pacer.Due(now, std::nullopt);
    const std::size_t calm = pacer.Lead();
    for (int i = 1; i <= 20; ++i) {
        pacer.Underran(now);
        EXPECT_EQ(pacer.Lead(),
                  std::min(calm + Frames(2ms) * static_cast<std::size_t>(i), calm + Frames(16ms)));
    }
    const std::size_t widest = pacer.Lead();
    for (int second = 1; second <= 180; ++second) {
        now += 1s;
        pacer.Due(now, std::nullopt);
    }
    EXPECT_EQ(pacer.Lead(), widest - Frames(3ms))
        << "1 ms less for every minute without an underrun";
    pacer.Restart(now, 0);
    pacer.Underran(now);
    EXPECT_EQ(pacer.Lead(), widest - Frames(1ms));
}

} // namespace
