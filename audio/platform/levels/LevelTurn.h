#pragma once

// The program's turn at the user's levels, at start and at close: while it lives, no other program
// on this mixer saves, sets or gives back levels. It keeps the share (SharedLevels.h) and the
// watcher (LevelWatcher.h) up to date; a program without a watcher keeps its levels to itself.

#include "audio/platform/levels/SharedLevels.h"

#include <optional>

namespace platform {

class LevelTurn {
public:
    LevelTurn();

    // At start, with the levels just `read` and those the start then `sets` (none: nothing is
    // left out below): the user's levels to
    // give back, handed to the watcher. Those of a program already running on this mixer, else
    // those of a share whose holders all ended without giving them back (said on standard
    // error), each line completed from `read` where it has none; else `read`.
    //
    // Without a share to use (said on standard error), the mixer may hold another program's
    // settings, found where it has no share either: a line read at the level the start sets is
    // then left out, and not given back. Where the user's level is that one, nothing is lost.
    LineLevels Keep(const LineLevels& read, const LineLevels& sets = {});
    // At close: whether this program gives the levels back, being the last one on its mixer.
    bool Last() const;
    // At close, after the levels were given back (`givenBack`: every write succeeded) or left to
    // another program: tells the watcher, which then ends. After a failed write the watcher takes
    // over when the program has ended.
    void Leave(bool givenBack);

private:
    std::string problem_; // why there is no share; made before the share
    std::optional<SharedLevels> share_;
};

} // namespace platform
