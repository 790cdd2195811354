#pragma once

// The real window on the offscreen platform, in a working directory of its own: the window
// writes "pokus.wav" there and, with PROGEN_MIXER=file:mixer.txt (set by ctest), keeps the mixer
// levels in "mixer.txt" there. Each test starts with the user's levels of UserLevels planted in
// that file, and on a platform of its own.

#include "app/ProgGenerator.h"
#include "audio/platform/ProgramHooks.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

// The mixer file's lines, by name ("wave0", "aux1" .. "aux5").
using MixerLevels = std::map<std::string, DWORD>;

// Levels a user might have set, each different, so that every restored one is told apart.
inline const MixerLevels UserLevels = {{"wave0", 0xC000C000}, {"aux1", 0x11111111},
                                       {"aux2", 0x22222222},  {"aux3", 0x33333333},
                                       {"aux4", 0x44444444},  {"aux5", 0x55555555}};

// The levels the window sets at start.
inline const MixerLevels GeneratorLevels = {{"wave0", 0xFFFFFFFF}, {"aux1", 0},
                                            {"aux2", 0},           {"aux3", 0},
                                            {"aux4", 0},           {"aux5", 0xFFFFEFFF}};

void WriteMixerFile(const QString& path, const MixerLevels& levels);
// Empty when there is no file.
MixerLevels ReadMixerFile(const QString& path);

// What ExitProcess throws in a test.
struct ProgramEnded {
    UINT code;
};

class WindowFixture : public testing::Test {
protected:
    // The window's sound keeps time by `clock`.
    explicit WindowFixture(platform::Clock& clock = platform::SystemClock()) : platform_(clock) {}

    void SetUp() override;
    void TearDown() override;

    // Creates the window (running FormCreate, and with it the first tone) and shows it.
    void OpenWindow();

    // The window's control of that name; the test fails if there is none of that kind.
    template <class Kind>
    Kind* Control(const char* name) const {
        auto* control = window_->findChild<Kind*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString MixerFile() const { return directory_.filePath(QStringLiteral("mixer.txt")); }

    seams::TestPlatform platform_;
    QTemporaryDir directory_;
    QString previousDirectory_ = QDir::currentPath();
    std::vector<std::string> boxes_; // the texts of the message boxes, in order
    std::unique_ptr<TProgGenerator> window_;
};

// Tests that start with the window open.
class OpenWindowFixture : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        OpenWindow();
    }
};
