#include "tests/support/PlaybackTesting.h"

#include "audio/platform/sinks/WavSink.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t Get32(const std::vector<char>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
    }
    return value;
}

std::uint16_t Get16(const std::vector<char>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

} // namespace

void VirtualAudioTest::SetUp() {
    wavPath_ = dir_.Path() / "sink.wav";
    UseSink("wav:" + wavPath_.string());
}

void VirtualAudioTest::TearDown() {
    unsetenv("PROGEN_AUDIO");
}

void VirtualAudioTest::UseSink(const std::string& choice) {
    setenv("PROGEN_AUDIO", choice.c_str(), 1);
}

WavFile ReadWavFile(const std::filesystem::path& path, std::size_t from) {
    WavFile wav;
    std::ifstream file(path, std::ios::binary);
    wav.header.resize(platform::WavHeaderSize);
    file.read(wav.header.data(), platform::WavHeaderSize);
    wav.header.resize(static_cast<std::size_t>(file.gcount()));
    std::error_code missing;
    wav.size = static_cast<std::size_t>(std::filesystem::file_size(path, missing));
    const std::size_t begin = platform::WavHeaderSize + from * sizeof(float);
    if (missing || wav.size <= begin) {
        return wav;
    }
    wav.frames.resize((wav.size - begin) / sizeof(float));
    file.clear();
    file.seekg(static_cast<std::streamoff>(begin));
    file.read(reinterpret_cast<char*>(wav.frames.data()),
              static_cast<std::streamsize>(wav.frames.size() * sizeof(float)));
    wav.frames.resize(static_cast<std::size_t>(file.gcount()) / sizeof(float));
    return wav;
}

std::vector<float> ReadRecording(const std::filesystem::path& path, std::size_t from) {
    constexpr std::size_t header = platform::WavHeaderSize;
    if (!std::filesystem::exists(path)) {
        return {}; // no sink opened yet
    }
    WavFile wav = ReadWavFile(path, from);
    const std::vector<char>& bytes = wav.header;
    EXPECT_EQ(bytes.size(), header);
    if (bytes.size() < header) {
        return {};
    }
    const std::size_t size = wav.size;
    const std::size_t dataBytes = size - header;
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(Get32(bytes, 4), size - 8);
    EXPECT_EQ(std::string(bytes.data() + 8, 8), "WAVEfmt ");
    EXPECT_EQ(Get32(bytes, 16), 18u);
    EXPECT_EQ(Get16(bytes, 20), 3u); // IEEE float
    EXPECT_EQ(Get16(bytes, 22), 1u); // mono
    EXPECT_EQ(Get32(bytes, 24), 48000u);
    EXPECT_EQ(Get32(bytes, 28), 48000u * 4);
    EXPECT_EQ(Get16(bytes, 32), 4u);
    EXPECT_EQ(Get16(bytes, 34), 32u);
    EXPECT_EQ(std::string(bytes.data() + 38, 4), "fact");
    EXPECT_EQ(Get32(bytes, 46), dataBytes / 4);
    EXPECT_EQ(std::string(bytes.data() + 50, 4), "data");
    EXPECT_EQ(Get32(bytes, 54), dataBytes);
    return std::move(wav.frames);
}

TestOutput::TestOutput(DWORD rate) {
    const WAVEFORMATEX format = MonoPcm16(rate);
    opened_ = waveOutOpen(&handle_, 0, &format, 0, 0, WAVE_ALLOWSYNC);
}

TestOutput::~TestOutput() {
    Stop();
}

MMRESULT TestOutput::Play(std::vector<std::int16_t> buffer, DWORD loops) {
    buffer_ = std::move(buffer);
    header_ = {};
    header_.lpData = reinterpret_cast<LPSTR>(buffer_.data());
    header_.dwBufferLength = static_cast<DWORD>(buffer_.size() * sizeof(std::int16_t));
    header_.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header_.dwLoops = loops;
    if (const MMRESULT prepared = waveOutPrepareHeader(handle_, &header_, sizeof header_)) {
        return prepared;
    }
    written_ = true;
    return waveOutWrite(handle_, &header_, sizeof header_);
}

void TestOutput::WaitUntilDone(DWORD limitMs) {
    for (DWORD waited = 0; !Done() && waited < limitMs; ++waited) {
        Sleep(1);
    }
    ASSERT_TRUE(Done());
}

DWORD TestOutput::Position() {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    EXPECT_EQ(waveOutGetPosition(handle_, &time, sizeof time), MMSYSERR_NOERROR);
    return time.u.sample;
}

void TestOutput::Stop() {
    if (opened_ != MMSYSERR_NOERROR) {
        return;
    }
    EXPECT_EQ(waveOutReset(handle_), MMSYSERR_NOERROR);
    if (written_) {
        EXPECT_EQ(waveOutUnprepareHeader(handle_, &header_, sizeof header_), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveOutClose(handle_), MMSYSERR_NOERROR);
    opened_ = MMSYSERR_INVALHANDLE;
}

std::vector<std::int16_t> Constant(std::size_t n, std::int16_t value) {
    return std::vector<std::int16_t>(n, value);
}

std::uint64_t Converted(std::uint64_t frames, std::uint64_t inRate, std::uint64_t outRate) {
    return (frames * outRate * 2 + inRate) / (2 * inRate);
}

Span Sounding(const std::vector<float>& frames, float threshold) {
    Span span;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (std::abs(frames[i]) > threshold) {
            if (span.end == 0) {
                span.begin = i;
            }
            span.end = i + 1;
        }
    }
    return span;
}
