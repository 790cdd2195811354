#include "audio/ToneWaveFile.h"

#include "synth/ToneSynth.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/WaveBytes.h"
#include "tests/support/CallRecorder.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

Samples Ramp(std::size_t count) {
    Samples samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<int>(i) * 431 - 32000);
    }
    return samples;
}

// The file exactly as it must be written: a 20-byte format chunk stating 44100 samples and 88200
// bytes per second, two zero padding bytes, and the samples.
Bytes ExpectedFile(const Samples& samples) {
    const auto dataSize = static_cast<std::uint32_t>(2 * samples.size());
    return Join({"RIFF", U32(dataSize + 40), "WAVE", "fmt ", U32(20), U16(1), U16(1), U32(44100),
                 U32(88200), U16(2), U16(16), U16(0), U16(0), "data", U32(dataSize),
                 SampleBytes(samples)});
}

class ToneWaveFile : public ::testing::Test {
protected:
    void Save(const Samples& samples) {
        UlozWave(path_.c_str(), samples.data(), static_cast<DWORD>(2 * samples.size()));
    }

    // The samples of the file at `path`, or nothing after the reader's message.
    std::optional<Samples> Load() {
        WaveData wave{};
        if (!NactiWave(path_.c_str(), wave)) {
            return std::nullopt;
        }
        const auto* first = static_cast<const std::int16_t*>(wave.data);
        Samples samples(first, first + wave.length / 2);
        EXPECT_EQ(wave.length % 2, 0u);
        EXPECT_EQ(GlobalUnlock(wave.handle), 0);
        EXPECT_EQ(GlobalFree(wave.handle), nullptr);
        return samples;
    }

    std::optional<Samples> LoadPlanted(const Bytes& file) {
        WriteText(dir_.File("pokus.wav"), file);
        return Load();
    }

    seams::TestPlatform platform_;
    TempDir dir_;
    MessageBoxes boxes_;
    const std::string path_ = dir_.File("pokus.wav");
};

TEST_F(ToneWaveFile, WritesEveryByteAsLaidOut) {
    const struct {
        std::uint16_t frequency;
        std::uintmax_t fileSize;
    } tones[] = {{500, 348}, {15000, 54}, {11, 1848}};
    for (const auto& tone : tones) {
        const Samples samples = VypocitejManual(tone.frequency, 2000, TPrubeh::Sin).Samples;
        Save(samples);
        EXPECT_EQ(ReadText(path_), ExpectedFile(samples)) << tone.frequency << " Hz";
        EXPECT_EQ(std::filesystem::file_size(path_), tone.fileSize) << tone.frequency << " Hz";
    }
    Save(Ramp(3));
    EXPECT_EQ(std::filesystem::file_size(path_), 54u) << "a longer file is truncated";
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(ToneWaveFile, WritesWithOneCallPerFieldAfterCreatingTheFile) {
    CallRecorder recorder;
    Save(Ramp(150));
    const std::vector<seams::RecordedCall> expected = {
        {"mmioOpenA", {0x1000}}, {"mmioClose", {0}}, {"mmioOpenA", {1}}, {"mmioWrite", {4}},
        {"mmioWrite", {4}},      {"mmioWrite", {4}}, {"mmioWrite", {4}}, {"mmioWrite", {4}},
        {"mmioWrite", {20}},     {"mmioWrite", {4}}, {"mmioWrite", {4}}, {"mmioWrite", {300}},
        {"mmioClose", {0}},
    };
    EXPECT_EQ(recorder.calls, expected);
}

TEST_F(ToneWaveFile, WrittenSamplesReadBackUnchanged) {
    for (const std::size_t count : {900u, 150u, 17u, 3u}) {
        Save(Ramp(count));
        EXPECT_EQ(Load(), Ramp(count)) << count << " samples";
    }
}

TEST_F(ToneWaveFile, FailureToCreateOrOpenEndsTheProgram) {
    const Bytes precious = "precious";
    WriteText(dir_.File("other"), precious);
    std::filesystem::create_symlink(dir_.File("other"), path_);
    try {
        Save(Ramp(150));
        FAIL() << "the program went on";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.code, 1u);
    }
    EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_OpenFile"});
    EXPECT_EQ(ReadText(dir_.File("other")), precious) << "the link was followed";

    std::filesystem::remove(path_);
    boxes_.texts.clear();
    seams::FailCall(seams::Call::mmioOpenA, MMSYSERR_ERROR, 1);
    EXPECT_THROW(Save(Ramp(150)), ProgramEnd) << "the second open fails";
    EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_OpenFile"});
}

TEST_F(ToneWaveFile, ReaderWalksChunksInAnyOrderWithPaddingAndAnyFormatSize) {
    const Samples samples = Ramp(17);
    const Bytes data = Chunk("data", SampleBytes(samples));
    const Bytes fmt = Chunk("fmt ", Bytes(16, '\xEE'));

    EXPECT_EQ(LoadPlanted(Riff({data, fmt})), samples) << "data before fmt";
    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("LIST", Bytes(3, 'x')), data})), samples)
        << "an odd-size chunk padded to even";
    EXPECT_EQ(LoadPlanted(Riff({Chunk("fmt ", ""), data})), samples);
    EXPECT_EQ(LoadPlanted(Riff({Chunk("fmt ", Bytes(41, '\x7F')), data})), samples);
    EXPECT_EQ(LoadPlanted(Riff(4 + 8 + 16 + 1, {fmt, data})), samples)
        << "a chunk that starts just below RIFF size + 8 is examined";
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(ToneWaveFile, ReaderRefusesWithTheMatchingMessageAndClosesFirst) {
    const Bytes fmt = Chunk("fmt ", Bytes(20, '\0'));
    const Bytes data = Chunk("data", SampleBytes(Ramp(3)));
    const Bytes wave = Riff({fmt, data});
    Bytes lowerRiff = wave;
    lowerRiff.replace(0, 4, "riff");
    Bytes notWave = wave;
    notWave.replace(8, 4, "WAVX");

    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"empty file", {}, "WaveErr_NoRIFF"},
        {"lower-case riff", lowerRiff, "WaveErr_NoRIFF"},
        {"not WAVE", notWave, "WaveErr_NoWave"},
        {"no format chunk", Riff({data}), "WaveErr_NoInfo"},
        {"nothing after WAVE", Riff({}), "WaveErr_NoInfo"},
        {"no data chunk", Riff({fmt, Chunk("LIST", Bytes(5, '\0'))}), "WaveErr_NoData"},
        {"RIFF size stops before data", Riff(4 + 28, {fmt, data}), "WaveErr_NoData"},
        {"format chunk beyond the RIFF size", Riff(4 + 14, {data, fmt}), "WaveErr_NoInfo"},
    };
    CallRecorder recorder;
    for (const auto& refused : cases) {
        recorder.calls.clear();
        boxes_.texts.clear();
        EXPECT_EQ(LoadPlanted(refused.file), std::nullopt) << refused.what;
        EXPECT_EQ(boxes_.texts, std::vector<std::string>{refused.message}) << refused.what;
        const std::vector<std::string> names = recorder.Names();
        ASSERT_GE(names.size(), 2u);
        EXPECT_EQ(names[names.size() - 2], "mmioClose") << refused.what;
        EXPECT_EQ(names.back(), "ZobrazChybu") << refused.what;
    }

    boxes_.texts.clear();
    std::filesystem::remove(path_);
    EXPECT_EQ(Load(), std::nullopt);
    EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_OpenFile"});
}

TEST_F(ToneWaveFile, ReaderRefusesWhenTheDataBlockCannotBeHad) {
    Save(Ramp(150));
    CallRecorder recorder;
    for (const seams::Call call : {seams::Call::GlobalAlloc, seams::Call::GlobalSize}) {
        recorder.calls.clear();
        seams::FailCall(call, MMSYSERR_NOMEM);
        boxes_.texts.clear();
        const char* const name = seams::CallName(call);
        EXPECT_EQ(Load(), std::nullopt) << name;
        EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_Memory"}) << name;
        EXPECT_EQ(std::count(recorder.calls.begin(), recorder.calls.end(),
                             seams::RecordedCall{"GlobalFree", {}}),
                  1)
            << name;
        seams::ClearFaults();
    }
}

// Sizes in the file are not trusted: each of these once meant a walk without end, a read outside
// the file or samples nobody wrote.
TEST_F(ToneWaveFile, HostileChunkSizesEndTheSearch) {
    const Bytes fmt = Chunk("fmt ", Bytes(20, '\0'));
    const Bytes data = Chunk("data", SampleBytes(Ramp(3)));
    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"size -8 would stand still",
         Riff(0xFFFFFFFF, {fmt, Join({"junk", U32(0xFFFFFFF8)}), data}), "WaveErr_NoData"},
        {"size -1 would step back", Riff(0xFFFFFFFF, {Join({"junk", U32(0xFFFFFFFF)}), fmt, data}),
         "WaveErr_NoInfo"},
        {"negative data size", Riff({fmt, Join({"data", U32(0x80000000)})}), "WaveErr_NoData"},
        {"position past 2^31", Riff(0xFFFFFFFF, {fmt, Join({"junk", U32(0x7FFFFFFF)}), data}),
         "WaveErr_NoData"},
        {"RIFF size far beyond the file", Riff(0xFFFFFFF0, {fmt, Chunk("LIST", Bytes(4, '\0'))}),
         "WaveErr_NoData"},
        {"chunk header cut off", Join({Riff(0xFFFFFFFF, {fmt}), "dat"}), "WaveErr_NoData"},
    };
    for (const auto& hostile : cases) {
        boxes_.texts.clear();
        EXPECT_EQ(LoadPlanted(hostile.file), std::nullopt) << hostile.what;
        EXPECT_EQ(boxes_.texts, std::vector<std::string>{hostile.message}) << hostile.what;
    }
}

TEST_F(ToneWaveFile, DataLengthCountsOnlyWholeSamplesInTheFile) {
    const Bytes fmt = Chunk("fmt ", Bytes(20, '\0'));
    const Bytes seven = SampleBytes(Ramp(3)) + '\x55';

    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("data", seven)})), Ramp(3)) << "odd byte dropped";
    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("data", "\x55")})), Samples{});
    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("data", "")})), Samples{});
    EXPECT_TRUE(boxes_.texts.empty());
}

// A full disk cuts the file short, or the read itself fails: the remnant would play at a wrong
// pitch, so the reader refuses it, having reserved nothing for a size the file does not hold.
TEST_F(ToneWaveFile, DataCutShortOrUnreadableIsRefused) {
    CallRecorder recorder;
    seams::FailCall(seams::Call::mmioWrite, MMSYSERR_ERROR, 8); // the samples' write
    Save(Ramp(150));
    seams::ClearFaults();
    EXPECT_EQ(std::filesystem::file_size(path_), 48u);
    const Bytes six = SampleBytes(Ramp(3));
    const struct {
        const char* what;
        Bytes file;
    } cut[] = {
        {"samples never written", ReadText(path_)},
        {"claims more than the file holds",
         Riff({Chunk("fmt ", ""), Join({"data", U32(1000), six})})},
        {"claims 2^31 - 1 bytes", Riff({Chunk("fmt ", ""), Join({"data", U32(0x7FFFFFFF), six})})}};
    const auto count = [&](const char* name) {
        return std::ranges::count(recorder.calls, name, &seams::RecordedCall::name);
    };
    for (const auto& refused : cut) {
        boxes_.texts.clear();
        recorder.calls.clear();
        EXPECT_EQ(LoadPlanted(refused.file), std::nullopt) << refused.what;
        EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_NoData"}) << refused.what;
        EXPECT_EQ(count("GlobalAlloc"), 0) << refused.what;
    }

    Save(Ramp(150));
    boxes_.texts.clear();
    recorder.calls.clear();
    seams::FailCall(seams::Call::mmioRead, MMSYSERR_ERROR, 6); // the samples' read
    EXPECT_EQ(Load(), std::nullopt);
    EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_NoData"});
    EXPECT_EQ(count("GlobalAlloc"), 1) << "the samples' block was reserved";
    EXPECT_EQ(count("GlobalFree"), 1) << "and given back";
}

// The reader's cost is bounded by the largest file the writer makes, not by the file.
TEST_F(ToneWaveFile, AFileLargerThanTheLargestToneIsRefused) {
    const Bytes fmt = Chunk("fmt ", Bytes(20, '\0'));
    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("data", SampleBytes(Ramp(900)))})), Ramp(900));
    EXPECT_EQ(LoadPlanted(Riff({fmt, Chunk("data", SampleBytes(Ramp(900)) + "x")})), std::nullopt);
    EXPECT_EQ(boxes_.texts, std::vector<std::string>{"WaveErr_OpenFile"});
}

} // namespace
