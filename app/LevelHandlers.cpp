// The window's handlers of the user's mixer levels: saved and set at start, given back at close.

#include "app/ProgGenerator.h"
#include "app/controls/Panel.h"
#include "app/controls/UpDown.h"
#include "audio/platform/ProgramHooks.h"
#include "audio/platform/levels/LevelTurn.h"

#include <array>

namespace {

using platform::LevelOrder;
using platform::WaveDevice;

// The generator's own levels, set at start in this order: the inputs silenced, the output level
// (the master) at 0xEFFF left and full right, the wave device full.
struct Setting {
    UINT device;
    DWORD level;
};
constexpr std::array<Setting, 6> Setup = {{{platform::MicDevice, 0},
                                           {platform::CdDevice, 0},
                                           {platform::AuxDevice, 0},
                                           {platform::MasterDevice, 0xFFFFEFFF},
                                           {WaveDevice, 0xFFFFFFFF},
                                           {platform::LineDevice, 0}}};

// The level of the wave device or an aux device; nothing if it could not be read.
std::optional<DWORD> ReadLevel(UINT device) {
    DWORD level = 0;
    const MMRESULT result =
        device == WaveDevice ? waveOutGetVolume(device, &level) : auxGetVolume(device, &level);
    return result == MMSYSERR_NOERROR ? std::optional(level) : std::nullopt;
}

// Writes a level to the wave device or an aux device. False when the write failed.
bool WriteLevel(UINT device, DWORD level) {
    const MMRESULT result =
        device == WaveDevice ? waveOutSetVolume(device, level) : auxSetVolume(device, level);
    return result == MMSYSERR_NOERROR;
}

} // namespace

void TProgGenerator::AWEClick() {
    SetVibraMode(false);
    UpDownAuxL->SetMax(16);
    UpDownAuxL->SetMin(0);
    UpDownAuxL->SetPosition(16);
    PanelAuxL->SetCaption(QStringLiteral("-0 dB"));
    UpDownWaveL->SetMax(16);
    UpDownWaveL->SetMin(0);
    UpDownWaveL->SetPosition(16);
    PanelWaveL->SetCaption(QStringLiteral("-0 dB"));

    // Other programs on this mixer wait until this one has saved and set the levels.
    platform::LevelTurn turn;
    platform::LineLevels found;
    for (const UINT device : LevelOrder) {
        found[device] = ReadLevel(device);
    }
    platform::LineLevels sets;
    for (const Setting& setting : Setup) {
        sets[setting.device] = setting.level;
    }
    // A program already running on this mixer has set its own levels: the user's are the ones
    // that program found.
    const platform::LineLevels saved = turn.Keep(found, sets);
    SavedWaveVolume = saved[WaveDevice];
    for (UINT device = 1; device < platform::MixerLines; ++device) {
        SavedAuxVolume[device - 1] = saved[device];
    }
    // A file error or a termination signal ends the program from inside a handler, past the
    // close of the window: the user's levels must come back on that path too.
    platform::SetExitHook([this] { FormClose(); });

    for (const Setting& setting : Setup) {
        WriteLevel(setting.device, setting.level);
    }
}

void TProgGenerator::FormClose() {
    // While another program on this mixer runs, the levels stay its own; the last one gives the
    // user's back. A level never read is left alone.
    platform::LevelTurn turn;
    bool givenBack = true;
    if (turn.Last()) {
        for (const UINT device : LevelOrder) {
            const std::optional<DWORD>& level =
                device == WaveDevice ? SavedWaveVolume : SavedAuxVolume[device - 1];
            givenBack = (!level || WriteLevel(device, *level)) && givenBack;
        }
    }
    turn.Leave(givenBack);
}
