#include "audio/GenerujManual.h"

#include "audio/ToneWaveFile.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/OutputExpectations.h"
#include "tests/audio/OutputProbe.h"
#include "tests/audio/VirtualDevice.h"
#include "tests/support/CallRecorder.h"
#include "tests/support/TempDir.h"

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
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            samples_[i] = static_cast<std::int16_t>(i * 200);
        }
        UlozWave(path_.c_str(), samples_.data(), static_cast<DWORD>(2 * samples_.size()));
        manual_ = TGenerujManual::Create(path_.c_str(), 33000);
        ASSERT_NE(manual_, nullptr);
    }

    VirtualDevice device_;
    TempDir dir_;
    MessageBoxes boxes_;
    const std::string path_ = dir_.File("pokus.wav");
    std::vector<std::int16_t> samples_ = std::vector<std::int16_t>(150);
    std::unique_ptr<TGenerujManual> manual_;
};

TEST_F(ManualOutput, CreateKeepsTheFileSamplesAndTakesTheRateFromTheCaller) {
    const WAVEFORMATEX& format = OutputProbe::Format(*manual_);
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 33000u);
    EXPECT_EQ(format.nAvgBytesPerSec, 66000u);
    EXPECT_EQ(format.nBlockAlign, 2);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.cbSize, 0);
    ASSERT_EQ(OutputProbe::DataLength(*manual_), 300u);
    EXPECT_TRUE(std::equal(samples_.begin(), samples_.end(), OutputProbe::Data(*manual_)));
    ExpectState(*manual_, 0, 0, false);
    EXPECT_TRUE(boxes_.texts.empty());

    EXPECT_EQ(TGenerujManual::Create(dir_.File("missing.wav").c_str(), 33000), nullptr);
    EXPECT_EQ(boxes_.texts, Texts{"WaveErr_OpenFile"});
}

TEST_F(ManualOutput, HeaderLoopsTheWholeBufferAsOneBlock) {
    manual_->WaveOpenVystup(Endless);
    const WAVEHDR* header = OutputProbe::Header(*manual_);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->lpData, reinterpret_cast<const char*>(OutputProbe::Data(*manual_)));
    EXPECT_EQ(header->dwBufferLength, 300u);
    EXPECT_EQ(header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), WHDR_BEGINLOOP | WHDR_ENDLOOP);
    EXPECT_EQ(header->dwLoops, Endless);

    manual_->WaveOpenVystup(5);
    EXPECT_EQ(OutputProbe::Header(*manual_), header);
    EXPECT_EQ(header->dwLoops, Endless) << "a second open keeps the first loop count";
}

TEST_F(ManualOutput, EveryStateAndEveryOutOfOrderCall) {
    EXPECT_TRUE(CallsOf([&] { manual_->WaveCloseVystup(); }).empty()) << "never opened";
    EXPECT_TRUE(CallsOf([&] { manual_->WaveVystup(); }).empty()) << "Loaded";
    EXPECT_TRUE(CallsOf([&] { manual_->PauseVystup(); }).empty());
    ExpectState(*manual_, 0, 0, false);

    manual_->WaveOpenVystup(Endless);
    ExpectState(*manual_, 1, 0, false); // Open
    EXPECT_TRUE(CallsOf([&] { manual_->WaveOpenVystup(Endless); }).empty()) << "already open";

    manual_->WaveVystup();
    ExpectState(*manual_, 1, 1, true); // Sounding
    EXPECT_TRUE(CallsOf([&] { manual_->RestartVystup(); }).empty()) << "restart while sounding";

    EXPECT_EQ(CallsOf([&] { manual_->PauseVystup(); }), Texts{"waveOutPause"});
    ExpectState(*manual_, 1, 0, false); // Paused
    EXPECT_TRUE(CallsOf([&] { manual_->PauseVystup(); }).empty()) << "pauses once";

    EXPECT_EQ(CallsOf([&] { manual_->RestartVystup(); }), Texts{"waveOutRestart"});
    ExpectState(*manual_, 1, 1, true); // Sounding again

    manual_->WaveCloseVystup();
    ExpectState(*manual_, 0, 0, false); // Loaded
    EXPECT_EQ(OutputProbe::Header(*manual_), nullptr);
    EXPECT_TRUE(CallsOf([&] { manual_->WaveCloseVystup(); }).empty()) << "closed twice";

    manual_->RestartVystup(); // a closed output refuses the restart
    ExpectState(*manual_, 0, 0, false);
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(ManualOutput, OpenWriteCloseCallsInOrderWithTheHeaderSize) {
    CallRecorder recorder;
    manual_->WaveOpenVystup(Endless);
    manual_->WaveVystup();
    manual_->WaveCloseVystup();
    Texts expected = OpenPrepareWrite;
    expected.insert(expected.end(), CloseAndRelease.begin(), CloseAndRelease.end());
    EXPECT_EQ(recorder.Names(), expected);
    ASSERT_GE(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[1], (seams::RecordedCall{"GlobalAlloc", {0x2002, sizeof(WAVEHDR)}}));
}

TEST_F(ManualOutput, EveryOpenErrorShowsItsBoxesAndTakesNothing) {
    for (const OpenError& error : OpenErrors) {
        boxes_.texts.clear();
        seams::FailCall(seams::Call::waveOutOpen, error.code);
        Texts expected = {"waveOutOpen"};
        expected.insert(expected.end(), error.boxes.size(), "ZobrazChybu");
        EXPECT_EQ(CallsOf([&] { manual_->WaveOpenVystup(Endless); }), expected);
        EXPECT_EQ(boxes_.texts, error.boxes) << "code " << error.code;
        EXPECT_TRUE(CallsOf([&] { manual_->WaveVystup(); }).empty());
        ExpectState(*manual_, 0, 0, false);
    }
}

TEST_F(ManualOutput, DeviceHeldByAnotherProgramLeavesTheToneSilent) {
    ::setenv("PROGEN_AUDIO", "busy", 1);
    manual_->WaveOpenVystup(Endless);
    EXPECT_EQ(boxes_.texts,
              Texts({"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_ALLOCATED\t"}));
    EXPECT_TRUE(CallsOf([&] { manual_->WaveVystup(); }).empty());
    ExpectState(*manual_, 0, 0, false);
}

// Left open by the design: a failed preparation gives the device and the header block back at
// once, so nothing stays held while the object reads as closed.
TEST_F(ManualOutput, FailedPreparationReleasesTheDeviceAndTheHeaderAtOnce) {
    seams::FailCall(seams::Call::waveOutPrepareHeader, MMSYSERR_NOMEM);
    EXPECT_EQ(CallsOf([&] { manual_->WaveOpenVystup(Endless); }),
              Texts({"waveOutOpen", "GlobalAlloc", "GlobalLock", "waveOutPrepareHeader",
                     "waveOutClose", "GlobalUnlock", "GlobalFree", "ZobrazChybu"}));
    EXPECT_EQ(boxes_.texts, Texts{"Chyba pri priprave Header"});
    ExpectState(*manual_, 0, 0, false);
    EXPECT_TRUE(CallsOf([&] { manual_->WaveCloseVystup(); }).empty());

    seams::ClearFaults();
    manual_->WaveOpenVystup(Endless);
    manual_->WaveVystup();
    ExpectState(*manual_, 1, 1, true);
}

TEST_F(ManualOutput, MissingHeaderBlockCountsAsAFailedPreparation) {
    seams::FailCall(seams::Call::GlobalAlloc, MMSYSERR_NOMEM);
    EXPECT_EQ(CallsOf([&] { manual_->WaveOpenVystup(Endless); }),
              Texts({"waveOutOpen", "GlobalAlloc", "GlobalLock", "waveOutClose", "GlobalUnlock",
                     "GlobalFree", "ZobrazChybu"}));
    EXPECT_EQ(boxes_.texts, Texts{"Chyba pri priprave Header"});
    ExpectState(*manual_, 0, 0, false);
}

TEST_F(ManualOutput, FailedWriteLeavesItOpenAndSilentWithoutABox) {
    seams::FailCall(seams::Call::waveOutWrite, MMSYSERR_ERROR);
    manual_->WaveOpenVystup(Endless);
    manual_->WaveAutoVystup();
    ExpectState(*manual_, 1, 0, false);
    EXPECT_TRUE(boxes_.texts.empty());
    manual_->WaveCloseVystup();
    ExpectState(*manual_, 0, 0, false);
}

TEST_F(ManualOutput, DestroyClosesFirstAndFreesTheSamplesOnce) {
    manual_->WaveOpenVystup(Endless);
    manual_->WaveVystup();
    Texts expected = CloseAndRelease;
    expected.insert(expected.end(), {"GlobalUnlock", "GlobalFree"});
    EXPECT_EQ(CallsOf([&] { manual_.reset(); }), expected);

    manual_ = TGenerujManual::Create(path_.c_str(), 33000);
    manual_->WaveOpenVystup(Endless);
    manual_->WaveCloseVystup();
    EXPECT_EQ(CallsOf([&] { manual_.reset(); }), Texts({"GlobalUnlock", "GlobalFree"}));
}

TEST_F(ManualOutput, FinishedLoopsReadAsNotPlayingAndPositionCountsSamples) {
    manual_->WaveOpenVystup(3);
    EXPECT_EQ(manual_->WavePositionVystup(), 0u);
    manual_->WaveVystup();
    while (manual_->PlayingVystup()) {
        Sleep(1);
    }
    ExpectState(*manual_, 1, 1, false); // Finished: the device set WHDR_DONE
    EXPECT_EQ(manual_->WavePositionVystup(), 3u * 150u);
}

} // namespace
