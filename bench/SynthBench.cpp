// Synthesis runs on the user-interface thread at every tone start and once per sweep.

#include "synth/SweepSynth.h"
#include "synth/ToneSynth.h"

#include <benchmark/benchmark.h>

namespace {

// Band 1 (900 samples) is the slowest; the sine is the costliest waveform.
void VypocitejManualBand1Sine(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(VypocitejManual(11, 32767, TPrubeh::Sin));
    }
}
BENCHMARK(VypocitejManualBand1Sine);

void SweepBandTablesAll(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(SweepBandTables(32767));
    }
}
BENCHMARK(SweepBandTablesAll);

} // namespace
