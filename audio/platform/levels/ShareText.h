#pragma once

// What the share of the user's levels (SharedLevels.h) holds, and its text:
//
//     mixer=file:/home/user/mixer.txt
//     boot=0d1c2f3e-...          the boot it was written in (ProcessId.h)
//     wave0=0xC000C000
//     aux1=0x11111111            one line per device; "unread" for a level that could not be read
//     ...
//     aux5=0x55555555
//     holder=4711/123456 4712/123457     per holder: its program and its watcher, each pid/start
//     end
//
// Whatever follows "end" is left from a longer earlier text and is ignored.

#include "audio/platform/levels/LineLevels.h"
#include "audio/platform/levels/ProcessId.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Holder {
    ProcessId program;
    ProcessId watcher;
    bool operator==(const Holder&) const = default;
};

struct ShareContents {
    LineLevels levels{};
    std::vector<Holder> holders;
    std::string boot = {}; // as read; a text is always written with this boot's
};

// Nothing for a text cut short or of another mixer.
std::optional<ShareContents> ParseShare(std::string_view text, const std::string& mixer);
std::string FormatShare(const ShareContents& contents, const std::string& mixer);

// Whether a text that cannot be parsed still begins as a share does, and may hold levels.
bool BeginsAsShare(std::string_view text);

// The holders that still live, but for `program`'s own; none of another boot.
std::vector<Holder> OtherLiveHolders(const ShareContents& contents, const ProcessId& program);
bool Holds(const ShareContents& contents, const ProcessId& program);

} // namespace platform
