#pragma once

// What the tests of both output objects expect: their state, their platform calls by name, and
// the boxes each open error must bring.

#include "audio/platform/MMSystem.h"
#include "tests/audio/OutputProbe.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The object's flags, and whether it reads as sounding.
template <class Output>
void ExpectState(Output& output, std::uint16_t opened, std::uint16_t playing, bool sounding) {
    EXPECT_EQ(OutputProbe::Opened(output), opened);
    EXPECT_EQ(OutputProbe::Playing(output), playing);
    EXPECT_EQ(output.PlayingVystup(), sounding);
}

inline const std::vector<std::string> OpenPrepareWrite = {
    "waveOutOpen", "GlobalAlloc", "GlobalLock", "waveOutPrepareHeader", "waveOutWrite"};

// The end of an output: the device stopped and closed, then its header block given back.
inline const std::vector<std::string> CloseAndRelease = {
    "waveOutReset", "waveOutUnprepareHeader", "waveOutClose", "GlobalUnlock", "GlobalFree"};

struct OpenError {
    MMRESULT code;
    std::vector<std::string> boxes;
};

inline const std::vector<OpenError> OpenErrors = {
    {MMSYSERR_BADDEVICEID, {"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_BADDEVICEID"}},
    {MMSYSERR_ALLOCATED, {"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_ALLOCATED\t"}},
    {MMSYSERR_NODRIVER, {"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_NODRIVER\t"}},
    {MMSYSERR_NOMEM, {"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_NOMEM\t"}},
    {WAVERR_BADFORMAT, {"Chyba pri otevreni vystupniho kanalu", "WAVERR_BADFORMAT\t"}},
    {WAVERR_SYNC, {"Chyba pri otevreni vystupniho kanalu", "WAVERR_SYNC"}},
    {MMSYSERR_ERROR, {"Chyba pri otevreni vystupniho kanalu"}},
    {MMSYSERR_NOTENABLED, {"Chyba pri otevreni vystupniho kanalu"}},
    {MMSYSERR_INVALPARAM, {"Chyba pri otevreni vystupniho kanalu"}},
};
