#include "app/controls/Panel.h"
#include "app/controls/UpDown.h"
#include "tests/app/WindowFixture.h"
#include "tests/app/WindowProbe.h"
#include "tests/support/CallRecorder.h"

#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The recorded calls of the given names, in order.
std::vector<seams::RecordedCall> Only(const std::vector<seams::RecordedCall>& calls,
                                      std::initializer_list<std::string_view> names) {
    std::vector<seams::RecordedCall> kept;
    for (const auto& call : calls) {
        if (std::find(names.begin(), names.end(), call.name) != names.end()) {
            kept.push_back(call);
        }
    }
    return kept;
}

using LevelsTest = OpenWindowFixture;
using LevelsStartTest = WindowFixture;

TEST_F(LevelsTest, StartSetsTheMixerForTheGeneratorAndBothSelectorsToTheTop) {
    EXPECT_EQ(ReadMixerFile(MixerFile()), GeneratorLevels);
    for (const char* name : {"PanelWaveL", "PanelAuxL"}) {
        EXPECT_EQ(Control<Panel>(name)->Caption(), QStringLiteral("-0 dB")) << name;
    }
    for (const char* name : {"UpDownWaveL", "UpDownAuxL"}) {
        const auto* upDown = Control<UpDown>(name);
        EXPECT_EQ(upDown->Min(), 0) << name;
        EXPECT_EQ(upDown->Max(), 16) << name;
        EXPECT_EQ(upDown->Position(), 16) << name;
    }
    EXPECT_FALSE(WindowProbe::VibraMode(*window_));
    EXPECT_EQ(WindowProbe::AuxL(*window_), 0);
}

TEST_F(LevelsTest, TheOutputLevelSelectorAppliesTheRowOnePressBehind) {
    auto* upDown = Control<UpDown>("UpDownAuxL");
    const auto press = [&](QToolButton* arrow) { QTest::mouseClick(arrow, Qt::LeftButton); };
    const auto outputLevel = [&] { return ReadMixerFile(MixerFile()).at("aux5"); };
    const auto caption = [&] { return Control<Panel>("PanelAuxL")->Caption(); };

    press(upDown->DownArrow());
    EXPECT_EQ(outputLevel(), 0x0000FFFFu); // row 16, right channel silenced
    EXPECT_EQ(caption(), QStringLiteral("-0dB"));
    EXPECT_EQ(upDown->Position(), 15);

    press(upDown->DownArrow());
    EXPECT_EQ(outputLevel(), 0x0000D7FFu);
    EXPECT_EQ(caption(), QStringLiteral("-2dB"));

    for (int i = 0; i < 14; ++i) {
        press(upDown->DownArrow());
    }
    EXPECT_EQ(upDown->Position(), 0);
    EXPECT_EQ(outputLevel(), 0x000007FFu);
    EXPECT_EQ(caption(), QStringLiteral("-63dB"));

    press(upDown->DownArrow()); // at the bottom: row 0 at last, and no wrap
    EXPECT_EQ(outputLevel(), 0u);
    EXPECT_EQ(caption(), QStringLiteral("-----"));
    EXPECT_EQ(upDown->Position(), 0);

    press(upDown->UpArrow());
    EXPECT_EQ(caption(), QStringLiteral("-----"));
    EXPECT_EQ(upDown->Position(), 1);
    EXPECT_EQ(WindowProbe::AuxL(*window_), 0);
}

TEST_F(LevelsTest, TheWaveLevelSelectorChangesOnlyItsCaptionAndWaveL) {
    auto* upDown = Control<UpDown>("UpDownWaveL");
    const CallRecorder recorder;

    QTest::mouseClick(upDown->DownArrow(), Qt::LeftButton);
    EXPECT_EQ(WindowProbe::WaveL(*window_), 0xFFFF);
    EXPECT_EQ(Control<Panel>("PanelWaveL")->Caption(), QStringLiteral("-0dB"));
    QTest::mouseClick(upDown->DownArrow(), Qt::LeftButton);
    EXPECT_EQ(WindowProbe::WaveL(*window_), 0xD7FF);
    EXPECT_EQ(Control<Panel>("PanelWaveL")->Caption(), QStringLiteral("-2dB"));

    EXPECT_TRUE(Only(recorder.calls, {"waveOutSetVolume", "auxSetVolume"}).empty());
    EXPECT_EQ(ReadMixerFile(MixerFile()), GeneratorLevels);
}

TEST_F(LevelsTest, ClosingGivesTheSavedLevelsBackWaveFirst) {
    const CallRecorder recorder;
    window_->close();

    const std::vector<seams::RecordedCall> restored = {
        {"waveOutSetVolume", {0, 0xC000C000}}, {"auxSetVolume", {3, 0x33333333}},
        {"auxSetVolume", {2, 0x22222222}},     {"auxSetVolume", {4, 0x44444444}},
        {"auxSetVolume", {1, 0x11111111}},     {"auxSetVolume", {5, 0x55555555}}};
    EXPECT_EQ(Only(recorder.calls, {"waveOutSetVolume", "auxSetVolume"}), restored);
    EXPECT_EQ(ReadMixerFile(MixerFile()), UserLevels);
}

// Written back as 0 it would silence whatever the user has there.
TEST_F(LevelsStartTest, ALevelUnreadableAtStartIsNotWrittenBack) {
    MixerLevels withoutWave = UserLevels;
    withoutWave.erase("wave0");
    WriteMixerFile(MixerFile(), withoutWave);
    OpenWindow();
    const CallRecorder recorder;
    window_->close();

    EXPECT_EQ(Only(recorder.calls, {"waveOutSetVolume"}), std::vector<seams::RecordedCall>{});
    MixerLevels expected = UserLevels;
    expected["wave0"] = GeneratorLevels.at("wave0"); // as the start set it
    EXPECT_EQ(ReadMixerFile(MixerFile()), expected);
}

TEST_F(LevelsTest, TheMixerButtonsStartTheirProgramsWithTheirShowCommands) {
    seams::FailCall(seams::Call::WinExec, ERROR_FILE_NOT_FOUND); // start nothing for real
    const CallRecorder recorder;

    QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
    auto* panel9 = Control<Panel>("Panel9");
    panel9->setEnabled(true); // hidden and disabled in the window as built
    panel9->show();
    QTest::mouseClick(panel9, Qt::LeftButton);

    const auto launches = Only(recorder.calls, {"WinExec"});
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].args.back(), SW_SHOWNORMAL);
    EXPECT_EQ(launches[1].args.back(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(panel9->BevelOuter(), Panel::Bevel::Lowered);
    EXPECT_TRUE(boxes_.empty()); // their failures are silent
}

struct LaunchFailure {
    UINT result;
    const char* message;
};

void PrintTo(const LaunchFailure& failure, std::ostream* out) {
    *out << failure.result;
}

class VolumeControlLaunchTest : public OpenWindowFixture,
                                public testing::WithParamInterface<LaunchFailure> {};

TEST_P(VolumeControlLaunchTest, AFailedLaunchIsReported) {
    seams::FailCall(seams::Call::WinExec, GetParam().result);
    window_->LabelNastaveniClick();
    EXPECT_EQ(boxes_, std::vector<std::string>{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Results, VolumeControlLaunchTest,
    testing::Values(LaunchFailure{0, "The system is out of memory or resources."},
                    LaunchFailure{ERROR_FILE_NOT_FOUND, "The specified file was not found."},
                    LaunchFailure{ERROR_PATH_NOT_FOUND, "The specified path was not found."},
                    LaunchFailure{
                        ERROR_BAD_FORMAT,
                        "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."}),
    [](const testing::TestParamInfo<LaunchFailure>& test) {
        return "Result" + std::to_string(test.param.result);
    });

} // namespace
