#pragma once

// What the global memory and multimedia file handles stand for (GlobalMemory.cpp,
// MultimediaFile.cpp); the platform keeps them in its tables (../Platform.h).

#include "audio/platform/MMSystem.h"
#include "audio/platform/util/UniqueFd.h"

#include <cstdlib>
#include <memory>

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
};
