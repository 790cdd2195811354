#pragma once

// What the ALSA sink and the ALSA mixer share about ALSA's errors.

#include "audio/platform/MMSystem.h"

namespace platform {

// The result code for a negative ALSA error code: no such device -> MMSYSERR_BADDEVICEID, busy ->
// MMSYSERR_ALLOCATED, no memory -> MMSYSERR_NOMEM, an invalid argument -> `whenInvalid` (a PCM
// says so of a rate or format it refuses, a mixer of a card that does not exist), anything else
// -> MMSYSERR_ERROR.
MMRESULT MapAlsaError(int error, MMRESULT whenInvalid);

// ALSA's library prints its own errors on standard error. Every error it reports comes back to us
// as a code, and the layer says what it means once, in its own words; so the library is quiet
// from the first call of this on.
void QuietAlsa();

} // namespace platform
