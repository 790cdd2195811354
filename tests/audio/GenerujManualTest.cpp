#include "audio/GenerujManual.h"

#include "audio/ToneWaveFile.h"
#include "tests/CallRecorder.h"
#include "tests/SeamGuard.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/OutputExpectations.h"
#include "tests/audio/VirtualDevice.h"
#include "tests/platform/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

constexpr DWORD Endless = 2147483647;

class ManualOutput : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<std::int16_t>(i * 200);
        }
        UlozWave(path.c_str(), samples.data(), static_cast<DWORD>(2 * samples.size()));
        manual = TGenerujManual::Create(path.c_str(), 33000);
        ASSERT_NE(manual, nullptr);
    }

    SeamGuard seams;
    TempDir dir;
    MessageBoxes boxes;
    VirtualDevice device;
    const std::string path = dir.File("pokus.wav");
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(150);
    std::unique_ptr<TGenerujManual> manual;
};

TEST_F(ManualOutput, CreateKeepsTheFileSamplesAndTakesTheRateFromTheCaller) {
    const WAVEFORMATEX& format = manual->GetFormat();
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 33000u);
    EXPECT_EQ(format.nAvgBytesPerSec, 66000u);
    EXPECT_EQ(format.nBlockAlign, 2);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.cbSize, 0);
    ASSERT_EQ(manual->GetDataLength(), 300u);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), manual->GetData()));
    ExpectState(*manual, 0, 0, false);
    EXPECT_TRUE(boxes.texts.empty());

    EXPECT_EQ(TGenerujManual::Create(dir.File("missing.wav").c_str(), 33000), nullptr);
    EXPECT_EQ(boxes.texts, Texts{"WaveErr_OpenFile"});
}

TEST_F(ManualOutput, HeaderLoopsTheWholeBufferAsOneBlock) {
    manual->WaveOpenVystup(Endless);
    const WAVEHDR* header = manual->GetHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->lpData, reinterpret_cast<const char*>(manual->GetData()));
    EXPECT_EQ(header->dwBufferLength, 300u);
    EXPECT_EQ(header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), WHDR_BEGINLOOP | WHDR_ENDLOOP);
    EXPECT_EQ(header->dwLoops, Endless);

    manual->WaveOpenVystup(5);
    EXPECT_EQ(manual->GetHeader(), header);
    EXPECT_EQ(header->dwLoops, Endless) << "a second open keeps the first loop count";
}

TEST_F(ManualOutput, EveryStateAndEveryOutOfOrderCall) {
    EXPECT_TRUE(CallsOf([&] { manual->WaveCloseVystup(); }).empty()) << "never opened";
    EXPECT_TRUE(CallsOf([&] { manual->WaveVystup(); }).empty()) << "Loaded";
    EXPECT_TRUE(CallsOf([&] { manual->PauseVystup(); }).empty());
    ExpectState(*manual, 0, 0, false);

    manual->WaveOpenVystup(Endless);
    ExpectState(*manual, 1, 0, false); // Open
    EXPECT_TRUE(CallsOf([&] { manual->WaveOpenVystup(Endless); }).empty()) << "already open";

    manual->WaveVystup();
    ExpectState(*manual, 1, 1, true); // Sounding
    EXPECT_TRUE(CallsOf([&] { manual->RestartVystup(); }).empty()) << "restart while sounding";

    EXPECT_EQ(CallsOf([&] { manual->PauseVystup(); }), Texts{"waveOutPause"});
    ExpectState(*manual, 1, 0, false); // Paused
    EXPECT_TRUE(CallsOf([&] { manual->PauseVystup(); }).empty()) << "pauses once";

    EXPECT_EQ(CallsOf([&] { manual->RestartVystup(); }), Texts{"waveOutRestart"});
    ExpectState(*manual, 1, 1, true); // Sounding again

    manual->WaveCloseVystup();
    ExpectState(*manual, 0, 0, false); // Loaded
    EXPECT_EQ(manual->GetHeader(), nullptr);
    EXPECT_TRUE(CallsOf([&] { manual->WaveCloseVystup(); }).empty()) << "closed twice";

    manual->RestartVystup(); // a closed output refuses the restart
    ExpectState(*manual, 0, 0, false);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(ManualOutput, OpenWriteCloseCallsInOrderWithTheHeaderSize) {
    CallRecorder recorder;
    manual->WaveOpenVystup(Endless);
    manual->WaveVystup();
    manual->WaveCloseVystup();
    Texts expected = OpenPrepareWrite;
    expected.insert(expected.end(), CloseAndRelease.begin(), CloseAndRelease.end());
    EXPECT_EQ(recorder.Names(), expected);
    ASSERT_GE(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[1],
              (platform::RecordedCall{"GlobalAlloc", {0x2002, sizeof(WAVEHDR)}}));
}

TEST_F(ManualOutput, EveryOpenErrorShowsItsBoxesAndTakesNothing) {
    for (const OpenError& error : OpenErrors) {
        boxes.texts.clear();
        platform::FailCall("waveOutOpen", error.code);
        Texts expected = {"waveOutOpen"};
        expected.insert(expected.end(), error.boxes.size(), "ZobrazChybu");
        EXPECT_EQ(CallsOf([&] { manual->WaveOpenVystup(Endless); }), expected);
        EXPECT_EQ(boxes.texts, error.boxes) << "code " << error.code;
        EXPECT_TRUE(CallsOf([&] { manual->WaveVystup(); }).empty());
        ExpectState(*manual, 0, 0, false);
    }
}

TEST_F(ManualOutput, DeviceHeldByAnotherProgramLeavesTheToneSilent) {
    ::setenv("PROGEN_AUDIO", "busy", 1);
    manual->WaveOpenVystup(Endless);
    EXPECT_EQ(boxes.texts, Texts({"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_ALLOCATED\t"}));
    EXPECT_TRUE(CallsOf([&] { manual->WaveVystup(); }).empty());
    ExpectState(*manual, 0, 0, false);
}

// Left open by the design: a failed preparation gives the device and the header block back at
// once, so nothing stays held while the object reads as closed.
TEST_F(ManualOutput, FailedPreparationReleasesTheDeviceAndTheHeaderAtOnce) {
    platform::FailCall("waveOutPrepareHeader", MMSYSERR_NOMEM);
    EXPECT_EQ(CallsOf([&] { manual->WaveOpenVystup(Endless); }),
              Texts({"waveOutOpen", "GlobalAlloc", "GlobalLock", "waveOutPrepareHeader",
                     "waveOutClose", "GlobalUnlock", "GlobalFree", "ZobrazChybu"}));
    EXPECT_EQ(boxes.texts, Texts{"Chyba pri priprave Header"});
    ExpectState(*manual, 0, 0, false);
    EXPECT_TRUE(CallsOf([&] { manual->WaveCloseVystup(); }).empty());

    platform::ClearFaults();
    manual->WaveOpenVystup(Endless);
    manual->WaveVystup();
    ExpectState(*manual, 1, 1, true);
}

TEST_F(ManualOutput, MissingHeaderBlockCountsAsAFailedPreparation) {
    platform::FailCall("GlobalAlloc", MMSYSERR_NOMEM);
    EXPECT_EQ(CallsOf([&] { manual->WaveOpenVystup(Endless); }),
              Texts({"waveOutOpen", "GlobalAlloc", "GlobalLock", "waveOutClose", "GlobalUnlock",
                     "GlobalFree", "ZobrazChybu"}));
    EXPECT_EQ(boxes.texts, Texts{"Chyba pri priprave Header"});
    ExpectState(*manual, 0, 0, false);
}

TEST_F(ManualOutput, FailedWriteLeavesItOpenAndSilentWithoutABox) {
    platform::FailCall("waveOutWrite", MMSYSERR_ERROR);
    manual->WaveOpenVystup(Endless);
    manual->WaveAutoVystup();
    ExpectState(*manual, 1, 0, false);
    EXPECT_TRUE(boxes.texts.empty());
    manual->WaveCloseVystup();
    ExpectState(*manual, 0, 0, false);
}

TEST_F(ManualOutput, DestroyClosesFirstAndFreesTheSamplesOnce) {
    manual->WaveOpenVystup(Endless);
    manual->WaveVystup();
    Texts expected = CloseAndRelease;
    expected.insert(expected.end(), {"GlobalUnlock", "GlobalFree"});
    EXPECT_EQ(CallsOf([&] { manual.reset(); }), expected);

    manual = TGenerujManual::Create(path.c_str(), 33000);
    manual->WaveOpenVystup(Endless);
    manual->WaveCloseVystup();
    EXPECT_EQ(CallsOf([&] { manual.reset(); }), Texts({"GlobalUnlock", "GlobalFree"}));
}

TEST_F(ManualOutput, FinishedLoopsReadAsNotPlayingAndPositionCountsSamples) {
    manual->WaveOpenVystup(3);
    EXPECT_EQ(manual->WavePositionVystup(), 0u);
    manual->WaveVystup();
    while (manual->PlayingVystup()) {
        Sleep(1);
    }
    ExpectState(*manual, 1, 1, false); // Finished: the device set WHDR_DONE
    EXPECT_EQ(manual->WavePositionVystup(), 3u * 150u);
}

} // namespace
