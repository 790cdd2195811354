#include "audio/GenerujManual.h"

#include "audio/ToneWaveFile.h"

std::unique_ptr<TGenerujManual> TGenerujManual::Create(const char* FileName,
                                                       std::uint16_t SampleRate) {
    std::unique_ptr<TGenerujManual> manual(new TGenerujManual);
    WaveData wave{};
    if (!NactiWave(FileName, wave)) {
        return nullptr;
    }
    manual->DataHandle = GlobalBlock::AdoptLocked(wave.handle);
    manual->Data = wave.data;
    manual->DataLength = wave.length;
    manual->Format = MonoPcm16(SampleRate);
    return manual;
}

// The sample block goes with the object, after the close.
TGenerujManual::~TGenerujManual() {
    WaveCloseVystup();
}

void TGenerujManual::WaveOpenVystup(DWORD Loops) {
    output_.Open(Format, Data, DataLength, Loops);
}

void TGenerujManual::WaveCloseVystup() {
    output_.Close();
}

// The levels reach the mixer elsewhere; the tone's samples are never scaled.
void TGenerujManual::SetWaveVolumeVystup(DWORD /*Volume*/) {}
void TGenerujManual::SetAuxVolumeVystup(DWORD /*Volume*/) {}

void TGenerujManual::WaveVystup() {
    output_.Write();
}

void TGenerujManual::WaveAutoVystup() {
    WaveVystup();
}

bool TGenerujManual::PlayingVystup() {
    return output_.PlayingVystup(LoopOutput::PlayingQuery::OpenedPlayingNotDone);
}

void TGenerujManual::PauseVystup() {
    output_.Pause();
}

void TGenerujManual::RestartVystup() {
    output_.Restart();
}

DWORD TGenerujManual::WavePositionVystup() {
    return output_.Position();
}
