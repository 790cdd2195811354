// The volume calls, on the mixer that PROGEN_MIXER chooses once for the whole run.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Mixer.h"
#include "audio/platform/Seams.h"

#include <cstdlib>
#include <iostream>

namespace {

using platform::WaveDevice;
constexpr UINT FirstAux = platform::LineDevice;
constexpr UINT LastAux = platform::MasterDevice;

platform::Mixer* ChosenMixer() {
    static const std::unique_ptr<platform::Mixer> mixer = [] {
        const char* choice = std::getenv("PROGEN_MIXER");
        std::unique_ptr<platform::Mixer> chosen = platform::MakeMixer(choice ? choice : "");
        if (!chosen) {
            std::cerr << "progen: PROGEN_MIXER=" << choice
                      << " is neither alsa[:NAME] nor file:PATH; the mixer is left alone\n";
        }
        return chosen;
    }();
    return mixer.get();
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
    if (const auto fault = platform::EnterCall("waveOutGetVolume", {uDeviceID})) {
        return *fault;
    }
    return uDeviceID == WaveDevice ? GetLine(WaveDevice, pdwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT waveOutSetVolume(UINT uDeviceID, DWORD dwVolume) {
    if (const auto fault = platform::EnterCall("waveOutSetVolume", {uDeviceID, dwVolume})) {
        return *fault;
    }
    return uDeviceID == WaveDevice ? SetLine(WaveDevice, dwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT auxGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    if (const auto fault = platform::EnterCall("auxGetVolume", {uDeviceID})) {
        return *fault;
    }
    return IsAux(uDeviceID) ? GetLine(uDeviceID, pdwVolume) : MMSYSERR_BADDEVICEID;
}

MMRESULT auxSetVolume(UINT uDeviceID, DWORD dwVolume) {
    if (const auto fault = platform::EnterCall("auxSetVolume", {uDeviceID, dwVolume})) {
        return *fault;
    }
    return IsAux(uDeviceID) ? SetLine(uDeviceID, dwVolume) : MMSYSERR_BADDEVICEID;
}
