#pragma once

// The user's runtime folder, where the share of the levels lives: $XDG_RUNTIME_DIR when it is set,
// else /tmp/progen-UID, made for it (mode 0700). Either is used only when it is a directory of this
// user's in which nobody else may make, rename or remove a file: su keeps the caller's variable,
// and anybody could have made the second one first.

#include "audio/platform/util/UniqueFd.h"

#include <string>

namespace platform {

struct RuntimeFolder {
    UniqueFd fd; // the directory itself, for the calls relative to it
    std::string path;
};

// The folder, opened; no descriptor, with `problem` telling why, when it cannot be used.
RuntimeFolder OpenRuntimeFolder(std::string& problem);

} // namespace platform
