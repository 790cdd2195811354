#pragma once

// Seams of the multimedia layer. Tests use them to make a call fail, to see every call in order,
// to answer the message box and to observe the program's end. Production code never asks
// whether it runs under test: it only calls the layer, and the layer consults these.
// All of it is meant for the user-interface thread.

#include "MMSystem.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One platform call as the recorder saw it: the call's name and its integer arguments (device
// numbers, rates, flags, sizes, volumes, loop counts; a handle or pointer is left out).
struct RecordedCall {
    std::string name;
    std::vector<std::int64_t> args;
    bool operator==(const RecordedCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedCall& call);

// Makes the call named `name` fail with `code` once `skip` more calls of it have succeeded, and
// every time after, until ClearFaults(). For calls that return a handle (GlobalAlloc, mmioOpenA)
// any nonzero code means "return no handle".
void FailCall(std::string_view name, MMRESULT code, unsigned skip = 0);
void ClearFaults();

// Starts recording every platform call into `log` (appended in call order); nullptr stops.
void RecordCalls(std::vector<RecordedCall>* log);

// Replaces the message box behind ZobrazChybu; an empty function restores the default.
void SetErrorBox(std::function<void(const std::string& text)> box);

// Replaces the end of the process behind ExitProcess. The replacement must not return (a test
// throws); an empty function restores the default.
void SetExitProcess(std::function<void(UINT code)> exitProcess);

// Runs `hook` once when ExitProcess ends the program, before it ends (and before a test's
// replacement); an empty function removes it. The window gives the user's mixer levels back this
// way when a file error ends the program from inside a handler.
void SetExitHook(std::function<void()> hook);

// What the layer holds at this moment, so that a test can see that nothing is left behind: live
// global memory blocks, open multimedia files, wave output streams (open handles, and reset
// streams still fading out) and whether the sink is open.
std::size_t LiveGlobalBlocks();
std::size_t LiveMultimediaFiles();
std::size_t LiveWaveStreams();
bool SinkOpen();

// For the implementations of the layer: records the call if a recorder is set, and returns the
// injected failure code if one is due.
std::optional<MMRESULT> EnterCall(std::string_view name, std::vector<std::int64_t> args = {});

} // namespace platform
