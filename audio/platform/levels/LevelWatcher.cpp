#include "audio/platform/levels/LevelWatcher.h"

#include "audio/platform/BackendChoice.h"
#include "audio/platform/levels/SharedLevels.h"
#include "audio/platform/mixer/LevelText.h"
#include "audio/platform/system/Clock.h"
#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

// A sound server that restarts is back within a second or two; a minute still ends before a
// session's stop timeout (90 s by default) would kill the watcher.
constexpr auto RetryEvery = 500ms;
constexpr auto RetryFor = 60s;

constexpr std::string_view LevelsWord = "levels";
constexpr std::string_view SharedWord = "shared";
constexpr std::string_view BackWord = "back";
constexpr std::string_view NotRead = "-";

// The program's end of the socket, and what its turns need.
struct Link {
    UniqueFd socket;
    WatchedProgram program;
};

std::optional<Link>& TheLink() {
    static std::optional<Link> link;
    return link;
}

void Tell(std::string_view line) {
    const std::optional<Link>& link = TheLink();
    if (link && link->socket) {
        // No SIGPIPE if the watcher has gone.
        TransferWhole(line.size(), [&](std::size_t done) {
            return ::send(link->socket.Get(), line.data() + done, line.size() - done, MSG_NOSIGNAL);
        });
    }
}

std::string LevelsLine(bool shared, const LineLevels& levels) {
    std::string line(LevelsWord);
    line += ' ';
    line += shared ? SharedWord : "alone";
    for (const std::optional<DWORD>& level : levels) {
        line += ' ';
        line += level ? LevelText(*level) : std::string(NotRead);
    }
    return line + '\n';
}

// What the program handed over at its start.
struct Handed {
    bool shared = false;
    LineLevels levels{};
};

std::optional<Handed> ParseLevelsLine(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    Handed handed;
    if (!(words >> word) || word != LevelsWord || !(words >> word)) {
        return std::nullopt;
    }
    handed.shared = word == SharedWord;
    for (std::optional<DWORD>& level : handed.levels) {
        if (!(words >> word)) {
            return std::nullopt;
        }
        if (word != NotRead) {
            level = ParseLevelText(word);
            if (!level) {
                return std::nullopt;
            }
        }
    }
    return handed;
}

// The lines already given back since the program ended.
using Written = std::array<bool, MixerLines>;

// Writes every level not yet written, in the order of the close. True when each write succeeded.
bool GiveBack(Mixer* mixer, const LineLevels& levels, Written& written) {
    if (!mixer) {
        return false;
    }
    bool all = true;
    for (const unsigned device : LevelOrder) {
        if (levels[device] && !written[device]) {
            written[device] = mixer->SetVolume(device, *levels[device]) == MMSYSERR_NOERROR;
            all = all && written[device];
        }
    }
    return all;
}

// One try, after the program has ended, to see the user's levels back. False when a write failed.
bool TryAfterEnd(const std::string& choice, Mixer* mixer, const ProcessId& program,
                 const std::optional<Handed>& handed, Written& written) {
    std::optional<SharedLevels> share =
        !handed || handed->shared ? SharedLevels::Lock(choice) : std::nullopt;
    if (!share) {
        return !handed || GiveBack(mixer, handed->levels, written);
    }
    const std::optional<ShareContents> contents = share->ReadSettingAside();
    if (!contents) {
        // A file gone bad holds no one; our own copy is the user's levels.
        if (handed && !GiveBack(mixer, handed->levels, written)) {
            return false;
        }
        share->Write({});
        return true;
    }
    if (!Holds(*contents, program)) {
        return true; // given back at the close, or left to another program
    }
    std::vector<Holder> others = OtherLiveHolders(*contents, program);
    if (others.empty() && !GiveBack(mixer, contents->levels, written)) {
        return false;
    }
    share->Write({contents->levels, std::move(others), {}});
    return true;
}

// After trying for long enough: leaves the share, so that the others count this one no more.
void GiveUp(const std::string& choice, const ProcessId& program) {
    std::cerr << "progen: the mixer " << choice
              << " cannot be reached; the user's levels were not given back\n";
    if (const std::optional<SharedLevels> share = SharedLevels::Lock(choice)) {
        if (const std::optional<ShareContents> contents = share->Read();
            contents && Holds(*contents, program)) {
            share->Write({contents->levels, OtherLiveHolders(*contents, program), {}});
        }
    }
}

// Keeps the socket (as descriptor 3) and standard error; everything else the program had at its
// start goes, standard input and output to /dev/null.
void KeepOnly(int socket) {
    constexpr int kept = 3;
    if (socket != kept) {
        ::dup2(socket, kept);
    }
    ::close_range(kept + 1, ~0U, 0);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        if (null > kept) {
            ::close(null);
        }
    }
}

[[noreturn]] void Watch(int socket, const std::string& choice, const ProcessId& program) {
    for (const int ignored : {SIGINT, SIGQUIT, SIGTSTP, SIGTERM, SIGHUP}) {
        std::signal(ignored, SIG_IGN);
    }
    KeepOnly(socket);
    socket = 3;
    // No folder of the program's is held busy.
    [[maybe_unused]] const int atRoot = ::chdir("/");

    std::optional<Handed> handed;
    std::string received;
    char chunk[256];
    for (;;) {
        const ssize_t got = ::read(socket, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break; // the program has ended
        }
        received.append(chunk, static_cast<std::size_t>(got));
        for (std::size_t end; (end = received.find('\n')) != std::string::npos;) {
            const std::string line = received.substr(0, end);
            received.erase(0, end + 1);
            if (line == BackWord) {
                std::_Exit(0);
            }
            if (auto levels = ParseLevelsLine(line)) {
                handed = *levels;
            }
        }
    }

    // The mixer is opened only now, so that the watcher holds no device while it waits.
    const std::unique_ptr<Mixer> mixer = MakeMixer(choice);
    Clock& clock = CurrentClock();
    const Clock::TimePoint deadline = clock.Now() + RetryFor;
    Written written{};
    while (!TryAfterEnd(choice, mixer.get(), program, handed, written)) {
        if (clock.Now() >= deadline) {
            GiveUp(choice, program);
            std::_Exit(1);
        }
        clock.SleepUntil(clock.Now() + RetryEvery);
    }
    std::_Exit(0);
}

} // namespace

void StartLevelWatcher() {
    const std::optional<std::string> mixer = CanonicalMixerChoice(MixerChoice());
    if (!mixer || TheLink()) {
        return;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);
    const ProcessId program = IdOf(::getpid());
    const pid_t watcher = ::fork();
    if (watcher < 0) {
        return;
    }
    if (watcher == 0) {
        ours = UniqueFd();
        Watch(theirs.Get(), *mixer, program);
    }
    TheLink() = Link{std::move(ours), {*mixer, {program, IdOf(watcher)}, {}}};
}

const WatchedProgram* Watched() {
    const std::optional<Link>& link = TheLink();
    return link ? &link->program : nullptr;
}

void HandLevels(bool shared, const LineLevels& levels) {
    if (std::optional<Link>& link = TheLink()) {
        link->program.handed = levels;
        Tell(LevelsLine(shared, levels));
    }
}

void ReleaseWatcher() {
    if (std::optional<Link>& link = TheLink()) {
        Tell(std::string(BackWord) + '\n');
        link->socket = UniqueFd();
    }
}

} // namespace platform
