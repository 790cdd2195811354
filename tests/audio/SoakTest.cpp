// Long runs of the output objects, as a long session of the program would make them, on the
// virtual clock: whatever they take per restart or per step they must give back, so that neither
// the platform layer's handles nor the process's descriptors and threads grow.

#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"
#include "audio/ToneWaveFile.h"
#include "audio/platform/waveout/WaveOutEngine.h"
#include "synth/Bands.h"
#include "synth/SweepSynth.h"
#include "synth/ToneSynth.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/OutputProbe.h"
#include "tests/audio/VirtualDevice.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <ostream>
#include <thread>

namespace {

constexpr DWORD Endless = 2147483647;

std::size_t EntriesOf(const char* folder) {
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Everything a leak would make grow.
struct Held {
    std::size_t globalBlocks = seams::LiveGlobalBlocks();
    std::size_t files = seams::LiveMultimediaFiles();
    std::size_t waveStreams = seams::LiveWaveStreams();
    bool sinkOpen = seams::SinkOpen();
    std::size_t descriptors = EntriesOf("/proc/self/fd");
    std::size_t threads = EntriesOf("/proc/self/task");
    bool operator==(const Held&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Held& held) {
    return out << "blocks " << held.globalBlocks << ", files " << held.files << ", streams "
               << held.waveStreams << ", sink " << (held.sinkOpen ? "open" : "closed")
               << ", descriptors " << held.descriptors << ", threads " << held.threads;
}

// What is held once the render thread, which ends just after it has let the sink go, is gone too:
// waits for that up to a second.
Held Settled(const Held& expected) {
    for (int wait = 0; wait < 1000 && Held() != expected; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Held();
}

// ThreadSanitizer starts a thread of its own along with the process's first thread, and keeps it:
// a thread started and ended before the count lets the count include it.
bool SanitizerThreadStarted() {
    std::thread([] {}).join();
    return true;
}

class Soak : public ::testing::Test {
protected:
    VirtualDevice device_;
    TempDir dir_;
    MessageBoxes boxes_;
    const bool sanitizerThread_ = SanitizerThreadStarted();
    const Held before_{};
};

// The restart of PlayClick after StopClick: the object and its device closed, then the tone
// computed, written, read back, opened and started.
TEST_F(Soak, TenThousandRestartsOfTheManualToneGiveBackWhatTheyTake) {
    const std::string path = dir_.File("pokus.wav");
    {
        std::unique_ptr<TGenerujManual> manual;
        Held playing;
        for (int restart = 0; restart < 10000; ++restart) {
            manual.reset();
            // Through every band, so that every buffer length and rate comes and goes.
            const auto frequency = static_cast<std::uint16_t>(11 + restart * 37 % 14990);
            const ManualTone tone = VypocitejManual(frequency, 2000, TPrubeh::Sin);
            UlozWave(path.c_str(), tone.Samples.data(),
                     static_cast<DWORD>(2 * tone.Samples.size()));
            manual = TGenerujManual::Create(path.c_str(), tone.SampleRate);
            ASSERT_NE(manual, nullptr) << "restart " << restart;
            manual->WaveOpenVystup(Endless);
            manual->WaveVystup();
            ASSERT_TRUE(manual->PlayingVystup()) << "restart " << restart;
            // A millisecond of sound each, so that the render thread mixes and fades along.
            Sleep(1);
            if (restart == 100) {
                Sleep(50); // the fades of the earlier tones end
                playing = Held();
            }
        }
        Sleep(50);
        EXPECT_EQ(Held(), playing) << "after 10000 restarts as after 100";
        EXPECT_GT(manual->WavePositionVystup(), 0u) << "the last tone plays";
        manual.reset();
    }
    device_.End();
    EXPECT_EQ(Settled(before_), before_);
    EXPECT_TRUE(boxes_.texts.empty());
}

// The sweep's steps as PlayGenerujAutoClick runs them, 100 ms each, from 11 Hz up through every
// band.
TEST_F(Soak, TwoHundredSweepStepsGiveBackWhatTheyTake) {
    {
        auto sweep = TGenerujAuto::Create(10000);
        ASSERT_NE(sweep, nullptr);
        Held stepping;
        std::chrono::nanoseconds sound{};
        const auto start = platform::CurrentClock().Now();
        for (int step = 0; step < 200; ++step) {
            const auto f = static_cast<std::uint16_t>(11 + step * 75);
            const std::uint32_t loops = StepLoops(f, 1);
            sweep->NastavFormat(f);
            sweep->AutoOpenVystup(loops, f);
            sweep->AutoVystup();
            while (sweep->PlayingVystup()) {
                Sleep(1);
            }
            sweep->AutoCloseVystup();
            const std::size_t frames = OutputProbe::BandTable(*sweep)[UrciPasmo(f) - 1u].size();
            sound += std::chrono::nanoseconds(std::max<std::uint32_t>(loops, 1) * frames *
                                              1'000'000'000ull / SweepRate(f));
            if (step == 0) {
                stepping = Held();
            }
        }
        EXPECT_EQ(Held(), stepping) << "after 200 steps as after the first";
        // A step is done once its end is in the sink, up to a lead (less than two rounds) before
        // it sounds; the next one starts in the render round after.
        const auto elapsed = platform::CurrentClock().Now() - start;
        EXPECT_GE(elapsed, sound - 2 * platform::RenderPeriod) << "every step played in full";
        EXPECT_LE(elapsed, sound + 200 * platform::RenderPeriod) << "no step waited longer";
        sweep.reset();
    }
    device_.End();
    EXPECT_EQ(Settled(before_), before_);
    EXPECT_TRUE(boxes_.texts.empty());
}

} // namespace
