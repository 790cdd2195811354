// The watcher and the shared levels, driven directly: each "program" is a child process that plays
// the window's part (saves and sets the levels at start, gives them back on "close") without Qt,
// so that a hundred starts and kills take a second. Mixer and runtime folder are the test's own.

#include "audio/platform/levels/LevelWatcher.h"

#include "audio/platform/Platform.h"
#include "tests/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using namespace std::chrono_literals;
using platform::LineLevels;
using platform::MixerLines;

constexpr const char* UserLevels = "wave0=0xC000C000\n"
                                   "aux1=0x11111111\n"
                                   "aux2=0x22222222\n"
                                   "aux3=0x33333333\n"
                                   "aux4=0x44444444\n"
                                   "aux5=0x55555555\n";

// The window's part in the levels. The program's own levels are all 0.
[[noreturn]] void PlayProgram(bool virtualTime) {
    // The watcher keeps time by the clock of the program's platform.
    const platform::Platform owner(virtualTime ? seams::VirtualClock() : platform::SystemClock());
    platform::StartLevelWatcher();
    const auto mixer = platform::MakeMixer(std::getenv("PROGEN_MIXER"));
    LineLevels kept;
    {
        platform::LevelTurn turn;
        LineLevels read;
        for (unsigned line = 0; line < MixerLines; ++line) {
            DWORD level = 0;
            if (mixer->GetVolume(line, level) == MMSYSERR_NOERROR) {
                read[line] = level;
            }
        }
        kept = turn.Keep(read);
        for (unsigned line = 0; line < MixerLines; ++line) {
            mixer->SetVolume(line, 0);
        }
    }
    std::cout << "ready" << std::endl;
    std::string word;
    std::getline(std::cin, word);
    platform::LevelTurn turn;
    const bool last = turn.Last();
    bool givenBack = true;
    for (unsigned line = 0; last && line < MixerLines; ++line) {
        if (kept[line] && mixer->SetVolume(line, *kept[line]) != MMSYSERR_NOERROR) {
            givenBack = false;
        }
    }
    turn.Leave(givenBack);
    std::_Exit(0);
}

class LevelWatcherTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(runtime_);
        WriteText(mixer_, UserLevels);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        setenv("PROGEN_MIXER", ("file:" + mixer_).c_str(), 1);
    }

    std::unique_ptr<ChildProcess> StartProgram(bool virtualTime = false) {
        auto program = std::make_unique<ChildProcess>([=] { PlayProgram(virtualTime); });
        EXPECT_EQ(program->ReadLine(5s), "ready");
        return program;
    }

    bool UserLevelsBackWithin(std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (ReadText(mixer_) != UserLevels && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(2ms);
        }
        return ReadText(mixer_) == UserLevels;
    }

    // A mixer that cannot be reached: every get and set fails while a folder stands in its place.
    void MixerGone() const {
        std::filesystem::rename(mixer_, mixer_ + ".away");
        std::filesystem::create_directory(mixer_);
    }

    bool RuntimeFolderEmpty() const { return std::filesystem::is_empty(runtime_); }

    // In memory where there is such a folder, as a runtime folder is: a hundred programs' mixer
    // writes cost a second on a disk.
    TempDir dir_{std::filesystem::is_directory("/dev/shm")
                     ? "/dev/shm"
                     : std::filesystem::temp_directory_path()};
    std::string runtime_ = dir_.File("runtime");
    std::string mixer_ = dir_.File("mixer");
};

TEST_F(LevelWatcherTest, AHundredKillsLeaveTheUserLevelsAndNothingElse) {
    const auto start = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < 100; ++cycle) {
        auto program = StartProgram();
        ASSERT_NE(ReadText(mixer_), UserLevels);
        if (cycle % 10 == 9) {
            // A share file gone bad: the watcher gives back its own copy.
            const auto share = std::filesystem::directory_iterator(runtime_)->path();
            WriteText(share, "garbage\n");
        }
        program->Signal(SIGKILL);
        ASSERT_TRUE(UserLevelsBackWithin(1s)) << "cycle " << cycle;
        ASSERT_TRUE(AllChildrenEnded(1s)) << "cycle " << cycle;
        ASSERT_TRUE(RuntimeFolderEmpty()) << "cycle " << cycle;
    }
    std::cout << "100 start/kill cycles: " << (std::chrono::steady_clock::now() - start) / 1ms
              << " ms\n";
}

TEST_F(LevelWatcherTest, AMixerOutOfReachAtTheCloseIsTriedAgainUntilItReturns) {
    auto program = StartProgram();
    MixerGone();
    program->WriteLine("close");
    const std::optional<int> status = program->Wait(1s);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);

    // The program did not claim the levels back: its watcher keeps trying, and waits meanwhile.
    std::this_thread::sleep_for(700ms);
    EXPECT_FALSE(AllChildrenEnded(0ms));
    std::filesystem::remove(mixer_);
    std::filesystem::rename(mixer_ + ".away", mixer_);
    EXPECT_TRUE(UserLevelsBackWithin(1s));
    EXPECT_TRUE(AllChildrenEnded(1s));
    EXPECT_TRUE(RuntimeFolderEmpty());
}

TEST_F(LevelWatcherTest, AWatcherGivesUpAfterAMinuteOutOfReach) {
    auto program = StartProgram(true); // a minute of retries passes at once
    MixerGone();
    program->Signal(SIGKILL);
    EXPECT_TRUE(AllChildrenEnded(1s));
    EXPECT_TRUE(RuntimeFolderEmpty());
}

// A line the first program could not read is taken from the next one that can.
TEST_F(LevelWatcherTest, ALineUnreadAtTheFirstStartIsTakenFromTheNext) {
    std::string withoutWave = UserLevels;
    withoutWave.replace(0, 6, "wave0=unreadable  #");
    WriteText(mixer_, withoutWave);
    auto first = StartProgram(); // sets wave 0 along with the others
    auto second = StartProgram();
    const auto share = std::filesystem::directory_iterator(runtime_)->path();
    EXPECT_NE(ReadText(share).find("wave0=0x00000000\n"), std::string::npos) << ReadText(share);
    first->Signal(SIGKILL);
    second->Signal(SIGKILL);
    EXPECT_TRUE(AllChildrenEnded(1s));
    EXPECT_TRUE(RuntimeFolderEmpty());
}

// Holders that have gone count no more: gone, a zombie, or a later process with the same pid.
TEST(SharedLevelsTest, OnlyLiveHoldersCountAndABadFileHoldsNoOne) {
    TempDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    const pid_t zombie = fork();
    if (zombie == 0) {
        std::_Exit(0);
    }
    while (platform::IdOf(zombie).start != 0 && platform::Alive(platform::IdOf(zombie))) {
        std::this_thread::sleep_for(1ms);
    }
    const platform::ProcessId self = platform::IdOf(getpid());
    const platform::ProcessId reused{self.pid, self.start + 1};
    const platform::ProcessId gone{0x7FFFFFF0, 1}; // beyond any pid
    const platform::Holder live{gone, self};
    const platform::ShareContents planted{{0x1, std::nullopt, 0x3, 0x4, 0x5, 0x6},
                                          {{reused, gone}, {platform::IdOf(zombie), gone}, live}};
    {
        auto share = platform::SharedLevels::Lock("file:/mixer");
        ASSERT_TRUE(share);
        ASSERT_TRUE(share->Write(planted));
        const auto read = share->Read();
        ASSERT_TRUE(read);
        EXPECT_EQ(read->levels, planted.levels);
        EXPECT_EQ(platform::OtherLiveHolders(*read, {}), std::vector{live});
        EXPECT_EQ(platform::OtherLiveHolders(*read, gone), std::vector<platform::Holder>{});
    }
    waitpid(zombie, nullptr, 0);
    // Another mixer's file under this name, or a text cut short, is not read.
    const auto file = std::filesystem::directory_iterator(runtime.Path())->path();
    const std::string text = ReadText(file);
    for (const std::string& bad :
         {"mixer=file:/other" + text.substr(text.find('\n')), text.substr(0, text.size() - 2)}) {
        WriteText(file, bad);
        EXPECT_FALSE(platform::SharedLevels::Lock("file:/mixer")->Read());
    }
    platform::SharedLevels::Lock("file:/mixer")->Write({});
    EXPECT_TRUE(std::filesystem::is_empty(runtime.Path()));
}

} // namespace
