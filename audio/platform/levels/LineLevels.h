#pragma once

// The user's levels of the mixer's six lines, as the program saves them at start and gives them
// back at close.

#include "audio/platform/mixer/Mixer.h"

#include <array>
#include <optional>

namespace platform {

// By device number; a level that could not be read holds nothing, and is never written back.
using LineLevels = std::array<std::optional<DWORD>, MixerLines>;

// The order in which the levels are saved at start and given back at close: the wave device
// first, then the aux devices.
inline constexpr std::array<unsigned, MixerLines> LevelOrder = {
    WaveDevice, MicDevice, CdDevice, AuxDevice, LineDevice, MasterDevice};

// Each line's level from `first` where it has one, else from `second`.
inline LineLevels Merged(const LineLevels& first, const LineLevels& second) {
    LineLevels merged;
    for (unsigned line = 0; line < MixerLines; ++line) {
        merged[line] = first[line] ? first[line] : second[line];
    }
    return merged;
}

} // namespace platform
