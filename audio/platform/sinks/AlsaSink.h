#pragma once

#include "audio/platform/sinks/Sink.h"

#include <string>

namespace platform {

// Opens the ALSA PCM `name` for playback at SinkRate, or at the rate the device grants nearest to
// it, with ALSA's own rate converter switched off (its linear interpolation is dirty and off
// pitch; the device's own rate is taken instead and our converter targets it). The sample format
// is the widest granted (float, 32-bit, 24-bit in four bytes or in three, then 16-bit), the
// channel count whatever the device takes (every channel gets the mono frames).
//
// It asks for periods of 512 frames at 48 kHz (10.7 ms): a sound server takes the period as the
// cycle it may run at for us, and smaller cycles cost every program on the desktop; 512 is the
// power of two nearest to the frames of the render thread's own round (RenderPeriod,
// waveout/WaveOutEngine.h). The buffer is eight periods (85 ms) only so that a server that runs at
// up to 2048 frames per cycle still finds room; the render thread keeps far less than that queued
// (waveout/RenderPacer.h). On PulseAudio's plugin the period is also the cycle its server runs at
// for us, and the sink says so (Sink::Cycle).
//
// The device is non-blocking throughout. An underrun is recovered by preparing the device again,
// a suspend by resuming it (or preparing it, where it cannot resume), without waiting; a device
// that fails again after one recovery, or takes nothing for three seconds, counts as lost.
OpenedSink OpenAlsaSink(const std::string& name);

} // namespace platform
