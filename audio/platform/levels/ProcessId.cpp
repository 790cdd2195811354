#include "audio/platform/levels/ProcessId.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <optional>
#include <sstream>

namespace platform {
namespace {

struct ProcessState {
    char state;
    unsigned long long start;
};

// The state letter and start time in /proc/PID/stat; the name before them may hold any byte.
std::optional<ProcessState> StateOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(in, text)) {
        return std::nullopt;
    }
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(text.substr(nameEnd + 1));
    ProcessState process{};
    fields >> process.state;
    // The start time is field 22; the state is field 3.
    std::string skipped;
    for (int field = 4; field < 22; ++field) {
        fields >> skipped;
    }
    fields >> process.start;
    if (!fields) {
        return std::nullopt;
    }
    return process;
}

} // namespace

ProcessId IdOf(pid_t pid) {
    const std::optional<ProcessState> state = StateOf(pid);
    return {pid, state ? state->start : 0};
}

bool Alive(const ProcessId& process) {
    if (process.pid <= 0 || (::kill(process.pid, 0) != 0 && errno == ESRCH)) {
        return false;
    }
    const std::optional<ProcessState> state = StateOf(process.pid);
    if (!state) {
        return true; // it exists, and /proc cannot tell more
    }
    const bool ended = state->state == 'Z' || state->state == 'X';
    const bool reused = process.start != 0 && state->start != process.start;
    return !ended && !reused;
}

const std::string& BootId() {
    static const std::string id = [] {
        std::ifstream in("/proc/sys/kernel/random/boot_id");
        std::string line;
        std::getline(in, line);
        return line;
    }();
    return id;
}

} // namespace platform
