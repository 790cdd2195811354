#pragma once

// The card's mixer behind the volume calls. It has six lines: 0 is the wave output, 1..5 the
// auxiliary devices. A volume is the calls' own 32-bit value: low word the left channel, high word
// the right, each 0 (silent) to 0xFFFF (full).
//
// Contract of every backend:
// - Called from the user-interface thread only; a call returns at once.
// - GetVolume fills `volume` only on MMSYSERR_NOERROR. A line the mixer does not have fails with
//   MMSYSERR_BADDEVICEID; a mixer that cannot be reached fails with another code.
// - A volume read and then written back leaves the line exactly as it was read.
// - The line number is 0..5; the calls check it before they come here.

#include "audio/platform/MMSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Mixer {
public:
    virtual ~Mixer() = default;
    virtual MMRESULT GetVolume(unsigned line, DWORD& volume) = 0;
    virtual MMRESULT SetVolume(unsigned line, DWORD volume) = 0;
};

inline constexpr unsigned MixerLines = 6;

// The lines by their device numbers in the volume calls: the wave output device, and the auxiliary
// devices named after the mixer elements behind them.
inline constexpr unsigned WaveDevice = 0;
inline constexpr unsigned LineDevice = 1;
inline constexpr unsigned CdDevice = 2;
inline constexpr unsigned MicDevice = 3;
inline constexpr unsigned AuxDevice = 4;
inline constexpr unsigned MasterDevice = 5;

// The mixer that `choice` names, in the syntax of PROGEN_MIXER: empty or "alsa" for the ALSA
// simple mixer of "default", "alsa:NAME" for that one, "file:PATH" for a text file. Nothing
// (nullptr) for anything else.
std::unique_ptr<Mixer> MakeMixer(std::string_view choice);

// The one spelling of the mixer that `choice` names, the same from any working folder:
// "alsa:default" for empty and "alsa", a file's path made absolute. Nothing for a choice that
// names no mixer.
std::optional<std::string> CanonicalMixerChoice(std::string_view choice);

// The ALSA simple mixer of `card`: wave 0 is "PCM", aux 1..5 are "Line", "CD", "Mic", "Aux" and
// "Master". It is opened at its first use and again after it has gone away.
std::unique_ptr<Mixer> MakeAlsaMixer(std::string card);

// A mixer kept in a text file of six lines, "wave0=0xHHHHHHHH" and "aux1=0x..." to "aux5=0x...",
// like a card whose mixer outlives the program. The file is read at every get and replaced
// atomically at every set, keeping its other lines; it is created with every level full when it
// does not exist. A missing or unreadable line fails the get as a line the mixer does not have.
std::unique_ptr<Mixer> MakeFileMixer(std::string path);

} // namespace platform
