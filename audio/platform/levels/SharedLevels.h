#pragma once

// The user's mixer levels, shared by every program on one mixer: the first program to start
// saves the levels it finds, later ones take them from here rather than from the mixer (which
// then holds the first one's own), and the last one to end gives them back.
//
// They live in a small file in the user's runtime folder (RuntimeFolder.h), one per mixer, named
// after a hash of the mixer's canonical choice; ShareText.h gives its text. The file is used only
// when it is a regular file of this user's with one link.
//
// Whoever reads or writes it holds an exclusive flock on it, from reading to writing. A holder
// counts while its program or its watcher lives (a pid with the same start time in the same boot,
// not a zombie), so a reused pid is told apart. The file goes away when its last holder leaves:
// one whose holders have all gone was never given back, and still holds the user's levels.

#include "audio/platform/levels/ShareText.h"
#include "audio/platform/util/UniqueFd.h"

#include <optional>
#include <string>

namespace platform {

// The share file of one mixer, locked while this object lives.
class SharedLevels {
public:
    // Locks the share of `mixer` (a canonical mixer choice), waiting a few seconds at most for
    // whoever holds it. Nothing, with `problem` (if given) telling why, if there is no runtime
    // folder to use, the file is not one to use or the lock cannot be had.
    static std::optional<SharedLevels> Lock(const std::string& mixer,
                                            std::string* problem = nullptr);

    // Removes the file if it is empty (nothing was ever written to it), then unlocks.
    ~SharedLevels();
    SharedLevels(SharedLevels&&) noexcept = default;
    SharedLevels& operator=(SharedLevels&&) = delete;

    // No holders when there is no file; nothing when it cannot be read or parsed, or belongs to
    // another mixer.
    std::optional<ShareContents> Read() const;
    // Replaces the file's contents; with no holders left, the file goes at the unlock. False on a
    // failed write.
    bool Write(const ShareContents& contents) const;

    // Read(), but a file that cannot be read and still begins as a share, which may hold the
    // user's levels, is first renamed aside (to its name and ".unreadable", said on standard
    // error) and a new file in its place is locked and read instead. When that cannot be done,
    // nothing: then this object can neither read nor write any more.
    std::optional<ShareContents> ReadSettingAside();

private:
    SharedLevels(UniqueFd folder, std::string folderPath, std::string name, UniqueFd fd,
                 std::string mixer);

    UniqueFd folder_;
    std::string folderPath_;
    std::string name_;
    UniqueFd fd_;
    std::string mixer_;
};

} // namespace platform
