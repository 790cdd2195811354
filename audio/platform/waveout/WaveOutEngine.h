#pragma once

// The wave output behind the waveOut* calls: the open handles, the one sink they share and the one
// render thread that feeds it.
//
// Threads: every public call comes from the user-interface thread and takes the engine's lock for
// its work on the handles. None waits on the device but an Open that finds no render thread
// running: under the lock it joins the thread of a device just released, and opens the device,
// non-blocking (sinks/Sink.h). The render thread takes the same lock to mix a round and to hand
// back what the round played, and talks to the device (opening it again, polling it, writing to
// it, closing it) without the lock. So the two share nothing but
// the handles' state and the dwFlags word of written headers, which the render thread sets, under
// the lock, through SetHeaderFlags. A reset or a close between a round's mix and its hand-back
// wins: what the round mixed is already a copy. Once Reset, Unprepare or Close has returned,
// nothing reads the header or its data again.
//
// Pacing (RenderPacer.h): every RenderPeriod the render thread hands on what the timeline is due,
// and sooner, after QuickRound, when a header has just been handed back, so that the next step
// of a sweep, written a millisecond after the done flag was seen, follows it without a gap. While
// nothing sounds, silence keeps the device fed. A header is done as soon as its last frame is in
// the sink, a lead ahead of where the device plays; a write is heard within a RenderPeriod and a
// lead. RenderPeriod is the longest round that keeps that within the bound RenderPacer.h gives,
// and it wakes the thread fewer than 100 times a second.
//
// The device: the sink opens with the first handle (on the user-interface thread, so that a
// missing device gives waveOutOpen its error) and stays open across closes and opens; it is
// released after IdleRelease with no handle open, and the render thread ends with it. A device
// that is lost meanwhile is opened again by the render thread (DeviceLink.h).

#include "audio/platform/MMSystem.h"
#include "audio/platform/sinks/Sink.h"
#include "audio/platform/sinks/SinkFactory.h"
#include "audio/platform/system/Clock.h"
#include "audio/platform/util/ThreadSafety.h"
#include "audio/platform/waveout/WaveOutStream.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace platform {

inline constexpr std::chrono::milliseconds RenderPeriod{11};
inline constexpr std::chrono::milliseconds QuickRound{2};
inline constexpr std::chrono::milliseconds IdleRelease{1500};
// How long the end of the program waits for its last sound to fade out and play.
inline constexpr std::chrono::milliseconds EndLimit{300};

class WaveOutEngine {
public:
    // Paces its render thread by `clock`.
    explicit WaveOutEngine(Clock& clock) : clock_(clock) {}
    // Ends the sound as End() does, then joins the render thread.
    ~WaveOutEngine();
    WaveOutEngine(const WaveOutEngine&) = delete;
    WaveOutEngine& operator=(const WaveOutEngine&) = delete;

    // The result codes are those of the waveOut* calls. A std::bad_alloc may escape.
    MMRESULT Open(unsigned rate, HWAVEOUT& handle) EXCLUDES(mutex_);
    MMRESULT Close(HWAVEOUT handle) EXCLUDES(mutex_);
    MMRESULT Prepare(HWAVEOUT handle, WAVEHDR& header) EXCLUDES(mutex_);
    MMRESULT Unprepare(HWAVEOUT handle, WAVEHDR& header) EXCLUDES(mutex_);
    MMRESULT Write(HWAVEOUT handle, WAVEHDR& header) EXCLUDES(mutex_);
    MMRESULT Pause(HWAVEOUT handle) EXCLUDES(mutex_);
    MMRESULT Restart(HWAVEOUT handle) EXCLUDES(mutex_);
    MMRESULT Reset(HWAVEOUT handle) EXCLUDES(mutex_);
    // The position in samples at the handle's rate, and that rate.
    MMRESULT Position(HWAVEOUT handle, std::uint64_t& samples, unsigned& rate) EXCLUDES(mutex_);

    // The program ends: every handle is reset, what sounds fades out and plays to its end, and the
    // device is closed. Waits at most EndLimit; false when the device has not closed by then. The
    // handles stay open, empty.
    bool End() EXCLUDES(mutex_);

private:
    friend class Probe; // the tests' leak counters

    struct OpenHandle {
        unsigned rate;
        std::unique_ptr<WaveOutStream> stream;
        std::set<const WAVEHDR*> prepared;
    };

    // The open handle, or null.
    OpenHandle* Find(HWAVEOUT handle) REQUIRES(mutex_);
    // Under the lock, `work`'s result on the open handle; MMSYSERR_INVALHANDLE where none is.
    template <typename Work>
    MMRESULT WithHandle(HWAVEOUT handle, Work work) EXCLUDES(mutex_);
    // Hands every header of `open` back and fades out what it sounds.
    void ResetStream(OpenHandle& open) REQUIRES(mutex_);
    MMRESULT StartRendering() REQUIRES(mutex_);

    // The render thread and its rounds.
    void Render(std::stop_token stop) EXCLUDES(mutex_);
    // Mixes the frames the round is due into mix_; returns how many to hand on. While something
    // sounds that is what sounds (less where a sound ends, so that what follows it joins without
    // a gap); while nothing does, silence.
    std::size_t Mix(std::size_t due) REQUIRES(mutex_);
    // After the sink took the round: true when a header came back done.
    bool HandBackPlayed() REQUIRES(mutex_);
    bool AnyFramesToMix() REQUIRES(mutex_);

    Mutex mutex_;
    std::map<std::uintptr_t, OpenHandle> handles_ GUARDED_BY(mutex_);
    std::uintptr_t lastHandle_ GUARDED_BY(mutex_) = 0;
    std::vector<std::unique_ptr<WaveOutStream>> fading_ GUARDED_BY(mutex_); // reset, fading out
    bool rendering_ GUARDED_BY(mutex_) = false; // a render thread feeds a sink, or waits for one
    bool ending_ GUARDED_BY(mutex_) = false;
    unsigned sinkRate_ GUARDED_BY(mutex_) = SinkRate;
    Clock& clock_;
    SinkFactory sinks_;
    // What a starting render thread takes: the device opened for it.
    std::unique_ptr<Sink> startingSink_ GUARDED_BY(mutex_);
    // The render thread's own: its round's mix, and per frame the gain of what fades out in it.
    std::vector<float> mix_;
    std::vector<float> fadeGains_;
    std::jthread renderThread_; // last, so that it stops before the rest goes
};

} // namespace platform
