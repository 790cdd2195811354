#pragma once

// What the tests and benchmarks of the wave output share: a fixture that plays on the virtual clock
// into a chosen sink, one handle with one header that cleans up after itself, and the recording of
// the wav sink.

#include "audio/platform/MMSystem.h"
#include "audio/platform/waveout/MonoPcm16.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A recording of the wav sink as it is at this moment: its header (shorter while the file is),
// the file's size and its frames from frame `from` on. While a sink writes, the file may hold more
// than its header counts yet. All empty when there is no file.
struct WavFile {
    std::vector<char> header;
    std::size_t size = 0;
    std::vector<float> frames;
};
WavFile ReadWavFile(const std::filesystem::path& path, std::size_t from = 0);

// The frames a recording of the wav sink holds from frame `from` on, after checking that the file
// is a valid WAV of 32-bit float mono frames at 48000 Hz that counts all it holds. Empty when no
// sink has opened it yet.
std::vector<float> ReadRecording(const std::filesystem::path& path, std::size_t from = 0);

// Plays on the virtual clock into the sink `PROGEN_AUDIO` names: "wav:" and a file of the fixture's
// own by default. Its platform goes with it, so that the next test starts from nothing.
class VirtualAudioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Uses another sink from now on (call before the first open).
    void UseSink(const std::string& choice);

    // The frames the wav sink has recorded so far from frame `from` on.
    std::vector<float> Recorded(std::size_t from = 0) const {
        return ReadRecording(wavPath_, from);
    }

    seams::TestPlatform platform_{seams::VirtualClock()};
    TempDir dir_;
    std::filesystem::path wavPath_;
};

// One open handle with one looping header over its own buffer. Stop() (also from the destructor)
// resets, unprepares and closes, as the output objects do.
class TestOutput {
public:
    explicit TestOutput(DWORD rate);
    ~TestOutput();
    TestOutput(const TestOutput&) = delete;
    TestOutput& operator=(const TestOutput&) = delete;

    MMRESULT Opened() const { return opened_; }
    HWAVEOUT Handle() const { return handle_; }
    WAVEHDR& Header() { return header_; }
    std::vector<std::int16_t>& Buffer() { return buffer_; }

    // Prepares and writes a header that loops `buffer` `loops` times.
    MMRESULT Play(std::vector<std::int16_t> buffer, DWORD loops);
    bool Done() { return (HeaderFlags(header_) & WHDR_DONE) != 0; }
    // Polls as the sweep does, with Sleep(1), until the header is done (at most `limitMs`).
    void WaitUntilDone(DWORD limitMs = 600000);
    DWORD Position();
    void Stop();

private:
    MMRESULT opened_;
    HWAVEOUT handle_ = nullptr;
    WAVEHDR header_{};
    std::vector<std::int16_t> buffer_;
    bool written_ = false;
};

// n samples all of one value.
std::vector<std::int16_t> Constant(std::size_t n, std::int16_t value);

// round(frames * outRate / inRate): how many frames a stream of `frames` at `inRate` becomes.
std::uint64_t Converted(std::uint64_t frames, std::uint64_t inRate, std::uint64_t outRate = 48000);

// The index of the first and one past the last frame whose size exceeds `threshold`.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t Size() const { return end - begin; }
};
Span Sounding(const std::vector<float>& frames, float threshold = 1e-4f);
