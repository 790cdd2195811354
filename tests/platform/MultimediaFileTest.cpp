#include "audio/platform/MMSystem.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

class MultimediaFile : public ::testing::Test {
protected:
    seams::TestPlatform platform_;
    TempDir dir_;
};

TEST_F(MultimediaFile, CreateTruncatesAndWriteDoesNotCreate) {
    const std::string path = dir_.File("pokus.wav");
    EXPECT_EQ(mmioOpenA(path.c_str(), nullptr, MMIO_WRITE), nullptr) << "no such file yet";

    WriteText(dir_.File("pokus.wav"), std::string(100, 'x'));
    const HMMIO created = mmioOpenA(path.c_str(), nullptr, MMIO_CREATE);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(mmioClose(created, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(MultimediaFile, WrittenBytesReadBackAndReadsStopAtTheEnd) {
    const std::string path = dir_.File("data.bin");
    mmioClose(mmioOpenA(path.c_str(), nullptr, MMIO_CREATE), 0);

    const HMMIO out = mmioOpenA(path.c_str(), nullptr, MMIO_WRITE);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(mmioWrite(out, "0123456789", 10), 10);
    EXPECT_EQ(mmioRead(out, std::array<char, 4>{}.data(), 4), -1) << "opened for writing only";
    mmioClose(out, 0);

    const HMMIO in = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(mmioWrite(in, "x", 1), -1) << "opened for reading only";
    std::array<char, 16> buffer{};
    EXPECT_EQ(mmioSeek(in, 4, SEEK_SET), 4);
    EXPECT_EQ(mmioRead(in, buffer.data(), 16), 6);
    EXPECT_EQ(std::string(buffer.data(), 6), "456789");
    EXPECT_EQ(mmioRead(in, buffer.data(), 16), 0);
    EXPECT_EQ(mmioSeek(in, 100, SEEK_SET), 100) << "seeking past the end is allowed";
    EXPECT_EQ(mmioRead(in, buffer.data(), 16), 0);
    EXPECT_EQ(mmioSeek(in, -1, SEEK_SET), -1);
    EXPECT_EQ(mmioSeek(in, 0, 7), -1);
    EXPECT_EQ(mmioRead(in, buffer.data(), -1), -1);
    EXPECT_EQ(mmioClose(in, 0), MMSYSERR_NOERROR);

    EXPECT_EQ(ReadText(dir_.File("data.bin")), "0123456789");
}

TEST_F(MultimediaFile, WritingNeverFollowsASymbolicLink) {
    const std::string precious = "keep";
    WriteText(dir_.File("precious"), precious);
    const std::string link = dir_.File("pokus.wav");
    std::filesystem::create_symlink(dir_.File("precious"), link);

    EXPECT_EQ(mmioOpenA(link.c_str(), nullptr, MMIO_CREATE), nullptr);
    EXPECT_EQ(mmioOpenA(link.c_str(), nullptr, MMIO_WRITE), nullptr);
    EXPECT_EQ(mmioOpenA(link.c_str(), nullptr, MMIO_READWRITE), nullptr);
    EXPECT_EQ(ReadText(dir_.File("precious")), precious);

    const std::string dangling = dir_.File("dangling.wav");
    std::filesystem::create_symlink(dir_.File("elsewhere"), dangling);
    EXPECT_EQ(mmioOpenA(dangling.c_str(), nullptr, MMIO_CREATE), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("elsewhere")));
}

TEST_F(MultimediaFile, OnlyRegularFilesOpenAndAFifoDoesNotBlock) {
    const std::string fifo = dir_.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(mmioOpenA(fifo.c_str(), nullptr, MMIO_READ), nullptr);
    EXPECT_EQ(mmioOpenA(fifo.c_str(), nullptr, MMIO_WRITE), nullptr);
    EXPECT_EQ(mmioOpenA(dir_.File("").c_str(), nullptr, MMIO_READ), nullptr);
}

TEST_F(MultimediaFile, BadHandlesArgumentsAndFlagsFailCleanly) {
    const std::string path = dir_.File("f");
    EXPECT_EQ(mmioOpenA(nullptr, nullptr, MMIO_READ), nullptr);
    EXPECT_EQ(mmioOpenA(path.c_str(), nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_READWRITE), nullptr);
    EXPECT_EQ(mmioOpenA(path.c_str(), nullptr, MMIO_CREATE | 0x10), nullptr);

    const HMMIO stale = mmioOpenA(path.c_str(), nullptr, MMIO_CREATE);
    ASSERT_NE(stale, nullptr);
    ASSERT_EQ(mmioClose(stale, 0), MMSYSERR_NOERROR);
    char byte = 0;
    for (const HMMIO bad : {stale, HMMIO{}}) {
        EXPECT_EQ(mmioRead(bad, &byte, 1), -1);
        EXPECT_EQ(mmioWrite(bad, &byte, 1), -1);
        EXPECT_EQ(mmioSeek(bad, 0, SEEK_SET), -1);
        EXPECT_EQ(mmioClose(bad, 0), MMSYSERR_INVALHANDLE);
    }
}

// The file written is the file read back, whatever the name stands for in between; and a name
// with another name beside it is not emptied, which would empty the other.
TEST_F(MultimediaFile, TheCreatedFileIsTheOneWrittenAndReadBack) {
    const std::string path = dir_.File("pokus.wav");
    const std::string precious = dir_.File("precious");
    WriteText(precious, "keep");
    mmioClose(mmioOpenA(path.c_str(), nullptr, MMIO_CREATE), 0);
    const std::string created = dir_.File("created");
    std::filesystem::rename(path, created);
    std::filesystem::create_hard_link(precious, path);

    const HMMIO out = mmioOpenA(path.c_str(), nullptr, MMIO_WRITE);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(mmioWrite(out, "tone", 4), 4);
    mmioClose(out, 0);
    const HMMIO in = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
    ASSERT_NE(in, nullptr);
    std::array<char, 8> buffer{};
    EXPECT_EQ(mmioRead(in, buffer.data(), 8), 4);
    mmioClose(in, 0);
    EXPECT_EQ(std::string(buffer.data(), 4), "tone");
    EXPECT_EQ(ReadText(created), "tone");

    EXPECT_EQ(mmioOpenA(path.c_str(), nullptr, MMIO_CREATE), nullptr);
    EXPECT_EQ(ReadText(precious), "keep");
}

} // namespace
