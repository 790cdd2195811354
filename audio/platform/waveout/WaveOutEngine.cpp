#include "audio/platform/waveout/WaveOutEngine.h"

#include "audio/platform/waveout/DeviceLink.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::size_t FramesIn(Clock::Duration time, unsigned rate) {
    const auto microseconds = std::chrono::duration_cast<std::chrono::microseconds>(time).count();
    return static_cast<std::size_t>(microseconds) * rate / 1'000'000;
}

// The most one round mixes: after the render thread was held up for longer, the timeline catches
// up over several rounds rather than in one large one.
constexpr std::chrono::milliseconds LongestRound{100};

std::uint64_t LoopsOf(WAVEHDR& header) {
    const DWORD loop = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    if ((HeaderFlags(header) & loop) != loop) {
        return 1;
    }
    return std::max<DWORD>(header.dwLoops, 1);
}

} // namespace

WaveOutEngine::~WaveOutEngine() {
    End();
}

WaveOutEngine::OpenHandle* WaveOutEngine::Find(HWAVEOUT handle) {
    const auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == handles_.end() ? nullptr : &found->second;
}

template <typename Work>
MMRESULT WaveOutEngine::WithHandle(HWAVEOUT handle, Work work) {
    MutexLock lock(mutex_);
    OpenHandle* open = Find(handle);
    return open ? work(*open) : MMSYSERR_INVALHANDLE;
}

MMRESULT WaveOutEngine::Open(unsigned rate, HWAVEOUT& handle) {
    MutexLock lock(mutex_);
    if (!rendering_) {
        if (const MMRESULT error = StartRendering(); error != MMSYSERR_NOERROR) {
            return error;
        }
    }
    auto stream = std::make_unique<WaveOutStream>(rate, sinkRate_, false);
    const std::uintptr_t id = ++lastHandle_;
    handles_.emplace(id, OpenHandle{rate, std::move(stream), {}});
    handle = reinterpret_cast<HWAVEOUT>(id);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutEngine::Close(HWAVEOUT handle) {
    return WithHandle(handle, [&](const OpenHandle& open) REQUIRES(mutex_) {
        if (open.stream->HasQueue()) {
            return WAVERR_STILLPLAYING;
        }
        handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Prepare(HWAVEOUT handle, WAVEHDR& header) {
    return WithHandle(handle, [&](OpenHandle& open) {
        open.prepared.insert(&header);
        SetHeaderFlags(header, HeaderFlags(header) | WHDR_PREPARED);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Unprepare(HWAVEOUT handle, WAVEHDR& header) {
    return WithHandle(handle, [&](OpenHandle& open) {
        if (open.stream->InQueue(header)) {
            return WAVERR_STILLPLAYING;
        }
        if (open.prepared.erase(&header) > 0) {
            SetHeaderFlags(header, HeaderFlags(header) & ~WHDR_PREPARED);
        }
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Write(HWAVEOUT handle, WAVEHDR& header) {
    return WithHandle(handle, [&](OpenHandle& open) {
        if (!open.prepared.contains(&header)) {
            return WAVERR_UNPREPARED;
        }
        if (open.stream->InQueue(header)) {
            return WAVERR_STILLPLAYING;
        }
        // A trailing odd byte is half a sample and is not played.
        std::vector<std::int16_t> buffer(header.dwBufferLength / sizeof(std::int16_t));
        if (!buffer.empty()) {
            std::memcpy(buffer.data(), header.lpData, buffer.size() * sizeof(std::int16_t));
        }
        open.stream->Queue(header, std::move(buffer), LoopsOf(header));
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Pause(HWAVEOUT handle) {
    return WithHandle(handle, [](OpenHandle& open) {
        open.stream->Pause();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Restart(HWAVEOUT handle) {
    return WithHandle(handle, [](OpenHandle& open) {
        open.stream->Restart();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Reset(HWAVEOUT handle) {
    return WithHandle(handle, [&](OpenHandle& open) REQUIRES(mutex_) {
        ResetStream(open);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Position(HWAVEOUT handle, std::uint64_t& samples, unsigned& rate) {
    return WithHandle(handle, [&](const OpenHandle& open) {
        samples = open.stream->Position();
        rate = open.rate;
        return MMSYSERR_NOERROR;
    });
}

void WaveOutEngine::ResetStream(OpenHandle& open) {
    // Everything that can fail comes first, so that a reset is never left halfway.
    auto fresh = std::make_unique<WaveOutStream>(open.rate, sinkRate_, open.stream->Paused());
    fading_.reserve(fading_.size() + 1);
    open.stream->HandBackAll();
    if (open.stream->MidSound()) {
        open.stream->FadeOut();
        fading_.push_back(std::move(open.stream));
    }
    open.stream = std::move(fresh);
}

bool WaveOutEngine::End() {
    {
        MutexLock lock(mutex_);
        if (!rendering_) {
            return true;
        }
        for (auto& [id, open] : handles_) {
            ResetStream(open);
        }
        ending_ = true;
    }
    const Clock::TimePoint deadline = clock_.Now() + EndLimit;
    for (;;) {
        {
            MutexLock lock(mutex_);
            if (!rendering_) {
                ending_ = false;
                return true;
            }
        }
        if (clock_.Now() >= deadline) {
            return false; // the device does not answer: the render thread ends when it does
        }
        clock_.SleepUntil(clock_.Now() + std::chrono::milliseconds(1));
    }
}

MMRESULT WaveOutEngine::StartRendering() {
    // The thread of the last sink has released it and is on its way out.
    if (renderThread_.joinable()) {
        renderThread_.join();
    }
    OpenedSink opened = sinks_.OpenChosen();
    if (!opened.sink) {
        return opened.error;
    }
    sinkRate_ = opened.sink->Rate();
    startingSink_ = std::move(opened.sink);
    rendering_ = true;
    renderThread_ = clock_.StartThread([this](std::stop_token stop) { Render(stop); });
    return MMSYSERR_NOERROR;
}

void WaveOutEngine::Render(std::stop_token stop) {
    std::unique_ptr<Sink> sink;
    unsigned rate = 0;
    {
        MutexLock lock(mutex_);
        sink = std::move(startingSink_);
        rate = sinkRate_;
    }
    const std::size_t longestRound = FramesIn(LongestRound, rate);
    mix_.reserve(longestRound);
    fadeGains_.reserve(longestRound);
    DeviceLink device(std::move(sink), sinks_, FramesIn(RenderPeriod, rate));

    const Clock::TimePoint start = clock_.Now();
    Clock::TimePoint lastSound = start;
    bool ending = false;
    // The first round comes after the instant of the open, so that whatever is written in that
    // instant starts together in it.
    Clock::TimePoint wake = start + Clock::Duration(1);
    for (;;) {
        clock_.SleepPaced(wake, stop);
        if (stop.stop_requested()) {
            break;
        }
        const Clock::TimePoint now = clock_.Now();
        const std::size_t due = std::min(device.Due(now), longestRound);

        std::size_t produced = 0;
        {
            MutexLock lock(mutex_);
            if (!handles_.empty() || !fading_.empty()) {
                lastSound = now;
            } else if (now - lastSound >= IdleRelease) {
                rendering_ = false;
                break;
            }
            if (ending_ && !AnyFramesToMix()) {
                ending = true;
                break;
            }
            produced = Mix(due);
        }
        device.HandOn(now, std::span(mix_).first(produced));

        bool handedBack = false;
        {
            MutexLock lock(mutex_);
            handedBack = HandBackPlayed();
        }
        wake = handedBack ? now + QuickRound : std::max(wake + RenderPeriod, now);
    }

    // What fades out at the end is heard to its end before the device closes.
    if (ending) {
        device.Drain(EndLimit);
    }
    device.Close();
    if (ending) {
        MutexLock lock(mutex_);
        rendering_ = false;
    }
}

bool WaveOutEngine::AnyFramesToMix() {
    const auto sounds = [](const WaveOutStream& stream) { return stream.HasFramesToMix(); };
    return std::ranges::any_of(handles_,
                               [&](const auto& entry) { return sounds(*entry.second.stream); }) ||
           std::ranges::any_of(fading_, [&](const auto& stream) { return sounds(*stream); });
}

std::size_t WaveOutEngine::Mix(std::size_t due) {
    mix_.assign(due, 0.0f);
    fadeGains_.assign(fading_.empty() ? 0 : due, 0.0f);
    // While nothing sounds, silence keeps the device fed.
    std::size_t produced = AnyFramesToMix() ? 0 : due;
    const auto mixed = [&](WaveOutStream& stream, WaveOutStream::Role role) {
        produced = std::max(produced, stream.MixInto(mix_, fadeGains_, role));
    };
    for (const auto& stream : fading_) {
        mixed(*stream, WaveOutStream::Role::Fading);
    }
    // Resets in quick succession can leave more than one stream fading at once.
    for (std::size_t i = 0; i < fadeGains_.size(); ++i) {
        if (fadeGains_[i] > 1.0f) {
            mix_[i] /= fadeGains_[i];
            fadeGains_[i] = 1.0f;
        }
    }
    for (auto& [id, open] : handles_) {
        mixed(*open.stream, WaveOutStream::Role::Playing);
    }
    return produced;
}

bool WaveOutEngine::HandBackPlayed() {
    bool handedBack = false;
    for (auto& [id, open] : handles_) {
        handedBack = open.stream->HandBackPlayed() || handedBack;
    }
    for (const auto& stream : fading_) {
        stream->HandBackPlayed();
    }
    std::erase_if(fading_, [](const auto& stream) { return !stream->HasFramesToMix(); });
    return handedBack;
}

} // namespace platform
