// Multimedia files over POSIX file descriptors. Only regular files are opened, and a file opened
// for writing is never reached through a symbolic link: a link planted where the program writes
// must not make it truncate another file.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/system/Handles.h"
#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD AccessMask = MMIO_WRITE | MMIO_READWRITE;

platform::HandleTable<HMMIO__>& Files() {
    return platform::Platform::Current().MultimediaFiles();
}

int OpenFlags(DWORD fdwOpen) {
    const bool create = (fdwOpen & MMIO_CREATE) != 0;
    int flags = O_CLOEXEC;
    switch (fdwOpen & AccessMask) {
    case MMIO_READ:
        // Truncating needs write access: O_TRUNC on a read-only descriptor is undefined.
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
        flags |= O_CREAT | O_TRUNC;
    }
    if ((flags & O_ACCMODE) != O_RDONLY) {
        flags |= O_NOFOLLOW;
    }
    return flags;
}

// Moves up to `cch` bytes between the file and `pch` with `syscall` (read or write). Stops early
// at the end of the file; -1 when the call fails.
template <class Buffer, class Syscall>
LONG Transfer(HMMIO hmmio, Buffer* pch, LONG cch, Syscall syscall) {
    const HMMIO__* file = Files().Find(hmmio);
    if (file == nullptr || cch < 0 || (pch == nullptr && cch > 0)) {
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
    // O_NONBLOCK keeps a planted FIFO from stalling the open; regular files ignore it.
    platform::UniqueFd fd(::open(pszFileName, OpenFlags(fdwOpen) | O_NONBLOCK, 0666));
    struct stat status {};
    if (!fd || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    return Files().Add(std::make_unique<HMMIO__>(HMMIO__{std::move(fd)}));
}

LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
    return Transfer(hmmio, pch, cch, ::read);
}

LONG mmioWrite(HMMIO hmmio, const char* pch, LONG cch) {
    return Transfer(hmmio, pch, cch, ::write);
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
