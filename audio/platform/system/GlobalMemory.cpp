// Global memory: a handle owns one heap block and its lock count (Handles.h). Every block is
// zero-filled, so nothing uninitialised can reach the device.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/system/Handles.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr UINT KnownFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;

platform::HandleTable<HGLOBAL__>& Blocks() {
    return platform::Platform::Current().GlobalBlocks();
}

} // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
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
    const HGLOBAL__* block = Blocks().Find(hMem);
    return block ? block->size : 0;
}

void* GlobalLock(HGLOBAL hMem) {
    HGLOBAL__* block = Blocks().Find(hMem);
    if (block == nullptr) {
        return nullptr;
    }
    ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
    HGLOBAL__* block = Blocks().Find(hMem);
    if (block == nullptr || block->locks == 0) {
        return 0;
    }
    --block->locks;
    return block->locks > 0 ? 1 : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
    if (hMem == nullptr) {
        return nullptr;
    }
    // A locked block is freed too, as the platform does.
    return Blocks().Remove(hMem) ? nullptr : hMem;
}
