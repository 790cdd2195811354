#pragma once

#include "audio/platform/system/Clock.h"

namespace seams {

// A clock whose time moves only when somebody sleeps on it, and only while every thread it paces
// is asleep too: a sleep then moves time to the earliest deadline of all sleepers at once. So
// everything paced by it runs as fast as the processor allows, and a run is the same every time:
// when a Sleep() returns, the render thread has done all it had to do up to that moment. One for
// the whole process, never destroyed.
platform::Clock& VirtualClock();

} // namespace seams
