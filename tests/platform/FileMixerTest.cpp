#include "audio/platform/mixer/Mixer.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr const char* AllFull = "wave0=0xFFFFFFFF\n"
                                "aux1=0xFFFFFFFF\n"
                                "aux2=0xFFFFFFFF\n"
                                "aux3=0xFFFFFFFF\n"
                                "aux4=0xFFFFFFFF\n"
                                "aux5=0xFFFFFFFF\n";

class FileMixer : public testing::Test {
protected:
    TempDir dir_;
    std::string path_ = dir_.File("mixer");
    std::unique_ptr<platform::Mixer> mixer_ = platform::MakeFileMixer(path_);

    MMRESULT Get(unsigned line, DWORD& volume) { return mixer_->GetVolume(line, volume); }
};

} // namespace

TEST_F(FileMixer, IsCreatedWithEveryLevelFull) {
    DWORD volume = 0;
    EXPECT_EQ(Get(3, volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFU);
    EXPECT_EQ(ReadText(path_), AllFull);

    std::filesystem::remove(path_);
    EXPECT_EQ(mixer_->SetVolume(0, 0x0000FFFF), MMSYSERR_NOERROR);
    EXPECT_EQ(ReadText(path_).substr(0, 17), "wave0=0x0000FFFF\n");
}

TEST_F(FileMixer, SetReplacesItsLineAndKeepsEveryOtherLine) {
    const std::string before = "# levels of the test card\n"
                               "wave0=0x0000FFFF\n"
                               "aux1=0x00000000\n"
                               "aux2=garbled\n"
                               "aux3=0xabcdef01\r\n"
                               "aux4=0x12345678\n"
                               "aux5=0xFFFFFFFF\n"
                               "aux5=0x00000001\n"
                               "extra=1";
    WriteText(path_, before);
    ASSERT_EQ(mixer_->SetVolume(5, 0xFFFFEFFF), MMSYSERR_NOERROR);
    std::string expected = before;
    expected.replace(expected.find("aux5=0xFFFFFFFF"), 15, "aux5=0xFFFFEFFF");
    EXPECT_EQ(ReadText(path_), expected + "\n");

    DWORD volume = 0;
    EXPECT_EQ(Get(5, volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFEFFFU);
    EXPECT_EQ(Get(3, volume), MMSYSERR_NOERROR); // either case, a CR line end
    EXPECT_EQ(volume, 0xABCDEF01U);
    EXPECT_EQ(Get(4, volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x12345678U);
}

TEST_F(FileMixer, MissingOrUnreadableLinesFailTheGetAndASetMendsThem) {
    const std::string unreadable[] = {"aux2=",           "aux2=0x1234567",  "aux2=0x123456789",
                                      "aux2=0xGGGGGGGG", "aux2=12345678AB", "aux2= 0x12345678",
                                      "aux2=0x-1234567", "aux2=0x+1234567", "aux2 =0x12345678"};
    for (const std::string& line : unreadable) {
        WriteText(path_, "wave0=0x00000000\n" + line + "\n");
        DWORD volume = 0x5A5A5A5A;
        EXPECT_EQ(Get(2, volume), MMSYSERR_BADDEVICEID) << line;
        EXPECT_EQ(volume, 0x5A5A5A5AU) << "untouched on failure: " << line;
    }
    DWORD volume = 0;
    EXPECT_EQ(Get(4, volume), MMSYSERR_BADDEVICEID); // no line at all

    ASSERT_EQ(mixer_->SetVolume(2, 0x00010002), MMSYSERR_NOERROR);
    ASSERT_EQ(mixer_->SetVolume(4, 0x00030004), MMSYSERR_NOERROR);
    // "aux2 =" is not aux2's line, so it stays as it was.
    EXPECT_EQ(ReadText(path_),
              "wave0=0x00000000\naux2 =0x12345678\naux2=0x00010002\naux4=0x00030004\n");
}

TEST_F(FileMixer, ReadsTheFileAtEveryGet) {
    DWORD volume = 0;
    ASSERT_EQ(Get(1, volume), MMSYSERR_NOERROR);
    WriteText(path_, "aux1=0x00007FFF\n");
    ASSERT_EQ(Get(1, volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x00007FFFU);
}

TEST_F(FileMixer, ReplacesTheFileWholeAndKeepsItsPermissions) {
    WriteText(path_, AllFull);
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    ASSERT_EQ(mixer_->SetVolume(1, 0), MMSYSERR_NOERROR);

    struct stat status {};
    ASSERT_EQ(::stat(path_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"mixer"}) << "no temporary file is left";
}

TEST_F(FileMixer, APathThatIsNoMixerFileFailsAndIsLeftAlone) {
    DWORD volume = 0;
    std::filesystem::create_directory(path_);
    EXPECT_EQ(Get(0, volume), MMSYSERR_ERROR);
    EXPECT_EQ(mixer_->SetVolume(0, 0), MMSYSERR_ERROR);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    std::filesystem::remove(path_);

    ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0); // must not wait for a writer
    EXPECT_EQ(Get(0, volume), MMSYSERR_ERROR);
    EXPECT_EQ(mixer_->SetVolume(0, 0), MMSYSERR_ERROR);
    std::filesystem::remove(path_);

    WriteText(path_, std::string(2 << 20, 'x')); // far too large to be a mixer file
    EXPECT_EQ(mixer_->SetVolume(0, 0), MMSYSERR_ERROR);
    EXPECT_EQ(std::filesystem::file_size(path_), 2U << 20);

    const auto nowhere = platform::MakeFileMixer(dir_.File("missing/mixer"));
    EXPECT_EQ(nowhere->GetVolume(0, volume), MMSYSERR_ERROR);
    EXPECT_EQ(nowhere->SetVolume(0, 0), MMSYSERR_ERROR);
}

TEST_F(FileMixer, EachWriteHasATemporaryNameOfItsOwn) {
    WriteText(path_, AllFull);
    std::filesystem::create_directory(path_ + ".tmp"); // as a fixed name could meet
    EXPECT_EQ(mixer_->SetVolume(1, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(ReadText(path_).substr(17, 16), "aux1=0x00000000\n");
}
