#pragma once

// The user's mixer levels, shared by every program on one mixer: the first program to start
// saves the levels it finds, later ones take them from here rather than from the mixer (which
// then holds the first one's own), and the last one to end gives them back.
//
// They live in a small file in the user's runtime folder ($XDG_RUNTIME_DIR, else /tmp/progen-UID),
// one per mixer, named after a hash of the mixer's canonical choice:
//
//     mixer=file:/home/user/mixer.txt
//     wave0=0xC000C000
//     aux1=0x11111111            one line per device; "unread" for a level that could not be read
//     ...
//     aux5=0x55555555
//     holder=4711/123456 4712/123457     per holder: its program and its watcher, each pid/start
//     end
//
// Whoever reads or writes it holds an exclusive flock on it, from reading to writing. A holder
// counts while its program or its watcher lives (a pid with the same start time, not a zombie),
// so an entry left by a crash of both is dropped, and a reused pid is told apart. The file goes
// away when its last holder leaves. A file that cannot be parsed holds no one: each program keeps
// its own copy of the user's levels, so nothing is lost with it.

#include "audio/platform/mixer/Mixer.h"
#include "audio/platform/util/UniqueFd.h"

#include <array>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// The six lines' levels by device number; a level that could not be read holds nothing, and is
// never written back.
using LineLevels = std::array<std::optional<DWORD>, MixerLines>;

// A process told apart from a later one with the same pid by its start time (clock ticks after
// boot; 0 where /proc cannot tell).
struct ProcessId {
    pid_t pid = 0;
    unsigned long long start = 0;
    bool operator==(const ProcessId&) const = default;
};
ProcessId IdOf(pid_t pid);
// Whether it still runs: not gone, not a zombie, not a later process with its pid.
bool Alive(const ProcessId& process);

struct Holder {
    ProcessId program;
    ProcessId watcher;
    bool operator==(const Holder&) const = default;
};

struct ShareContents {
    LineLevels levels{};
    std::vector<Holder> holders;
};

// The holders that still live, but for `program`'s own.
std::vector<Holder> OtherLiveHolders(const ShareContents& contents, const ProcessId& program);
bool Holds(const ShareContents& contents, const ProcessId& program);

// The share file of one mixer, locked while this object lives.
class SharedLevels {
public:
    // Locks the share of `mixer` (a canonical mixer choice), waiting a few seconds at most for
    // whoever holds it. Nothing if there is no runtime folder or the lock cannot be had.
    static std::optional<SharedLevels> Lock(const std::string& mixer);

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

private:
    SharedLevels(UniqueFd fd, std::string path, std::string mixer);

    UniqueFd fd_;
    std::string path_;
    std::string mixer_;
};

} // namespace platform
