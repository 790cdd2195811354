#pragma once

#include "audio/platform/Sink.h"

#include <string>

namespace platform {

// Opens the ALSA PCM `name` for playback at SinkRate, or at the rate the device grants nearest to
// it, with ALSA's own rate converter switched off (its linear interpolation is dirty and off
// pitch; the device's own rate is taken instead and our converter targets it). The sample format
// is the widest granted (float, then 32-bit, then 16-bit), the channel count whatever the device
// takes (every channel gets the mono frames). Asks for a buffer of 30 ms (room for the render
// thread's lead and a period more) in periods of 2.5 ms (so that the queue it reports is never
// far off).
OpenedSink OpenAlsaSink(const std::string& name);

// The result code for a negative ALSA error code: no such device -> MMSYSERR_BADDEVICEID, busy ->
// MMSYSERR_ALLOCATED, no memory -> MMSYSERR_NOMEM, a parameter refused (rate, format) ->
// WAVERR_BADFORMAT, anything else -> MMSYSERR_ERROR.
MMRESULT MapAlsaError(int error);

} // namespace platform
