#pragma once

// The seams of the multimedia layer for tests: every call seen in order with its arguments, any
// call made to fail, the program's end turned into something a test can catch, and counters of
// what the layer holds. The linker routes the layer's calls (Calls.def) through wrappers here, so
// the layer itself knows nothing of them; with nothing recorded or failed they pass straight on.
// Used from the user-interface thread, as the calls are.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace seams {

enum class Call : std::uint8_t {
#define SEAMS_CALL(name) name,
#include "tests/support/Calls.def"
#undef SEAMS_CALL
};

// The call's name as the API spells it.
const char* CallName(Call call);

// One platform call as the recorder saw it: the call's name and its integer arguments, as its
// wrapper in Seams.cpp shows them (device numbers, rates, flags, sizes, volumes, loop counts,
// dwBufferLength and dwLoops of a header; never a handle or a pointer).
struct RecordedCall {
    std::string name;
    std::vector<std::int64_t> args;
    bool operator==(const RecordedCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedCall& call);

// Makes `call` fail with `code` once `skip` more calls of it have succeeded, and every time after,
// until ClearFaults(). A call that returns a handle or a count fails with none (nullptr, -1, 0;
// GlobalFree returns its handle); Sleep, ExitProcess and ZobrazChybu do not fail.
void FailCall(Call call, MMRESULT code, unsigned skip = 0);
void ClearFaults();

// Starts recording every platform call into `log` (appended in call order); nullptr stops.
void RecordCalls(std::vector<RecordedCall>* log);

// Replaces the end of the process behind ExitProcess, after the program's exit hook. The
// replacement must not return (a test throws); an empty function restores the real end.
void SetExitProcess(std::function<void(UINT code)> exitProcess);

// What the current platform holds at this moment, so that a test can see that nothing is left
// behind: live global memory blocks, open multimedia files, wave output streams (open handles, and
// reset streams still fading out) and whether the sink is open.
std::size_t LiveGlobalBlocks();
std::size_t LiveMultimediaFiles();
std::size_t LiveWaveStreams();
bool SinkOpen();

// The platform of one test, on `clock`, with the seams cleared at its start and at its end.
// Declare it first in a fixture, so that it goes last: the sound ends, the render thread is joined
// and whatever the test left open is let go, and the next test starts from nothing.
class TestPlatform : public platform::Platform {
public:
    explicit TestPlatform(platform::Clock& clock = platform::SystemClock());
    ~TestPlatform();
    TestPlatform(const TestPlatform&) = delete;
    TestPlatform& operator=(const TestPlatform&) = delete;
};

} // namespace seams
