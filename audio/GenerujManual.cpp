#include "audio/GenerujManual.h"

#include "audio/LoopOutput.h"
#include "audio/ToneWaveFile.h"

std::unique_ptr<TGenerujManual> TGenerujManual::Create(const char* FileName,
                                                       std::uint16_t SampleRate) {
    std::unique_ptr<TGenerujManual> manual(new TGenerujManual);
    WaveData wave{};
    if (!NactiWave(FileName, wave)) {
        return nullptr;
    }
    manual->DataHandle = wave.Handle;
    manual->Data = wave.Data;
    manual->DataLength = wave.Length;
    manual->Format = MonoPcmFormat(SampleRate);
    return manual;
}

TGenerujManual::~TGenerujManual() {
    WaveCloseVystup();
    if (DataHandle != nullptr) {
        ReleaseBlock(DataHandle);
    }
}

void TGenerujManual::WaveOpenVystup(DWORD Loops) {
    if (Opened != 0) {
        return;
    }
    if (OpenLoopOutput(Format, Data, DataLength, Loops, WaveOut, HeaderHandle, Header)) {
        Opened = 1;
    }
}

void TGenerujManual::WaveCloseVystup() {
    if (Opened == 0) {
        return;
    }
    CloseLoopOutput(WaveOut, HeaderHandle, Header);
    Opened = 0;
    Playing = 0;
}

// The levels reach the mixer elsewhere; the tone's samples are never scaled.
void TGenerujManual::SetWaveVolumeVystup(DWORD /*Volume*/) {}
void TGenerujManual::SetAuxVolumeVystup(DWORD /*Volume*/) {}

void TGenerujManual::WaveVystup() {
    if (Opened != 0) {
        Playing = WriteLoopOutput(WaveOut, Header) ? 1 : 0;
    }
}

void TGenerujManual::WaveAutoVystup() {
    WaveVystup();
}

bool TGenerujManual::PlayingVystup() {
    return Opened != 0 && Playing != 0 && (HeaderFlags(*Header) & WHDR_DONE) == 0;
}

void TGenerujManual::PauseVystup() {
    if (Playing != 0) {
        waveOutPause(WaveOut);
        Playing = 0;
    }
}

// Not guarded by Opened: on a closed output the device refuses and Playing stays 0.
void TGenerujManual::RestartVystup() {
    if (Playing == 0) {
        Playing = waveOutRestart(WaveOut) == MMSYSERR_NOERROR ? 1 : 0;
    }
}

DWORD TGenerujManual::WavePositionVystup() {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    waveOutGetPosition(WaveOut, &time, sizeof time);
    return time.u.sample;
}
