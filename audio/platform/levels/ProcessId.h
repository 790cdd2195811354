#pragma once

// A process told apart from a later one with the same pid by its start time (clock ticks after
// boot; 0 where /proc cannot tell), and the boot it runs in.

#include <string>
#include <sys/types.h>

namespace platform {

struct ProcessId {
    pid_t pid = 0;
    unsigned long long start = 0;
    bool operator==(const ProcessId&) const = default;
};

ProcessId IdOf(pid_t pid);

// Whether it still runs: not gone, not a zombie, not a later process with its pid.
bool Alive(const ProcessId& process);

// The kernel's id of this boot; empty where /proc cannot tell. Start times and pids are of one
// boot only.
const std::string& BootId();

} // namespace platform
