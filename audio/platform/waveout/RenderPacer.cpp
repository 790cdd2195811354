#include "audio/platform/waveout/RenderPacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace platform {
namespace {

using namespace std::chrono_literals;

constexpr Clock::Duration MinMargin = 4ms;
constexpr Clock::Duration MaxMargin = 20ms;
constexpr Clock::Duration MarginStep = 2ms;
constexpr Clock::Duration MarginRelief = 1ms;
constexpr Clock::Duration CalmTime = 60s;
// The most the timeline may run apart from the clock, and how much of the device's offset it
// takes up per round (a server's cycle makes the fill jump, so the offset is taken up slowly).
constexpr double MaxSkew = 0.001;
constexpr double SteerGain = 0.05;
// Further apart than this, the device has skipped or stalled: take its word at once.
constexpr Clock::Duration ResyncLimit = 100ms;

double Seconds(Clock::Duration duration) {
    return std::chrono::duration<double>(duration).count();
}

Clock::Duration Nanoseconds(double seconds) {
    return Clock::Duration(std::llround(seconds * 1e9));
}

} // namespace

RenderPacer::RenderPacer(unsigned rate, std::size_t round, std::size_t period, std::size_t capacity,
                         std::size_t cycle)
    : rate_(rate), round_(round), margin_(MinMargin) {
    UseDevice(period, capacity, cycle);
}

void RenderPacer::UseDevice(std::size_t period, std::size_t capacity, std::size_t cycle) {
    capacity_ = capacity;
    cycle_ = cycle;
    taken_.fill(0);
    // Until the device has shown what it takes at once, it takes its cycle where it told one, and
    // else half its buffer stays queued: a sound server may run at a cycle far longer than the
    // period it granted us.
    taken_[0] = cycle > 0 ? cycle : std::max(period, capacity / 2);
    nextTaken_ = 1;
}

void RenderPacer::Restart(TimePoint now, std::size_t queued) {
    const double device = static_cast<double>(handedOn_) - static_cast<double>(queued);
    origin_ = now - Nanoseconds(device / rate_);
    lastQueued_ = queued;
    lastHandedOn_ = 0;
    lastRound_ = now;
}

void RenderPacer::Underran(TimePoint now) {
    margin_ = std::min(margin_ + MarginStep, MaxMargin);
    calmSince_ = now;
}

std::size_t RenderPacer::Due(TimePoint now, std::optional<std::size_t> queued) {
    if (!lastRound_) {
        Restart(now, queued.value_or(0));
        calmSince_ = now;
    } else if (queued) {
        Observe(*queued);
        Steer(now, *queued);
    }
    if (now - calmSince_ >= CalmTime) {
        margin_ = std::max(margin_ - MarginRelief, MinMargin);
        calmSince_ = now;
    }
    lastRound_ = now;

    const double lead = static_cast<double>(Lead());
    const double ahead = Playhead(now) + lead - static_cast<double>(handedOn_);
    if (!queued) {
        return static_cast<std::size_t>(std::max(0.0, std::floor(ahead)));
    }
    // Fill the device up to the lead, but never run further ahead of the clock than a lead and a
    // cycle: that bounds a device that takes everything at once.
    const double want = lead - static_cast<double>(*queued);
    const double allowed = ahead + static_cast<double>(Taken());
    double due = std::max(0.0, std::floor(std::min(want, allowed)));
    if (capacity_ > 0) {
        due = std::min(due, static_cast<double>(capacity_ - std::min(*queued, capacity_)));
    }
    return static_cast<std::size_t>(due);
}

void RenderPacer::HandedOn(std::size_t frames) {
    handedOn_ += frames;
    lastHandedOn_ = frames;
}

std::size_t RenderPacer::Taken() const {
    return std::max(round_, *std::ranges::max_element(taken_));
}

std::size_t RenderPacer::Lead() const {
    const auto margin = static_cast<std::size_t>(std::llround(Seconds(margin_) * rate_));
    std::size_t lead = Taken() + margin;
    if (cycle_ > 0) {
        // The cycles a round and the margin span, and the one the device may take right after
        // the round.
        const std::size_t spanned = (round_ + margin + cycle_ - 1) / cycle_;
        lead = std::max(lead, (spanned + 1) * cycle_);
    }
    return capacity_ > 0 ? std::min(lead, capacity_) : lead;
}

double RenderPacer::Playhead(TimePoint now) const {
    return Seconds(now - origin_) * rate_;
}

// Moves the timeline towards where the device plays, by at most MaxSkew of the time passed.
void RenderPacer::Steer(TimePoint now, std::size_t queued) {
    const double device = static_cast<double>(handedOn_) - static_cast<double>(queued);
    const double offset = device - Playhead(now); // > 0: the device plays ahead of the clock
    if (std::abs(offset) > Seconds(ResyncLimit) * rate_) {
        origin_ = now - Nanoseconds(device / rate_);
        return;
    }
    const double most = MaxSkew * Seconds(now - *lastRound_) * rate_;
    const double shift = std::clamp(offset * SteerGain, -most, most);
    origin_ -= Nanoseconds(shift / rate_);
}

void RenderPacer::Observe(std::size_t queued) {
    const std::size_t before = lastQueued_ + lastHandedOn_;
    taken_[nextTaken_] = before > queued ? before - queued : 0;
    nextTaken_ = (nextTaken_ + 1) % taken_.size();
    lastQueued_ = queued;
}

} // namespace platform
