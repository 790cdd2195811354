// Global memory: a handle owns one heap block and its lock count. Blocks never move, so a lock
// only counts; every block is zero-filled, so nothing uninitialised can reach the device.

#include "audio/platform/HandleTable.h"
#include "audio/platform/MMSystem.h"
#include "audio/platform/Seams.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct HGLOBAL__ {
    struct Free {
        void operator()(void* block) const { std::free(block); }
    };
    std::unique_ptr<void, Free> bytes;
    SIZE_T size = 0;
    unsigned locks = 0;
};

namespace {

constexpr UINT KnownFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;

platform::HandleTable<HGLOBAL__>& Blocks() {
    static platform::HandleTable<HGLOBAL__> blocks;
    return blocks;
}

} // namespace

std::size_t platform::LiveGlobalBlocks() {
    return Blocks().Size();
}

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (platform::EnterCall("GlobalAlloc", {uFlags, static_cast<std::int64_t>(dwBytes)})) {
        return nullptr;
    }
    if ((uFlags & ~KnownFlags) != 0) {
        return nullptr;
    }
    // calloc leaves large blocks to the kernel's zero pages, so a big request costs nothing
    // until it is written. An empty block still gets an address of its own.
    void* bytes = std::calloc(std::max<SIZE_T>(dwBytes, 1), 1);
    if (bytes == nullptr) {
        return nullptr;
    }
    auto block = std::make_unique<HGLOBAL__>();
    block->bytes.reset(bytes);
    block->size = dwBytes;
    return Blocks().Add(std::move(block));
}

SIZE_T GlobalSize(HGLOBAL hMem) {
    if (platform::EnterCall("GlobalSize")) {
        return 0;
    }
    const HGLOBAL__* block = Blocks().Find(hMem);
    return block ? block->size : 0;
}

void* GlobalLock(HGLOBAL hMem) {
    if (platform::EnterCall("GlobalLock")) {
        return nullptr;
    }
    HGLOBAL__* block = Blocks().Find(hMem);
    if (block == nullptr) {
        return nullptr;
    }
    ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
    if (platform::EnterCall("GlobalUnlock")) {
        return 0;
    }
    HGLOBAL__* block = Blocks().Find(hMem);
    if (block == nullptr || block->locks == 0) {
        return 0;
    }
    --block->locks;
    return block->locks > 0 ? 1 : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
    if (platform::EnterCall("GlobalFree")) {
        return hMem;
    }
    if (hMem == nullptr) {
        return nullptr;
    }
    // A locked block is freed too, as the platform does.
    return Blocks().Remove(hMem) ? nullptr : hMem;
}
