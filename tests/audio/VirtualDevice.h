#pragma once

// The platform of an output object's test: the objects play into the null sink on the virtual
// clock, so that any number of loops passes at once and nothing depends on the machine's speed.
// Declare it first in the fixture, so that it goes last and the next test starts from nothing.

#include "tests/support/Seams.h"
#include "tests/support/VirtualClock.h"

#include <cstdlib>

class VirtualDevice : public seams::TestPlatform {
public:
    VirtualDevice() : TestPlatform(seams::VirtualClock()) { ::setenv("PROGEN_AUDIO", "null", 1); }
    ~VirtualDevice() { ::unsetenv("PROGEN_AUDIO"); }
};
