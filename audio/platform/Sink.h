#pragma once

// Where the wave output's sound goes: one stream of mono float frames (full scale ±1.0) at the
// sink's own rate, already converted and mixed by the render thread.
//
// Contract:
// - OpenSink runs on the user-interface thread (inside waveOutOpen); from then on only the render
//   thread calls the sink, and it destroys it when it releases the sink.
// - The render thread paces itself on the platform clock and asks Queued() how much the sink still
//   holds; Write() never blocks for long, and is never given more than Capacity() - Queued().
// - A frame counts as handed on (and its header may be done) once Write() has returned with it.

#include "audio/platform/Clock.h"
#include "audio/platform/MMSystem.h"

#include <cstddef>
#include <memory>
#include <span>

namespace platform {

// The rate of the null and wav sinks, and the rate asked of ALSA.
inline constexpr unsigned SinkRate = 48000;

class Sink {
public:
    virtual ~Sink() = default;

    virtual unsigned Rate() const = 0;
    // The most frames the sink holds, and the steps (in frames) in which it takes them.
    virtual std::size_t Capacity() const = 0;
    virtual std::size_t Period() const = 0;
    // Frames handed on and not yet played.
    virtual std::size_t Queued() = 0;
    // Hands frames on. False once the sink has failed for good (nothing more will reach it).
    virtual bool Write(std::span<const float> frames) = 0;
};

struct OpenedSink {
    std::unique_ptr<Sink> sink; // null when opening failed
    MMRESULT error = MMSYSERR_NOERROR;
};

// Opens the sink that the environment variable PROGEN_AUDIO names: unset or "alsa" (ALSA PCM
// "default"), "alsa:NAME", "null", "wav:PATH" or "busy" (always MMSYSERR_ALLOCATED); anything else
// fails with MMSYSERR_NODRIVER. Read at every opening, so a sink released after its idle time
// may come back as another one.
OpenedSink OpenSink(Clock& clock);

} // namespace platform
