// The real program from its start to its first sound, seen from outside: it is started with the
// wav sink in a fresh folder, and the time runs until the recording holds its first nonzero frame.
// The program is then ended with SIGTERM, which it answers by closing its window.

#include "tests/support/PlaybackTesting.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

bool HasSound(const std::filesystem::path& recording) {
    const std::vector<float> frames = ReadWavFile(recording).frames;
    return std::ranges::any_of(frames, [](float frame) { return frame != 0; });
}

pid_t StartProgram(const std::filesystem::path& folder) {
    const pid_t child = fork();
    if (child == 0) {
        // Qt's notes on the offscreen platform would fill the report.
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet < 0 || dup2(quiet, STDERR_FILENO) < 0 || chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        setenv("PROGEN_AUDIO", ("wav:" + (folder / "recording.wav").string()).c_str(), 1);
        setenv("PROGEN_MIXER", ("file:" + (folder / "mixer.txt").string()).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // A runaway program fails the measurement instead of taking the machine.
        const rlimit memory{2UL << 30, 2UL << 30};
        const rlimit processor{60, 60};
        setrlimit(RLIMIT_AS, &memory);
        setrlimit(RLIMIT_CPU, &processor);
        execl(PROGEN_BINARY, PROGEN_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

void StartToFirstSound(benchmark::State& state) {
    const TempDir dir;
    const std::filesystem::path& folder = dir.Path();
    for (auto _ : state) {
        std::filesystem::remove(folder / "recording.wav");
        const Steady::time_point start = Steady::now();
        const pid_t program = StartProgram(folder);
        bool ended = false;
        while (!HasSound(folder / "recording.wav") && !ended) {
            ended = waitpid(program, nullptr, WNOHANG) != 0 || Steady::now() - start > 10s;
            std::this_thread::sleep_for(200us);
        }
        state.SetIterationTime(std::chrono::duration<double>(Steady::now() - start).count());
        kill(program, SIGTERM);
        waitpid(program, nullptr, 0);
        if (ended) {
            state.SkipWithError("the program ended or stayed silent for 10 s");
            break;
        }
    }
}
BENCHMARK(StartToFirstSound)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
