// WinExec on Linux. The mixer programs of the original platform start the desktop's mixer; any
// other command line runs as given. A program is started without waiting for it and is never our
// child, so nothing is left to reap.

#include "audio/platform/MMSystem.h"
#include "audio/platform/util/UniqueFd.h"
#include "audio/platform/util/WholeTransfer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using platform::UniqueFd;

constexpr UINT Started = 33; // anything above 31
constexpr UINT OutOfResources = 0;

// Words separated by blanks; double quotes keep blanks inside a word.
std::vector<std::string> Words(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
            }
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

bool IsMixerProgram(std::string_view program) {
    // File names of the original platform ignore case.
    std::string lower(program);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "reg.exe" || lower == "sndvol32.exe" || lower == "ctmixer.exe";
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// `program` itself when it names a path, else the first executable of that name in PATH's folders
// (the system's default path when PATH is unset; empty entries name no folder).
std::optional<std::string> FindProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return IsExecutableFile(program) ? std::optional(program) : std::nullopt;
    }
    std::string searchPath;
    if (const char* path = std::getenv("PATH")) {
        searchPath = path;
    } else {
        searchPath.resize(::confstr(_CS_PATH, nullptr, 0));
        ::confstr(_CS_PATH, searchPath.data(), searchPath.size());
        searchPath.resize(searchPath.find('\0'));
    }
    std::string_view rest = searchPath;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        if (!folder.empty()) {
            std::string candidate = std::string(folder) + "/" + program;
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

struct Launch {
    std::string path;
    std::vector<std::string> words; // the first as given
};

std::optional<Launch> Resolve(std::vector<std::string> words) {
    if (words.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> path = FindProgram(words.front());
    if (!path) {
        return std::nullopt;
    }
    return Launch{std::move(*path), std::move(words)};
}

// PROGEN_MIXER_APP, a command line, when set; else the first of the usual desktop mixers found.
std::optional<Launch> DesktopMixer() {
    if (const char* app = std::getenv("PROGEN_MIXER_APP"); app && *app) {
        return Resolve(Words(app));
    }
    if (auto launch = Resolve({"pavucontrol"})) {
        return launch;
    }
    if (auto launch = Resolve({"pwvucontrol"})) {
        return launch;
    }
    if (!FindProgram("alsamixer")) {
        return std::nullopt;
    }
    return Resolve({"x-terminal-emulator", "-e", "alsamixer"});
}

UINT ResultOfErrno(int error) {
    switch (error) {
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
    case EMFILE:
    case ENFILE:
        return OutOfResources;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case ENOEXEC:
    case ELIBBAD:
        return ERROR_BAD_FORMAT;
    default:
        return ERROR_FILE_NOT_FOUND;
    }
}

// Runs in the grandchild, so only async-signal-safe calls. The program gets a clean signal state,
// a session of its own (our terminal's Ctrl+C is not for it) and none of our descriptors (it must
// not keep the sound device or our files open). A failed exec reports its errno on `errorPipe`.
[[noreturn]] void StartProgram(const char* path, char* const argv[], int errorPipe, int maxFd) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number = 1; number < NSIG; ++number) {
        std::signal(number, SIG_DFL);
    }
    setsid();
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < maxFd; ++fd) {
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    execve(path, argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t reported = write(errorPipe, &error, sizeof error);
    _exit(127);
}

UINT Spawn(const Launch& launch) {
    std::vector<char*> argv;
    for (const std::string& word : launch.words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const int maxFd = static_cast<int>(std::min(::sysconf(_SC_OPEN_MAX), 65536L));

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return ResultOfErrno(errno);
    }
    const UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);

    const pid_t child = ::fork();
    if (child < 0) {
        return ResultOfErrno(errno);
    }
    if (child == 0) {
        // The middle child only starts the program and ends, so the program is adopted by init.
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            StartProgram(launch.path.c_str(), argv.data(), writeEnd.Get(), maxFd);
        }
        if (grandchild < 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t reported = write(writeEnd.Get(), &error, sizeof error);
        }
        _exit(0);
    }
    writeEnd = UniqueFd();
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // End of file: the program has been executed. Else the errno of what failed.
    int error = 0;
    const ssize_t got = platform::TransferWhole(sizeof error, [&](std::size_t done) {
        return ::read(readEnd.Get(), reinterpret_cast<char*>(&error) + done, sizeof error - done);
    });
    return got == sizeof error ? ResultOfErrno(error) : Started;
}

} // namespace

// The show command is the desktop's matter on Linux; it is taken and ignored.
UINT WinExec(LPCSTR lpCmdLine, UINT /*uCmdShow*/) {
    std::vector<std::string> words = Words(lpCmdLine ? lpCmdLine : "");
    if (words.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::optional<Launch> launch =
        IsMixerProgram(words.front()) ? DesktopMixer() : Resolve(std::move(words));
    return launch ? Spawn(*launch) : ERROR_FILE_NOT_FOUND;
}
