#pragma once

#include "audio/platform/sinks/Sink.h"

namespace platform {

// Plays nothing: it takes whatever comes, at once, and tells no fill of its own, so the render
// thread's clock alone paces what feeds it, in real time as a card would.
class NullSink : public Sink {
public:
    unsigned Rate() const override { return SinkRate; }
    std::size_t Period() const override { return 0; }
    std::size_t Capacity() const override { return 0; }
    std::size_t Cycle() const override { return 0; }
    DeviceState Poll() override { return {}; }
    bool Write(std::span<const float> /*frames*/) override { return true; }
    void Drain(std::chrono::milliseconds /*limit*/) override {}
};

} // namespace platform
