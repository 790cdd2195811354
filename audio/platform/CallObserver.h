#pragma once

// The one point where tests watch the layer: every call shows itself, with its integer arguments,
// to the observer that the current platform has (Platform::Observe), which may fail it. With no
// observer, which is how the program runs, a call costs a load and a branch.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// The calls of the layer, by their names in the API.
enum class Call : std::uint8_t {
    waveOutOpen,
    waveOutClose,
    waveOutPrepareHeader,
    waveOutUnprepareHeader,
    waveOutWrite,
    waveOutPause,
    waveOutRestart,
    waveOutReset,
    waveOutGetPosition,
    waveOutGetVolume,
    waveOutSetVolume,
    auxGetVolume,
    auxSetVolume,
    mmioOpenA,
    mmioRead,
    mmioWrite,
    mmioSeek,
    mmioClose,
    GlobalAlloc,
    GlobalSize,
    GlobalLock,
    GlobalUnlock,
    GlobalFree,
    WinExec,
    Sleep,
    ExitProcess,
    ZobrazChybu,
};

class CallObserver {
public:
    virtual ~CallObserver() = default;

    // A call begins, with the arguments that MMSystem.h lists for it (device numbers, rates, flags,
    // sizes, volumes, loop counts; never a handle or a pointer). A result fails the call with that
    // code; a call that returns a handle or a count fails with none (nullptr, -1, 0).
    virtual std::optional<MMRESULT> Enter(Call call, std::span<const std::int64_t> args) = 0;

    // ExitProcess ends the process with `code` once this returns, after the exit hook has run. An
    // observer may end the run its own way instead (a test throws).
    virtual void Exiting(UINT code) = 0;
};

// For the implementations of the layer: shows the call to the observer, if there is one, and
// returns the failure it asks for.
template <class... Args>
std::optional<MMRESULT> EnterCall(Call call, Args... args) {
    CallObserver* const observer = Platform::Current().Observer();
    if (observer == nullptr) [[likely]] {
        return std::nullopt;
    }
    const std::array<std::int64_t, sizeof...(Args)> values{static_cast<std::int64_t>(args)...};
    return observer->Enter(call, values);
}

} // namespace platform
