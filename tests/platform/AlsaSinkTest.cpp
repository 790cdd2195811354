// The ALSA sink without a sound card: an ALSA "file" PCM over "null", defined in a .asoundrc of the
// test's own, records what the sink sends.

#include "audio/platform/sinks/AlsaSink.h"

#include "audio/platform/system/Clock.h"
#include "audio/platform/util/AlsaErrors.h"
#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/ToneAnalysis.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

TEST(AlsaErrors, MapToTheResultCodesOfTheSystem) {
    using platform::MapAlsaError;
    EXPECT_EQ(MapAlsaError(-ENOENT, WAVERR_BADFORMAT), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(MapAlsaError(-ENODEV, WAVERR_BADFORMAT), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(MapAlsaError(-ENXIO, WAVERR_BADFORMAT), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(MapAlsaError(-EBUSY, WAVERR_BADFORMAT), MMSYSERR_ALLOCATED);
    EXPECT_EQ(MapAlsaError(-EAGAIN, WAVERR_BADFORMAT), MMSYSERR_ALLOCATED);
    EXPECT_EQ(MapAlsaError(-ENOMEM, WAVERR_BADFORMAT), MMSYSERR_NOMEM);
    EXPECT_EQ(MapAlsaError(-EINVAL, WAVERR_BADFORMAT), WAVERR_BADFORMAT);
    EXPECT_EQ(MapAlsaError(-EIO, WAVERR_BADFORMAT), MMSYSERR_ERROR);
    EXPECT_EQ(MapAlsaError(-EPERM, WAVERR_BADFORMAT), MMSYSERR_ERROR);
    EXPECT_EQ(MapAlsaError(-EINVAL, MMSYSERR_BADDEVICEID), MMSYSERR_BADDEVICEID);
}

// Points ALSA at a configuration of the test's own for as long as it lives.
class AlsaConfiguration {
public:
    AlsaConfiguration(const std::filesystem::path& home, const std::string& text) {
        std::ofstream(home / ".asoundrc") << text;
        if (const char* previous = std::getenv("HOME")) {
            previousHome_ = previous;
        }
        setenv("HOME", home.c_str(), 1);
        snd_config_update_free_global(); // read afresh at the next open
    }
    ~AlsaConfiguration() {
        if (previousHome_) {
            setenv("HOME", previousHome_->c_str(), 1);
        } else {
            unsetenv("HOME");
        }
        snd_config_update_free_global();
    }

private:
    std::optional<std::string> previousHome_;
};

using AlsaSink = VirtualAudioTest;

TEST_F(AlsaSink, SendsTheConvertedToneToTheNamedPcm) {
    const std::filesystem::path raw = dir_.Path() / "alsa.raw";
    const AlsaConfiguration configuration(dir_.Path(), "pcm.progen_capture {\n"
                                                       "    type file\n"
                                                       "    slave.pcm \"null\"\n"
                                                       "    file \"" +
                                                           raw.string() +
                                                           "\"\n"
                                                           "    format \"raw\"\n"
                                                           "}\n");
    UseSink("alsa:progen_capture");
    {
        const ManualTone tone = VypocitejManual(440, 20000, TPrubeh::Sin);
        TestOutput output(tone.SampleRate);
        ASSERT_EQ(output.Play(tone.Samples, 200), MMSYSERR_NOERROR);
        output.WaitUntilDone();
    }
    platform_.End(); // released: all of it is in the file

    // The null device takes whatever comes, so what is there is the sink's own choice: float mono.
    std::ifstream file(raw, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<float> frames(bytes.size() / sizeof(float));
    std::memcpy(frames.data(), bytes.data(), frames.size() * sizeof(float));
    const Span sound = Sounding(frames);
    EXPECT_EQ(sound.Size(), Converted(150 * 200, 33000));
    const ToneFit tone =
        FitTone(std::span(frames).subspan(sound.begin + 4800, sound.Size() - 9600), 48000);
    EXPECT_NEAR(tone.frequency, 440.0, 1e-6);
    EXPECT_NEAR(tone.amplitude, 20000.0 / 32768, 1e-4);
}

TEST_F(AlsaSink, APcmThatAlwaysReportsRoomPlaysInRealTime) {
    // ALSA's null PCM takes everything at once, however fast it comes: the clock paces it.
    UseSink("alsa:null");
    const auto start = platform::CurrentClock().Now();
    TestOutput output(48000);
    ASSERT_EQ(output.Play(Constant(480, 1000), 200), MMSYSERR_NOERROR); // 2 s
    output.WaitUntilDone();
    const auto played = platform::CurrentClock().Now() - start;
    EXPECT_NEAR(std::chrono::duration<double>(played).count(), 2.0, 0.03);
}

TEST_F(AlsaSink, PcmThatDoesNotExistIsABadDevice) {
    const AlsaConfiguration configuration(dir_.Path(), "");
    UseSink("alsa:progen_no_such_pcm");
    TestOutput output(33000);
    EXPECT_EQ(output.Opened(), MMSYSERR_BADDEVICEID);
}

} // namespace
