// Pitch and purity of recorded tones: the sink's stream must sound at the frequency that the
// buffer's rate carries, and be as clean as the 16-bit buffer itself allows.

#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/ToneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

struct Tone {
    std::uint16_t frequency;
    std::uint16_t amplitude;
    double seconds; // recorded
};

void PrintTo(const Tone& tone, std::ostream* out) {
    *out << tone.frequency << " Hz at " << tone.amplitude;
}

// The frequency a looped buffer sounds at: two periods in it, or one where three samples fold
// the two into one.
double Sounds(const ManualTone& tone) {
    const std::size_t length = tone.Samples.size();
    return length == 3 ? tone.SampleRate / 3.0
                       : 2.0 * tone.SampleRate / static_cast<double>(length);
}

class ToneQuality : public VirtualAudioTest, public ::testing::WithParamInterface<Tone> {};

TEST_P(ToneQuality, SoundsAtItsRateAndAsCleanAsItsBuffer) {
    const ManualTone tone =
        VypocitejManual(GetParam().frequency, GetParam().amplitude, TPrubeh::Sin);
    const std::size_t length = tone.Samples.size();
    const auto loops =
        static_cast<DWORD>(GetParam().seconds * tone.SampleRate / static_cast<double>(length));
    {
        TestOutput output(tone.SampleRate);
        ASSERT_EQ(output.Play(tone.Samples, loops), MMSYSERR_NOERROR);
        output.WaitUntilDone();
    }
    const std::vector<float> frames = Recorded();
    const Span sound = Sounding(frames);
    ASSERT_EQ(sound.Size(), Converted(length * loops, tone.SampleRate));
    // The converter's start and end (where the input is cut off) are left out.
    const std::size_t margin = 9600;
    const ToneFit fit =
        FitTone(std::span(frames).subspan(sound.begin + margin, sound.Size() - 2 * margin), 48000);

    EXPECT_NEAR(fit.frequency, Sounds(tone), 0.001);
    // Within 1 dB of what the buffer allows; a buffer that is an exact sine (8 or 3 samples) allows
    // more than float frames could show, and then 120 dB is asked for.
    const double limit = BufferSinadDb(tone.Samples, length == 3 ? 1 : 2);
    EXPECT_GE(fit.sinadDb, std::min(limit - 1.0, 120.0));
    std::ostringstream figures;
    figures << std::scientific << "sinad " << fit.sinadDb << " dB, buffer limit " << limit
            << " dB, frequency error " << fit.frequency - Sounds(tone) << " Hz";
    RecordProperty("figures", figures.str());
}

// 440 Hz (band 4), 15000 Hz (band 11), 11 Hz (band 1: 11.169 Hz), 7000 Hz (band 10: 6912.5 Hz)
// and 2500 Hz (band 9: 2501.4 Hz), loud and quiet.
INSTANTIATE_TEST_SUITE_P(Bands, ToneQuality,
                         ::testing::Values(Tone{440, 32767, 1.0}, Tone{440, 2000, 1.0},
                                           Tone{15000, 32767, 1.0}, Tone{11, 32767, 5.0},
                                           Tone{7000, 32767, 1.0}, Tone{2500, 32767, 1.0},
                                           Tone{2500, 2000, 1.0}),
                         [](const ::testing::TestParamInfo<Tone>& tested) {
                             return std::to_string(tested.param.frequency) + "HzAt" +
                                    std::to_string(tested.param.amplitude);
                         });

} // namespace
