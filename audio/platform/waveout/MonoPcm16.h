#pragma once

#include "audio/platform/MMSystem.h"

// The one wave format this system plays and writes: 16-bit mono PCM at `rate`.
inline WAVEFORMATEX MonoPcm16(DWORD rate) {
    return {.wFormatTag = WAVE_FORMAT_PCM,
            .nChannels = 1,
            .nSamplesPerSec = rate,
            .nAvgBytesPerSec = 2 * rate,
            .nBlockAlign = 2,
            .wBitsPerSample = 16,
            .cbSize = 0};
}
