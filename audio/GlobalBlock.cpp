#include "audio/GlobalBlock.h"

#include <utility>

GlobalBlock::GlobalBlock(GlobalBlock&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), held_(std::exchange(other.held_, false)),
      locked_(std::exchange(other.locked_, false)) {}

GlobalBlock& GlobalBlock::operator=(GlobalBlock&& other) noexcept {
    if (this != &other) {
        GiveBack();
        handle_ = std::exchange(other.handle_, nullptr);
        held_ = std::exchange(other.held_, false);
        locked_ = std::exchange(other.locked_, false);
    }
    return *this;
}

GlobalBlock GlobalBlock::Alloc(SIZE_T bytes) {
    GlobalBlock block;
    block.handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    block.held_ = true;
    return block;
}

GlobalBlock GlobalBlock::Reserve(SIZE_T bytes) {
    GlobalBlock block = Alloc(bytes);
    if (block.handle_ == nullptr || GlobalSize(block.handle_) < bytes) {
        return {};
    }
    return block;
}

GlobalBlock GlobalBlock::AdoptLocked(HGLOBAL handle) {
    GlobalBlock block;
    block.handle_ = handle;
    block.held_ = true;
    block.locked_ = true;
    return block;
}

void* GlobalBlock::Lock() {
    locked_ = true;
    return GlobalLock(handle_);
}

HGLOBAL GlobalBlock::Release() {
    held_ = false;
    locked_ = false;
    return std::exchange(handle_, nullptr);
}

void GlobalBlock::GiveBack() {
    if (!held_) {
        return;
    }
    if (locked_) {
        GlobalUnlock(handle_);
    }
    GlobalFree(handle_);
    Release();
}
