#include "audio/platform/util/AlsaErrors.h"

#include <alsa/asoundlib.h>
#include <cerrno>

namespace platform {
namespace {

void Ignore(const char*, int, const char*, int, const char*, ...) {}

} // namespace

MMRESULT MapAlsaError(int error, MMRESULT whenInvalid) {
    switch (-error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return MMSYSERR_BADDEVICEID;
    case EBUSY:
    case EAGAIN:
        return MMSYSERR_ALLOCATED;
    case ENOMEM:
        return MMSYSERR_NOMEM;
    case EINVAL:
        return whenInvalid;
    default:
        return MMSYSERR_ERROR;
    }
}

void QuietAlsa() {
    snd_lib_error_set_handler(Ignore);
}

} // namespace platform
