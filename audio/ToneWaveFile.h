#pragma once

// The tone wave file: the manual tone on its way to the sound card goes through a RIFF/WAVE file.

#include "audio/platform/MMSystem.h"

#include <cstdint>

// Writes the samples as a 16-bit mono PCM wave file whose format chunk states 44100 samples per
// second, whatever rate the tone plays at. Shows "WaveErr_OpenFile" and ends the program with exit
// code 1 when the file cannot be created or opened; an existing symbolic link is not followed.
void UlozWave(const char* FileName, const std::int16_t* Samples, DWORD ByteLength);

// The sample data of a wave file, in a locked global memory block.
struct WaveData {
    HGLOBAL handle;
    void* data;
    DWORD length; // bytes of the whole samples
};

// Reads the data chunk of a wave file into a block the caller then owns. On failure shows the
// matching message ("WaveErr_OpenFile", "WaveErr_NoRIFF", "WaveErr_NoWave", "WaveErr_NoInfo",
// "WaveErr_NoData", "WaveErr_Memory") and returns false with nothing held; a data chunk that the
// file does not hold in full, or that cannot be read, counts as none ("WaveErr_NoData"). A file
// larger than the largest one UlozWave writes (1848 bytes) is refused as one that cannot be
// opened.
bool NactiWave(const char* FileName, WaveData& out);
