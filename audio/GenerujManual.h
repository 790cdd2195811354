#pragma once

// The manual tone's output: one buffer read from the tone wave file, played on wave output device
// 0 as one header that loops practically without end. Calls from the user-interface thread only;
// a repeated or out-of-order call does nothing.

#include "audio/GlobalBlock.h"
#include "audio/LoopOutput.h"
#include "audio/platform/MMSystem.h"

#include <cstdint>
#include <memory>

class TGenerujManual {
public:
    // Reads FileName; no object after the reader's message when the file cannot be used.
    static std::unique_ptr<TGenerujManual> Create(const char* FileName, std::uint16_t SampleRate);
    ~TGenerujManual(); // closes first, then frees the sample block

    TGenerujManual(const TGenerujManual&) = delete;
    TGenerujManual& operator=(const TGenerujManual&) = delete;

    void WaveOpenVystup(DWORD Loops);
    void WaveCloseVystup();
    void SetWaveVolumeVystup(DWORD Volume);
    void SetAuxVolumeVystup(DWORD Volume);
    void WaveVystup();
    void WaveAutoVystup();
    bool PlayingVystup();
    void PauseVystup();
    void RestartVystup();
    DWORD WavePositionVystup();

private:
    friend class OutputProbe; // what the tests read inside

    TGenerujManual() = default;

    WAVEFORMATEX Format{};
    GlobalBlock DataHandle;
    void* Data = nullptr;
    DWORD DataLength = 0;
    LoopOutput output_; // WaveOut, HeaderHandle, Header, Opened, Playing
};
