// The wave output's costs: the render thread's CPU per second of sound in every band and what the
// machine charges for its wakeups alone, the silence between two sweep steps, and what a restart
// and a write cost the user-interface thread.

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/system/Clock.h"
#include "audio/platform/waveout/WaveOutEngine.h"
#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/VirtualClock.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Every band at its highest frequency, where the manual tone's rate is highest (the costliest).
constexpr std::uint16_t BandTops[] = {99, 200, 400, 600, 800, 1000, 1500, 2000, 5000, 10000, 15000};

ManualTone Tone(std::uint16_t frequency) {
    return VypocitejManual(frequency, 32767, TPrubeh::Sin);
}

// The render thread's CPU over 10 s of sound, on the virtual clock into the null sink: while the
// benchmark's thread sleeps on that clock, only the render thread runs.
void RenderCostPerSecondOfSound(benchmark::State& state) {
    const ManualTone tone = Tone(BandTops[state.range(0) - 1]);
    setenv("PROGEN_AUDIO", "null", 1);
    const platform::Platform owner(seams::VirtualClock());
    double cpu = 0;
    for (auto _ : state) {
        TestOutput output(tone.SampleRate);
        if (output.Play(tone.Samples, 0x7FFFFFFF) != MMSYSERR_NOERROR) {
            state.SkipWithError("the output did not start");
            break;
        }
        const double before = ProcessCpuSeconds();
        Sleep(10000);
        const double spent = ProcessCpuSeconds() - before;
        state.SetIterationTime(spent);
        cpu += spent;
    }
    state.counters["cpu_ms_per_s"] =
        benchmark::Counter(cpu * 1000 / 10 / static_cast<double>(state.iterations()));
}
BENCHMARK(RenderCostPerSecondOfSound)
    ->DenseRange(1, 11)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// What the machine charges a thread that sleeps one render period at a time on the system clock,
// as the render thread does, and does nothing else: the floor under the render thread's CPU in
// real time. On a virtual machine every wakeup costs far more than on bare metal.
void WakeupsAtTheRenderPeriod(benchmark::State& state) {
    platform::Clock& clock = platform::SystemClock();
    const std::stop_source never;
    const auto rounds = std::chrono::seconds(1) / platform::RenderPeriod;
    double cpu = 0;
    for (auto _ : state) {
        timespec before{};
        timespec after{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
        platform::Clock::TimePoint wake = clock.Now();
        for (long round = 0; round < rounds; ++round) {
            wake += platform::RenderPeriod;
            clock.SleepPaced(wake, never.get_token());
        }
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
        cpu += static_cast<double>(after.tv_sec - before.tv_sec) +
               static_cast<double>(after.tv_nsec - before.tv_nsec) * 1e-9;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_s"] = cpu * 1000 / iterations;
    state.counters["us_per_wakeup"] = cpu * 1e6 / iterations / static_cast<double>(rounds);
}
BENCHMARK(WakeupsAtTheRenderPeriod)->Iterations(3)->Unit(benchmark::kMillisecond);

// Two sweep steps in real time into the wav sink, as the sweep runs them: done, polls of Sleep(1),
// close, open, write. The gap is the silence the stream got between them.
void SilenceBetweenSweepSteps(benchmark::State& state) {
    const TempDir dir;
    const std::filesystem::path path = dir.Path() / "steps.wav";
    setenv("PROGEN_AUDIO", ("wav:" + path.string()).c_str(), 1);
    std::optional<platform::Platform> owner(std::in_place);
    std::vector<double> gaps;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t before = ReadWavFile(path).frames.size();
        state.ResumeTiming();
        for (const std::int16_t level : {std::int16_t{10000}, std::int16_t{-10000}}) {
            TestOutput step(level > 0 ? 22500 : 45000);
            if (step.Play(Constant(level > 0 ? 450 : 3, level), level > 0 ? 1 : 300) !=
                MMSYSERR_NOERROR) {
                state.SkipWithError("a step did not start");
                break;
            }
            step.WaitUntilDone();
        }
        state.PauseTiming();
        Sleep(20);
        // The first step is positive, the second negative: the gap lies between the two.
        const std::vector<float> frames = ReadWavFile(path, before).frames;
        const auto firstEnd =
            std::find_if(frames.rbegin(), frames.rend(), [](float f) { return f > 0; });
        const auto secondStart = std::ranges::find_if(frames, [](float f) { return f < 0; });
        if (firstEnd != frames.rend() && secondStart != frames.end()) {
            gaps.push_back(static_cast<double>(secondStart - firstEnd.base()) / 48.0);
        }
        state.ResumeTiming();
    }
    std::ranges::sort(gaps);
    if (!gaps.empty()) {
        state.counters["gap_median_ms"] = gaps[gaps.size() / 2];
        state.counters["gap_max_ms"] = gaps.back();
    }
    owner.reset();
}
BENCHMARK(SilenceBetweenSweepSteps)->Iterations(25)->Unit(benchmark::kMillisecond);

// The wave output's part of a restart on the user-interface thread: reset, unprepare, close of the
// old tone, open, prepare, write of the new, with the sink already open.
void RestartOnTheUserInterfaceThread(benchmark::State& state) {
    setenv("PROGEN_AUDIO", "null", 1);
    const platform::Platform owner;
    const ManualTone tone = Tone(500);
    auto output = std::make_unique<TestOutput>(tone.SampleRate);
    output->Play(tone.Samples, 0x7FFFFFFF);
    for (auto _ : state) {
        output.reset();
        output = std::make_unique<TestOutput>(tone.SampleRate);
        if (output->Play(tone.Samples, 0x7FFFFFFF) != MMSYSERR_NOERROR) {
            state.SkipWithError("the restarted output did not start");
            break;
        }
    }
    output.reset();
}
BENCHMARK(RestartOnTheUserInterfaceThread)->Unit(benchmark::kMicrosecond);

// From waveOutWrite to the first frames handed on to the sink, on the system clock. The sound is
// heard after what the sink still holds before them (at most Lead).
void WriteToSink(benchmark::State& state) {
    setenv("PROGEN_AUDIO", "null", 1);
    const platform::Platform owner;
    {
        const ManualTone tone = Tone(440);
        TestOutput output(tone.SampleRate);
        if (output.Play(tone.Samples, 0x7FFFFFFF) != MMSYSERR_NOERROR) {
            state.SkipWithError("the output did not start");
        }
        for (auto _ : state) {
            waveOutReset(output.Handle());
            waveOutWrite(output.Handle(), &output.Header(), sizeof(WAVEHDR));
            MMTIME position{TIME_SAMPLES, {}};
            do {
                waveOutGetPosition(output.Handle(), &position, sizeof position);
            } while (position.u.sample == 0);
        }
    }
}
BENCHMARK(WriteToSink)->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace
