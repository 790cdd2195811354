#pragma once

// The user's mixer levels come back however the program ends. The program saves them at start and
// gives them back at close; a watcher process gives them back when the program is killed or
// crashes; and programs on one mixer share the user's levels (SharedLevels.h), so that the last
// one to end gives back the levels the first one found.
//
// The watcher is forked first thing in main(), before any thread, display or sound device exists,
// and is joined to the program by a socket pair. The program tells it, one line each:
//     levels shared|alone 0xC000C000 0x11111111 - ... (wave 0, aux 1..5; "-": not read)
//         after the setup at start: the user's levels, and whether they are in the share file;
//     back
//         after a close that gave them back, or left them to another program still running.
// It waits in a blocking read and ends at "back". When the socket closes without it (a kill, a
// crash, or a close whose writes failed), it gives the levels back through the mixer that
// PROGEN_MIXER names, unless another program on that mixer still holds them; a write that fails
// (the sound server gone) is tried again every half second for a minute, long enough for a server
// to restart and short enough to end before a session's stop timeout. It ignores the terminal's
// and the session's signals (SIGINT, SIGQUIT, SIGTSTP, SIGTERM, SIGHUP): it ends by itself.
//
// A program without a watcher (a test of the window) keeps its levels to itself: nothing is shared
// and nothing is given back but at its close.

#include "audio/platform/levels/SharedLevels.h"

#include <array>
#include <optional>

namespace platform {

// The order in which the levels are saved at start and given back at close: the wave device
// first, then these aux devices.
inline constexpr std::array<unsigned, 5> AuxOrder = {MicDevice, CdDevice, AuxDevice, LineDevice,
                                                     MasterDevice};

// Forks the watcher of the mixer that PROGEN_MIXER names. Call it before any thread starts. Without
// a mixer, or if the fork fails, the program runs unwatched.
void StartLevelWatcher();

// The program's turn at the user's levels, at start and at close: while it lives, no other program
// on this mixer saves, sets or gives back levels.
class LevelTurn {
public:
    LevelTurn();

    // At start, with the levels just read: the user's levels to keep, those of a program already
    // running on this mixer, else `read`. The watcher is handed them.
    LineLevels Keep(const LineLevels& read);
    // At close: whether this program gives the levels back, being the last one on its mixer.
    bool Last() const;
    // At close, after the levels were given back (`givenBack`: every write succeeded) or left to
    // another program: tells the watcher, which then ends. After a failed write the watcher takes
    // over when the program has ended.
    void Leave(bool givenBack);

private:
    std::optional<SharedLevels> share_;
};

} // namespace platform
