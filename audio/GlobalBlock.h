#pragma once

// One block of the platform's global memory, movable and shareable (0x2002), given back when it
// goes: unlocked if it was locked, then freed. Like the system it follows, it passes on whatever
// handle it got, the null of a failed allocation included, and lets the platform refuse it.

#include "audio/platform/MMSystem.h"

class GlobalBlock {
public:
    GlobalBlock() = default; // holds nothing, gives back nothing
    ~GlobalBlock() { GiveBack(); }

    GlobalBlock(GlobalBlock&& other) noexcept;
    GlobalBlock& operator=(GlobalBlock&& other) noexcept;

    // GlobalAlloc of `bytes`, whatever it returns.
    static GlobalBlock Alloc(SIZE_T bytes);
    // The same, but nothing (the block given back at once) unless the platform gives at least
    // `bytes`.
    static GlobalBlock Reserve(SIZE_T bytes);
    // A block that was taken and locked once elsewhere.
    static GlobalBlock AdoptLocked(HGLOBAL handle);

    explicit operator bool() const { return held_; }

    void* Lock();
    // Hands the handle, still locked if it was, to the caller, who gives it back.
    HGLOBAL Release();

private:
    void GiveBack();

    HGLOBAL handle_ = nullptr;
    bool held_ = false;
    bool locked_ = false;
};
