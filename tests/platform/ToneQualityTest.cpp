// Pitch and purity of recorded tones: the sink's stream must sound at the frequency that the
// buffer's rate carries, and be as clean as the 16-bit buffer itself allows.

#include "tests/platform/PlaybackTesting.h"
#include "tests/platform/ToneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

struct Tone {
    const char* name;
    DWORD rate;
    std::size_t length;
    int amplitude;
    double seconds; // recorded
};

void PrintTo(const Tone& tone, std::ostream* out) {
    *out << tone.name;
}

// The frequency a looped buffer sounds at: two periods in it, or one where three samples fold
// the two into one.
double Sounds(const Tone& tone) {
    return tone.length == 3 ? tone.rate / 3.0 : 2.0 * tone.rate / static_cast<double>(tone.length);
}

class ToneQuality : public VirtualAudioTest, public ::testing::WithParamInterface<Tone> {};

TEST_P(ToneQuality, SoundsAtItsRateAndAsCleanAsItsBuffer) {
    const Tone& tone = GetParam();
    const std::vector<std::int16_t> buffer = SineBuffer(tone.length, tone.amplitude);
    const auto loops =
        static_cast<DWORD>(tone.seconds * tone.rate / static_cast<double>(tone.length));
    {
        TestOutput output(tone.rate);
        ASSERT_EQ(output.Play(buffer, loops), MMSYSERR_NOERROR);
        output.WaitUntilDone();
    }
    const std::vector<float> frames = Recorded();
    const Span sound = Sounding(frames);
    ASSERT_EQ(sound.Size(), Converted(tone.length * loops, tone.rate));
    // The converter's start and end (where the input is cut off) are left out.
    const std::size_t margin = 9600;
    const ToneFit fit =
        FitTone(std::span(frames).subspan(sound.begin + margin, sound.Size() - 2 * margin), 48000);

    EXPECT_NEAR(fit.frequency, Sounds(tone), 0.001);
    // Within 1 dB of what the buffer allows; a buffer that is an exact sine (8 or 3 samples) allows
    // more than float frames could show, and then 120 dB is asked for.
    const double limit = BufferSinadDb(buffer, tone.length == 3 ? 1 : 2);
    EXPECT_GE(fit.sinadDb, std::min(limit - 1.0, 120.0));
    std::ostringstream figures;
    figures << std::scientific << "sinad " << fit.sinadDb << " dB, buffer limit " << limit
            << " dB, frequency error " << fit.frequency - Sounds(tone) << " Hz";
    RecordProperty("figures", figures.str());
}

// Rates as the manual tone's bands give them: 440 Hz (band 4), 15000 Hz (band 11), 11 Hz (band 1,
// 11.169 Hz), 7000 Hz (band 10, 6912.5 Hz) and 2500 Hz (band 9, 2501.4 Hz).
INSTANTIATE_TEST_SUITE_P(
    Bands, ToneQuality,
    ::testing::Values(Tone{"Hz440", 33000, 150, 32767, 1.0},
                      Tone{"Hz440Quiet", 33000, 150, 2000, 1.0},
                      Tone{"Hz15000", 45000, 3, 32767, 1.0}, Tone{"Hz11", 5026, 900, 32767, 5.0},
                      Tone{"Hz7000", 27650, 8, 32767, 1.0}, Tone{"Hz2500", 21262, 17, 32767, 1.0},
                      Tone{"Hz2500Quiet", 21262, 17, 2000, 1.0}),
    [](const ::testing::TestParamInfo<Tone>& tested) { return std::string(tested.param.name); });

} // namespace
