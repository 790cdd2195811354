#include "audio/LoopOutput.h"

namespace {

// The second box after a failed open; four of the texts end in a tab.
const char* OpenErrorName(MMRESULT result) {
    switch (result) {
    case MMSYSERR_BADDEVICEID:
        return "MMSYSERR_BADDEVICEID";
    case MMSYSERR_ALLOCATED:
        return "MMSYSERR_ALLOCATED\t";
    case MMSYSERR_NODRIVER:
        return "MMSYSERR_NODRIVER\t";
    case MMSYSERR_NOMEM:
        return "MMSYSERR_NOMEM\t";
    case WAVERR_BADFORMAT:
        return "WAVERR_BADFORMAT\t";
    case WAVERR_SYNC:
        return "WAVERR_SYNC";
    default:
        return nullptr;
    }
}

constexpr UINT HeaderSize = sizeof(WAVEHDR);

void CloseAndRelease(HWAVEOUT& waveOut, HGLOBAL& headerHandle, WAVEHDR*& header) {
    waveOutClose(waveOut);
    waveOut = nullptr;
    ReleaseBlock(headerHandle);
    header = nullptr;
}

} // namespace

WAVEFORMATEX MonoPcmFormat(DWORD rate) {
    return {.wFormatTag = WAVE_FORMAT_PCM,
            .nChannels = 1,
            .nSamplesPerSec = rate,
            .nAvgBytesPerSec = 2 * rate,
            .nBlockAlign = 2,
            .wBitsPerSample = 16,
            .cbSize = 0};
}

bool OpenLoopOutput(const WAVEFORMATEX& format, const void* data, DWORD length, DWORD loops,
                    HWAVEOUT& waveOut, HGLOBAL& headerHandle, WAVEHDR*& header) {
    const MMRESULT opened = waveOutOpen(&waveOut, 0, &format, 0, 0, WAVE_ALLOWSYNC);
    if (opened != MMSYSERR_NOERROR) {
        waveOut = nullptr;
        ZobrazChybu("Chyba pri otevreni vystupniho kanalu");
        if (const char* name = OpenErrorName(opened)) {
            ZobrazChybu(name);
        }
        return false;
    }
    headerHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, HeaderSize);
    header = static_cast<WAVEHDR*>(GlobalLock(headerHandle));
    if (header != nullptr) {
        // The fields the device fills in start at 0; the device only reads the samples.
        *header = WAVEHDR{};
        header->lpData = const_cast<char*>(static_cast<const char*>(data));
        header->dwBufferLength = length;
        header->dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header->dwLoops = loops;
        if (waveOutPrepareHeader(waveOut, header, HeaderSize) == MMSYSERR_NOERROR) {
            return true;
        }
    }
    // The object stays closed after this, so its close would not give the device and the header
    // block back: do it now, before the box, instead of holding both until the program ends.
    CloseAndRelease(waveOut, headerHandle, header);
    ZobrazChybu("Chyba pri priprave Header");
    return false;
}

bool WriteLoopOutput(HWAVEOUT waveOut, WAVEHDR* header) {
    return waveOutWrite(waveOut, header, HeaderSize) == MMSYSERR_NOERROR;
}

void CloseLoopOutput(HWAVEOUT& waveOut, HGLOBAL& headerHandle, WAVEHDR*& header) {
    waveOutReset(waveOut);
    waveOutUnprepareHeader(waveOut, header, HeaderSize);
    CloseAndRelease(waveOut, headerHandle, header);
}

void ReleaseBlock(HGLOBAL& handle) {
    GlobalUnlock(handle);
    GlobalFree(handle);
    handle = nullptr;
}
