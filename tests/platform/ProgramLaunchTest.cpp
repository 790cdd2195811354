#include "audio/platform/MMSystem.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Restores an environment variable when the test ends.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            value_ = value;
        }
    }
    ~SavedVariable() {
        if (value_) {
            ::setenv(name_, value_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};

class ProgramLaunch : public testing::Test {
protected:
    // A program that writes its arguments and the descriptors it was given to the marker.
    void SetUp() override {
        WriteText(probe_, "#!/bin/sh\n"
                          "{ echo \"$@\"; /bin/ls /proc/$$/fd; } > '" +
                              marker_ +
                              ".part'\n"
                              "/bin/mv '" +
                              marker_ + ".part' '" + marker_ + "'\n");
        std::filesystem::permissions(probe_, std::filesystem::perms::owner_all);
        ::unsetenv("PROGEN_MIXER_APP");
    }

    // The probe's report, once it has run; it takes milliseconds, the bound only ends a hang.
    std::optional<std::string> ProbeReport() {
        for (int wait = 0; wait < 1000; ++wait) {
            if (std::filesystem::exists(marker_)) {
                std::string report = ReadText(marker_);
                std::filesystem::remove(marker_);
                return report;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    std::string FirstLine(const std::string& report) { return report.substr(0, report.find('\n')); }

    seams::TestPlatform platform_;
    SavedVariable savedPath_{"PATH"};
    SavedVariable savedApp_{"PROGEN_MIXER_APP"};
    TempDir dir_;
    std::string probe_ = dir_.File("probe");
    std::string marker_ = dir_.File("marker");
};

} // namespace

TEST_F(ProgramLaunch, MixerProgramsStartTheDesktopMixer) {
    ::setenv("PROGEN_MIXER_APP", (probe_ + " --tab \"all lines\"").c_str(), 1);
    for (const char* program : {"reg.exe", "SndVol32.exe", "ctmixer.exe /ignored"}) {
        EXPECT_EQ(WinExec(program, SW_SHOWNORMAL), 33U) << program;
        const std::optional<std::string> report = ProbeReport();
        ASSERT_TRUE(report) << program;
        EXPECT_EQ(FirstLine(*report), "--tab all lines") << program;
    }
}

TEST_F(ProgramLaunch, OtherCommandLinesRunFromPath) {
    ::setenv("PATH", (dir_.Path().string() + ":/usr/bin:/bin").c_str(), 1);
    EXPECT_EQ(WinExec("probe one \"two words\"", SW_SHOWNOACTIVATE), 33U);
    const std::optional<std::string> report = ProbeReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(FirstLine(*report), "one two words");
}

TEST_F(ProgramLaunch, TheProgramIsNoChildAndGetsNoneOfOurDescriptors) {
    const int held = ::open("/dev/null", O_RDONLY); // no close-on-exec, like a sound device's
    ASSERT_GE(::dup2(held, 100), 0);
    ::close(held);
    ::setenv("PROGEN_MIXER_APP", probe_.c_str(), 1);
    ASSERT_EQ(WinExec("reg.exe", SW_SHOWNORMAL), 33U);
    const std::optional<std::string> report = ProbeReport();
    ::close(100);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->find("\n100\n"), std::string::npos) << *report;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ProgramLaunch, WhatCannotBeFoundIsFileNotFound) {
    ::setenv("PATH", "", 1);
    EXPECT_EQ(WinExec("reg.exe", SW_SHOWNORMAL), 2U);
    EXPECT_EQ(WinExec("sndvol32.exe", SW_SHOWNORMAL), 2U);
    EXPECT_EQ(WinExec("probe", SW_SHOWNORMAL), 2U);
    EXPECT_EQ(WinExec("", SW_SHOWNORMAL), 2U);
    EXPECT_EQ(WinExec("  ", SW_SHOWNORMAL), 2U);
    EXPECT_EQ(WinExec(nullptr, SW_SHOWNORMAL), 2U);

    ::setenv("PROGEN_MIXER_APP", dir_.File("no-such-mixer").c_str(), 1);
    EXPECT_EQ(WinExec("reg.exe", SW_SHOWNORMAL), 2U);

    const std::string plain = dir_.File("plain");
    WriteText(plain, "not a program");
    EXPECT_EQ(WinExec(plain.c_str(), SW_SHOWNORMAL), 2U); // not executable
    EXPECT_FALSE(std::filesystem::exists(marker_));
}

TEST_F(ProgramLaunch, AnExecutableOfNoKnownFormatIsBadFormat) {
    const std::string garbage = dir_.File("garbage");
    WriteText(garbage, std::string("\x7f"
                                   "ELF but not really",
                                   19));
    std::filesystem::permissions(garbage, std::filesystem::perms::owner_all);
    EXPECT_EQ(WinExec(garbage.c_str(), SW_SHOWNORMAL), 11U);
}

TEST_F(ProgramLaunch, IsRecordedAndCanBeMadeToFail) {
    std::vector<seams::RecordedCall> calls;
    seams::RecordCalls(&calls);
    seams::FailCall(seams::Call::WinExec, 0);
    ::setenv("PROGEN_MIXER_APP", probe_.c_str(), 1);
    EXPECT_EQ(WinExec("reg.exe", SW_SHOWNOACTIVATE), 0U);
    EXPECT_EQ(calls, (std::vector<seams::RecordedCall>{{"WinExec", {4}}}));
}
