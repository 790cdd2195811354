#include "audio/platform/levels/SharedLevels.h"

#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

// Another holder keeps the lock for a few file operations and mixer writes; one that keeps it
// far longer is stuck (stopped, say), and the program then goes on alone.
constexpr auto LockWait = 2s;
constexpr auto LockRetry = 10ms;

// A share file is a dozen short lines; a far larger one is not ours.
constexpr std::size_t LargestFile = 1 << 16;

constexpr std::string_view Unread = "unread";

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

std::string Folder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        return runtime;
    }
    // /tmp is everybody's: a folder of our own, and only if nobody else can have made it.
    const std::string folder = "/tmp/progen-" + std::to_string(::geteuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid() || (status.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}

std::string FileName(const std::string& mixer) {
    // FNV-1a: only to keep the name short; the file names its mixer inside.
    std::uint64_t hash = 0xcbf29ce484222325;
    for (const char c : mixer) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
    }
    char name[40];
    std::snprintf(name, sizeof name, "progen-levels-%016llx",
                  static_cast<unsigned long long>(hash));
    return name;
}

std::string DeviceKey(unsigned device) {
    return (device == WaveDevice ? "wave" : "aux") + std::to_string(device) + "=";
}

template <class Number>
bool ParseNumber(std::string_view text, Number& number, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "PID/START".
std::optional<ProcessId> ParseProcess(std::string_view text) {
    const std::size_t slash = text.find('/');
    ProcessId process;
    if (slash == std::string_view::npos || !ParseNumber(text.substr(0, slash), process.pid) ||
        !ParseNumber(text.substr(slash + 1), process.start) || process.pid <= 0) {
        return std::nullopt;
    }
    return process;
}

std::string Format(const ProcessId& process) {
    return std::to_string(process.pid) + "/" + std::to_string(process.start);
}

std::optional<ShareContents> Parse(std::string_view text, const std::string& mixer) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt; // cut short
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (lines.back() == "end") {
            break; // whatever follows is left from a longer earlier version
        }
    }
    if (lines.size() < MixerLines + 2 || lines.front() != "mixer=" + mixer ||
        lines.back() != "end") {
        return std::nullopt;
    }
    ShareContents contents;
    for (unsigned device = 0; device < MixerLines; ++device) {
        const std::string_view line = lines[1 + device];
        const std::string key = DeviceKey(device);
        if (!line.starts_with(key)) {
            return std::nullopt;
        }
        const std::string_view value = line.substr(key.size());
        DWORD level = 0;
        if (value.starts_with("0x") && ParseNumber(value.substr(2), level, 16)) {
            contents.levels[device] = level;
        } else if (value != Unread) {
            return std::nullopt;
        }
    }
    constexpr std::string_view holderKey = "holder=";
    for (std::size_t i = 1 + MixerLines; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t blank = line.find(' ');
        if (!line.starts_with(holderKey) || blank == std::string_view::npos) {
            return std::nullopt;
        }
        const auto program = ParseProcess(line.substr(holderKey.size(), blank - holderKey.size()));
        const auto watcher = ParseProcess(line.substr(blank + 1));
        if (!program || !watcher) {
            return std::nullopt;
        }
        contents.holders.push_back({*program, *watcher});
    }
    return contents;
}

std::string Format(const ShareContents& contents, const std::string& mixer) {
    std::string text = "mixer=" + mixer + "\n";
    for (unsigned device = 0; device < MixerLines; ++device) {
        text += DeviceKey(device);
        if (const auto& level = contents.levels[device]) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", *level);
            text += hex;
        } else {
            text += Unread;
        }
        text += '\n';
    }
    for (const Holder& holder : contents.holders) {
        text += "holder=" + Format(holder.program) + " " + Format(holder.watcher) + "\n";
    }
    return text + "end\n";
}

// The open file is still the one at `path`: nobody removed it between our open and our lock.
bool StillThere(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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

std::vector<Holder> OtherLiveHolders(const ShareContents& contents, const ProcessId& program) {
    std::vector<Holder> others;
    for (const Holder& holder : contents.holders) {
        if (holder.program != program && (Alive(holder.program) || Alive(holder.watcher))) {
            others.push_back(holder);
        }
    }
    return others;
}

bool Holds(const ShareContents& contents, const ProcessId& program) {
    for (const Holder& holder : contents.holders) {
        if (holder.program == program) {
            return true;
        }
    }
    return false;
}

std::optional<SharedLevels> SharedLevels::Lock(const std::string& mixer) {
    const std::string folder = Folder();
    if (folder.empty() || mixer.find('\n') != std::string::npos) {
        return std::nullopt;
    }
    const std::string path = folder + "/" + FileName(mixer);
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    for (;;) {
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            return std::nullopt;
        }
        while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                return std::nullopt;
            }
            std::this_thread::sleep_for(LockRetry);
        }
        // The last holder of the lock may have removed the file; then lock the new one.
        if (StillThere(fd.Get(), path)) {
            return SharedLevels(std::move(fd), path, mixer);
        }
    }
}

SharedLevels::SharedLevels(UniqueFd fd, std::string path, std::string mixer)
    : fd_(std::move(fd)), path_(std::move(path)), mixer_(std::move(mixer)) {}

SharedLevels::~SharedLevels() {
    // Only a holder of the lock removes the file, so while we hold it the path is still ours.
    struct stat status {};
    if (fd_ && ::fstat(fd_.Get(), &status) == 0 && status.st_size == 0 &&
        StillThere(fd_.Get(), path_)) {
        ::unlink(path_.c_str());
    }
}

std::optional<ShareContents> SharedLevels::Read() const {
    struct stat status {};
    if (::fstat(fd_.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > LargestFile) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    const auto readAt = [&](std::size_t done) {
        return ::pread(fd_.Get(), text.data() + done, text.size() - done, static_cast<off_t>(done));
    };
    if (TransferWhole(text.size(), readAt) != static_cast<ssize_t>(text.size())) {
        return std::nullopt;
    }
    if (text.empty()) {
        return ShareContents{};
    }
    return Parse(text, mixer_);
}

bool SharedLevels::Write(const ShareContents& contents) const {
    if (contents.holders.empty()) {
        return ::ftruncate(fd_.Get(), 0) == 0; // removed at the unlock
    }
    // Written over the old text and then cut to length: a kill between the two leaves the new
    // text with the old one's tail after its "end", which the reader ignores.
    const std::string text = Format(contents, mixer_);
    const auto writeAt = [&](std::size_t done) {
        return ::pwrite(fd_.Get(), text.data() + done, text.size() - done,
                        static_cast<off_t>(done));
    };
    if (TransferWhole(text.size(), writeAt) != static_cast<ssize_t>(text.size())) {
        return false;
    }
    return ::ftruncate(fd_.Get(), static_cast<off_t>(text.size())) == 0;
}

} // namespace platform
