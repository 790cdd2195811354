// Multimedia files over POSIX file descriptors. Only regular files are opened, and a file opened
// for writing is never reached through a symbolic link: a link planted where the program writes
// must not make it truncate another file. A created file is truncated only when it has no other
// name, and later opens of its name use it, not what the name stands for by then: the file the
// program wrote is the one it reads back.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/system/Handles.h"
#include "audio/platform/util/RegularFile.h"
#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <unistd.h>

namespace {

constexpr DWORD AccessMask = MMIO_WRITE | MMIO_READWRITE;

platform::HandleTable<HMMIO__>& Files() {
    return platform::Platform::Current().MultimediaFiles();
}

// The file `name` as the open flags ask for it, or no descriptor.
platform::UniqueFd OpenByName(const char* name, DWORD fdwOpen) {
    const bool create = (fdwOpen & MMIO_CREATE) != 0;
    // O_NONBLOCK keeps a planted FIFO from stalling the open; regular files ignore it.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (fdwOpen & AccessMask) {
    case MMIO_READ:
        // Truncating needs write access.
        flags |= create ? O_RDWR : O_RDONLY;
        break;
    case MMIO_WRITE:
        flags |= O_WRONLY;
        break;
    default:
        flags |= O_RDWR;
        break;
    }
    if (create) {
        flags |= O_CREAT;
    }
    if ((flags & O_ACCMODE) != O_RDONLY) {
        flags |= O_NOFOLLOW;
    }
    platform::UniqueFd fd(::open(name, flags, 0666));
    if (!fd || !platform::RegularFile(fd.Get(), create)) {
        return {};
    }
    return fd;
}

platform::UniqueFd Duplicate(const platform::UniqueFd& fd) {
    return platform::UniqueFd(::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 0));
}

// Moves up to `cch` bytes between the file and `pch` with `syscall` (read or write). Stops early
// at the end of the file; -1 when the call fails.
template <class Buffer, class Syscall>
LONG Transfer(HMMIO hmmio, Buffer* pch, LONG cch, bool HMMIO__::*allowed, Syscall syscall) {
    const HMMIO__* file = Files().Find(hmmio);
    if (file == nullptr || !(file->*allowed) || cch < 0 || (pch == nullptr && cch > 0)) {
        return -1;
    }
    const ssize_t moved =
        platform::TransferWhole(static_cast<std::size_t>(cch), [&](std::size_t done) {
            return syscall(file->fd.Get(), pch + done, static_cast<std::size_t>(cch) - done);
        });
    return static_cast<LONG>(moved);
}

} // namespace

HMMIO mmioOpenA(LPCSTR pszFileName, MMIOINFO* /*pmmioinfo*/, DWORD fdwOpen) {
    if (pszFileName == nullptr || (fdwOpen & ~(AccessMask | MMIO_CREATE)) != 0 ||
        (fdwOpen & AccessMask) == AccessMask) {
        return nullptr;
    }
    platform::CreatedFile& created = platform::Platform::Current().LastCreatedFile();
    platform::UniqueFd fd;
    if ((fdwOpen & MMIO_CREATE) != 0) {
        created = {};
        fd = OpenByName(pszFileName, fdwOpen);
        if (fd) {
            created = {pszFileName, Duplicate(fd)};
        }
    } else if (created.fd && created.name == pszFileName) {
        fd = Duplicate(created.fd);
        if (fd && ::lseek(fd.Get(), 0, SEEK_SET) != 0) {
            fd = {};
        }
    } else {
        fd = OpenByName(pszFileName, fdwOpen);
    }
    if (!fd) {
        return nullptr;
    }
    const DWORD access = fdwOpen & AccessMask;
    return Files().Add(std::make_unique<HMMIO__>(
        HMMIO__{std::move(fd), access != MMIO_WRITE, access != MMIO_READ}));
}

LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
    return Transfer(hmmio, pch, cch, &HMMIO__::reads, ::read);
}

LONG mmioWrite(HMMIO hmmio, const char* pch, LONG cch) {
    return Transfer(hmmio, pch, cch, &HMMIO__::writes, ::write);
}

LONG mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
    const HMMIO__* file = Files().Find(hmmio);
    if (file == nullptr || (iOrigin != SEEK_SET && iOrigin != SEEK_CUR && iOrigin != SEEK_END)) {
        return -1;
    }
    const off_t position = ::lseek(file->fd.Get(), lOffset, iOrigin);
    if (position < 0 || position > std::numeric_limits<LONG>::max()) {
        return -1;
    }
    return static_cast<LONG>(position);
}

MMRESULT mmioClose(HMMIO hmmio, UINT /*wFlags*/) {
    return Files().Remove(hmmio) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}
