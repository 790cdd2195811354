#include "audio/platform/mixer/Mixer.h"
#include "audio/platform/mixer/RawRange.h"
#include "audio/platform/util/AlsaErrors.h"

#include <alsa/asoundlib.h>
#include <array>
#include <optional>

namespace platform {
namespace {

constexpr std::array<const char*, MixerLines> ElementNames = {"PCM", "Line", "CD",
                                                              "Mic", "Aux",  "Master"};

struct CloseMixer {
    void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
struct FreeElementId {
    void operator()(snd_mixer_selem_id_t* id) const { snd_mixer_selem_id_free(id); }
};

// The playback volume of the element behind one line.
struct Element {
    snd_mixer_elem_t* elem;
    RawRange range;
    bool stereo; // else one value serves both channels
};

struct Reading {
    std::optional<ChannelReading> left;
    std::optional<ChannelReading> right;
};

class AlsaMixer final : public Mixer {
public:
    explicit AlsaMixer(std::string card) : card_(std::move(card)) {}

    MMRESULT GetVolume(unsigned line, DWORD& volume) override {
        return Retried([&] { return Get(line, volume); });
    }

    MMRESULT SetVolume(unsigned line, DWORD volume) override {
        return Retried([&] { return Set(line, volume); });
    }

private:
    // A sound server that was restarted leaves the open handle dead: the first call on it fails.
    // So a call that failed on the handle is tried once more on a handle opened afresh.
    template <typename Call>
    MMRESULT Retried(Call call) {
        const MMRESULT result = call();
        if (!handleFailed_) {
            return result;
        }
        handleFailed_ = false;
        mixer_.reset();
        const MMRESULT retried = call();
        handleFailed_ = false;
        return retried;
    }

    // A call on the open handle failed: the mixer cannot be reached through it.
    MMRESULT HandleFailed() {
        handleFailed_ = true;
        return MMSYSERR_ERROR;
    }

    MMRESULT Get(unsigned line, DWORD& volume) {
        Element element{};
        if (const MMRESULT result = Find(line, element)) {
            return result;
        }
        long left = 0;
        long right = 0;
        if (snd_mixer_selem_get_playback_volume(element.elem, SND_MIXER_SCHN_FRONT_LEFT, &left) <
            0) {
            return HandleFailed();
        }
        if (!element.stereo) {
            right = left;
        } else if (snd_mixer_selem_get_playback_volume(element.elem, SND_MIXER_SCHN_FRONT_RIGHT,
                                                       &right) < 0) {
            return HandleFailed();
        }
        const ChannelReading leftReading{left, LevelFromRaw(left, element.range)};
        const ChannelReading rightReading{right, LevelFromRaw(right, element.range)};
        lastRead_[line] = {leftReading, rightReading};
        volume = static_cast<DWORD>(rightReading.level) << 16 | leftReading.level;
        return MMSYSERR_NOERROR;
    }

    MMRESULT Set(unsigned line, DWORD volume) {
        Element element{};
        if (const MMRESULT result = Find(line, element)) {
            return result;
        }
        const Reading& last = lastRead_[line];
        const long left = RawToWrite(static_cast<WORD>(volume), element.range, last.left);
        if (snd_mixer_selem_set_playback_volume(element.elem, SND_MIXER_SCHN_FRONT_LEFT, left) <
            0) {
            return HandleFailed();
        }
        if (element.stereo) {
            const long right =
                RawToWrite(static_cast<WORD>(volume >> 16), element.range, last.right);
            if (snd_mixer_selem_set_playback_volume(element.elem, SND_MIXER_SCHN_FRONT_RIGHT,
                                                    right) < 0) {
                return HandleFailed();
            }
        }
        return MMSYSERR_NOERROR;
    }

    // Opens the mixer unless it is open, brings its values up to date (another program may have
    // moved them), and finds the line's element.
    MMRESULT Find(unsigned line, Element& element) {
        if (const MMRESULT result = Open()) {
            return result;
        }
        if (snd_mixer_handle_events(mixer_.get()) < 0) {
            return HandleFailed();
        }
        snd_mixer_selem_id_t* rawId = nullptr;
        if (snd_mixer_selem_id_malloc(&rawId) < 0) {
            return MMSYSERR_NOMEM;
        }
        const std::unique_ptr<snd_mixer_selem_id_t, FreeElementId> id(rawId);
        snd_mixer_selem_id_set_name(id.get(), ElementNames[line]);
        snd_mixer_elem_t* elem = snd_mixer_find_selem(mixer_.get(), id.get());
        if (!elem || !snd_mixer_selem_has_playback_volume(elem)) {
            return MMSYSERR_BADDEVICEID;
        }
        long min = 0;
        long max = 0;
        if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0) {
            return HandleFailed();
        }
        const bool stereo = !snd_mixer_selem_is_playback_mono(elem) &&
                            !snd_mixer_selem_has_playback_volume_joined(elem) &&
                            snd_mixer_selem_has_playback_channel(elem, SND_MIXER_SCHN_FRONT_RIGHT);
        element = {elem, {min, max}, stereo};
        return MMSYSERR_NOERROR;
    }

    MMRESULT Open() {
        if (mixer_) {
            return MMSYSERR_NOERROR;
        }
        QuietAlsa();
        snd_mixer_t* raw = nullptr;
        if (const int error = snd_mixer_open(&raw, 0); error < 0) {
            return MapAlsaError(error, MMSYSERR_BADDEVICEID);
        }
        std::unique_ptr<snd_mixer_t, CloseMixer> mixer(raw);
        int error = snd_mixer_attach(raw, card_.c_str());
        if (error >= 0) {
            error = snd_mixer_selem_register(raw, nullptr, nullptr);
        }
        if (error >= 0) {
            error = snd_mixer_load(raw);
        }
        if (error < 0) {
            return MapAlsaError(error, MMSYSERR_BADDEVICEID);
        }
        mixer_ = std::move(mixer);
        return MMSYSERR_NOERROR;
    }

    std::string card_;
    std::unique_ptr<snd_mixer_t, CloseMixer> mixer_;
    // What each line last read, so that writing back a level read restores its raw values.
    std::array<Reading, MixerLines> lastRead_{};
    bool handleFailed_ = false;
};

} // namespace

std::unique_ptr<Mixer> MakeAlsaMixer(std::string card) {
    return std::make_unique<AlsaMixer>(std::move(card));
}

} // namespace platform
