#pragma once

// The sweep's output: the eleven sine tables, computed once, and per step one header that loops
// the step's band table L times at the step's rate. Calls from the user-interface thread only; a
// repeated or out-of-order call does nothing.

#include "audio/GlobalBlock.h"
#include "audio/LoopOutput.h"
#include "audio/platform/MMSystem.h"
#include "synth/SweepSynth.h"

#include <array>
#include <cstdint>
#include <memory>

class TGenerujAuto {
public:
    // No object, after "Nedostatek paměti", when the memory reservation fails.
    static std::unique_ptr<TGenerujAuto> Create(std::uint16_t Amplituda);
    ~TGenerujAuto(); // closes first, then frees the blocks

    TGenerujAuto(const TGenerujAuto&) = delete;
    TGenerujAuto& operator=(const TGenerujAuto&) = delete;

    void NastavFormat(std::uint16_t f);
    void AutoOpenVystup(DWORD Loops, std::uint16_t f);
    void AutoVystup();
    bool PlayingVystup();
    void AutoCloseVystup();

private:
    friend class OutputProbe; // what the tests read inside

    TGenerujAuto() = default;

    WAVEFORMATEX Format{};
    std::array<GlobalBlock, 11> BandHandle{};
    std::array<const std::int16_t*, 11> BandData{};
    LoopOutput output_; // WaveOut, HeaderHandle, Header, Opened, Playing
    BandTables BandTable{};
};
