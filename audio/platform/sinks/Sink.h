#pragma once

// Where the wave output's sound goes, as PROGEN_AUDIO chooses (SinkFactory.h): one stream of mono
// float frames (full scale ±1.0) at the sink's own rate, already converted and mixed by the render
// thread.
//
// Contract:
// - A sink is opened (SinkFactory.h) on the user-interface thread inside waveOutOpen, or on the
//   render thread when it opens a lost device again. From then on only the render thread calls
//   the sink, never under the engine's lock, and it destroys the sink.
// - No call waits on the device for long: device I/O is non-blocking, and a device that takes
//   nothing counts as full. Only Drain() waits, for as long as it is told.
// - A frame counts as handed on (and its header may be done) once Write() has returned with it.

#include "audio/platform/MMSystem.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>

namespace platform {

// The rate of the null and wav sinks, and the rate asked of ALSA.
inline constexpr unsigned SinkRate = 48000;

// What the device tells before a round of the render thread.
struct DeviceState {
    enum class Event {
        None,
        Started,  // it has just started, empty
        Underran, // it ran dry (or was suspended) and starts again, empty
        Lost,     // it is gone: close it
    };
    Event event = Event::None;
    // Frames handed on and not yet played; nothing from a sink that takes whatever comes and
    // leaves the pacing to the render thread's clock (the null and wav sinks).
    std::optional<std::size_t> queued;
};

class Sink {
public:
    virtual ~Sink() = default;

    virtual unsigned Rate() const = 0;
    // The steps in which the device takes its frames, and the most frames it holds.
    virtual std::size_t Period() const = 0;
    virtual std::size_t Capacity() const = 0;
    // The frames the device takes at once, every cycle, where that is known at open; 0 where it is
    // not (a sound server may run at a cycle far longer than the period it granted).
    virtual std::size_t Cycle() const = 0;

    virtual DeviceState Poll() = 0;
    // Hands frames on. What the device has no room for now is kept and goes first next time.
    // False once the device is lost.
    virtual bool Write(std::span<const float> frames) = 0;
    // Waits until what was handed on has been played, at most `limit`.
    virtual void Drain(std::chrono::milliseconds limit) = 0;
};

struct OpenedSink {
    std::unique_ptr<Sink> sink; // null when opening failed
    MMRESULT error = MMSYSERR_NOERROR;
};

} // namespace platform
