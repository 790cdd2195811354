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

} // namespace

void LoopOutput::Open(const WAVEFORMATEX& format, const void* data, DWORD length, DWORD loops) {
    if (Opened != 0) {
        return;
    }
    const MMRESULT opened = waveOutOpen(&WaveOut, 0, &format, 0, 0, WAVE_ALLOWSYNC);
    if (opened != MMSYSERR_NOERROR) {
        WaveOut = nullptr;
        ZobrazChybu("Chyba pri otevreni vystupniho kanalu");
        if (const char* name = OpenErrorName(opened)) {
            ZobrazChybu(name);
        }
        return;
    }
    HeaderHandle = GlobalBlock::Alloc(HeaderSize);
    Header = static_cast<WAVEHDR*>(HeaderHandle.Lock());
    if (Header != nullptr) {
        // The fields the device fills in start at 0; the device only reads the samples.
        *Header = WAVEHDR{};
        Header->lpData = const_cast<char*>(static_cast<const char*>(data));
        Header->dwBufferLength = length;
        Header->dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        Header->dwLoops = loops;
        if (waveOutPrepareHeader(WaveOut, Header, HeaderSize) == MMSYSERR_NOERROR) {
            Opened = 1;
            return;
        }
    }
    // The output stays closed after this, so its close would not give the device and the header
    // block back: do it now, before the box, instead of holding both until the program ends.
    CloseAndRelease();
    ZobrazChybu("Chyba pri priprave Header");
}

void LoopOutput::Write() {
    if (Opened != 0) {
        Playing = waveOutWrite(WaveOut, Header, HeaderSize) == MMSYSERR_NOERROR ? 1 : 0;
    }
}

void LoopOutput::Pause() {
    if (Playing != 0) {
        waveOutPause(WaveOut);
        Playing = 0;
    }
}

void LoopOutput::Restart() {
    if (Playing == 0) {
        Playing = waveOutRestart(WaveOut) == MMSYSERR_NOERROR ? 1 : 0;
    }
}

DWORD LoopOutput::Position() {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    waveOutGetPosition(WaveOut, &time, sizeof time);
    return time.u.sample;
}

void LoopOutput::Close() {
    if (Opened == 0) {
        return;
    }
    waveOutReset(WaveOut);
    waveOutUnprepareHeader(WaveOut, Header, HeaderSize);
    CloseAndRelease();
    Opened = 0;
    Playing = 0;
}

bool LoopOutput::PlayingVystup(PlayingQuery query) const {
    if (query == PlayingQuery::OpenedPlayingNotDone && Opened == 0) {
        return false;
    }
    return Playing != 0 && (HeaderFlags(*Header) & WHDR_DONE) == 0;
}

void LoopOutput::CloseAndRelease() {
    waveOutClose(WaveOut);
    WaveOut = nullptr;
    HeaderHandle = GlobalBlock();
    Header = nullptr;
}
