#include "audio/platform/levels/RuntimeFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

RuntimeFolder OpenRuntimeFolder(std::string& problem) {
    RuntimeFolder folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        folder.path = runtime;
    } else {
        folder.path = "/tmp/progen-" + std::to_string(::geteuid());
        ::mkdir(folder.path.c_str(), 0700);
    }
    // The checks are made on the folder opened, so that it cannot be swapped after them.
    UniqueFd fd(::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!fd || ::fstat(fd.Get(), &status) != 0) {
        problem = folder.path + " cannot be opened as a folder";
    } else if (status.st_uid != ::geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        problem = folder.path + " is not this user's alone";
    } else {
        folder.fd = std::move(fd);
    }
    return folder;
}

} // namespace platform
