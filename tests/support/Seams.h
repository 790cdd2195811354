#pragma once

// The seams of the multimedia layer for tests: every call seen in order with its arguments, any
// call made to fail, the program's end turned into something a test can catch, and counters of
// what the layer holds. They work on the current platform (audio/platform/Platform.h), watched by
// the Seams that a TestPlatform holds.

#include "audio/platform/CallObserver.h"
#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace seams {

using platform::Call;

// The call's name as the API spells it.
const char* CallName(Call call);

// One platform call as the recorder saw it: the call's name and its integer arguments.
struct RecordedCall {
    std::string name;
    std::vector<std::int64_t> args;
    bool operator==(const RecordedCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedCall& call);

// Makes `call` fail with `code` once `skip` more calls of it have succeeded, and every time after,
// until ClearFaults(). For calls that return a handle (GlobalAlloc, mmioOpenA) any code means
// "return no handle".
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

// The observer behind the functions above: it watches the current platform while it lives, and
// only one lives at a time.
class Seams final : public platform::CallObserver {
public:
    Seams();
    ~Seams() override;
    Seams(const Seams&) = delete;
    Seams& operator=(const Seams&) = delete;

    std::optional<MMRESULT> Enter(Call call, std::span<const std::int64_t> args) override;
    void Exiting(UINT code) override;

private:
    struct Fault {
        MMRESULT code;
        unsigned skip;
    };

    friend void FailCall(Call, MMRESULT, unsigned);
    friend void ClearFaults();
    friend void RecordCalls(std::vector<RecordedCall>*);
    friend void SetExitProcess(std::function<void(UINT)>);

    platform::Platform& platform_;
    std::map<Call, Fault> faults_;
    std::vector<RecordedCall>* log_ = nullptr;
    std::function<void(UINT)> exitProcess_;
};

// The platform of one test, on `clock`, with its seams. Declare it first in a fixture, so that it
// goes last: the sound ends, the render thread is joined and whatever the test left open is let
// go, and the next test starts from nothing.
class TestPlatform : public platform::Platform {
public:
    explicit TestPlatform(platform::Clock& clock = platform::SystemClock()) : Platform(clock) {}

private:
    Seams seams_;
};

} // namespace seams
