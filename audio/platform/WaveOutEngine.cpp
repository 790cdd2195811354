#include "audio/platform/WaveOutEngine.h"

#include "audio/platform/NullSink.h"
#include "audio/platform/Seams.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::size_t FramesIn(std::chrono::milliseconds time, unsigned rate) {
    return static_cast<std::size_t>(time.count()) * rate / 1000;
}

std::uint64_t LoopsOf(WAVEHDR& header) {
    const DWORD loop = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    if ((HeaderFlags(header) & loop) != loop) {
        return 1;
    }
    return std::max<DWORD>(header.dwLoops, 1);
}

} // namespace

WaveOutEngine& WaveOutEngine::Instance() {
    static WaveOutEngine engine;
    return engine;
}

std::size_t WaveOutEngine::Streams() {
    std::lock_guard lock(mutex_);
    return handles_.size() + fading_.size();
}

bool WaveOutEngine::SinkOpen() {
    std::lock_guard lock(mutex_);
    return sink_ != nullptr;
}

std::size_t LiveWaveStreams() {
    return WaveOutEngine::Instance().Streams();
}

bool SinkOpen() {
    return WaveOutEngine::Instance().SinkOpen();
}

MMRESULT WaveOutEngine::Open(unsigned rate, HWAVEOUT& handle) {
    std::lock_guard lock(mutex_);
    if (!sink_) {
        if (const MMRESULT error = StartSink(); error != MMSYSERR_NOERROR) {
            return error;
        }
    }
    auto stream = std::make_unique<WaveOutStream>(rate, sink_->Rate(), false);
    const std::uintptr_t id = ++lastHandle_;
    handles_.emplace(id, OpenHandle{rate, std::move(stream), {}});
    handle = reinterpret_cast<HWAVEOUT>(id);
    return MMSYSERR_NOERROR;
}

template <typename Action>
MMRESULT WaveOutEngine::OnHandle(HWAVEOUT handle, Action action) {
    std::lock_guard lock(mutex_);
    const auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == handles_.end() ? MMSYSERR_INVALHANDLE : action(found->second);
}

MMRESULT WaveOutEngine::Close(HWAVEOUT handle) {
    return OnHandle(handle, [&](const OpenHandle& open) {
        if (open.stream->HasQueue()) {
            return WAVERR_STILLPLAYING;
        }
        handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Prepare(HWAVEOUT handle, WAVEHDR& header) {
    return OnHandle(handle, [&](OpenHandle& open) {
        open.prepared.insert(&header);
        SetHeaderFlags(header, HeaderFlags(header) | WHDR_PREPARED);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Unprepare(HWAVEOUT handle, WAVEHDR& header) {
    return OnHandle(handle, [&](OpenHandle& open) {
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
    return OnHandle(handle, [&](OpenHandle& open) {
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
    return OnHandle(handle, [](OpenHandle& open) {
        open.stream->Pause();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Restart(HWAVEOUT handle) {
    return OnHandle(handle, [](OpenHandle& open) {
        open.stream->Restart();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Reset(HWAVEOUT handle) {
    return OnHandle(handle, [&](OpenHandle& open) {
        // Everything that can fail comes first, so that a reset is never left halfway.
        auto fresh =
            std::make_unique<WaveOutStream>(open.rate, sink_->Rate(), open.stream->Paused());
        fading_.reserve(fading_.size() + 1);
        open.stream->HandBackAll();
        if (open.stream->Sounding()) {
            open.stream->FadeOut();
            fading_.push_back(std::move(open.stream));
        }
        open.stream = std::move(fresh);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::Position(HWAVEOUT handle, std::uint64_t& samples, unsigned& rate) {
    return OnHandle(handle, [&](const OpenHandle& open) {
        samples = open.stream->Position();
        rate = open.rate;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WaveOutEngine::StartSink() {
    // The thread of the last sink has released it and is on its way out; it must be gone before
    // the device is opened again.
    if (renderThread_.joinable()) {
        renderThread_.join();
    }
    Clock& clock = CurrentClock();
    OpenedSink opened = OpenSink(clock);
    if (!opened.sink) {
        return opened.error;
    }
    mix_.reserve(opened.sink->Capacity());
    sink_ = std::move(opened.sink);
    clock_ = &clock;
    lastSound_ = clock.Now();
    renderThread_ = clock.StartThread([this](std::stop_token stop) { Render(stop); });
    return MMSYSERR_NOERROR;
}

void WaveOutEngine::Render(std::stop_token stop) {
    Clock& clock = *clock_;
    std::unique_ptr<Sink> released; // closed after the lock is let go
    Clock::TimePoint wake = clock.Now();
    // Sleeping first keeps the thread out of the way of the calls that follow the first open, so
    // that, on the virtual clock, what they queue starts together.
    for (;;) {
        wake = std::max(wake + RenderPeriod, clock.Now());
        clock.SleepUntil(wake, stop);
        if (stop.stop_requested()) {
            break;
        }
        {
            std::lock_guard lock(mutex_);
            const Clock::TimePoint now = clock.Now();
            if (!handles_.empty() || !fading_.empty()) {
                lastSound_ = now;
            } else if (now - lastSound_ >= IdleRelease) {
                released = std::move(sink_);
                break;
            }
            RenderRound();
        }
    }
}

void WaveOutEngine::RenderRound() {
    const unsigned rate = sink_->Rate();
    // A device that takes its frames in large periods needs two of them queued to never run dry.
    const std::size_t lead =
        std::min(sink_->Capacity(), std::max(FramesIn(Lead, rate), 2 * sink_->Period()));
    const std::size_t lowWater =
        std::min(lead, std::max(FramesIn(LowWater, rate), sink_->Period()));

    std::vector<WaveOutStream*> streams;
    streams.reserve(handles_.size() + fading_.size());
    for (auto& [id, open] : handles_) {
        streams.push_back(open.stream.get());
    }
    for (const auto& stream : fading_) {
        streams.push_back(stream.get());
    }
    const bool audible = std::ranges::any_of(streams, &WaveOutStream::Audible);
    const std::size_t queued = sink_->Queued();
    const std::size_t fill = audible ? lead : lowWater;
    if (queued < fill) {
        mix_.assign(fill - queued, 0.0f);
        // While nothing sounds, silence keeps the card fed.
        std::size_t produced = audible ? 0 : mix_.size();
        for (WaveOutStream* stream : streams) {
            produced = std::max(produced, stream->MixInto(mix_));
        }
        if (produced > 0 && !sink_->Write(std::span(mix_).first(produced))) {
            // The device is gone: play on into nothing, so that headers still come back done.
            sink_ = std::make_unique<NullSink>(*clock_, rate);
        }
        for (WaveOutStream* stream : streams) {
            stream->HandBackPlayed();
        }
    }
    std::erase_if(fading_, [](const auto& stream) { return stream->Finished(); });
}

} // namespace platform
