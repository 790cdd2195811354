// The volume calls, on the mixer that PROGEN_MIXER chooses once for the platform's life.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/mixer/Mixer.h"

namespace {

using platform::WaveDevice;
constexpr UINT FirstAux = platform::LineDevice;
constexpr UINT LastAux = platform::MasterDevice;

platform::Mixer* ChosenMixer() {
    return platform::Platform::Current().ChosenMixer();
}

MMRESULT GetLine(unsigned line, DWORD* volume) {
    if (!volume) {
        return MMSYSERR_INVALPARAM;
    }
    platform::Mixer* mixer = ChosenMixer();
    if (!mixer) {
        return MMSYSERR_NODRIVER;
    }
    DWORD read = 0;
    const MMRESULT result = mixer->GetVolume(line, read);
    if (result == MMSYSERR_NOERROR) {
        *volume = read;
    }
    return result;
}

MMRESULT SetLine(unsigned line, DWORD volume) {
    platform::Mixer* mixer = ChosenMixer();
    return mixer ? mixer->SetVolume(line, volume) : MMSYSERR_NODRIVER;
}

bool IsAux(UINT device) {
    return device >= FirstAux && device <= LastAux;
}

} // namespace

MMRESULT waveOutGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    return uDeviceID == WaveDevice ? GetLine(WaveDevice, pdwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT waveOutSetVolume(UINT uDeviceID, DWORD dwVolume) {
    return uDeviceID == WaveDevice ? SetLine(WaveDevice, dwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT auxGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    return IsAux(uDeviceID) ? GetLine(uDeviceID, pdwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT auxSetVolume(UINT uDeviceID, DWORD dwVolume) {
    return IsAux(uDeviceID) ? SetLine(uDeviceID, dwVolume) : MMSYSERR_BADDEVICEID;
}
