#pragma once

// The one loop that moves a whole buffer through read, write or pwrite: those may move less than
// asked, and a signal may interrupt them before they move anything.

#include <cerrno>
#include <cstddef>
#include <sys/types.h>

namespace platform {

// Calls `transfer(done)`, which moves what is left from byte `done` on and answers as read or
// write do, until `size` bytes have moved. Retries a call that a signal interrupted. Returns the
// bytes moved: fewer than `size` where a call moved nothing (the end of a file), -1 when one
// failed.
template <typename Transfer>
ssize_t TransferWhole(std::size_t size, Transfer transfer) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t moved = transfer(done);
        if (moved < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (moved == 0) {
            break;
        }
        done += static_cast<std::size_t>(moved);
    }
    return static_cast<ssize_t>(done);
}

} // namespace platform
