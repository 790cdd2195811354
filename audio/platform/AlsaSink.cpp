#include "audio/platform/AlsaSink.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr unsigned BufferMicroseconds = 30000;
constexpr unsigned PeriodMicroseconds = 2500;
// How long a write waits for a device that has no room before it counts as failed.
constexpr int StallMilliseconds = 200;

struct PcmClose {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
struct HwParamsFree {
    void operator()(snd_pcm_hw_params_t* params) const { snd_pcm_hw_params_free(params); }
};
struct SwParamsFree {
    void operator()(snd_pcm_sw_params_t* params) const { snd_pcm_sw_params_free(params); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmClose>;

struct Granted {
    snd_pcm_format_t format = SND_PCM_FORMAT_UNKNOWN;
    unsigned channels = 1;
    unsigned rate = SinkRate;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_uframes_t period = 0;
};

int SetWidestFormat(snd_pcm_t* pcm, snd_pcm_hw_params_t* hw, snd_pcm_format_t& format) {
    int error = 0;
    for (const snd_pcm_format_t candidate :
         {SND_PCM_FORMAT_FLOAT, SND_PCM_FORMAT_S32, SND_PCM_FORMAT_S16}) {
        error = snd_pcm_hw_params_set_format(pcm, hw, candidate);
        if (error == 0) {
            format = candidate;
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
    unsigned bufferTime = BufferMicroseconds;
    unsigned periodTime = PeriodMicroseconds;
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
    if (error >= 0) {
        error = snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &bufferTime, &direction);
    }
    if (error >= 0) {
        error = snd_pcm_hw_params_set_period_time_near(pcm, hw, &periodTime, &direction);
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
    // The render thread always writes well ahead, so the device may start at once.
    if (error >= 0) {
        error = snd_pcm_sw_params_set_start_threshold(pcm, sw, 1);
    }
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
        : pcm_(std::move(pcm)), granted_(granted),
          sampleBytes_(
              static_cast<std::size_t>(snd_pcm_format_physical_width(granted.format) / 8)) {}

    unsigned Rate() const override { return granted_.rate; }
    std::size_t Capacity() const override { return granted_.buffer; }
    std::size_t Period() const override { return granted_.period; }

    std::size_t Queued() override {
        snd_pcm_sframes_t available = snd_pcm_avail(pcm_.get());
        if (available < 0 && snd_pcm_recover(pcm_.get(), static_cast<int>(available), 1) == 0) {
            available = snd_pcm_avail(pcm_.get());
        }
        if (available < 0) {
            return 0; // the next write reports the failure
        }
        const auto free = std::min(static_cast<snd_pcm_uframes_t>(available), granted_.buffer);
        return granted_.buffer - free;
    }

    bool Write(std::span<const float> frames) override {
        Interleave(frames);
        const std::size_t frameBytes = sampleBytes_ * granted_.channels;
        const std::uint8_t* next = samples_.data();
        auto left = static_cast<snd_pcm_uframes_t>(frames.size());
        while (left > 0) {
            const snd_pcm_sframes_t done = snd_pcm_writei(pcm_.get(), next, left);
            if (done >= 0) {
                next += static_cast<std::size_t>(done) * frameBytes;
                left -= static_cast<snd_pcm_uframes_t>(done);
            } else if (done == -EAGAIN) {
                if (snd_pcm_wait(pcm_.get(), StallMilliseconds) <= 0) {
                    return false;
                }
            } else if (snd_pcm_recover(pcm_.get(), static_cast<int>(done), 1) < 0) {
                return false;
            }
        }
        return true;
    }

private:
    // Every channel of a frame gets the mono sample, in the device's format.
    void Interleave(std::span<const float> frames) {
        samples_.resize(frames.size() * sampleBytes_ * granted_.channels);
        std::uint8_t* at = samples_.data();
        for (const float frame : frames) {
            std::array<std::uint8_t, 4> sample{};
            Encode(frame, sample.data());
            for (unsigned channel = 0; channel < granted_.channels; ++channel) {
                std::memcpy(at, sample.data(), sampleBytes_);
                at += sampleBytes_;
            }
        }
    }

    void Encode(float frame, std::uint8_t* sample) const {
        if (granted_.format == SND_PCM_FORMAT_FLOAT) {
            std::memcpy(sample, &frame, sizeof frame);
        } else if (granted_.format == SND_PCM_FORMAT_S32) {
            const auto value = static_cast<std::int32_t>(std::clamp(
                std::nearbyint(double{frame} * 2147483648.0), -2147483648.0, 2147483647.0));
            std::memcpy(sample, &value, sizeof value);
        } else {
            const auto value = static_cast<std::int16_t>(
                std::clamp(std::nearbyint(frame * 32768.0f), -32768.0f, 32767.0f));
            std::memcpy(sample, &value, sizeof value);
        }
    }

    Pcm pcm_;
    Granted granted_;
    std::size_t sampleBytes_;
    std::vector<std::uint8_t> samples_;
};

} // namespace

OpenedSink OpenAlsaSink(const std::string& name) {
    snd_pcm_t* raw = nullptr;
    // Non-blocking, so that a device held by another program fails at once instead of waiting.
    int error = snd_pcm_open(&raw, name.c_str(), SND_PCM_STREAM_PLAYBACK,
                             SND_PCM_NONBLOCK | SND_PCM_NO_AUTO_RESAMPLE);
    if (error < 0) {
        return {nullptr, MapAlsaError(error)};
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
        return {nullptr, MapAlsaError(error)};
    }
    return {std::make_unique<AlsaSink>(std::move(pcm), granted), MMSYSERR_NOERROR};
}

MMRESULT MapAlsaError(int error) {
    switch (-error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return MMSYSERR_BADDEVICEID;
    case EBUSY:
    case EAGAIN:
        return MMSYSERR_ALLOCATED;
    case ENOMEM:
        return MMSYSERR_NOMEM;
    case EINVAL:
        return WAVERR_BADFORMAT;
    default:
        return MMSYSERR_ERROR;
    }
}

} // namespace platform
