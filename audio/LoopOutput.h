#pragma once

// What the two output objects share: wave output device 0 with one
// header in global memory that loops a buffer, opened with the system's messages, handed over,
// and given back. Each object holds one by value and forwards its operations to it; it keeps the
// five fields both objects have, under the names the system gives them. Calls from the
// user-interface thread only; a repeated or out-of-order call does nothing.

#include "audio/GlobalBlock.h"
#include "audio/platform/MMSystem.h"
#include "audio/platform/waveout/MonoPcm16.h"

#include <cstdint>

class LoopOutput {
public:
    LoopOutput() = default;
    ~LoopOutput() { Close(); }

    LoopOutput(const LoopOutput&) = delete;
    LoopOutput& operator=(const LoopOutput&) = delete;

    // Unless Opened: opens device 0 with `format` and prepares a header that loops the `length`
    // bytes at `data` `loops` times; Opened becomes 1. A failed open shows "Chyba pri otevreni
    // vystupniho kanalu" and, for the codes that have one, a second box naming the code; a failed
    // preparation shows "Chyba pri priprave Header". After either failure nothing stays open or
    // allocated, and Opened stays 0.
    void Open(const WAVEFORMATEX& format, const void* data, DWORD length, DWORD loops);
    // If Opened: hands the header to the device; Playing is 1 when the device took it, else 0.
    void Write();
    // If Playing: pauses the device; Playing becomes 0.
    void Pause();
    // Unless Playing: asks the device to go on; Playing is 1 when it did. Not guarded by Opened:
    // on a closed output the device refuses and Playing stays 0.
    void Restart();
    // The device's position in samples; the query's result is not examined.
    DWORD Position();
    // If Opened: reset, unprepare, close, then the header block unlocked and freed; the results
    // are not examined. Opened and Playing become 0.
    void Close();

    // The one difference between the two objects' playing queries. Both are true only while
    // Playing is 1 and the device has not set WHDR_DONE in the header; the manual tone's tests
    // Opened before that, the sweep step's tests Playing first and only then reads the header.
    enum class PlayingQuery { OpenedPlayingNotDone, PlayingNotDone };
    bool PlayingVystup(PlayingQuery query) const;

    std::uint16_t GetOpened() const { return Opened; }

private:
    friend class OutputProbe; // what the tests read inside

    // Closes the device and gives the header block back.
    void CloseAndRelease();

    HWAVEOUT WaveOut = nullptr;
    GlobalBlock HeaderHandle;
    WAVEHDR* Header = nullptr; // the header block, locked, while open
    std::uint16_t Opened = 0;
    std::uint16_t Playing = 0;
};
