#include "audio/platform/waveout/DeviceLink.h"

#include <cstdio>

namespace platform {

DeviceLink::DeviceLink(std::unique_ptr<Sink> sink, SinkFactory& factory, std::size_t round)
    : factory_(factory), sink_(std::move(sink)), rate_(sink_->Rate()),
      pacer_(rate_, round, sink_->Period(), sink_->Capacity(), sink_->Cycle()) {}

std::size_t DeviceLink::Due(Clock::TimePoint now) {
    if (!sink_ && now >= *nextOpen_) {
        OpenAgain(now);
    }
    lost_ = false;
    std::optional<std::size_t> queued;
    if (sink_) {
        const DeviceState state = sink_->Poll();
        switch (state.event) {
        case DeviceState::Event::Lost:
            lost_ = true;
            break;
        case DeviceState::Event::Underran:
            pacer_.Underran(now);
            [[fallthrough]];
        case DeviceState::Event::Started:
            pacer_.Restart(now, state.queued.value_or(0));
            break;
        case DeviceState::Event::None:
            break;
        }
        queued = state.queued;
    }
    return pacer_.Due(now, queued);
}

void DeviceLink::HandOn(Clock::TimePoint now, std::span<const float> frames) {
    if (sink_ && !lost_ && !frames.empty()) {
        lost_ = !sink_->Write(frames);
    }
    if (lost_) {
        Lose(now);
    }
    pacer_.HandedOn(frames.size());
}

void DeviceLink::Drain(std::chrono::milliseconds limit) {
    if (sink_) {
        sink_->Drain(limit);
    }
}

void DeviceLink::OpenAgain(Clock::TimePoint now) {
    OpenedSink opened = factory_.OpenAgain();
    if (!opened.sink || opened.sink->Rate() != rate_) {
        nextOpen_ = now + ReopenPeriod;
        return;
    }
    sink_ = std::move(opened.sink);
    nextOpen_.reset();
    pacer_.UseDevice(sink_->Period(), sink_->Capacity(), sink_->Cycle());
    std::fprintf(stderr, "progen: the sound device (%s) is back\n", factory_.Name().c_str());
}

void DeviceLink::Lose(Clock::TimePoint now) {
    sink_.reset();
    lost_ = false;
    pacer_.UseDevice(0, 0, 0);
    nextOpen_ = now + ReopenPeriod;
    std::fprintf(stderr, "progen: lost the sound device (%s); opening it again every %lld ms\n",
                 factory_.Name().c_str(), static_cast<long long>(ReopenPeriod.count()));
}

} // namespace platform
