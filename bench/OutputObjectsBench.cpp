// The work of the output objects on the user-interface thread: the manual tone's way through the
// tone wave file, and the construction of the sweep object.

#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"
#include "audio/ToneWaveFile.h"
#include "audio/platform/Platform.h"
#include "synth/ToneSynth.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Band 1 (900 samples) is the largest buffer and file.
void ManualToneThroughTheFile(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("progen-bench-" + std::to_string(::getpid())))
            .string();
    const platform::Platform owner;
    for (auto _ : state) {
        const ManualTone tone = VypocitejManual(11, 2000, TPrubeh::Sin);
        UlozWave(path.c_str(), tone.Samples.data(), static_cast<DWORD>(2 * tone.Samples.size()));
        auto manual = TGenerujManual::Create(path.c_str(), tone.SampleRate);
        benchmark::DoNotOptimize(manual);
    }
    std::filesystem::remove(path);
}
BENCHMARK(ManualToneThroughTheFile)->Unit(benchmark::kMicrosecond);

void SweepObjectCreate(benchmark::State& state) {
    const platform::Platform owner;
    for (auto _ : state) {
        auto sweep = TGenerujAuto::Create(32767);
        benchmark::DoNotOptimize(sweep);
    }
}
BENCHMARK(SweepObjectCreate)->Unit(benchmark::kMicrosecond);

} // namespace
