// What reaches the sink, and when headers come back: played on the virtual clock into the wav sink.

#include "audio/platform/waveout/WaveOutEngine.h"
#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/Seams.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using Playback = VirtualAudioTest;

constexpr std::size_t FadeFrames = 48000 * 3 / 1000; // what a reset may take to fall silent

// The largest change from one frame to the next in [begin, end).
float LargestStep(const std::vector<float>& frames, std::size_t begin, std::size_t end) {
    float largest = 0;
    for (std::size_t i = begin + 1; i < end; ++i) {
        largest = std::max(largest, std::abs(frames[i] - frames[i - 1]));
    }
    return largest;
}

std::size_t CountNonZero(const std::vector<float>& frames, std::size_t begin, std::size_t end) {
    return static_cast<std::size_t>(std::count_if(
        frames.begin() + static_cast<std::ptrdiff_t>(begin),
        frames.begin() + static_cast<std::ptrdiff_t>(end), [](float f) { return f != 0; }));
}

TEST_F(Playback, LoopedHeaderReachesTheSinkWholeAndIsDoneRightAfterItsLastFrame) {
    struct Case {
        DWORD rate;
        std::size_t length;
        DWORD loops;
    };
    for (const Case c : {Case{4950, 900, 3}, Case{45000, 3, 4000}, Case{33000, 150, 0},
                         Case{19754, 8, 1001}, Case{30003, 3, 1}}) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.length) + " x " +
                     std::to_string(c.loops));
        const std::size_t before = Recorded().size();
        const std::uint64_t samples = c.length * std::max<DWORD>(c.loops, 1);
        const std::uint64_t expected = Converted(samples, c.rate);
        TestOutput output(c.rate);
        ASSERT_EQ(output.Play(Constant(c.length, 12000), c.loops), MMSYSERR_NOERROR);
        // Between two polls the render thread has done all it had to: so at every poll either the
        // header is done and all of it is in the sink, or it is not done and some is missing.
        for (int poll = 0; poll < 10000; ++poll) {
            const bool done = output.Done();
            const std::size_t arrived = Sounding(Recorded(before)).Size();
            if (done) {
                EXPECT_EQ(arrived, expected);
                break;
            }
            ASSERT_LT(arrived, expected) << "poll " << poll;
            Sleep(1);
        }
        ASSERT_TRUE(output.Done());
        const DWORD flags = HeaderFlags(output.Header());
        EXPECT_EQ(flags & (WHDR_INQUEUE | WHDR_PREPARED), WHDR_PREPARED);
        EXPECT_EQ(output.Position(), samples);
    }
}

TEST_F(Playback, EmptyHeaderIsDoneAtOnceAndPlaysNothing) {
    TestOutput output(22050);
    ASSERT_EQ(output.Play({}, 1000), MMSYSERR_NOERROR);
    EXPECT_TRUE(output.Done());
    Sleep(50);
    EXPECT_EQ(Sounding(Recorded()).Size(), 0u);
}

TEST_F(Playback, ResetFallsSilentWithinThreeMillisecondsWithoutAStepAndLetsTheDataGo) {
    const ManualTone tone = VypocitejManual(440, 32767, TPrubeh::Sin);
    TestOutput output(tone.SampleRate);
    ASSERT_EQ(output.Play(tone.Samples, 0x7FFFFFFF), MMSYSERR_NOERROR);
    Sleep(100);
    const std::size_t resetAt = Recorded().size();
    ASSERT_EQ(waveOutReset(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_EQ(HeaderFlags(output.Header()) & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(output.Position(), 0u);
    // The caller may free or reuse the buffer at once: nothing of this may reach the sink.
    std::ranges::fill(output.Buffer(), std::int16_t{32767});
    Sleep(100);

    const std::vector<float> frames = Recorded();
    ASSERT_GT(frames.size(), resetAt + FadeFrames);
    EXPECT_EQ(CountNonZero(frames, resetAt + FadeFrames, frames.size()), 0u);
    EXPECT_GT(CountNonZero(frames, resetAt, resetAt + FadeFrames), 0u) << "cut, not faded";
    const float steady = LargestStep(frames, resetAt - 4800, resetAt);
    EXPECT_LE(LargestStep(frames, resetAt - 1, resetAt + FadeFrames), steady);
}

TEST_F(Playback, ResetBeforeAnythingSoundedPlaysNothingOfIt) {
    const ManualTone tone = VypocitejManual(440, 32767, TPrubeh::Sin);
    TestOutput output(tone.SampleRate);
    ASSERT_EQ(output.Play(tone.Samples, 0x7FFFFFFF), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutReset(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_TRUE(output.Done());
    Sleep(50);
    EXPECT_EQ(Sounding(Recorded()).Size(), 0u);
}

TEST_F(Playback, NewToneAfterAResetCrossfadesFromTheOldOne) {
    TestOutput first(33000);
    ASSERT_EQ(first.Play(Constant(150, 8000), 0x7FFFFFFF), MMSYSERR_NOERROR);
    Sleep(50);
    const std::size_t resetAt = Recorded().size();
    first.Stop();
    TestOutput second(33000);
    ASSERT_EQ(second.Play(Constant(150, -16000), 10), MMSYSERR_NOERROR);
    second.WaitUntilDone();

    const std::vector<float> frames = Recorded();
    const float oldLevel = 8000.0f / 32768;
    const float newLevel = -16000.0f / 32768;
    // The old tone sounds up to the reset; from there the two cross over, each frame between the
    // two levels and on its way from the one to the other, and after the fade the new one is
    // alone. The new one is heard from its first frame, and played whole.
    EXPECT_FLOAT_EQ(frames[resetAt - 1], oldLevel);
    for (std::size_t i = resetAt; i < resetAt + FadeFrames; ++i) {
        // (The converter rings by a few parts in a million where a tone begins.)
        ASSERT_LE(frames[i], frames[i - 1] + 1e-4f) << i;
        ASSERT_GE(frames[i], newLevel - 1e-4f) << i;
    }
    EXPECT_LT(frames[resetAt], oldLevel);
    for (std::size_t i = resetAt + FadeFrames; i < resetAt + 1000; ++i) {
        ASSERT_NEAR(frames[i], newLevel, 0.05) << i;
    }
    EXPECT_EQ(Sounding(frames).end, resetAt + Converted(1500, 33000));
}

TEST_F(Playback, RestartsAtFullScaleNeverSoundLouderThanTheTonesThemselves) {
    // As typed keys restart the tone: every 30 ms a new tone at full amplitude, the frequencies
    // (and so the phases where one meets the next) changing each time.
    const std::size_t before = Recorded().size();
    std::uint16_t frequency = 440;
    for (int restart = 0; restart < 40; ++restart) {
        const ManualTone tone = VypocitejManual(frequency, 32767, TPrubeh::Sin);
        TestOutput output(tone.SampleRate);
        ASSERT_EQ(output.Play(tone.Samples, 0x7FFFFFFF), MMSYSERR_NOERROR);
        Sleep(30);
        frequency = static_cast<std::uint16_t>(frequency * 7 % 4000 + 100);
    }
    const std::vector<float> frames = Recorded(before);
    ASSERT_GT(frames.size(), 48000u);
    float peak = 0;
    for (const float frame : frames) {
        peak = std::max(peak, std::abs(frame));
    }
    EXPECT_LE(20 * std::log10(peak / (32767.0f / 32768)), 0.05);
    EXPECT_GT(peak, 0.99f);
}

TEST_F(Playback, EndFadesTheLastToneOutPlaysItAndLetsTheHandlesGo) {
    const ManualTone tone = VypocitejManual(440, 32767, TPrubeh::Sin);
    TestOutput output(tone.SampleRate);
    ASSERT_EQ(output.Play(tone.Samples, 0x7FFFFFFF), MMSYSERR_NOERROR);
    Sleep(100);
    const std::size_t endAt = Recorded().size();
    platform_.End();
    EXPECT_FALSE(seams::SinkOpen());
    EXPECT_TRUE(output.Done());

    // The recording ends with the fade, down to silence.
    const std::vector<float> frames = Recorded();
    ASSERT_GT(frames.size(), endAt);
    ASSERT_LE(frames.size(), endAt + FadeFrames);
    EXPECT_GT(CountNonZero(frames, endAt, frames.size()), 0u) << "cut, not faded";
    EXPECT_LT(std::abs(frames.back()), 1e-4f);
    const float steady = LargestStep(frames, endAt - 4800, endAt);
    EXPECT_LE(LargestStep(frames, endAt - 1, frames.size()), steady);
    // The handle is still open, with nothing in it; the program may go on with it.
    output.Stop();
    TestOutput next(tone.SampleRate);
    EXPECT_EQ(next.Play(tone.Samples, 10), MMSYSERR_NOERROR);
    next.WaitUntilDone();
}

TEST_F(Playback, PauseHoldsTheStreamAndRestartGoesOnWhereItStopped) {
    const ManualTone tone = VypocitejManual(440, 20000, TPrubeh::Sin);
    TestOutput output(tone.SampleRate);
    const DWORD loops = 200;
    ASSERT_EQ(output.Play(tone.Samples, loops), MMSYSERR_NOERROR);
    Sleep(200);
    const std::size_t pausedAt = Recorded().size();
    ASSERT_EQ(waveOutPause(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPause(output.Handle()), MMSYSERR_NOERROR);
    Sleep(10);
    const DWORD held = output.Position();
    Sleep(300);
    EXPECT_EQ(output.Position(), held);
    EXPECT_FALSE(output.Done());
    const std::size_t restartedAt = Recorded().size();
    ASSERT_EQ(waveOutRestart(output.Handle()), MMSYSERR_NOERROR);
    output.WaitUntilDone();
    EXPECT_EQ(output.Position(), 150u * loops);

    const std::vector<float> frames = Recorded();
    EXPECT_EQ(CountNonZero(frames, pausedAt + FadeFrames, restartedAt), 0u);
    const float steady = LargestStep(frames, pausedAt - 4800, pausedAt);
    EXPECT_LE(LargestStep(frames, pausedAt - 1, pausedAt + FadeFrames), steady);
    EXPECT_LE(LargestStep(frames, restartedAt - 1, restartedAt + FadeFrames), steady);
}

TEST_F(Playback, PausedBeforeItSoundedAToneWaitsSilentlyAndStartsAsWritten) {
    TestOutput output(33000);
    ASSERT_EQ(output.Play(Constant(150, 10000), 10), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPause(output.Handle()), MMSYSERR_NOERROR);
    Sleep(50);
    EXPECT_EQ(Sounding(Recorded()).Size(), 0u);
    ASSERT_EQ(waveOutRestart(output.Handle()), MMSYSERR_NOERROR);
    output.WaitUntilDone();
    // All of it, at full level from the first frame: not faded in.
    const std::vector<float> frames = Recorded();
    const Span sound = Sounding(frames);
    EXPECT_EQ(sound.Size(), Converted(1500, 33000));
    EXPECT_GT(frames[sound.begin], 0.1f);
}

TEST_F(Playback, SweepStepsFollowEachOtherWithoutAGap) {
    struct Step {
        DWORD rate;
        std::size_t length;
        DWORD loops;
        std::int16_t level;
    };
    const std::size_t before = Recorded().size();
    std::uint64_t expected = 0;
    for (const Step step : {Step{22500, 450, 10, 10000}, Step{45000, 3, 3000, -10000},
                            Step{4950, 900, 2, 10000}, Step{30030, 60, 50, -10000}}) {
        TestOutput output(step.rate);
        ASSERT_EQ(output.Play(Constant(step.length, step.level), step.loops), MMSYSERR_NOERROR);
        output.WaitUntilDone();
        expected += Converted(step.length * step.loops, step.rate);
    }
    Sleep(20);
    const std::vector<float> frames = Recorded(before);
    const Span sound = Sounding(frames);
    EXPECT_EQ(sound.Size(), expected);
    EXPECT_EQ(CountNonZero(frames, sound.begin, sound.end), sound.Size());
}

TEST_F(Playback, OpenHandlesAreMixed) {
    TestOutput high(48000);
    TestOutput low(24000);
    ASSERT_EQ(high.Play(Constant(480, 8000), 100), MMSYSERR_NOERROR);
    ASSERT_EQ(low.Play(Constant(240, 4000), 100), MMSYSERR_NOERROR);
    high.WaitUntilDone();
    low.WaitUntilDone();
    const std::vector<float> frames = Recorded();
    const Span sound = Sounding(frames);
    EXPECT_EQ(sound.Size(), 48000u);
    EXPECT_NEAR(frames[sound.begin + 24000], 12000.0f / 32768, 1e-4);
}

TEST_F(Playback, SinkGoesOnWithSilenceUntilIdleThenIsReleasedAndARecordingGoesOnAfter) {
    {
        TestOutput output(48000);
        ASSERT_EQ(output.Play(Constant(480, 5000), 10), MMSYSERR_NOERROR);
        output.WaitUntilDone();
    }
    const Span first = Sounding(Recorded());
    Sleep(static_cast<DWORD>(platform::IdleRelease.count()) + 100);
    const std::size_t released = Recorded().size();
    Sleep(1000);
    EXPECT_EQ(Recorded().size(), released);
    // Silence was recorded while the sink stayed open for the next open: the idle time, less what
    // was queued ahead when the tone ended (less than two rounds).
    const auto idle = platform::IdleRelease - 2 * platform::RenderPeriod;
    EXPECT_GE(released - first.end, 48u * static_cast<std::size_t>(idle.count()));

    {
        TestOutput output(48000);
        ASSERT_EQ(output.Play(Constant(480, -5000), 10), MMSYSERR_NOERROR);
        output.WaitUntilDone();
    }
    const std::vector<float> frames = Recorded();
    const Span both = Sounding(frames);
    EXPECT_EQ(both.begin, first.begin);
    EXPECT_EQ(Sounding(Recorded(released)).Size(), 4800u);
    EXPECT_EQ(CountNonZero(frames, first.end, released), 0u);
}

TEST_F(Playback, RecordingStartsAfreshOverAFileOfAnEarlierRun) {
    WriteText(wavPath_, std::string(100000, 'x'));
    TestOutput output(48000);
    ASSERT_EQ(output.Play(Constant(480, 5000), 10), MMSYSERR_NOERROR);
    output.WaitUntilDone();
    EXPECT_EQ(Sounding(Recorded()).Size(), 4800u); // Recorded() checks the header
}

TEST_F(Playback, RecordingIsAValidWavWhenTheProcessEndsAbruptly) {
    // The child plays for a while and ends through ExitProcess, which runs no destructor. It is a
    // fresh run of this test (a fork would inherit this process' render thread only in name), so
    // the parent hands it the file through the environment.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("PROGEN_TEST_ABRUPT_WAV", wavPath_.c_str(), 0);
    const std::filesystem::path recording = std::getenv("PROGEN_TEST_ABRUPT_WAV");
    EXPECT_EXIT(
        {
            UseSink("wav:" + recording.string());
            const ManualTone tone = VypocitejManual(440, 20000, TPrubeh::Sin);
            TestOutput output(tone.SampleRate);
            output.Play(tone.Samples, 0x7FFFFFFF);
            Sleep(300);
            std::filesystem::remove(dir_.Path()); // the child's own, left by ExitProcess else
            ExitProcess(1);
        },
        ::testing::ExitedWithCode(1), "");
    unsetenv("PROGEN_TEST_ABRUPT_WAV");
    const std::vector<float> frames = Recorded();
    EXPECT_GE(Sounding(frames).Size(), 48u * 300);
}

} // namespace
