#pragma once

// The check before a file the program writes is emptied.

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// Whether the open file is a regular one (not a device, a FIFO or a folder); when `truncate`, it
// must also have no other name, whose contents would go too, and it is then emptied.
inline bool RegularFile(int fd, bool truncate) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
           (!truncate || (status.st_nlink == 1 && ::ftruncate(fd, 0) == 0));
}

} // namespace platform
