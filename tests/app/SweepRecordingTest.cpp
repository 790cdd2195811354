// A sweep played in real time into the wav sink, and the recording measured step by step: each
// step's frequency, how long it sounds and the silence before the next.

#include "tests/app/SweepFixture.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/ToneAnalysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>

namespace {

constexpr double SinkRate = 48000;
constexpr std::size_t Ms = 48; // frames in a millisecond

// The steps of a sweep 1000..3000 Hz by 1000 with the dwell 1: each band's rate for f, its table
// length N, and L = f x 1 div 20 loops of it.
struct Step {
    int f;
    double rate;
    std::size_t n;
    std::size_t loops;
};
constexpr Step Steps[] = {{1000, 44060, 88, 50}, {2000, 44070, 44, 100}, {3000, 25515, 17, 150}};

// A stretch of the recording: one step's sine as fitted from its middle, or silence.
struct Model {
    std::optional<ToneFit> tone;
    std::size_t origin = 0; // the frame the fit counts from

    double At(std::size_t frame) const {
        if (!tone) {
            return 0;
        }
        const double t = static_cast<double>(frame) - static_cast<double>(origin);
        return tone->amplitude *
               std::cos(2 * std::numbers::pi * tone->frequency * t / SinkRate + tone->phase);
    }
};

// Where, within [from, to), the sound of `left` ends and that of `right` begins: the split into
// left, silence and right that leaves the least squared difference from the frames.
struct Transition {
    std::size_t leftEnd;
    std::size_t rightBegin;
};
Transition FindTransition(const std::vector<float>& frames, std::size_t from, std::size_t to,
                          const Model& left, const Model& right) {
    // cost(b1, b2) = leftError[from, b1) + silence[b1, b2) + rightError[b2, to), as prefix sums.
    std::vector<double> leftError{0};
    std::vector<double> silence{0};
    std::vector<double> rightError{0};
    for (std::size_t i = from; i < to; ++i) {
        const double x = frames[i];
        leftError.push_back(leftError.back() + std::pow(x - left.At(i), 2));
        silence.push_back(silence.back() + x * x);
        rightError.push_back(rightError.back() + std::pow(x - right.At(i), 2));
    }
    const std::size_t size = to - from;
    Transition best{from, from};
    double bestCost = INFINITY;
    std::size_t bestB1 = 0; // of leftError[b1] - silence[b1], over b1 <= b2
    for (std::size_t b2 = 0; b2 <= size; ++b2) {
        if (leftError[b2] - silence[b2] < leftError[bestB1] - silence[bestB1]) {
            bestB1 = b2;
        }
        const double cost =
            leftError[bestB1] - silence[bestB1] + silence[b2] + rightError[size] - rightError[b2];
        if (cost < bestCost) {
            bestCost = cost;
            best = {from + bestB1, from + b2};
        }
    }
    return best;
}

class SweepRecordingTest : public SweepFixture {
protected:
    void SetUp() override {
        recording_ = dir_.Path() / "sweep.wav";
        ::setenv("PROGEN_AUDIO", ("wav:" + recording_.string()).c_str(), 1);
        SweepFixture::SetUp();
        // The manual tone stays silent around the sweep, so that the recording holds the sweep
        // alone.
        seams::FailCall(seams::Call::waveOutOpen, MMSYSERR_ALLOCATED);
        OpenInAutomaticMode();
    }

    TempDir dir_;
    std::filesystem::path recording_;
};

TEST_F(SweepRecordingTest, EveryStepSoundsAtItsFrequencyForItsLoopsWithoutAGap) {
    SetSweep(1000, 3000, 1000, 1);
    answer_ = QMessageBox::Yes;
    seams::FailCall(seams::Call::waveOutOpen, MMSYSERR_ALLOCATED, 3); // the three steps open
    ClickStart();
    // Once the sound has ended, nothing writes to the recording any more.
    platform_.End();

    const std::vector<float> frames = ReadRecording(recording_);
    const Span sound = Sounding(frames);
    ASSERT_GT(sound.Size(), 250 * Ms);

    // Each step's sine, fitted over 50 ms around where its middle should lie.
    std::vector<Model> tones;
    std::size_t expectedStart = sound.begin;
    for (const Step& step : Steps) {
        const auto length = static_cast<std::size_t>(
            std::llround(static_cast<double>(step.loops * step.n) * SinkRate / step.rate));
        const std::size_t origin = expectedStart + length / 2 - 25 * Ms;
        ASSERT_LE(origin + 50 * Ms, frames.size());
        tones.push_back({FitTone(std::span(frames).subspan(origin, 50 * Ms), SinkRate), origin});
        expectedStart += length;
    }

    // The edges of each step, searched between the stretches the fits came from.
    const Model silence;
    std::vector<std::size_t> begins;
    std::vector<std::size_t> ends;
    const std::size_t lead = sound.begin > 5 * Ms ? sound.begin - 5 * Ms : 0;
    begins.push_back(FindTransition(frames, lead, tones[0].origin, silence, tones[0]).rightBegin);
    for (std::size_t k = 0; k + 1 < tones.size(); ++k) {
        const Transition edge = FindTransition(frames, tones[k].origin + 50 * Ms,
                                               tones[k + 1].origin, tones[k], tones[k + 1]);
        ends.push_back(edge.leftEnd);
        begins.push_back(edge.rightBegin);
    }
    const std::size_t tail = std::min(frames.size(), sound.end + 5 * Ms);
    ends.push_back(
        FindTransition(frames, tones.back().origin + 50 * Ms, tail, tones.back(), silence).leftEnd);

    for (std::size_t k = 0; k < std::size(Steps); ++k) {
        const Step& step = Steps[k];
        // The whole step but a millisecond at each edge, where the converter starts and stops.
        const double frequency =
            FitTone(std::span(frames).subspan(begins[k] + Ms, ends[k] - begins[k] - 2 * Ms),
                    SinkRate)
                .frequency;
        const double sounding = 2 * step.rate / static_cast<double>(step.n);
        const double duration = static_cast<double>(ends[k] - begins[k]) / Ms;
        const double loopsLast = static_cast<double>(step.loops * step.n) / step.rate * 1000;
        const double gap =
            k + 1 < std::size(Steps) ? static_cast<double>(begins[k + 1] - ends[k]) / Ms : 0;
        std::printf("step %d Hz: %.4f Hz (bands give %.4f), %.3f ms (L loops: %.3f ms)", step.f,
                    frequency, sounding, duration, loopsLast);
        if (k + 1 < std::size(Steps)) {
            std::printf(", then %.3f ms of silence", gap);
        }
        std::printf("\n");
        EXPECT_NEAR(frequency, sounding, 0.01) << step.f;
        EXPECT_NEAR(duration, loopsLast, 1.0) << step.f;
        EXPECT_LT(gap, 2.0) << step.f;
    }
}

} // namespace
