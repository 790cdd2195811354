// From a restart (what a typed Return does) to the new tone at a real sound server's sink, seen
// from outside the wave output: the same process records the sink's monitor through an ALSA
// capture PCM and finds where the new tone begins.
//
// Runs inside a session of scripts/sound-server (scripts/bench-servers starts one): ALSA "default"
// plays to the server's null sink, and the PCM `progen_monitor` records its monitor with periods of
// PROGEN_BENCH_CYCLE frames (default 1024), the server's cycle.
//
// Tone A (500 Hz, amplitude 100) plays; at t0 it is restarted into tone B (1000 Hz, amplitude
// 30000); the first recorded frame above 0.05 of full scale after t0 is tone B's first (0.3 ms
// late at most, as B rises through the crossfade). Each read of the capture is stamped with the
// monotonic clock as it arrives; a frame reaches the capture no sooner than the sink takes it, so
// the earliest arrival relative to the frame count places every frame on the monotonic clock (the
// servers' clocks and ours are the monotonic one: no drift). Counters, each the median over the
// restarts, with the largest as *_max_ms:
//   sink_ms      t0 until the sink took the cycle that holds tone B's first frame, on that
//   timeline;
//                it includes the server's own share, and is uncertain by one capture read (a
//                cycle, where reads keep up with the server)
//   frame_ms     the same for tone B's first frame itself: the cycle plus B's place in it
//   capture_ms   t0 until the read that held tone B's first frame arrived: an upper bound
//   restart_ms   the restart's own work on the user-interface thread (RestartToTheServersSink)
//   queued_ms    what the plain player had queued in its ALSA buffer at t0 (PlainPlayer...)
//   server_ms    sink_ms less queued_ms: what the server adds from an ALSA buffer to its sink,
//                with server_min_ms, its smallest: the part that is not waiting for a cycle
// and once: cycle_ms, the median frames per capture read (the server's cycle where reads keep
// up); recorded_s, the recording's length; gaps, the runs of silence in it (cycles the server
// found nothing in), and of those gaps_after_restart, the ones that began within 150 ms after a
// restart.

#include "audio/GenerujManual.h"
#include "audio/ToneWaveFile.h"
#include "audio/platform/Platform.h"
#include "synth/ToneSynth.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr unsigned Rate = 48000;
constexpr float ToneBThreshold = 0.05f;
// How long after a restart tone B is looked for.
constexpr auto Horizon = 500ms;

double Milliseconds(Steady::duration time) {
    return std::chrono::duration<double, std::milli>(time).count();
}

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    return values.empty() ? 0 : values[values.size() / 2];
}

// Float mono frames at Rate in periods of `period`, a buffer of 16 periods, started by the first
// frame, woken by a whole period.
int Configure(snd_pcm_t* pcm, snd_pcm_uframes_t period) {
    snd_pcm_hw_params_t* hardware = nullptr;
    snd_pcm_hw_params_alloca(&hardware);
    snd_pcm_uframes_t buffer = 16 * period;
    int set = snd_pcm_hw_params_any(pcm, hardware);
    if (set >= 0) {
        set = snd_pcm_hw_params_set_access(pcm, hardware, SND_PCM_ACCESS_RW_INTERLEAVED);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params_set_format(pcm, hardware, SND_PCM_FORMAT_FLOAT_LE);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params_set_channels(pcm, hardware, 1);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params_set_rate(pcm, hardware, Rate, 0);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params_set_period_size(pcm, hardware, period, 0);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params_set_buffer_size_near(pcm, hardware, &buffer);
    }
    if (set >= 0) {
        set = snd_pcm_hw_params(pcm, hardware);
    }
    snd_pcm_sw_params_t* software = nullptr;
    snd_pcm_sw_params_alloca(&software);
    if (set >= 0) {
        set = snd_pcm_sw_params_current(pcm, software);
    }
    if (set >= 0) {
        set = snd_pcm_sw_params_set_start_threshold(pcm, software, 1);
    }
    if (set >= 0) {
        set = snd_pcm_sw_params_set_avail_min(pcm, software, period);
    }
    if (set >= 0) {
        set = snd_pcm_sw_params(pcm, software);
    }
    return set;
}

// One capture read: its first frame, how many, when it arrived; reads after an overrun start a new
// stretch, whose frames no longer follow the earlier ones in time.
struct Read {
    std::size_t first;
    std::size_t frames;
    Steady::time_point arrival;
    int stretch;
};

// Records the sink's monitor on a thread of its own, keeping every frame and every read.
class MonitorCapture {
public:
    explicit MonitorCapture(snd_pcm_uframes_t period) {
        // PipeWire records a sink's monitor only for a stream that asks to; its ALSA plugin takes
        // stream properties from this variable, read at the open: only the capture gets it.
        setenv("PIPEWIRE_ALSA", "{ stream.capture.sink = true }", 1);
        snd_pcm_t* pcm = nullptr;
        const int opened = snd_pcm_open(&pcm, "progen_monitor", SND_PCM_STREAM_CAPTURE, 0);
        unsetenv("PIPEWIRE_ALSA");
        if (opened < 0) {
            error_ = std::string("no capture PCM progen_monitor: ") + snd_strerror(opened);
            return;
        }
        pcm_ = pcm;
        // Periods of one server cycle, so that each read brings one cycle as it arrives.
        if (const int set = Configure(pcm_, period); set < 0) {
            error_ = std::string("the capture refused its parameters: ") + snd_strerror(set);
            return;
        }
        period_ = period;
        thread_ = std::jthread([this](std::stop_token stop) { Capture(stop); });
    }
    ~MonitorCapture() {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
        }
        if (pcm_ != nullptr) {
            snd_pcm_close(pcm_);
        }
    }
    MonitorCapture(const MonitorCapture&) = delete;
    MonitorCapture& operator=(const MonitorCapture&) = delete;

    const std::string& Error() const { return error_; }

    // Waits until a read has arrived after `time`.
    bool WaitPast(Steady::time_point time) {
        const Steady::time_point limit = time + 2s;
        while (Steady::now() < limit) {
            {
                std::lock_guard lock(mutex_);
                if (!reads_.empty() && reads_.back().arrival > time) {
                    return true;
                }
            }
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    // From t0: the sink took the cycle that holds tone B's first frame; that frame's own place on
    // the sink's timeline; the capture read that held it arrived.
    struct Found {
        Steady::duration sink;
        Steady::duration frame;
        Steady::duration capture;
    };
    // Where tone B, written at `t0`, began.
    std::optional<Found> ToneBAfter(Steady::time_point t0) {
        std::lock_guard lock(mutex_);
        const auto after =
            std::ranges::find_if(reads_, [&](const Read& r) { return r.arrival > t0; });
        for (auto read = after; read != reads_.end() && read->arrival < t0 + Horizon; ++read) {
            for (std::size_t frame = read->first; frame < read->first + read->frames; ++frame) {
                if (std::abs(frames_[frame]) > ToneBThreshold) {
                    const Steady::time_point origin = Origin(*read, t0);
                    return Found{origin + FrameTime(read->first) - t0,
                                 origin + FrameTime(frame) - t0, read->arrival - t0};
                }
            }
        }
        return std::nullopt;
    }

    double RecordedSeconds() {
        std::lock_guard lock(mutex_);
        return static_cast<double>(frames_.size()) / Rate;
    }

    double CycleMs() {
        std::lock_guard lock(mutex_);
        std::vector<double> sizes;
        for (const Read& read : reads_) {
            sizes.push_back(static_cast<double>(read.frames) * 1000 / Rate);
        }
        return Median(sizes);
    }

    // Where runs of silence begin in the recording since the first sound, on the monotonic
    // clock: cycles the server found nothing in (a tone, even at amplitude 100, stays this close
    // to zero for less than a frame).
    std::vector<Steady::time_point> Gaps() {
        std::lock_guard lock(mutex_);
        std::vector<Steady::time_point> gaps;
        const auto sound = std::ranges::find_if(frames_, [](float f) { return f != 0; });
        std::size_t silent = 0;
        for (auto frame = sound; frame != frames_.end(); ++frame) {
            silent = std::abs(*frame) < 1e-5f ? silent + 1 : 0;
            if (silent == 8) {
                const auto at = static_cast<std::size_t>(frame - frames_.begin()) - 7;
                const auto read = std::ranges::upper_bound(reads_, at, {}, &Read::first) - 1;
                gaps.push_back(Origin(*read, read->arrival) + FrameTime(at));
            }
        }
        return gaps;
    }

private:
    static Steady::duration FrameTime(std::size_t frame) {
        return std::chrono::duration_cast<Steady::duration>(
            std::chrono::duration<double>(static_cast<double>(frame) / Rate));
    }

    // The monotonic time of frame 0 of `read`'s stretch: the earliest arrival, over the reads of
    // the stretch within 3 s of `t0`, less the frames before it.
    Steady::time_point Origin(const Read& read, Steady::time_point t0) {
        Steady::time_point origin = Steady::time_point::max();
        for (const Read& other : reads_) {
            if (other.stretch == read.stretch && other.arrival > t0 - 3s &&
                other.arrival < t0 + 3s) {
                origin = std::min(origin, other.arrival - FrameTime(other.first));
            }
        }
        return origin;
    }

    void Capture(std::stop_token stop) {
        std::vector<float> buffer(4 * period_);
        int stretch = 0;
        snd_pcm_start(pcm_);
        while (!stop.stop_requested()) {
            const int waited = snd_pcm_wait(pcm_, 100);
            const Steady::time_point arrival = Steady::now();
            if (waited == 0) {
                continue; // nothing yet
            }
            const bool ready = waited > 0;
            const snd_pcm_sframes_t available = snd_pcm_avail_update(pcm_);
            const snd_pcm_sframes_t got =
                ready && available >= 0
                    ? snd_pcm_readi(pcm_, buffer.data(),
                                    std::min(buffer.size(), static_cast<std::size_t>(available)))
                    : -EPIPE;
            if (got < 0) {
                // An overrun: frames were lost, the next ones start a new stretch.
                snd_pcm_prepare(pcm_);
                snd_pcm_start(pcm_);
                ++stretch;
                continue;
            }
            std::lock_guard lock(mutex_);
            reads_.push_back({frames_.size(), static_cast<std::size_t>(got), arrival, stretch});
            frames_.insert(frames_.end(), buffer.begin(), buffer.begin() + got);
        }
    }

    snd_pcm_t* pcm_ = nullptr;
    snd_pcm_uframes_t period_ = 0;
    std::string error_;
    std::mutex mutex_;
    std::vector<float> frames_;
    std::vector<Read> reads_;
    std::jthread thread_;
};

snd_pcm_uframes_t CycleFrames() {
    const char* cycle = std::getenv("PROGEN_BENCH_CYCLE");
    return cycle != nullptr ? std::strtoul(cycle, nullptr, 10) : 1024;
}

// What the restarts of one benchmark found.
class Findings {
public:
    // Waits for tone B, begun at t0, in the recording; false when it is not there.
    bool Add(MonitorCapture& capture, Steady::time_point t0) {
        restarts_.push_back(t0);
        const auto found = capture.WaitPast(t0 + Horizon) ? capture.ToneBAfter(t0) : std::nullopt;
        if (found) {
            sink_.push_back(Milliseconds(found->sink));
            frame_.push_back(Milliseconds(found->frame));
            capture_.push_back(Milliseconds(found->capture));
        }
        return found.has_value();
    }
    double LastSinkMs() const { return sink_.back(); }
    // A restart back to tone A: a gap after it is a restart's doing too.
    void Back(Steady::time_point time) { restarts_.push_back(time); }

    void Report(benchmark::State& state, MonitorCapture& capture) const {
        Counter(state, "sink", sink_);
        Counter(state, "frame", frame_);
        Counter(state, "capture", capture_);
        state.counters["cycle_ms"] = capture.CycleMs();
        state.counters["recorded_s"] = capture.RecordedSeconds();
        const std::vector<Steady::time_point> gaps = capture.Gaps();
        state.counters["gaps"] = static_cast<double>(gaps.size());
        state.counters["gaps_after_restart"] =
            static_cast<double>(std::ranges::count_if(gaps, [&](Steady::time_point gap) {
                return std::ranges::any_of(
                    restarts_, [&](Steady::time_point t) { return gap >= t && gap < t + 150ms; });
            }));
    }

    static void Counter(benchmark::State& state, const std::string& name,
                        const std::vector<double>& values) {
        if (!values.empty()) {
            state.counters[name + "_ms"] = Median(values);
            state.counters[name + "_max_ms"] = *std::ranges::max_element(values);
        }
    }

private:
    std::vector<Steady::time_point> restarts_;
    std::vector<double> sink_, frame_, capture_;
};

// A restart at a random moment of the render thread's rounds and of the server's cycles.
std::chrono::milliseconds RandomPause(std::mt19937& random) {
    return std::chrono::milliseconds(std::uniform_int_distribution<int>(150, 350)(random));
}

// The manual tone as the window starts it: computed, through the tone wave file, opened, written.
std::unique_ptr<TGenerujManual> StartTone(const std::string& file, std::uint16_t frequency,
                                          std::uint16_t amplitude) {
    const ManualTone tone = VypocitejManual(frequency, amplitude, TPrubeh::Sin);
    UlozWave(file.c_str(), tone.Samples.data(),
             static_cast<DWORD>(tone.Samples.size() * sizeof(std::int16_t)));
    std::unique_ptr<TGenerujManual> manual = TGenerujManual::Create(file.c_str(), tone.SampleRate);
    if (manual) {
        manual->WaveOpenVystup(0x7FFFFFFF);
        manual->WaveVystup();
    }
    return manual;
}

void RestartToTheServersSink(benchmark::State& state) {
    MonitorCapture capture(CycleFrames());
    if (!capture.Error().empty()) {
        state.SkipWithError((capture.Error() + " (run it through scripts/bench-servers)").c_str());
        return;
    }
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("progen-bench-" + std::to_string(getpid()) + ".wav"))
                                 .string();
    const platform::Platform owner;
    std::unique_ptr<TGenerujManual> manual = StartTone(file, 500, 100);
    std::mt19937 random(11);
    Findings findings;
    std::vector<double> restart;
    for (auto _ : state) {
        std::this_thread::sleep_for(RandomPause(random));
        const Steady::time_point t0 = Steady::now();
        manual.reset(); // closes: reset, unprepare, close
        manual = StartTone(file, 1000, 30000);
        restart.push_back(Milliseconds(Steady::now() - t0));
        if (!manual || !manual->PlayingVystup()) {
            state.SkipWithError("tone B does not play");
            break;
        }
        if (!findings.Add(capture, t0)) {
            state.SkipWithError("tone B was not found in the recording of the sink's monitor");
            break;
        }
        state.SetIterationTime(findings.LastSinkMs() / 1000);
        findings.Back(Steady::now());
        manual.reset();
        manual = StartTone(file, 500, 100);
    }
    manual.reset();
    std::filesystem::remove(file);
    findings.Report(state, capture);
    Findings::Counter(state, "restart", restart);
}
BENCHMARK(RestartToTheServersSink)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

// The server's own share, for comparison: a plain player on ALSA "default" keeps one server cycle
// and a millisecond queued, and switches from tone A to tone B (both starting at phase 0, without
// a fade) at t0, behind what it had queued.
class PlainPlayer {
public:
    explicit PlainPlayer(snd_pcm_uframes_t cycle) : keep_(cycle + Rate / 1000) {
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            return;
        }
        pcm_ = pcm;
        if (Configure(pcm_, cycle) < 0 || snd_pcm_get_params(pcm_, &buffer_, &cycle) < 0) {
            snd_pcm_close(pcm_);
            pcm_ = nullptr;
        }
    }
    ~PlainPlayer() {
        if (pcm_ != nullptr) {
            snd_pcm_close(pcm_);
        }
    }
    PlainPlayer(const PlainPlayer&) = delete;
    PlainPlayer& operator=(const PlainPlayer&) = delete;

    bool Opened() const { return pcm_ != nullptr; }
    // Frames written and not yet taken by the server.
    snd_pcm_uframes_t Queued() {
        const snd_pcm_sframes_t available = snd_pcm_avail_update(pcm_);
        return available < 0
                   ? 0
                   : buffer_ - std::min(buffer_, static_cast<snd_pcm_uframes_t>(available));
    }
    void Play(double frequency, float amplitude) {
        frequency_ = frequency;
        amplitude_ = amplitude;
        phase_ = 0;
    }
    // Keeps the queue topped up for `time`.
    void Feed(Steady::duration time) {
        const Steady::time_point end = Steady::now() + time;
        std::vector<float> frames;
        while (Steady::now() < end) {
            const snd_pcm_uframes_t queued = Queued();
            frames.resize(keep_ > queued ? keep_ - queued : 0);
            for (float& frame : frames) {
                frame = amplitude_ * static_cast<float>(std::sin(phase_));
                phase_ += 2 * std::numbers::pi * frequency_ / Rate;
            }
            if (!frames.empty() && snd_pcm_writei(pcm_, frames.data(), frames.size()) == -EPIPE) {
                snd_pcm_prepare(pcm_);
            }
            std::this_thread::sleep_for(1ms);
        }
    }

private:
    snd_pcm_t* pcm_ = nullptr;
    snd_pcm_uframes_t keep_;
    snd_pcm_uframes_t buffer_ = 0;
    double frequency_ = 500;
    float amplitude_ = 100.0f / 32768;
    double phase_ = 0;
};

void PlainPlayerToTheServersSink(benchmark::State& state) {
    MonitorCapture capture(CycleFrames());
    PlainPlayer player(CycleFrames());
    if (!capture.Error().empty() || !player.Opened()) {
        state.SkipWithError("no capture or no player (run it through scripts/bench-servers)");
        return;
    }
    std::mt19937 random(11);
    Findings findings;
    std::vector<double> queued, server;
    for (auto _ : state) {
        player.Feed(RandomPause(random));
        const Steady::time_point t0 = Steady::now();
        queued.push_back(static_cast<double>(player.Queued()) * 1000 / Rate);
        player.Play(1000, 30000.0f / 32768);
        player.Feed(Horizon);
        if (!findings.Add(capture, t0)) {
            state.SkipWithError("tone B was not found in the recording of the sink's monitor");
            break;
        }
        state.SetIterationTime(findings.LastSinkMs() / 1000);
        server.push_back(findings.LastSinkMs() - queued.back());
        findings.Back(Steady::now());
        player.Play(500, 100.0f / 32768);
    }
    findings.Report(state, capture);
    Findings::Counter(state, "queued", queued);
    Findings::Counter(state, "server", server);
    state.counters["server_min_ms"] = server.empty() ? 0 : *std::ranges::min_element(server);
}
BENCHMARK(PlainPlayerToTheServersSink)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
