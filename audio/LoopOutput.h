#pragma once

// What the two output objects share: the 16-bit mono format, and wave output device 0 with one
// header in global memory that loops a buffer, opened with the system's messages, handed over,
// and given back. The objects keep their own Opened and Playing flags; these functions act on the
// fields the objects pass in.

#include "audio/platform/MMSystem.h"

WAVEFORMATEX MonoPcmFormat(DWORD rate);

// Opens device 0 with `format` and prepares a header that loops the `length` bytes at `data`
// `loops` times. A failed open shows "Chyba pri otevreni vystupniho kanalu" and, for the codes
// that have one, a second box naming the code; a failed preparation shows "Chyba pri priprave
// Header". After either failure nothing stays open or allocated, and the result is false.
bool OpenLoopOutput(const WAVEFORMATEX& format, const void* data, DWORD length, DWORD loops,
                    HWAVEOUT& waveOut, HGLOBAL& headerHandle, WAVEHDR*& header);

// Hands the prepared header to the device; true when it plays.
bool WriteLoopOutput(HWAVEOUT waveOut, WAVEHDR* header);

// Reset, unprepare, close, then the header block unlocked and freed; the results are not
// examined. Leaves the three fields empty.
void CloseLoopOutput(HWAVEOUT& waveOut, HGLOBAL& headerHandle, WAVEHDR*& header);

// Unlocks and frees a global block that was taken and locked once; leaves the handle empty.
void ReleaseBlock(HGLOBAL& handle);
