#pragma once

// The output objects play into the null sink on the virtual clock, so that any number of loops
// passes at once and nothing depends on the machine's speed. Afterwards the sink goes idle and is
// released and the system clock comes back, so the next test starts from nothing. Declare it
// before the objects it serves, so that they are gone first.

#include "audio/platform/Clock.h"
#include "audio/platform/MMSystem.h"
#include "audio/platform/WaveOutEngine.h"

#include <cstdlib>

class VirtualDevice {
public:
    VirtualDevice() {
        ::setenv("PROGEN_AUDIO", "null", 1);
        platform::SetClock(&platform::VirtualClock());
    }
    ~VirtualDevice() {
        Sleep(static_cast<DWORD>(2 * platform::IdleRelease.count()));
        platform::SetClock(nullptr);
        ::unsetenv("PROGEN_AUDIO");
    }
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;
};
