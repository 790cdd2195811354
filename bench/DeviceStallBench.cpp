// The user-interface thread's wave-out calls while the device stalls for 200 ms.
//
// The device is an ALSA "file" PCM over "null" whose file is a pipe (a FIFO). A reader thread of
// the benchmark drains the pipe and stops reading for 200 ms; once the pipe is full, the render
// thread's write to the device blocks in the kernel. Meanwhile the benchmark's thread makes every
// call that a restart and a playing tone make, each timed, and watches where the render thread
// sleeps (its wchan), so that the figures come with the proof that the device really held the
// render thread up (counter render_blocked_ms).

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"
#include "audio/platform/waveout/WaveOutEngine.h"
#include "bench/LoopingOutput.h"
#include "synth/ToneSynth.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto StallTime = 200ms;
// After the stall the render thread catches up; the calls go on through that too.
constexpr auto AfterStall = 50ms;

double Milliseconds(Steady::duration time) {
    return std::chrono::duration<double, std::milli>(time).count();
}

// A FIFO for the sink to write into, and a thread that reads it except while told to stall.
class StallingPipe {
public:
    explicit StallingPipe(std::filesystem::path path) : path_(std::move(path)) {
        if (mkfifo(path_.c_str(), 0600) != 0) {
            return;
        }
        // Open for reading first, so that the sink's open for writing does not wait for a reader.
        fd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        // The smallest pipe, one page: 1024 float frames, 21 ms of sound, then the writer blocks.
        if (fd_ >= 0 && fcntl(fd_, F_SETPIPE_SZ, 4096) < 0) {
            close(fd_);
            fd_ = -1;
        }
        if (fd_ >= 0) {
            reader_ = std::jthread([this](std::stop_token stop) { Read(stop); });
        }
    }
    ~StallingPipe() {
        if (reader_.joinable()) {
            reader_.request_stop();
            reader_.join();
        }
        if (fd_ >= 0) {
            close(fd_);
        }
        std::filesystem::remove(path_);
    }
    StallingPipe(const StallingPipe&) = delete;
    StallingPipe& operator=(const StallingPipe&) = delete;

    bool Ready() const { return fd_ >= 0; }
    pid_t ReaderThread() const { return readerThread_.load(); }
    void StallUntil(Steady::time_point end) { stallEnd_.store(end.time_since_epoch().count()); }

private:
    void Read(std::stop_token stop) {
        readerThread_.store(gettid());
        std::array<char, 4096> buffer{};
        while (!stop.stop_requested()) {
            if (Steady::now().time_since_epoch().count() < stallEnd_.load()) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            pollfd readable{fd_, POLLIN, 0};
            poll(&readable, 1, 5);
            // 0: no writer (yet, or any more).
            if (read(fd_, buffer.data(), buffer.size()) == 0) {
                std::this_thread::sleep_for(1ms);
            }
        }
    }

    std::filesystem::path path_;
    int fd_ = -1;
    std::atomic<Steady::rep> stallEnd_{0};
    std::atomic<pid_t> readerThread_{0};
    std::jthread reader_;
};

// The one thread of this process that is neither this one nor `other`: the render thread.
pid_t RenderThread(pid_t other) {
    pid_t found = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const pid_t id = std::stoi(task.path().filename().string());
        if (id == gettid() || id == other) {
            continue;
        }
        if (found != 0) {
            return 0; // more than one: which one renders is not known
        }
        found = id;
    }
    return found;
}

// Where the thread sleeps in the kernel: "pipe_write" (or "anon_pipe_write", by kernel version)
// while its write to the pipe waits for room.
std::string SleepsIn(pid_t thread) {
    std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/wchan");
    return {std::istreambuf_iterator<char>(file), {}};
}

// Every call of a restart (the old tone reset, unprepared, closed; the new one opened, prepared,
// written) and of a tone that plays (its position and its flags, as PlayingVystup reads them).
enum Call { Open, Prepare, Write, Position, Flags, Reset, Unprepare, Close, CallCount };
constexpr std::array<const char*, CallCount> CallNames = {"open_ms",      "prepare_ms", "write_ms",
                                                          "position_ms",  "flags_ms",   "reset_ms",
                                                          "unprepare_ms", "close_ms"};

class CallTimes {
public:
    // Runs `call`, keeps its time; false when it failed.
    template <typename Body>
    bool Time(Call kind, Body call) {
        const Steady::time_point start = Steady::now();
        const bool succeeded = call();
        longest_[kind] = std::max(longest_[kind], Steady::now() - start);
        ++calls_;
        return succeeded;
    }
    void Add(const CallTimes& other) {
        for (std::size_t kind = 0; kind < CallCount; ++kind) {
            longest_[kind] = std::max(longest_[kind], other.longest_[kind]);
        }
        calls_ += other.calls_;
    }
    Steady::duration Longest() const { return *std::ranges::max_element(longest_); }
    Steady::duration Longest(Call kind) const { return longest_[kind]; }
    long Calls() const { return calls_; }

private:
    std::array<Steady::duration, CallCount> longest_{};
    long calls_ = 0;
};

// One restart of `handle`, and a look at the tone that goes on playing on `playing`.
bool RestartAndLook(CallTimes& times, HWAVEOUT& handle, WAVEHDR& header, LoopingOutput& playing) {
    const WAVEFORMATEX format = MonoPcm16(44100);
    const auto ok = [](MMRESULT result) { return result == MMSYSERR_NOERROR; };
    MMTIME position{TIME_SAMPLES, {}};
    return times.Time(Open, [&] {
        return ok(waveOutOpen(&handle, 0, &format, 0, 0, WAVE_ALLOWSYNC));
    }) && times.Time(Prepare, [&] {
        return ok(waveOutPrepareHeader(handle, &header, sizeof header));
    }) && times.Time(Write, [&] {
        return ok(waveOutWrite(handle, &header, sizeof header));
    }) && times.Time(Position, [&] {
        return ok(waveOutGetPosition(playing.Handle(), &position, sizeof position));
    }) && times.Time(Flags, [&] {
        benchmark::DoNotOptimize(HeaderFlags(playing.Header()) & WHDR_DONE);
        return true;
    }) && times.Time(Reset, [&] {
        return ok(waveOutReset(handle));
    }) && times.Time(Unprepare, [&] {
        return ok(waveOutUnprepareHeader(handle, &header, sizeof header));
    }) && times.Time(Close, [&] { return ok(waveOutClose(handle)); });
}

// Plays a tone into the pipe and times every call through one stall per iteration.
void CallThroughStalls(benchmark::State& state, StallingPipe& pipe) {
    const ManualTone tone = VypocitejManual(500, 2000, TPrubeh::Sin);
    LoopingOutput playing(tone.SampleRate, tone.Samples, 0x7FFFFFFF);
    Sleep(300); // the device runs
    const pid_t render = RenderThread(pipe.ReaderThread());
    if (!pipe.Ready() || playing.Result() != MMSYSERR_NOERROR || render == 0) {
        state.SkipWithError("the stalling device did not start");
    }
    std::vector<std::int16_t> buffer = VypocitejManual(440, 2000, TPrubeh::Sin).Samples;
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(buffer.data());
    header.dwBufferLength = static_cast<DWORD>(buffer.size() * 2);
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 0x7FFFFFFF;
    HWAVEOUT handle = nullptr;

    CallTimes times;
    Steady::duration longestBlocked{};
    long callsWhileBlocked = 0;
    for (auto _ : state) {
        const Steady::time_point start = Steady::now();
        pipe.StallUntil(start + StallTime);
        CallTimes stall;
        // Since when the render thread has been seen blocked; max() while it is not.
        Steady::time_point blockedSince = Steady::time_point::max();
        while (Steady::now() < start + StallTime + AfterStall) {
            const long before = stall.Calls();
            if (!RestartAndLook(stall, handle, header, playing)) {
                state.SkipWithError("a wave-out call failed");
                break;
            }
            const Steady::time_point now = Steady::now();
            if (SleepsIn(render).find("pipe_write") != std::string::npos) {
                blockedSince = std::min(blockedSince, now);
                longestBlocked = std::max(longestBlocked, now - blockedSince);
                callsWhileBlocked += stall.Calls() - before;
            } else {
                blockedSince = Steady::time_point::max();
            }
            std::this_thread::sleep_for(1ms);
        }
        state.SetIterationTime(std::chrono::duration<double>(stall.Longest()).count());
        times.Add(stall);
    }
    if (longestBlocked == Steady::duration{}) {
        state.SkipWithError("the render thread was never seen blocked on the device");
    }
    for (std::size_t kind = 0; kind < CallCount; ++kind) {
        state.counters[CallNames[kind]] = Milliseconds(times.Longest(static_cast<Call>(kind)));
    }
    state.counters["longest_ms"] = Milliseconds(times.Longest());
    state.counters["render_blocked_ms"] = Milliseconds(longestBlocked);
    state.counters["calls_while_blocked"] = static_cast<double>(callsWhileBlocked);
}

void UserInterfaceCallsWhileTheDeviceStalls(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("progen-stall-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "asound.conf") << "pcm.progen_stall {\n"
                                             "    type file\n"
                                             "    slave.pcm { type null }\n"
                                             "    file \""
                                          << (folder / "pipe").string()
                                          << "\"\n"
                                             "    format \"raw\"\n"
                                             "}\n";
    setenv("ALSA_CONFIG_PATH", (folder / "asound.conf").c_str(), 1);
    setenv("PROGEN_AUDIO", "alsa:progen_stall", 1);
    {
        StallingPipe pipe(folder / "pipe");
        // Its sound ends and its sink is released before the pipe goes.
        const platform::Platform owner;
        CallThroughStalls(state, pipe);
    }
    unsetenv("ALSA_CONFIG_PATH");
    std::filesystem::remove_all(folder);
}
// Over repetitions, the largest beside the median: a bound is about the worst case.
BENCHMARK(UserInterfaceCallsWhileTheDeviceStalls)
    ->Iterations(5)
    ->UseManualTime()
    ->ComputeStatistics("max",
                        [](const std::vector<double>& values) {
                            return *std::ranges::max_element(values);
                        })
    ->Unit(benchmark::kMillisecond);

} // namespace
