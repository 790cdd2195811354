#include "audio/platform/levels/SharedLevels.h"

#include "audio/platform/levels/RuntimeFolder.h"
#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
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

constexpr std::string_view AsideSuffix = ".unreadable";

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

// The open file is the one named `name` in `folder`: nobody removed or renamed it between our
// open and our lock, and it has no other name.
bool StillThere(int folder, const std::string& name, int fd) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 &&
           ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// The file `name` in `folder`, made if need be and locked; no descriptor, with `problem` telling
// why, when it is not a regular file of this user's with one link or the lock cannot be had.
UniqueFd LockAt(int folder, const std::string& name, std::string& problem) {
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    for (;;) {
        UniqueFd fd(::openat(folder, name.c_str(),
                             O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        struct stat status {};
        if (!fd || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid()) {
            problem = name + " is not a regular file of this user's";
            return {};
        }
        while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                problem = name + " stays locked by another program";
                return {};
            }
            std::this_thread::sleep_for(LockRetry);
        }
        // The last holder of the lock may have removed the file; then lock the new one.
        if (StillThere(folder, name, fd.Get())) {
            if (::fstat(fd.Get(), &status) != 0 || status.st_nlink != 1) {
                problem = name + " has another name too";
                return {};
            }
            return fd;
        }
    }
}

} // namespace

std::optional<SharedLevels> SharedLevels::Lock(const std::string& mixer, std::string* problem) {
    std::string why;
    RuntimeFolder folder;
    UniqueFd fd;
    const std::string name = FileName(mixer);
    if (mixer.find('\n') != std::string::npos) {
        why = "the mixer's name holds a line break";
    } else if (folder = OpenRuntimeFolder(why); folder.fd) {
        fd = LockAt(folder.fd.Get(), name, why);
        why = folder.path + "/" + why;
    }
    if (!fd) {
        if (problem) {
            *problem = why;
        }
        return std::nullopt;
    }
    return SharedLevels(std::move(folder.fd), folder.path, name, std::move(fd), mixer);
}

SharedLevels::SharedLevels(UniqueFd folder, std::string folderPath, std::string name, UniqueFd fd,
                           std::string mixer)
    : folder_(std::move(folder)), folderPath_(std::move(folderPath)), name_(std::move(name)),
      fd_(std::move(fd)), mixer_(std::move(mixer)) {}

SharedLevels::~SharedLevels() {
    // Only a holder of the lock removes the file, so while we hold it the name is still ours.
    struct stat status {};
    if (fd_ && ::fstat(fd_.Get(), &status) == 0 && status.st_size == 0 &&
        StillThere(folder_.Get(), name_, fd_.Get())) {
        ::unlinkat(folder_.Get(), name_.c_str(), 0);
    }
}

namespace {

// The whole file; nothing when it cannot be read or is far too large to be a share.
std::optional<std::string> WholeText(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > LargestFile) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    const auto readAt = [&](std::size_t done) {
        return ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    };
    if (TransferWhole(text.size(), readAt) != static_cast<ssize_t>(text.size())) {
        return std::nullopt;
    }
    return text;
}

// An empty file holds no one yet.
std::optional<ShareContents> Contents(const std::string& text, const std::string& mixer) {
    return text.empty() ? ShareContents{} : ParseShare(text, mixer);
}

} // namespace

std::optional<ShareContents> SharedLevels::Read() const {
    const std::optional<std::string> text = WholeText(fd_.Get());
    return text ? Contents(*text, mixer_) : std::nullopt;
}

std::optional<ShareContents> SharedLevels::ReadSettingAside() {
    for (;;) {
        const std::optional<std::string> text = WholeText(fd_.Get());
        if (!text) {
            return std::nullopt;
        }
        std::optional<ShareContents> contents = Contents(*text, mixer_);
        if (contents || !BeginsAsShare(*text)) {
            return contents;
        }
        const std::string aside = name_ + std::string(AsideSuffix);
        std::string problem;
        UniqueFd fresh;
        if (::renameat(folder_.Get(), name_.c_str(), folder_.Get(), aside.c_str()) == 0) {
            fresh = LockAt(folder_.Get(), name_, problem);
        }
        fd_ = std::move(fresh);
        if (!fd_) {
            return std::nullopt;
        }
        std::cerr << "progen: " << folderPath_ << "/" << name_ << " cannot be read; it is kept as "
                  << aside << "\n";
    }
}

bool SharedLevels::Write(const ShareContents& contents) const {
    if (!fd_) {
        return false;
    }
    if (contents.holders.empty()) {
        return ::ftruncate(fd_.Get(), 0) == 0; // removed at the unlock
    }
    // Written over the old text and then cut to length: a kill between the two leaves the new
    // text with the old one's tail after its "end", which the reader ignores.
    const std::string text = FormatShare(contents, mixer_);
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
