#include "audio/GenerujAuto.h"

#include "synth/SweepSynth.h"
#include "tests/audio/MessageBoxes.h"
#include "tests/audio/OutputExpectations.h"
#include "tests/audio/OutputProbe.h"
#include "tests/audio/VirtualDevice.h"
#include "tests/support/CallRecorder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class SweepOutput : public ::testing::Test {
protected:
    void SetUp() override {
        sweep_ = TGenerujAuto::Create(10000);
        ASSERT_NE(sweep_, nullptr);
    }

    VirtualDevice device_;
    MessageBoxes boxes_;
    std::unique_ptr<TGenerujAuto> sweep_;
};

TEST_F(SweepOutput, CreateComputesTheTablesOnceAndReservesOneBlockPerBand) {
    CallRecorder recorder;
    const auto other = TGenerujAuto::Create(32767);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(OutputProbe::BandTable(*other), SweepBandTables(32767));
    ExpectState(*sweep_, 0, 0, false);

    const std::int64_t bytes[] = {1800, 900, 450, 300, 224, 176, 120, 88, 34, 16, 6};
    ASSERT_EQ(recorder.calls.size(), 3u * 11u);
    for (std::size_t band = 0; band < 11; ++band) {
        EXPECT_EQ(recorder.calls[3 * band],
                  (seams::RecordedCall{"GlobalAlloc", {0x2002, bytes[band]}}));
    }
    EXPECT_TRUE(boxes_.texts.empty());
}

// Whichever band's reservation fails, the user sees one box, no object results, and every block
// taken so far is given back.
TEST_F(SweepOutput, FailedReservationAtAnyBandYieldsNoObject) {
    for (const seams::Call call : {seams::Call::GlobalAlloc, seams::Call::GlobalSize}) {
        for (unsigned band = 0; band < 11; ++band) {
            CallRecorder recorder;
            boxes_.texts.clear();
            seams::FailCall(call, MMSYSERR_NOMEM, band);
            EXPECT_EQ(TGenerujAuto::Create(10000), nullptr)
                << seams::CallName(call) << " at band " << band + 1;
            seams::ClearFaults();
            EXPECT_EQ(boxes_.texts, Texts{"Nedostatek paměti"});
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
    sweep_->NastavFormat(11);
    EXPECT_EQ(OutputProbe::Format(*sweep_).nSamplesPerSec, 4950u);
    EXPECT_EQ(OutputProbe::Format(*sweep_).nAvgBytesPerSec, 9900u);
    EXPECT_EQ(OutputProbe::Format(*sweep_).wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(OutputProbe::Format(*sweep_).nChannels, 1);
    EXPECT_EQ(OutputProbe::Format(*sweep_).nBlockAlign, 2);
    EXPECT_EQ(OutputProbe::Format(*sweep_).wBitsPerSample, 16);
    sweep_->AutoOpenVystup(0, 11);
    const WAVEHDR* header = OutputProbe::Header(*sweep_);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->lpData,
              reinterpret_cast<const char*>(OutputProbe::BandTable(*sweep_)[0].data()));
    EXPECT_EQ(header->dwBufferLength, 1800u);
    EXPECT_EQ(header->dwLoops, 0u) << "a loop count of 0 is passed on unchanged";
    EXPECT_EQ(header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), WHDR_BEGINLOOP | WHDR_ENDLOOP);
    sweep_->AutoCloseVystup();

    sweep_->NastavFormat(15000);
    EXPECT_EQ(OutputProbe::Format(*sweep_).nSamplesPerSec, 45000u);
    sweep_->AutoOpenVystup(74250, 15000);
    ASSERT_NE(OutputProbe::Header(*sweep_), nullptr);
    EXPECT_EQ(OutputProbe::Header(*sweep_)->lpData,
              reinterpret_cast<const char*>(OutputProbe::BandTable(*sweep_)[10].data()));
    EXPECT_EQ(OutputProbe::Header(*sweep_)->dwBufferLength, 6u);
    EXPECT_EQ(OutputProbe::Header(*sweep_)->dwLoops, 74250u);
}

TEST_F(SweepOutput, EveryStateAndEveryOutOfOrderCall) {
    EXPECT_TRUE(CallsOf([&] { sweep_->AutoCloseVystup(); }).empty());
    EXPECT_TRUE(CallsOf([&] { sweep_->AutoCloseVystup(); }).empty()) << "twice in a row";
    EXPECT_TRUE(CallsOf([&] { sweep_->AutoVystup(); }).empty()) << "Closed";
    ExpectState(*sweep_, 0, 0, false);

    sweep_->NastavFormat(440);
    sweep_->AutoOpenVystup(22, 440);
    ExpectState(*sweep_, 1, 0, false); // Prepared
    const WAVEHDR* header = OutputProbe::Header(*sweep_);
    EXPECT_TRUE(CallsOf([&] { sweep_->AutoOpenVystup(7, 1000); }).empty());
    EXPECT_EQ(OutputProbe::Header(*sweep_), header);
    EXPECT_EQ(header->dwLoops, 22u) << "the first open stays in force";

    sweep_->AutoVystup();
    EXPECT_EQ(OutputProbe::Playing(*sweep_), 1u); // Sounding, until the device sets the done flag
    while (sweep_->PlayingVystup()) {
        Sleep(1);
    }
    ExpectState(*sweep_, 1, 1, false); // Finished

    EXPECT_EQ(CallsOf([&] { sweep_->AutoCloseVystup(); }), CloseAndRelease);
    ExpectState(*sweep_, 0, 0, false); // Closed
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(SweepOutput, OpenErrorsShowTheirBoxesAndTheStepPassesSilently) {
    sweep_->NastavFormat(1000);
    for (const OpenError& error : OpenErrors) {
        boxes_.texts.clear();
        seams::FailCall(seams::Call::waveOutOpen, error.code);
        sweep_->AutoOpenVystup(50, 1000);
        EXPECT_EQ(boxes_.texts, error.boxes) << "code " << error.code;
        EXPECT_TRUE(CallsOf([&] {
                        sweep_->AutoVystup();
                        sweep_->AutoCloseVystup();
                    }).empty());
        ExpectState(*sweep_, 0, 0, false);
    }
}

TEST_F(SweepOutput, FailedPreparationOrWriteEndsTheStepAtOnce) {
    sweep_->NastavFormat(1000);
    seams::FailCall(seams::Call::waveOutPrepareHeader, MMSYSERR_NOMEM);
    sweep_->AutoOpenVystup(50, 1000);
    EXPECT_EQ(boxes_.texts, Texts{"Chyba pri priprave Header"});
    EXPECT_TRUE(CallsOf([&] {
                    sweep_->AutoVystup();
                    sweep_->AutoCloseVystup();
                }).empty());
    ExpectState(*sweep_, 0, 0, false);

    seams::ClearFaults();
    seams::FailCall(seams::Call::waveOutWrite, MMSYSERR_ERROR);
    boxes_.texts.clear();
    sweep_->AutoOpenVystup(50, 1000);
    sweep_->AutoVystup();
    ExpectState(*sweep_, 1, 0, false);
    EXPECT_TRUE(boxes_.texts.empty()) << "a failed write shows nothing";
    EXPECT_EQ(CallsOf([&] { sweep_->AutoCloseVystup(); }), CloseAndRelease);
    ExpectState(*sweep_, 0, 0, false);
}

} // namespace
