// The checks scripts/e2e makes on what the real program left behind: "pokus.wav" in its working
// directory and the wav sink's recording. The script says what to expect through the environment:
//   E2E_DIR        the program's working directory
//   E2E_RECORDING  the recording of the wav sink
//   E2E_FREQUENCY  the manual tone's frequency (its amplitude is the start value, 2000)
//   E2E_SWEEP      "MinF MaxF Krok T" of the last sweep
// Each check is one test; the script picks them with --gtest_filter.

#include "audio/ToneWaveFile.h"
#include "audio/platform/Platform.h"
#include "audio/platform/sinks/Sink.h"
#include "synth/Bands.h"
#include "synth/SweepSynth.h"
#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToneAnalysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double SinkRate = platform::SinkRate;
constexpr std::uint16_t StartAmplitude = 2000;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        ADD_FAILURE() << name << " is not set";
        return {};
    }
    return value;
}

std::uint16_t Frequency() {
    return static_cast<std::uint16_t>(std::stoi(Setting("E2E_FREQUENCY")));
}

std::vector<char> Bytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The frequency a looped buffer of `n` samples holding two periods sounds at when played at `rate`.
double Sounding(double rate, std::size_t n) {
    return 2 * rate / static_cast<double>(n);
}

} // namespace

TEST(E2E, ToneFileHoldsTheManualTone) {
    const ManualTone tone = VypocitejManual(Frequency(), StartAmplitude, TPrubeh::Sin);
    const platform::Platform owner; // for the file calls
    TempDir dir;
    const std::filesystem::path expected = dir.Path() / "expected.wav";
    UlozWave(expected.c_str(), tone.Samples.data(),
             static_cast<DWORD>(tone.Samples.size() * sizeof(std::int16_t)));
    EXPECT_EQ(Bytes(std::filesystem::path(Setting("E2E_DIR")) / "pokus.wav"), Bytes(expected))
        << "pokus.wav is not the " << Frequency() << " Hz sine of amplitude " << StartAmplitude;
}

// The last quarter second of the recording is the manual tone, clean and at its pitch.
TEST(E2E, RecordingEndsWithTheManualTone) {
    const std::vector<float> frames = ReadRecording(Setting("E2E_RECORDING"));
    const std::size_t span = static_cast<std::size_t>(SinkRate / 4);
    ASSERT_GE(frames.size(), span);
    const ToneFit fit = FitTone({frames.data() + frames.size() - span, span}, SinkRate);
    const ManualTone tone = VypocitejManual(Frequency(), StartAmplitude, TPrubeh::Sin);
    const double expected = Sounding(tone.SampleRate, tone.Samples.size());
    std::printf("manual tone: %.6f Hz (expected %.6f), amplitude %.5f, SINAD %.1f dB\n",
                fit.frequency, expected, fit.amplitude, fit.sinadDb);
    EXPECT_NEAR(fit.frequency, expected, 0.01);
    EXPECT_NEAR(fit.amplitude, StartAmplitude / 32768.0, 0.01 * StartAmplitude / 32768.0);
    EXPECT_GT(fit.sinadDb, 60);
}

// The sweep begins after the silence of the confirmation dialog, the last silence of the
// recording. Each step is measured in its middle, where the sum of the steps' lengths puts it.
TEST(E2E, RecordingHoldsTheSweepSteps) {
    std::istringstream sweep(Setting("E2E_SWEEP"));
    int minF = 0;
    int maxF = 0;
    int krok = 0;
    int dwell = 0;
    ASSERT_TRUE(sweep >> minF >> maxF >> krok >> dwell);
    const std::vector<float> frames = ReadRecording(Setting("E2E_RECORDING"));

    const std::size_t quiet = static_cast<std::size_t>(SinkRate / 20); // 50 ms
    std::size_t start = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (std::abs(frames[i]) < 1e-4f) {
            ++run;
        } else {
            if (run >= quiet) {
                start = i;
            }
            run = 0;
        }
    }
    ASSERT_GT(start, 0u) << "no silence before a sweep";

    double at = static_cast<double>(start);
    for (int f = minF; f <= maxF; f += krok) {
        const auto frequency = static_cast<std::uint16_t>(f);
        const std::size_t n = Bands[UrciPasmo(frequency) - 1].Samples;
        const double rate = SweepRate(frequency);
        const double length =
            static_cast<double>(StepLoops(frequency, static_cast<std::uint16_t>(dwell)) * n) /
            rate * SinkRate;
        const auto from = static_cast<std::size_t>(at + 0.1 * length);
        const auto size = static_cast<std::size_t>(0.8 * length);
        ASSERT_LE(from + size, frames.size()) << "the recording ends before the step at " << f;
        const ToneFit fit = FitTone({frames.data() + from, size}, SinkRate);
        std::printf("step %5d Hz: %.6f Hz (expected %.6f), amplitude %.5f\n", f, fit.frequency,
                    Sounding(rate, n), fit.amplitude);
        EXPECT_NEAR(fit.frequency, Sounding(rate, n), 0.01) << "step " << f;
        at += length;
    }
}
