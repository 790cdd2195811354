// The waveOut* calls: every argument is checked here, at the boundary; the engine does the rest.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/waveout/WaveOutEngine.h"

#include <cstdint>
#include <new>

namespace {

using platform::WaveOutEngine;

// The rates a card of the system's kind would take; within them the converter's ratio to the
// sink's rate stays reasonable.
constexpr DWORD LowestRate = 1000;
constexpr DWORD HighestRate = 192000;

bool IsMonoPcm16(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels == 1 &&
           format.wBitsPerSample == 16 && format.nBlockAlign == 2 &&
           format.nSamplesPerSec >= LowestRate && format.nSamplesPerSec <= HighestRate;
}

bool IsWholeHeader(const WAVEHDR* header, UINT size) {
    return header && size >= sizeof(WAVEHDR) && (header->lpData || header->dwBufferLength == 0);
}

// A failed allocation is the API's MMSYSERR_NOMEM, never an exception through the caller.
template <typename Work>
MMRESULT Guarded(Work work) {
    try {
        return work(platform::Platform::Current().Engine());
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
}

// The calls that take nothing but the handle.
MMRESULT CallWithHandle(HWAVEOUT hwo, MMRESULT (WaveOutEngine::*work)(HWAVEOUT)) {
    return Guarded([&](WaveOutEngine& engine) { return (engine.*work)(hwo); });
}

} // namespace

MMRESULT waveOutOpen(HWAVEOUT* phwo, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR, DWORD_PTR,
                     DWORD fdwOpen) {
    if (phwo) {
        *phwo = nullptr;
    }
    if (uDeviceID != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    if (!phwo || !pwfx) {
        return MMSYSERR_INVALPARAM;
    }
    if ((fdwOpen & ~WAVE_ALLOWSYNC) != 0) {
        return MMSYSERR_INVALFLAG;
    }
    if (!IsMonoPcm16(*pwfx)) {
        return WAVERR_BADFORMAT;
    }
    return Guarded([&](WaveOutEngine& engine) { return engine.Open(pwfx->nSamplesPerSec, *phwo); });
}

MMRESULT waveOutClose(HWAVEOUT hwo) {
    return CallWithHandle(hwo, &WaveOutEngine::Close);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    if (!IsWholeHeader(pwh, cbwh)) {
        return MMSYSERR_INVALPARAM;
    }
    return Guarded([&](WaveOutEngine& engine) { return engine.Prepare(hwo, *pwh); });
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    if (!pwh || cbwh < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return Guarded([&](WaveOutEngine& engine) { return engine.Unprepare(hwo, *pwh); });
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    if (!IsWholeHeader(pwh, cbwh)) {
        return MMSYSERR_INVALPARAM;
    }
    return Guarded([&](WaveOutEngine& engine) { return engine.Write(hwo, *pwh); });
}

MMRESULT waveOutPause(HWAVEOUT hwo) {
    return CallWithHandle(hwo, &WaveOutEngine::Pause);
}

MMRESULT waveOutRestart(HWAVEOUT hwo) {
    return CallWithHandle(hwo, &WaveOutEngine::Restart);
}

MMRESULT waveOutReset(HWAVEOUT hwo) {
    return CallWithHandle(hwo, &WaveOutEngine::Reset);
}

MMRESULT waveOutGetPosition(HWAVEOUT hwo, MMTIME* pmmt, UINT cbmmt) {
    if (!pmmt || cbmmt < sizeof(MMTIME)) {
        return MMSYSERR_INVALPARAM;
    }
    std::uint64_t samples = 0;
    unsigned rate = 0;
    const MMRESULT result =
        Guarded([&](WaveOutEngine& engine) { return engine.Position(hwo, samples, rate); });
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    // Like the original's 32-bit counters, these wrap around.
    switch (pmmt->wType) {
    case TIME_MS:
        pmmt->u.ms = static_cast<DWORD>(samples * 1000 / rate);
        break;
    case TIME_BYTES:
        pmmt->u.cb = static_cast<DWORD>(samples * sizeof(std::int16_t));
        break;
    default: // samples, also for a format it does not keep (the caller sees wType changed)
        pmmt->wType = TIME_SAMPLES;
        pmmt->u.sample = static_cast<DWORD>(samples);
        break;
    }
    return MMSYSERR_NOERROR;
}
