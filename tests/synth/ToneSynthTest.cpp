#include "synth/ToneSynth.h"

#include "synth/Bands.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

Samples Take(const Samples& s, std::size_t from, std::size_t count) {
    return {s.begin() + static_cast<std::ptrdiff_t>(from - 1),
            s.begin() + static_cast<std::ptrdiff_t>(from - 1 + count)};
}

// The lowest frequency of every band, one tone per band.
std::vector<std::uint16_t> OnePerBand() {
    std::vector<std::uint16_t> frequencies;
    for (const Band& band : Bands) {
        frequencies.push_back(band.Lowest);
    }
    return frequencies;
}

// The differences between neighbours of the buffer played in a loop, the wrap included.
std::vector<int> LoopedSteps(const Samples& s) {
    std::vector<int> steps;
    for (std::size_t i = 0; i < s.size(); ++i) {
        steps.push_back(s[(i + 1) % s.size()] - s[i]);
    }
    return steps;
}

constexpr std::uint16_t Full = 32767;

} // namespace

TEST(VypocitejManual, StartUpToneIsTheWorkedSine) {
    const ManualTone tone = VypocitejManual(500, 2000, TPrubeh::Sin);
    EXPECT_EQ(tone.SampleRate, 37500);
    ASSERT_EQ(tone.Samples.size(), 150U);
    EXPECT_EQ(Take(tone.Samples, 1, 5), (Samples{167, 334, 497, 658, 813}));
    EXPECT_EQ(tone.Samples[19 - 1], 2000);
    EXPECT_EQ(tone.Samples[75 - 1], 0);
    EXPECT_EQ(tone.Samples[150 - 1], 0);
    EXPECT_EQ(*std::min_element(tone.Samples.begin(), tone.Samples.end()), -2000);
}

TEST(VypocitejManual, SineAtTheEndsOfTheRange) {
    const ManualTone low = VypocitejManual(11, Full, TPrubeh::Sin);
    EXPECT_EQ(low.SampleRate, 5026);
    EXPECT_EQ(Take(low.Samples, 1, 3), (Samples{457, 915, 1372}));
    EXPECT_EQ(low.Samples[225 - 1], 0);

    const ManualTone high = VypocitejManual(15000, Full, TPrubeh::Sin);
    EXPECT_EQ(high.SampleRate, 45000);
    EXPECT_EQ(high.Samples, (Samples{-28377, 28377, 0}));
}

TEST(VypocitejManual, RatesAtBandEdgesAndTies) {
    const std::pair<std::uint16_t, std::uint16_t> expected[] = {
        {99, 44590},   {100, 22400},  {200, 44900},  {201, 22612},   {203, 22838},   {400, 45000},
        {401, 30075},  {601, 33704},  {825, 36350},  {1000, 44060},  {2000, 44070},  {2100, 17860},
        {5000, 42525}, {5001, 19754}, {5010, 19790}, {10000, 39500}, {10001, 30003},
    };
    for (const auto& [f, rate] : expected) {
        EXPECT_EQ(VypocitejManual(f, 2000, TPrubeh::Sin).SampleRate, rate) << f << " Hz";
    }
}

TEST(VypocitejManual, SineEndsOnZeroInEveryBandAtFullAmplitude) {
    // |A * sin| grows with A, so a last sample of 0 at full amplitude is 0 at every amplitude.
    for (std::uint16_t f : OnePerBand()) {
        const ManualTone tone = VypocitejManual(f, Full, TPrubeh::Sin);
        EXPECT_EQ(tone.Samples.back(), 0) << f << " Hz";
        EXPECT_LE(*std::max_element(tone.Samples.begin(), tone.Samples.end()), Full);
        EXPECT_GE(*std::min_element(tone.Samples.begin(), tone.Samples.end()), -Full);
    }
}

TEST(VypocitejManual, RectangleRunsAndSigns) {
    const Samples s = VypocitejManual(500, 2000, TPrubeh::Obdelnik).Samples;
    EXPECT_EQ(Take(s, 1, 36), Samples(36, 2000));
    EXPECT_EQ(Take(s, 37, 38), Samples(38, -2000));
    EXPECT_EQ(Take(s, 75, 37), Samples(37, 2000));
    EXPECT_EQ(Take(s, 112, 38), Samples(38, -2000));
    EXPECT_EQ(s[150 - 1], 2000);

    const Samples band9 = VypocitejManual(2100, 1000, TPrubeh::Obdelnik).Samples;
    EXPECT_EQ(band9, (Samples{1000, 1000, 1000, -1000, -1000, -1000, -1000, 1000, 1000, 1000, 1000,
                              -1000, -1000, -1000, -1000, -1000, 1000}));

    EXPECT_EQ(VypocitejManual(15000, 1000, TPrubeh::Obdelnik).Samples,
              (Samples{-1000, 1000, -1000}));
}

TEST(VypocitejManual, SawtoothOfAmplitudeOneRoundsItsTieToEven) {
    const Samples s = VypocitejManual(50, 1, TPrubeh::Pila).Samples;
    ASSERT_EQ(s.size(), 900U);
    EXPECT_EQ(Take(s, 1, 225), Samples(225, 0)); // sample 225 is the tie 0.5
    EXPECT_EQ(Take(s, 226, 225), Samples(225, 1));
    EXPECT_EQ(s[451 - 1], 0);
}

TEST(VypocitejManual, TriangleSegments) {
    const Samples band9 = VypocitejManual(2100, 1000, TPrubeh::Troj).Samples;
    EXPECT_EQ(band9, (Samples{250, 500, 750, 1000, 750, 500, 250, 0, 250, 500, 750, 1000, 750, 500,
                              250, 0, 0}));

    const Samples band3 = VypocitejManual(300, 1000, TPrubeh::Troj).Samples;
    EXPECT_EQ(band3[56 - 1], 1000);
    EXPECT_EQ(band3[57 - 1], 982);
    EXPECT_EQ(band3[112 - 1], 0);
    EXPECT_EQ(band3[113 - 1], 18);
    EXPECT_EQ(band3[168 - 1], 1000);
    EXPECT_EQ(band3[224 - 1], 0);
}

TEST(VypocitejManual, UncoveredSamplesAddNoStepToTheLoop) {
    // Every rise of the looped sawtooth is at most one ramp step, it falls once per period, and
    // it stays within 0..A. Every step of the looped triangle is at most one segment step.
    for (std::uint16_t f : OnePerBand()) {
        const std::uint8_t pasmo = UrciPasmo(f);
        const int n = Bands[pasmo - 1U].Samples;
        const int rampStep = Full / (n / 2) + 1;

        const Samples saw = VypocitejManual(f, Full, TPrubeh::Pila).Samples;
        EXPECT_GE(*std::min_element(saw.begin(), saw.end()), 0) << f << " Hz";
        EXPECT_EQ(*std::max_element(saw.begin(), saw.end()), Full) << f << " Hz";
        const std::vector<int> sawSteps = LoopedSteps(saw);
        const bool folded = pasmo == Bands.size(); // two periods fold into one at 3 samples
        EXPECT_EQ(std::count_if(sawSteps.begin(), sawSteps.end(), [](int d) { return d < 0; }),
                  folded ? 1 : 2)
            << f << " Hz";
        EXPECT_LE(*std::max_element(sawSteps.begin(), sawSteps.end()), rampStep) << f << " Hz";

        if (folded) {
            continue; // no triangle segment at all: see below
        }
        const int segmentStep = Full / (n / 4) + 1;
        const Samples triangle = VypocitejManual(f, Full, TPrubeh::Troj).Samples;
        for (int d : LoopedSteps(triangle)) {
            EXPECT_LE(std::abs(d), segmentStep) << f << " Hz";
        }
    }
}

TEST(VypocitejManual, TriangleOfTheTopBandIsSampledAtItsPhases) {
    EXPECT_EQ(VypocitejManual(12000, Full, TPrubeh::Troj).Samples, (Samples{21845, 21845, 0}));
    EXPECT_EQ(VypocitejManual(12000, 3, TPrubeh::Troj).Samples, (Samples{2, 2, 0}));
}

TEST(VypocitejManual, AmplitudeZeroIsSilenceInEveryWaveform) {
    for (TPrubeh prubeh : {TPrubeh::Sin, TPrubeh::Troj, TPrubeh::Obdelnik, TPrubeh::Pila}) {
        for (std::uint16_t f : OnePerBand()) {
            const Samples s = VypocitejManual(f, 0, prubeh).Samples;
            EXPECT_EQ(s, Samples(s.size(), 0)) << f << " Hz";
        }
    }
}

TEST(VypocitejManual, RefusesWhatNoBandHolds) {
    const std::uint16_t outside[] = {0, 10, 15001, 65535};
    for (std::uint16_t f : outside) {
        EXPECT_THROW(VypocitejManual(f, 2000, TPrubeh::Sin), std::out_of_range) << f;
    }
    const std::uint16_t tooLoud[] = {32768, 65535};
    for (std::uint16_t a : tooLoud) {
        EXPECT_THROW(VypocitejManual(500, a, TPrubeh::Pila), std::out_of_range) << a;
    }
}
