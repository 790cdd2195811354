#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"
#include "synth/SweepSynth.h"
#include "tests/app/QtPrinters.h"
#include "tests/app/SweepFixture.h"
#include "tests/app/WindowProbe.h"
#include "tests/audio/OutputProbe.h"
#include "tests/support/CallRecorder.h"
#include "tests/support/VirtualClock.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

// The virtual clock, noting the caption of LabelF whenever the user-interface thread sleeps:
// during a sweep that is while a step sounds.
class CaptionClock final : public platform::Clock {
public:
    TimePoint Now() override { return seams::VirtualClock().Now(); }
    void SleepUntil(TimePoint deadline) override {
        if (label && (captions.isEmpty() || captions.last() != label->text())) {
            captions.append(label->text());
        }
        seams::VirtualClock().SleepUntil(deadline);
    }
    std::jthread StartThread(std::function<void(std::stop_token)> body) override {
        return seams::VirtualClock().StartThread(std::move(body));
    }
    void SleepPaced(TimePoint deadline, std::stop_token stop) override {
        seams::VirtualClock().SleepPaced(deadline, stop);
    }

    const Label* label = nullptr;
    QStringList captions;
};

// Never destroyed: it outlives the platform of every test.
CaptionClock& Captions() {
    static auto* const clock = new CaptionClock;
    return *clock;
}

// Every test plays on the virtual clock into the null sink, so a sweep of seconds passes at once.
class SweepRunTest : public SweepFixture {
protected:
    SweepRunTest() : SweepFixture(Captions()) {}

    void SetUp() override {
        SweepFixture::SetUp();
        Captions().captions.clear();
        OpenInAutomaticMode();
        Captions().label = Control<Label>("LabelF");
        manualRate_ = OutputProbe::Format(*WindowProbe::GenerujManual(*window_)).nSamplesPerSec;
        seams::RecordCalls(&calls_);
    }

    void TearDown() override {
        seams::RecordCalls(nullptr);
        Captions().label = nullptr;
        SweepFixture::TearDown();
    }

    // The arguments of each recorded call of that name, in order.
    std::vector<std::vector<std::int64_t>> ArgsOf(const std::string& name) const {
        std::vector<std::vector<std::int64_t>> args;
        for (const seams::RecordedCall& call : calls_) {
            if (call.name == name) {
                args.push_back(call.args);
            }
        }
        return args;
    }

    // The manual-mode controls shown, the start button up and usable, no hourglass, and the
    // manual tone playing at the frequency it had before.
    void ExpectManualModeAgain() {
        EXPECT_TRUE(Control<SpeedButton>("SpeedButtonManual")->Down());
        EXPECT_FALSE(Control<Panel>("PanelF")->isHidden());
        EXPECT_FALSE(Control<Panel>("PanelFce")->isHidden());
        EXPECT_FALSE(Control<SpeedButton>("Play")->isHidden());
        EXPECT_FALSE(Control<Panel>("PanelHraj")->isHidden());
        EXPECT_FALSE(Control<SpeedButton>("PlayGenerujAuto")->Down());
        EXPECT_TRUE(Control<SpeedButton>("PlayGenerujAuto")->isEnabled());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        ASSERT_TRUE(window_->ManualPlaying());
        EXPECT_EQ(WindowProbe::Frekvence(*window_), 11);
        EXPECT_EQ(OutputProbe::Format(*WindowProbe::GenerujManual(*window_)).nSamplesPerSec,
                  manualRate_);
    }

    std::vector<seams::RecordedCall> calls_;
    DWORD manualRate_ = 0;
};

TEST_F(SweepRunTest, EveryFailedCheckShowsItsBoxInOrderAndNothingIsPlayed) {
    const std::string check1 = "Minimální frekvence je větší než maximální frekvence";
    const std::string check2 = "Minimální frekvence není v rozsahu 11Hz - 15kHz";
    const std::string check3 = "Maximální frekvence není v rozsahu 11Hz - 15kHz";
    const std::string check4 = "Krok není v rozsahu 1Hz - 1kHz";
    const std::string check5 = "Doba přehrání není v rozsahu 100ms - 9.9s";
    // The step and dwell bars cannot leave the valid range; widened here, they reach the checks.
    Control<ScrollBar>("ScrollBarKrok")->SetMin(0);
    Control<ScrollBar>("ScrollBarProdleva")->SetMin(0);
    Control<ScrollBar>("ScrollBarProdleva")->SetMax(100);
    const struct {
        int minF, maxF, krok, t;
        Texts boxes;
    } cases[] = {
        {5, 3, 100, 5, {check1, check2, check3}},
        {500, 500, 100, 5, {check1}},
        {10, 15000, 100, 5, {check2}},
        {11, 15000, 0, 0, {check4, check5}},
        {100, 1000, 100, 100, {check5}},
    };
    const int sliderBefore = Control<ScrollBar>("TrackBarLF")->Position();
    platform::SetErrorBox([this](const std::string& text) {
        boxes_.push_back(text);
        EXPECT_FALSE(Control<SpeedButton>("PlayGenerujAuto")->Down()) << "pressed under " << text;
    });
    for (const auto& c : cases) {
        boxes_.clear();
        calls_.clear();
        SetSweep(c.minF, c.maxF, c.krok, c.t);
        ClickStart();
        EXPECT_EQ(boxes_, c.boxes) << c.minF << " " << c.maxF << " " << c.krok << " " << c.t;
        EXPECT_EQ(ArgsOf("waveOutOpen").size(), 1u) << "only the manual tone's";
        EXPECT_TRUE(summaries_.isEmpty());
        EXPECT_EQ(WindowProbe::GenerujAuto(*window_), nullptr);
        EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->Position(), sliderBefore);
        ExpectManualModeAgain();
    }
}

TEST_F(SweepRunTest, TheSummaryOfTheDefaultsByteForByte) {
    ClickStart();
    ASSERT_EQ(summaries_.size(), 1);
    const std::string expected =
        "Od frekvence 100 Hz do frekvence 1000 Hz po 100 Hz. Doba p\xC5\x99"
        "enosu 5000 ms                  Automatick\xC3\xA9 generov\xC3\xA1n\xC3\xAD "
        "nen\xC3\xAD mo\xC5\xBEno po dobu generov\xC3\xA1n\xC3\xAD ukon\xC4\x8Dit."
        "                                                                 "
        "  Pokra\xC4\x8Dovat ? ";
    EXPECT_EQ(summaries_[0].toUtf8().toStdString(), expected);
}

// The duration counts the steps actually played: MaxF itself only when the step reaches it.
TEST_F(SweepRunTest, TheSummaryCountsEveryStepOfItsDuration) {
    const struct {
        int minF, maxF, krok, t;
        const char* duration;
    } cases[] = {
        {100, 1050, 100, 5, "Doba přenosu 5000 ms "},
        {11, 15000, 1000, 2, "Doba přenosu 3000 ms "},
        {11, 15000, 1, 99, "Doba přenosu 148401000 ms "},
        {14999, 15000, 1000, 1, "Doba přenosu 100 ms "},
    };
    for (const auto& c : cases) {
        summaries_.clear();
        SetSweep(c.minF, c.maxF, c.krok, c.t);
        ClickStart();
        ASSERT_EQ(summaries_.size(), 1);
        EXPECT_TRUE(summaries_[0].contains(QString::fromUtf8(c.duration)))
            << summaries_[0].toStdString();
    }
}

TEST_F(SweepRunTest, DecliningPlaysNothingAndTheManualToneComesBack) {
    for (const auto declined : {QMessageBox::No, QMessageBox::Cancel}) {
        answer_ = declined;
        calls_.clear();
        ClickStart();
        EXPECT_EQ(summaries_.size(), declined == QMessageBox::No ? 1 : 2);
        EXPECT_TRUE(boxes_.empty());
        EXPECT_EQ(ArgsOf("waveOutOpen").size(), 1u) << "only the manual tone's";
        EXPECT_EQ(WindowProbe::GenerujAuto(*window_), nullptr);
        EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->Position(), 11);
        ExpectManualModeAgain();
    }
}

TEST_F(SweepRunTest, ASweepPlaysEachStepInOrderForItsDwellThenTheManualToneAgain) {
    answer_ = QMessageBox::Yes;
    const auto start = platform::CurrentClock().Now();
    ClickStart();
    const auto took = platform::CurrentClock().Now() - start;

    EXPECT_TRUE(boxes_.empty());
    ASSERT_NE(WindowProbe::GenerujAuto(*window_), nullptr);
    EXPECT_EQ(OutputProbe::Opened(*WindowProbe::GenerujAuto(*window_)), 0) << "every step closed";

    // Ten steps 100, 200, ... 1000 Hz, each at its band's rate, looping its band table f x 5 / 20
    // times; then the manual tone at its old rate.
    const std::vector<std::int64_t> rates = {22500, 45000, 33750, 45000, 37500,
                                             45000, 39256, 44864, 39654, 44060};
    const std::vector<std::int64_t> bytes = {900, 900, 450, 450, 300, 300, 224, 224, 176, 176};
    const auto opens = ArgsOf("waveOutOpen");
    const auto writes = ArgsOf("waveOutWrite");
    ASSERT_EQ(opens.size(), 11u);
    ASSERT_EQ(writes.size(), 11u);
    QStringList expectedCaptions;
    for (std::size_t k = 0; k < 10; ++k) {
        const int f = 100 * static_cast<int>(k + 1);
        EXPECT_EQ(opens[k], (std::vector<std::int64_t>{0, rates[k], WAVE_ALLOWSYNC})) << f;
        EXPECT_EQ(writes[k][1], bytes[k]) << f;
        EXPECT_EQ(writes[k][2], f / 4) << f;
        expectedCaptions.append(QStringLiteral("Frekvence:%1 Hz").arg(f));
    }
    EXPECT_EQ(opens[10][1], manualRate_);

    // Each caption is up while its step sounds; the run waits out every step, about 500 ms each.
    EXPECT_EQ(Captions().captions.mid(Captions().captions.indexOf(expectedCaptions[0])),
              expectedCaptions);
    EXPECT_GT(took, std::chrono::milliseconds(4980));
    EXPECT_LT(took, std::chrono::milliseconds(5100));

    EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->Position(), 1000);
    EXPECT_EQ(Control<Edit>("EditFrekvence")->text(), QStringLiteral("1000"));
    ExpectManualModeAgain();

    // The range box works as before.
    auto* range = Control<ComboBox>("ComboBox1");
    EXPECT_TRUE(range->isEnabled());
    range->setCurrentIndex(2);
    window_->ComboBox1Change();
    EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->Position(), 100);
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 100);
    EXPECT_TRUE(window_->ManualPlaying());
}

// The tables come from the amplitude at the start of each run, in an object of that run.
TEST_F(SweepRunTest, EachRunMakesItsSweepFromTheAmplitudeOfTheMoment) {
    answer_ = QMessageBox::Yes;
    SetSweep(100, 200, 100, 1);
    ClickStart();
    ASSERT_NE(WindowProbe::GenerujAuto(*window_), nullptr);
    EXPECT_EQ(OutputProbe::BandTable(*WindowProbe::GenerujAuto(*window_)), SweepBandTables(2000));

    window_->SetAmplituda(12345);
    ClickStart();
    ASSERT_NE(WindowProbe::GenerujAuto(*window_), nullptr);
    EXPECT_EQ(OutputProbe::BandTable(*WindowProbe::GenerujAuto(*window_)), SweepBandTables(12345));
    EXPECT_EQ(ArgsOf("waveOutOpen").size(), 6u) << "two steps and the manual tone, twice";
}

TEST_F(SweepRunTest, AStepWhoseDeviceFailsPassesSilentlyAndTheRunGoesOn) {
    answer_ = QMessageBox::Yes;
    SetSweep(100, 300, 100, 5);
    seams::FailCall(seams::Call::waveOutOpen, MMSYSERR_ALLOCATED, 1);
    ClickStart();
    const Texts busy = {"Chyba pri otevreni vystupniho kanalu", "MMSYSERR_ALLOCATED\t"};
    Texts expected;
    for (int failed = 0; failed < 3; ++failed) { // 200 Hz, 300 Hz and the manual tone after
        expected.insert(expected.end(), busy.begin(), busy.end());
    }
    EXPECT_EQ(boxes_, expected);
    const auto opens = ArgsOf("waveOutOpen");
    ASSERT_EQ(opens.size(), 4u);
    EXPECT_EQ(opens[2][1], 33750) << "the step after the failed one was tried";
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:300 Hz"));
    EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->Position(), 300);
    EXPECT_FALSE(Control<SpeedButton>("PlayGenerujAuto")->Down());
}

TEST_F(SweepRunTest, WithoutMemoryForTheSweepTheProgramEnds) {
    answer_ = QMessageBox::Yes;
    seams::FailCall(seams::Call::GlobalAlloc, MMSYSERR_NOMEM);
    try {
        window_->PlayGenerujAutoClick();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnded& end) {
        EXPECT_EQ(end.code, 1u);
    }
    EXPECT_EQ(boxes_, (Texts{"Nedostatek paměti", "GenerujAuto = nil"}));
    EXPECT_EQ(WindowProbe::GenerujAuto(*window_), nullptr);
    EXPECT_TRUE(ArgsOf("waveOutOpen").empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
