#include "audio/GenerujAuto.h"

#include "synth/SweepSynth.h"
#include "tests/CallRecorder.h"
#include "tests/SeamGuard.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/OutputExpectations.h"
#include "tests/audio/VirtualDevice.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class SweepOutput : public ::testing::Test {
protected:
    void SetUp() override {
        sweep = TGenerujAuto::Create(10000);
        ASSERT_NE(sweep, nullptr);
    }

    SeamGuard seams;
    MessageBoxes boxes;
    VirtualDevice device;
    std::unique_ptr<TGenerujAuto> sweep;
};

TEST_F(SweepOutput, CreateComputesTheTablesOnceAndReservesOneBlockPerBand) {
    CallRecorder recorder;
    const auto other = TGenerujAuto::Create(32767);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetBandTable(), SweepBandTables(32767));
    ExpectState(*sweep, 0, 0, false);

    const std::int64_t bytes[] = {1800, 900, 450, 300, 224, 176, 120, 88, 34, 16, 6};
    ASSERT_EQ(recorder.calls.size(), 3u * 11u);
    for (std::size_t band = 0; band < 11; ++band) {
        EXPECT_EQ(recorder.calls[3 * band],
                  (platform::RecordedCall{"GlobalAlloc", {0x2002, bytes[band]}}));
    }
    EXPECT_TRUE(boxes.texts.empty());
}

// Whichever band's reservation fails, the user sees one box, no object results, and every block
// taken so far is given back.
TEST_F(SweepOutput, FailedReservationAtAnyBandYieldsNoObject) {
    for (const char* call : {"GlobalAlloc", "GlobalSize"}) {
        for (unsigned band = 0; band < 11; ++band) {
            CallRecorder recorder;
            boxes.texts.clear();
            platform::FailCall(call, MMSYSERR_NOMEM, band);
            EXPECT_EQ(TGenerujAuto::Create(10000), nullptr) << call << " at band " << band + 1;
            platform::ClearFaults();
            EXPECT_EQ(boxes.texts, Texts{"Nedostatek paměti"});
            const auto count = [&](const char* name) {
                const Texts names = recorder.Names();
                return static_cast<unsigned>(std::count(names.begin(), names.end(), name));
            };
            EXPECT_EQ(count("GlobalAlloc"), band + 1);
            EXPECT_EQ(count("GlobalLock"), band);
            EXPECT_EQ(count("GlobalUnlock"), band) << "earlier bands given back";
            EXPECT_EQ(count("GlobalFree"), band + 1);
        }
    }
}

TEST_F(SweepOutput, StepFormatAndHeaderOfTheLowestAndHighestBands) {
    sweep->NastavFormat(11);
    EXPECT_EQ(sweep->GetFormat().nSamplesPerSec, 4950u);
    EXPECT_EQ(sweep->GetFormat().nAvgBytesPerSec, 9900u);
    EXPECT_EQ(sweep->GetFormat().wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(sweep->GetFormat().nChannels, 1);
    EXPECT_EQ(sweep->GetFormat().nBlockAlign, 2);
    EXPECT_EQ(sweep->GetFormat().wBitsPerSample, 16);
    sweep->AutoOpenVystup(0, 11);
    const WAVEHDR* header = sweep->GetHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->lpData, reinterpret_cast<const char*>(sweep->GetBandTable()[0].data()));
    EXPECT_EQ(header->dwBufferLength, 1800u);
    EXPECT_EQ(header->dwLoops, 0u) << "a loop count of 0 is passed on unchanged";
    EXPECT_EQ(header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), WHDR_BEGINLOOP | WHDR_ENDLOOP);
    sweep->AutoCloseVystup();

    sweep->NastavFormat(15000);
    EXPECT_EQ(sweep->GetFormat().nSamplesPerSec, 45000u);
    sweep->AutoOpenVystup(74250, 15000);
    ASSERT_NE(sweep->GetHeader(), nullptr);
    EXPECT_EQ(sweep->GetHeader()->lpData,
              reinterpret_cast<const char*>(sweep->GetBandTable()[10].data()));
    EXPECT_EQ(sweep->GetHeader()->dwBufferLength, 6u);
    EXPECT_EQ(sweep->GetHeader()->dwLoops, 74250u);
}

TEST_F(SweepOutput, EveryStateAndEveryOutOfOrderCall) {
    EXPECT_TRUE(CallsOf([&] { sweep->AutoCloseVystup(); }).empty());
    EXPECT_TRUE(CallsOf([&] { sweep->AutoCloseVystup(); }).empty()) << "twice in a row";
    EXPECT_TRUE(CallsOf([&] { sweep->AutoVystup(); }).empty()) << "Closed";
    ExpectState(*sweep, 0, 0, false);

    sweep->NastavFormat(440);
    sweep->AutoOpenVystup(22, 440);
    ExpectState(*sweep, 1, 0, false); // Prepared
    const WAVEHDR* header = sweep->GetHeader();
    EXPECT_TRUE(CallsOf([&] { sweep->AutoOpenVystup(7, 1000); }).empty());
    EXPECT_EQ(sweep->GetHeader(), header);
    EXPECT_EQ(header->dwLoops, 22u) << "the first open stays in force";

    sweep->AutoVystup();
    EXPECT_EQ(sweep->GetPlaying(), 1u); // Sounding, until the device sets the done flag
    while (sweep->PlayingVystup()) {
        Sleep(1);
    }
    ExpectState(*sweep, 1, 1, false); // Finished

    EXPECT_EQ(CallsOf([&] { sweep->AutoCloseVystup(); }), CloseAndRelease);
    ExpectState(*sweep, 0, 0, false); // Closed
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(SweepOutput, OpenErrorsShowTheirBoxesAndTheStepPassesSilently) {
    sweep->NastavFormat(1000);
    for (const OpenError& error : OpenErrors) {
        boxes.texts.clear();
        platform::FailCall("waveOutOpen", error.code);
        sweep->AutoOpenVystup(50, 1000);
        EXPECT_EQ(boxes.texts, error.boxes) << "code " << error.code;
        EXPECT_TRUE(CallsOf([&] {
                        sweep->AutoVystup();
                        sweep->AutoCloseVystup();
                    }).empty());
        ExpectState(*sweep, 0, 0, false);
    }
}

TEST_F(SweepOutput, FailedPreparationOrWriteEndsTheStepAtOnce) {
    sweep->NastavFormat(1000);
    platform::FailCall("waveOutPrepareHeader", MMSYSERR_NOMEM);
    sweep->AutoOpenVystup(50, 1000);
    EXPECT_EQ(boxes.texts, Texts{"Chyba pri priprave Header"});
    EXPECT_TRUE(CallsOf([&] {
                    sweep->AutoVystup();
                    sweep->AutoCloseVystup();
                }).empty());
    ExpectState(*sweep, 0, 0, false);

    platform::ClearFaults();
    platform::FailCall("waveOutWrite", MMSYSERR_ERROR);
    boxes.texts.clear();
    sweep->AutoOpenVystup(50, 1000);
    sweep->AutoVystup();
    ExpectState(*sweep, 1, 0, false);
    EXPECT_TRUE(boxes.texts.empty()) << "a failed write shows nothing";
    EXPECT_EQ(CallsOf([&] { sweep->AutoCloseVystup(); }), CloseAndRelease);
    ExpectState(*sweep, 0, 0, false);
}

} // namespace
