#include "app/controls/Panel.h"
#include "app/controls/SpeedButton.h"
#include "audio/GenerujManual.h"
#include "tests/app/WindowFixture.h"
#include "tests/app/WindowProbe.h"
#include "tests/audio/OutputProbe.h"
#include "tests/support/CallRecorder.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The samples of the data chunk of "pokus.wav" in the working directory.
std::vector<std::int16_t> ToneFileSamples() {
    QFile file(QStringLiteral("pokus.wav"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    const auto word = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.data() + at); };
    for (qsizetype chunk = 12; chunk + 8 <= bytes.size(); chunk += 8 + word(chunk + 4)) {
        if (bytes.mid(chunk, 4) == "data") {
            const qsizetype count = std::min<qsizetype>(word(chunk + 4), bytes.size() - chunk - 8);
            std::vector<std::int16_t> samples(static_cast<std::size_t>(count / 2));
            for (std::size_t i = 0; i < samples.size(); ++i) {
                samples[i] = qFromLittleEndian<qint16>(bytes.data() + chunk + 8 + 2 * i);
            }
            return samples;
        }
    }
    return {};
}

// Rises through zero, counted around the loop (the buffer repeats).
int RisingZeroCrossings(const std::vector<std::int16_t>& samples) {
    int crossings = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto before = samples[(i + samples.size() - 1) % samples.size()];
        crossings += before < 0 && samples[i] >= 0;
    }
    return crossings;
}

std::ptrdiff_t IndexOf(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
}

using ManualToneTest = OpenWindowFixture;
using ManualToneStartTest = WindowFixture;

TEST_F(ManualToneTest, StartsA500HzSineOfAmplitude2000) {
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_TRUE(Control<SpeedButton>("Pause")->isEnabled());
    EXPECT_TRUE(boxes_.empty());

    // Band 401..600 Hz: two periods in 150 samples, played at 500 x 75 samples per second.
    EXPECT_EQ(WindowProbe::SampleRate(*window_), 37500);
    EXPECT_EQ(OutputProbe::Format(*WindowProbe::GenerujManual(*window_)).nSamplesPerSec, 37500u);
    const std::vector<std::int16_t> samples = ToneFileSamples();
    ASSERT_EQ(samples.size(), 150u);
    EXPECT_EQ(RisingZeroCrossings(samples), 2);
    const auto [lowest, highest] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_GE(*highest, 1990);
    EXPECT_LE(*highest, 2000);
    EXPECT_LE(*lowest, -1990);
    EXPECT_GE(*lowest, -2000);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(),
                           OutputProbe::Data(*WindowProbe::GenerujManual(*window_))));
}

TEST_F(ManualToneTest, ARestartPlaysTheWindowsCurrentSettings) {
    window_->SetFrekvence(440);
    window_->RestartTone();
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_EQ(WindowProbe::SampleRate(*window_), 33000);
    EXPECT_EQ(ToneFileSamples().size(), 150u);
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
}

TEST_F(ManualToneTest, TwoPauseClicksPauseAndResume) {
    window_->PauseClick();
    EXPECT_EQ(WindowProbe::Pauza(*window_), 1);
    EXPECT_FALSE(window_->ManualPlaying());
    EXPECT_EQ(OutputProbe::Opened(*WindowProbe::GenerujManual(*window_)), 1);
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_TRUE(Control<SpeedButton>("Pause")->isEnabled());

    window_->PauseClick();
    EXPECT_EQ(WindowProbe::Pauza(*window_), 0);
    EXPECT_TRUE(window_->ManualPlaying());
}

TEST_F(ManualToneTest, ARestartWhilePausedClosesThePausedOutputBeforeOpeningTheNext) {
    window_->PauseClick();
    const std::vector<std::string> names = CallsOf([&] { window_->RestartTone(); });
    EXPECT_LT(IndexOf(names, "waveOutClose"), IndexOf(names, "waveOutOpen"));
    EXPECT_LT(IndexOf(names, "waveOutOpen"), static_cast<std::ptrdiff_t>(names.size()));
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_EQ(WindowProbe::Pauza(*window_), 0);
}

TEST_F(ManualToneTest, StopReleasesTheToneAndARestartStartsItAgain) {
    window_->StopClick();
    EXPECT_EQ(WindowProbe::GenerujManual(*window_), nullptr);
    EXPECT_FALSE(window_->ManualPlaying());
    EXPECT_TRUE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_FALSE(Control<SpeedButton>("Pause")->isEnabled());

    window_->RestartTone();
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_TRUE(Control<SpeedButton>("Pause")->isEnabled());
}

TEST_F(ManualToneTest, AutoStopsAPlayingToneAndShowsTheAutomaticControls) {
    window_->AutoClick();
    EXPECT_EQ(WindowProbe::GenerujManual(*window_), nullptr);
    EXPECT_TRUE(Control<SpeedButton>("Play")->isEnabled()); // through StopClick
    EXPECT_FALSE(Control<Panel>("PanelAuto")->isHidden());
    EXPECT_TRUE(Control<Panel>("PanelF")->isHidden());
    EXPECT_TRUE(Control<Panel>("PanelFce")->isHidden());
    EXPECT_TRUE(Control<SpeedButton>("Play")->isHidden());
    EXPECT_FALSE(Control<SpeedButton>("PlayGenerujAuto")->isHidden());

    window_->ManualClick();
    EXPECT_TRUE(Control<SpeedButton>("SpeedButtonManual")->Down());
    EXPECT_FALSE(Control<Panel>("PanelF")->isHidden());
    EXPECT_FALSE(Control<Panel>("PanelFce")->isHidden());
    EXPECT_FALSE(Control<SpeedButton>("Play")->isHidden());
}

TEST_F(ManualToneTest, AutoWithoutAPlayingToneLeavesTheToneAndButtonsAlone) {
    window_->PauseClick();
    window_->AutoClick();
    EXPECT_NE(WindowProbe::GenerujManual(*window_), nullptr);
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_FALSE(Control<Panel>("PanelAuto")->isHidden());
}

TEST_F(ManualToneStartTest, ABusyDeviceShowsBothBoxesAndTheProgramGoesOn) {
    ::setenv("PROGEN_AUDIO", "busy", 1);
    OpenWindow();
    EXPECT_EQ(boxes_, (std::vector<std::string>{"Chyba pri otevreni vystupniho kanalu",
                                                "MMSYSERR_ALLOCATED\t"}));
    ASSERT_NE(WindowProbe::GenerujManual(*window_), nullptr);
    EXPECT_FALSE(window_->ManualPlaying());
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());

    // Once the device is free, the next restart gets it.
    ::setenv("PROGEN_AUDIO", "null", 1);
    window_->RestartTone();
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_EQ(boxes_.size(), 2u);
}

TEST_F(ManualToneStartTest, AnUnwritableToneFileEndsTheProgramWithCode1) {
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("pokus.wav")));
    try {
        OpenWindow();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.code, 1u);
    }
    EXPECT_EQ(boxes_, std::vector<std::string>{"WaveErr_OpenFile"});
    // The levels set for the generator do not outlive the program.
    EXPECT_EQ(ReadMixerFile(MixerFile()), UserLevels);
}

TEST_F(ManualToneStartTest, AToneFileThatCannotBeReadBackEndsTheProgramWithCode1) {
    // Writing opens the file twice (create, then write); the third open is the reader's.
    seams::FailCall(seams::Call::mmioOpenA, 1, 2);
    try {
        OpenWindow();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.code, 1u);
    }
    EXPECT_EQ(boxes_, (std::vector<std::string>{"WaveErr_OpenFile", "GenerujManual = nil"}));
    EXPECT_EQ(ReadMixerFile(MixerFile()), UserLevels);
}

} // namespace
