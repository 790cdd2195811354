#pragma once

// The wave output behind the waveOut* calls: the open handles, the one sink they share and the one
// render thread that feeds it.
//
// Threads: every public call comes from the user-interface thread and holds the engine's lock for
// its whole work; the render thread holds the same lock for each round of mixing. So the two share
// nothing but the handles' state and the dwFlags word of written headers, which the render thread
// sets, under that lock, through SetHeaderFlags. Once Reset, Unprepare or Close has returned,
// nothing reads the header or its data again.
//
// Pacing: every RenderPeriod of the platform clock the render thread tops the sink's queue up to
// Lead while some handle has sound, and to LowWater with silence while none has. A header is done
// as soon as its last frame is in the sink, with at least Lead - RenderPeriod still queued before
// it: so the next step of a sweep, written a millisecond after the done flag was seen, follows it
// without a gap (as long as it comes within Lead - RenderPeriod - LowWater), and a write is heard
// within RenderPeriod + Lead. A longer period would cost latency; a shorter one wakes the thread
// more often, and a wake costs more than a period's mixing.
//
// The sink opens with the first handle and stays open across closes and opens; it is released
// after IdleRelease with no handle open, and the render thread ends with it.

#include "audio/platform/Clock.h"
#include "audio/platform/MMSystem.h"
#include "audio/platform/Sink.h"
#include "audio/platform/WaveOutStream.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace platform {

inline constexpr std::chrono::milliseconds RenderPeriod{5};
inline constexpr std::chrono::milliseconds Lead{15};
inline constexpr std::chrono::milliseconds LowWater{7};
inline constexpr std::chrono::milliseconds IdleRelease{1500};

class WaveOutEngine {
public:
    static WaveOutEngine& Instance();

    WaveOutEngine() = default;
    WaveOutEngine(const WaveOutEngine&) = delete;
    WaveOutEngine& operator=(const WaveOutEngine&) = delete;

    // The result codes are those of the waveOut* calls. A std::bad_alloc may escape.
    MMRESULT Open(unsigned rate, HWAVEOUT& handle);
    MMRESULT Close(HWAVEOUT handle);
    MMRESULT Prepare(HWAVEOUT handle, WAVEHDR& header);
    MMRESULT Unprepare(HWAVEOUT handle, WAVEHDR& header);
    MMRESULT Write(HWAVEOUT handle, WAVEHDR& header);
    MMRESULT Pause(HWAVEOUT handle);
    MMRESULT Restart(HWAVEOUT handle);
    MMRESULT Reset(HWAVEOUT handle);
    // The position in samples at the handle's rate, and that rate.
    MMRESULT Position(HWAVEOUT handle, std::uint64_t& samples, unsigned& rate);

    // For LiveWaveStreams() and SinkOpen().
    std::size_t Streams();
    bool SinkOpen();

private:
    struct OpenHandle {
        unsigned rate;
        std::unique_ptr<WaveOutStream> stream;
        std::set<const WAVEHDR*> prepared;
    };

    // Runs `action` on the open handle under the lock; MMSYSERR_INVALHANDLE when it is not open.
    template <typename Action>
    MMRESULT OnHandle(HWAVEOUT handle, Action action);
    MMRESULT StartSink();
    void Render(std::stop_token stop);
    void RenderRound();

    std::mutex mutex_;
    std::map<std::uintptr_t, OpenHandle> handles_;
    std::uintptr_t lastHandle_ = 0;
    std::vector<std::unique_ptr<WaveOutStream>> fading_; // reset streams, fading out
    std::unique_ptr<Sink> sink_;
    Clock* clock_ = nullptr;
    Clock::TimePoint lastSound_{}; // the last round that had a handle open or a fade to play
    std::vector<float> mix_;
    std::jthread renderThread_; // last, so that it stops before the rest goes
};

} // namespace platform
