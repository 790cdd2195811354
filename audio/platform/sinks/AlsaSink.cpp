#include "audio/platform/sinks/AlsaSink.h"

#include "audio/platform/sinks/SampleEncoder.h"
#include "audio/platform/util/AlsaErrors.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {
namespace {

using std::chrono::steady_clock;

constexpr snd_pcm_uframes_t PeriodAt48k = 512;
constexpr snd_pcm_uframes_t BufferPeriods = 8;
// A device that takes nothing for this long, though it has frames to play or to take, is lost.
// Long, because an idle sound server may first take a block of two seconds at once.
constexpr auto StallLimit = std::chrono::seconds(3);
// A suspended device that has not resumed by then is prepared afresh.
constexpr auto ResumeLimit = std::chrono::milliseconds(1000);

struct FormatChoice {
    snd_pcm_format_t alsa;
    SampleFormat ours;
};
// Widest first: the mix is float, and every narrower step costs precision.
constexpr std::array<FormatChoice, 5> Formats = {{
    {SND_PCM_FORMAT_FLOAT_LE, SampleFormat::Float},
    {SND_PCM_FORMAT_S32_LE, SampleFormat::S32},
    {SND_PCM_FORMAT_S24_LE, SampleFormat::S24},
    {SND_PCM_FORMAT_S24_3LE, SampleFormat::S24Packed},
    {SND_PCM_FORMAT_S16_LE, SampleFormat::S16},
}};

struct PcmClose {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
struct HwParamsFree {
    void operator()(snd_pcm_hw_params_t* params) const { snd_pcm_hw_params_free(params); }
};
struct SwParamsFree {
    void operator()(snd_pcm_sw_params_t* params) const { snd_pcm_sw_params_free(params); }
};
struct OutputClose {
    void operator()(snd_output_t* output) const { snd_output_close(output); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmClose>;

struct Granted {
    SampleFormat format = SampleFormat::S16;
    unsigned channels = 1;
    unsigned rate = SinkRate;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_uframes_t period = 0;
    snd_pcm_uframes_t cycle = 0;
};

// Whether the PCM is PulseAudio's plugin, or lies on it: its description says so.
bool OnPulseAudio(snd_pcm_t* pcm) {
    snd_output_t* raw = nullptr;
    if (snd_output_buffer_open(&raw) < 0) {
        return false;
    }
    const std::unique_ptr<snd_output_t, OutputClose> output(raw);
    char* text = nullptr;
    if (snd_pcm_dump(pcm, output.get()) < 0) {
        return false;
    }
    const std::size_t size = snd_output_buffer_string(output.get(), &text);
    return std::string_view(text, size).find("PulseAudio") != std::string_view::npos;
}

int SetWidestFormat(snd_pcm_t* pcm, snd_pcm_hw_params_t* hw, SampleFormat& format) {
    int error = 0;
    for (const FormatChoice& choice : Formats) {
        error = snd_pcm_hw_params_set_format(pcm, hw, choice.alsa);
        if (error == 0) {
            format = choice.ours;
            return 0;
        }
    }
    return error;
}

int SetHardware(snd_pcm_t* pcm, Granted& granted) {
    snd_pcm_hw_params_t* raw = nullptr;
    if (const int error = snd_pcm_hw_params_malloc(&raw); error < 0) {
        return error;
    }
    const std::unique_ptr<snd_pcm_hw_params_t, HwParamsFree> params(raw);
    snd_pcm_hw_params_t* hw = params.get();
    int direction = 0;
    int error = snd_pcm_hw_params_any(pcm, hw);
    if (error >= 0) {
        error = snd_pcm_hw_params_set_rate_resample(pcm, hw, 0);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    }
    if (error >= 0) {
        error = SetWidestFormat(pcm, hw, granted.format);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params_set_channels_near(pcm, hw, &granted.channels);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params_set_rate_near(pcm, hw, &granted.rate, &direction);
    }
    snd_pcm_uframes_t period = PeriodAt48k * granted.rate / SinkRate;
    snd_pcm_uframes_t buffer = BufferPeriods * period;
    if (error >= 0) {
        error = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, &direction);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params(pcm, hw);
    }
    if (error >= 0) {
        error = snd_pcm_get_params(pcm, &granted.buffer, &granted.period);
    }
    return error;
}

int SetSoftware(snd_pcm_t* pcm, const Granted& granted) {
    snd_pcm_sw_params_t* raw = nullptr;
    if (const int error = snd_pcm_sw_params_malloc(&raw); error < 0) {
        return error;
    }
    const std::unique_ptr<snd_pcm_sw_params_t, SwParamsFree> params(raw);
    snd_pcm_sw_params_t* sw = params.get();
    int error = snd_pcm_sw_params_current(pcm, sw);
    // The render thread primes the device with all it needs at once, so it may start at once.
    if (error >= 0) {
        error = snd_pcm_sw_params_set_start_threshold(pcm, sw, 1);
    }
    // A sound server takes this as the cycle it may run at for us.
    if (error >= 0) {
        error = snd_pcm_sw_params_set_avail_min(pcm, sw, granted.period);
    }
    if (error >= 0) {
        error = snd_pcm_sw_params(pcm, sw);
    }
    return error;
}

class AlsaSink final : public Sink {
public:
    AlsaSink(Pcm pcm, const Granted& granted)
        : pcm_(std::move(pcm)), granted_(granted), encoder_(granted.format),
          frameBytes_(encoder_.Bytes() * granted.channels), backlog_(granted.buffer * frameBytes_) {
        backlog_.clear();
    }

    unsigned Rate() const override { return granted_.rate; }
    std::size_t Period() const override { return granted_.period; }
    std::size_t Capacity() const override { return granted_.buffer; }
    std::size_t Cycle() const override { return granted_.cycle; }

    DeviceState Poll() override {
        DeviceState state;
        if (!started_) {
            started_ = true;
            state.event = DeviceState::Event::Started;
        }
        if (suspended_ && !Resume()) {
            state.queued = Capacity(); // no room until it is back
            return state;
        }
        snd_pcm_sframes_t available = snd_pcm_avail(pcm_.get());
        if (available < 0) {
            if (!Recover(static_cast<int>(available))) {
                return {DeviceState::Event::Lost, std::nullopt};
            }
            if (suspended_) {
                state.queued = Capacity();
                return state;
            }
            available = snd_pcm_avail(pcm_.get());
            if (available < 0) {
                return {DeviceState::Event::Lost, std::nullopt};
            }
        }
        if (underran_) {
            underran_ = false;
            state.event = DeviceState::Event::Underran;
        }
        const auto room = std::min(static_cast<snd_pcm_uframes_t>(available), granted_.buffer);
        const std::size_t queued = granted_.buffer - room + BacklogFrames();
        if (Stalled(queued)) {
            return {DeviceState::Event::Lost, std::nullopt};
        }
        state.queued = queued;
        return state;
    }

    bool Write(std::span<const float> frames) override {
        Append(frames);
        writtenSincePoll_ += frames.size();
        return suspended_ || WriteBacklog();
    }

    void Drain(std::chrono::milliseconds limit) override {
        const auto deadline = steady_clock::now() + limit;
        while (steady_clock::now() < deadline) {
            if (!WriteBacklog()) {
                return;
            }
            snd_pcm_sframes_t delay = 0;
            if (BacklogFrames() == 0 && (snd_pcm_state(pcm_.get()) != SND_PCM_STATE_RUNNING ||
                                         snd_pcm_delay(pcm_.get(), &delay) < 0 || delay <= 0)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

private:
    std::size_t BacklogFrames() const { return backlog_.size() / frameBytes_; }

    // Every channel of a frame gets the mono sample, in the device's format.
    void Append(std::span<const float> frames) {
        const std::size_t sampleBytes = encoder_.Bytes();
        std::size_t at = backlog_.size();
        backlog_.resize(at + frames.size() * frameBytes_);
        for (const float frame : frames) {
            encoder_.Encode(frame, &backlog_[at]);
            for (unsigned channel = 1; channel < granted_.channels; ++channel) {
                std::copy_n(&backlog_[at], sampleBytes, &backlog_[at + channel * sampleBytes]);
            }
            at += frameBytes_;
        }
    }

    // Hands the device what it has room for. False when it is lost: it failed again right after
    // a recovery, or it has taken nothing for too long.
    bool WriteBacklog() {
        bool recovered = false;
        while (BacklogFrames() > 0 && !suspended_) {
            const snd_pcm_sframes_t taken = snd_pcm_writei(
                pcm_.get(), backlog_.data(), static_cast<snd_pcm_uframes_t>(BacklogFrames()));
            if (taken >= 0) {
                backlog_.erase(
                    backlog_.begin(),
                    backlog_.begin() +
                        static_cast<std::ptrdiff_t>(static_cast<std::size_t>(taken) * frameBytes_));
                break; // what is left waits for room
            }
            if (taken == -EAGAIN) {
                break;
            }
            if (recovered || !Recover(static_cast<int>(taken))) {
                return false;
            }
            recovered = true;
        }
        if (BacklogFrames() > granted_.buffer) {
            return false; // it has taken nothing for longer than its whole buffer lasts
        }
        return true;
    }

    // Brings the device back after `error`, without waiting. False when it cannot be.
    bool Recover(int error) {
        if (error == -EPIPE) {
            underran_ = true;
            return snd_pcm_prepare(pcm_.get()) == 0;
        }
        if (error == -ESTRPIPE) {
            underran_ = true;
            suspended_ = true;
            suspendedSince_ = steady_clock::now();
            return Resume() || suspended_;
        }
        return false;
    }

    // True once a suspended device plays again: resumed, or prepared afresh where it cannot
    // resume or takes too long to.
    bool Resume() {
        const int result = snd_pcm_resume(pcm_.get());
        if (result == -EAGAIN && steady_clock::now() - suspendedSince_ < ResumeLimit) {
            return false;
        }
        suspended_ = false;
        return result == 0 || snd_pcm_prepare(pcm_.get()) == 0;
    }

    // A device whose queue does not move, while it has frames to play, for StallLimit.
    bool Stalled(std::size_t queued) {
        const auto now = steady_clock::now();
        const bool moved = queued < lastQueued_ + writtenSincePoll_ || queued == 0;
        lastQueued_ = queued;
        writtenSincePoll_ = 0;
        if (moved) {
            lastMoved_ = now;
        }
        return now - lastMoved_ > StallLimit;
    }

    Pcm pcm_;
    Granted granted_;
    SampleEncoder encoder_;
    std::size_t frameBytes_;
    std::vector<std::uint8_t> backlog_; // encoded frames the device has had no room for yet
    bool started_ = false;
    bool underran_ = false;
    bool suspended_ = false;
    steady_clock::time_point suspendedSince_{};
    std::size_t lastQueued_ = 0;
    std::size_t writtenSincePoll_ = 0;
    steady_clock::time_point lastMoved_ = steady_clock::now();
};

} // namespace

OpenedSink OpenAlsaSink(const std::string& name) {
    QuietAlsa();
    snd_pcm_t* raw = nullptr;
    // Non-blocking, so that a device held by another program fails at once instead of waiting.
    int error = snd_pcm_open(&raw, name.c_str(), SND_PCM_STREAM_PLAYBACK,
                             SND_PCM_NONBLOCK | SND_PCM_NO_AUTO_RESAMPLE);
    if (error < 0) {
        return {nullptr, MapAlsaError(error, WAVERR_BADFORMAT)};
    }
    Pcm pcm(raw);
    Granted granted;
    error = SetHardware(pcm.get(), granted);
    if (error >= 0) {
        error = SetSoftware(pcm.get(), granted);
    }
    if (error >= 0) {
        error = snd_pcm_prepare(pcm.get());
    }
    if (error < 0) {
        return {nullptr, MapAlsaError(error, WAVERR_BADFORMAT)};
    }
    // PulseAudio's plugin asks its server for early requests, and the server then runs its sink at
    // our period: it takes one whole period at a time, every period.
    if (OnPulseAudio(pcm.get())) {
        granted.cycle = granted.period;
    }
    return {std::make_unique<AlsaSink>(std::move(pcm), granted), MMSYSERR_NOERROR};
}

} // namespace platform
