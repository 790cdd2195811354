#pragma once

// What the global memory and multimedia file handles stand for (GlobalMemory.cpp,
// MultimediaFile.cpp); the platform keeps them in its tables (../Platform.h).

#include "audio/platform/MMSystem.h"
#include "audio/platform/util/UniqueFd.h"

#include <cstdlib>
#include <memory>
#include <string>

// One heap block and its lock count. Blocks never move, so a lock only counts.
struct HGLOBAL__ {
    struct Free {
        void operator()(void* block) const { std::free(block); }
    };
    std::unique_ptr<void, Free> bytes;
    SIZE_T size = 0;
    unsigned locks = 0;
};

struct HMMIO__ {
    platform::UniqueFd fd;
    bool reads = false;
    bool writes = false;
};

namespace platform {

// The file the last MMIO_CREATE open made, and the name it was opened by: later opens of that name
// use it, whatever the name stands for by then.
struct CreatedFile {
    std::string name;
    UniqueFd fd;
};

} // namespace platform
