// The window's work on the user-interface thread: the program's start up to the first tone
// handed to the device, one restart of the tone, and the restart until the new tone reaches the
// sink. Runs on Qt's offscreen platform with the null sink and a mixer file in a directory of its
// own, unless the environment says otherwise.

#include "app/ProgGenerator.h"
#include "audio/GenerujManual.h"
#include "audio/platform/Platform.h"
#include "tests/app/WindowProbe.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// FormCreate: the controls' start state, the mixer setup and the first tone, which starts
// looping on the device with its last step.
void StartToFirstTone(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<TProgGenerator>();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToFirstTone)->Unit(benchmark::kMicrosecond);

// What every finished change of frequency or amplitude costs: the playing tone closed and
// released, the new one computed, written, read back, opened and started.
void RestartStopAndPlay(benchmark::State& state) {
    TProgGenerator window;
    for (auto _ : state) {
        window.StopClick();
        window.PlayClick();
    }
}
BENCHMARK(RestartStopAndPlay)->Unit(benchmark::kMicrosecond);

// The restart's latency: from the start of StopClick to the first frames of the new tone handed
// to the sink, on the system clock. What the sink still holds before them is heard first.
void RestartToFirstFrames(benchmark::State& state) {
    TProgGenerator window;
    for (auto _ : state) {
        window.StopClick();
        window.PlayClick();
        TGenerujManual* manual = WindowProbe::GenerujManual(window);
        if (manual == nullptr || !manual->PlayingVystup()) {
            state.SkipWithError("the restarted tone does not play");
            break;
        }
        while (manual->WavePositionVystup() == 0) {
        }
    }
}
BENCHMARK(RestartToFirstFrames)->Unit(benchmark::kMillisecond);

void SetDefault(const char* name, const char* value) {
    if (!qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("PROGEN_AUDIO", "null");
    SetDefault("PROGEN_MIXER", "file:mixer.txt");
    QTemporaryDir directory;
    if (!directory.isValid() || !QDir::setCurrent(directory.path())) {
        return 1;
    }
    const platform::Platform owner;
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
