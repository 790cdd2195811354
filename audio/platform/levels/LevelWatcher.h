#pragma once

// The user's mixer levels come back however the program ends. The program saves them at start and
// gives them back at close; a watcher process gives them back when the program is killed or
// crashes; and programs on one mixer share the user's levels (SharedLevels.h, LevelTurn.h), so
// that the last one to end gives back the levels the first one found.
//
// The watcher is forked first thing in main(), before any thread, display or sound device exists,
// and is joined to the program by a socket pair. The program tells it, one line each:
//     levels shared|alone 0xC000C000 0x11111111 - ... (wave 0, aux 1..5; "-": not to be written)
//         after the setup at start: the user's levels, and whether they are in the share file;
//     back
//         after a close that gave them back, or left them to another program still running.
// It waits in a blocking read and ends at "back". When the socket closes without it (a kill, a
// crash, or a close whose writes failed), it gives the levels back through the mixer that
// PROGEN_MIXER names, unless another program on that mixer still holds them; a line whose write
// fails (the sound server gone) is tried again every half second for a minute, long enough for a
// server to restart and short enough to end before a session's stop timeout, and the lines
// already written are left as they are. It ignores the terminal's and the session's signals
// (SIGINT, SIGQUIT, SIGTSTP, SIGTERM, SIGHUP): it ends by itself.
//
// A program without a watcher (a test of the window) keeps its levels to itself: nothing is shared
// and nothing is given back but at its close.

#include "audio/platform/levels/LevelTurn.h"
#include "audio/platform/levels/ShareText.h"

#include <string>

namespace platform {

// Forks the watcher of the mixer that PROGEN_MIXER names. Call it before any thread starts. Without
// a mixer, or if the fork fails, the program runs unwatched.
void StartLevelWatcher();

// The program as its watcher knows it, while it has one.
struct WatchedProgram {
    std::string mixer; // the canonical choice
    Holder self;
    LineLevels handed{}; // the last levels handed over
};
const WatchedProgram* Watched();

// Hands the watcher the user's levels, and whether they are in the share file.
void HandLevels(bool shared, const LineLevels& levels);

// Tells the watcher that the levels are back or left to another program; it then ends.
void ReleaseWatcher();

} // namespace platform
