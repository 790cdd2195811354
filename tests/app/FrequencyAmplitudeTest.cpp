#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "audio/GenerujManual.h"
#include "synth/ToneSynth.h"
#include "tests/app/QtPrinters.h"
#include "tests/app/ScrollBarParts.h"
#include "tests/app/WindowFixture.h"
#include "tests/app/WindowProbe.h"
#include "tests/audio/OutputProbe.h"
#include "tests/support/Seams.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The sample rate at which the manual tone of that frequency plays.
std::int64_t RateOf(int frekvence) {
    return VypocitejManual(static_cast<std::uint16_t>(frekvence), 2000, TPrubeh::Sin).SampleRate;
}

// The open window, its frequency and amplitude controls, and every platform call it makes from
// the test's start: each restart of the tone opens the wave device once.
class FrequencyAmplitudeTest : public OpenWindowFixture {
protected:
    void SetUp() override {
        OpenWindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        frequency_ = Control<ScrollBar>("TrackBarLF");
        amplitude_ = Control<ScrollBar>("TrackBarA");
        frequencyBox_ = Control<Edit>("EditFrekvence");
        amplitudeBox_ = Control<Edit>("EditAmplituda");
        range_ = Control<ComboBox>("ComboBox1");
        seams::RecordCalls(&calls_);
    }

    // The sample rates of the restarts so far, in order.
    std::vector<std::int64_t> Restarts() const {
        std::vector<std::int64_t> rates;
        for (const auto& call : calls_) {
            if (call.name == "waveOutOpen") {
                rates.push_back(call.args.at(1));
            }
        }
        return rates;
    }

    // The tone now playing is the synthesis's sine of these settings.
    void ExpectTone(int frekvence, int amplituda) const {
        ASSERT_TRUE(window_->ManualPlaying());
        const ManualTone tone =
            VypocitejManual(static_cast<std::uint16_t>(frekvence),
                            static_cast<std::uint16_t>(amplituda), TPrubeh::Sin);
        const TGenerujManual& output = *WindowProbe::GenerujManual(*window_);
        EXPECT_EQ(OutputProbe::Format(output).nSamplesPerSec, tone.SampleRate);
        EXPECT_TRUE(
            std::equal(tone.Samples.begin(), tone.Samples.end(), OutputProbe::Data(output)));
    }

    // Mouse events through the window, so that they reach whatever control lies at the place,
    // as the user's would. `place` is in `control`'s coordinates.
    QPoint InWindow(const QWidget* control, QPoint place) const {
        return control->mapTo(window_.get(), place);
    }
    void Press(Qt::MouseButton button, QPoint place) {
        QTest::mousePress(window_->windowHandle(), button, {}, place);
    }
    void Move(QPoint place) { QTest::mouseMove(window_->windowHandle(), place); }
    void Release(Qt::MouseButton button, QPoint place) {
        QTest::mouseRelease(window_->windowHandle(), button, {}, place);
    }
    void Click(const QWidget* control) {
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                          InWindow(control, control->rect().center()));
    }

    // Clicks into the box, types `text` and presses Enter.
    void Enter(Edit* box, const QString& text) {
        Click(box);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Chooses the item from ComboBox1's list with the mouse.
    void ChooseRange(int index) {
        range_->showPopup();
        QAbstractItemView* list = range_->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_EQ(range_->ItemIndex(), index);
    }

    std::vector<seams::RecordedCall> calls_;
    ScrollBar* frequency_ = nullptr;
    ScrollBar* amplitude_ = nullptr;
    Edit* frequencyBox_ = nullptr;
    Edit* amplitudeBox_ = nullptr;
    ComboBox* range_ = nullptr;
};

TEST_F(FrequencyAmplitudeTest, TheNumberBoxesFollowTheSlidersMovedByCode) {
    frequency_->SetPosition(1234);
    amplitude_->SetPosition(777);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("1234"));
    EXPECT_EQ(amplitudeBox_->text(), QStringLiteral("777"));
    // Neither the fields nor the tone change with them.
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 500);
    EXPECT_EQ(WindowProbe::Amplituda(*window_), 2000);
    EXPECT_TRUE(Restarts().empty());
}

TEST_F(FrequencyAmplitudeTest, ClickingIntoTheAmplitudeBoxEmptiesIt) {
    Click(amplitudeBox_);
    EXPECT_EQ(amplitudeBox_->text(), QString());
    EXPECT_EQ(WindowProbe::Amplituda(*window_), 2000);
    EXPECT_EQ(amplitude_->Position(), 2000);
    EXPECT_TRUE(Restarts().empty());
}

TEST_F(FrequencyAmplitudeTest, EveryKeyRestartsTheToneButOnlyEnterBringsTheNumber) {
    Enter(frequencyBox_, QStringLiteral("440"));
    EXPECT_EQ(Restarts(), (std::vector<std::int64_t>{37500, 37500, 37500, 33000}));
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 440);
    EXPECT_EQ(frequency_->Position(), 440);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("440"));
    ExpectTone(440, 2000);
}

TEST_F(FrequencyAmplitudeTest, TheFrequencyBoxTakesIntegerTextsClampedByTheSlider) {
    const std::vector<std::pair<QString, int>> entries = {
        {"5", 11},      {"20000", 15000}, {"abc", 15000},  // not a number: the slider's
        {"", 11},       {"$1B8", 440},    {"70000", 4464}, // low 16 bits of 70000
        {" -1", 15000},                                    // 65535, clamped
    };
    for (const auto& [text, expected] : entries) {
        Enter(frequencyBox_, text);
        EXPECT_EQ(WindowProbe::Frekvence(*window_), expected) << text.toStdString();
        EXPECT_EQ(frequency_->Position(), expected);
        EXPECT_EQ(frequencyBox_->text(), QString::number(expected));
        EXPECT_EQ(Restarts().back(), RateOf(expected));
    }
    ExpectTone(15000, 2000);
}

TEST_F(FrequencyAmplitudeTest, TheAmplitudeBoxTakesIntegerTextsClampedByTheSlider) {
    const std::vector<std::pair<QString, int>> entries = {
        {"40000", 32767}, {"65536", 0}, {"70000", 4464}, {"abc", 4464}, {"", 0}, {"$7D0", 2000},
    };
    for (const auto& [text, expected] : entries) {
        const std::size_t before = Restarts().size();
        Enter(amplitudeBox_, text);
        EXPECT_EQ(WindowProbe::Amplituda(*window_), expected) << text.toStdString();
        EXPECT_EQ(amplitude_->Position(), expected);
        EXPECT_EQ(amplitudeBox_->text(), QString::number(expected));
        EXPECT_EQ(Control<Label>("LabelA")->text(), QStringLiteral("Amplituda:%1").arg(expected));
        EXPECT_EQ(Restarts().size(), before + static_cast<std::size_t>(text.size()) + 1);
        ExpectTone(500, expected);
    }
}

TEST_F(FrequencyAmplitudeTest, DraggingTheThumbFollowsInTheBoxSilencesAndRestartsOnRelease) {
    // Widen the window until one pixel of the slider stands for 2000 Hz.
    for (int wider = 0; !ThumbXFor(*frequency_, 2000) && wider < 100; ++wider) {
        window_->resize(window_->width() + 1, window_->height());
    }
    const std::optional<int> target = ThumbXFor(*frequency_, 2000);
    ASSERT_TRUE(target);
    const QRect thumb = PartOf(*frequency_, QStyle::SC_ScrollBarSlider);
    const int y = frequency_->height() / 2;
    QTest::mousePress(frequency_, Qt::LeftButton, {}, {thumb.x() + thumb.width() / 2, y});
    EXPECT_TRUE(Restarts().empty());

    for (const int x : {*target / 3, *target / 2, *target}) {
        QTest::mouseMove(frequency_, {x, y});
        EXPECT_EQ(frequencyBox_->text(), QString::number(frequency_->Position()));
        EXPECT_EQ(WindowProbe::GenerujManual(*window_), nullptr);
        EXPECT_EQ(WindowProbe::Frekvence(*window_), 500);
    }
    EXPECT_EQ(frequency_->Position(), 2000);
    EXPECT_TRUE(Restarts().empty());

    QTest::mouseRelease(frequency_, Qt::LeftButton, {}, {*target, y});
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 2000);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("2000"));
    EXPECT_EQ(Restarts(), std::vector<std::int64_t>{RateOf(2000)});
    ExpectTone(2000, 2000);
}

TEST_F(FrequencyAmplitudeTest, EveryRangeChoiceSetsItsSlidersRangeAndRestartsAtTheBottom) {
    struct Rozsah {
        int min, max, arrowStep, pageStep;
    };
    const std::vector<Rozsah> ranges = {{11, 15000, 100, 1},
                                        {11, 100, 10, 1},
                                        {100, 1000, 10, 1},
                                        {1000, 10000, 500, 50},
                                        {10000, 15000, 1000, 100}};
    range_->setFocus();
    for (std::size_t index = 0; index < ranges.size(); ++index) {
        QTest::keyClick(range_, Qt::Key_Down);
        ASSERT_EQ(range_->ItemIndex(), static_cast<int>(index));
        const Rozsah& expected = ranges[index];
        EXPECT_EQ(frequency_->Min(), expected.min) << index;
        EXPECT_EQ(frequency_->Max(), expected.max);
        EXPECT_EQ(frequency_->Position(), expected.min);
        EXPECT_EQ(frequency_->ArrowStep(), expected.arrowStep);
        EXPECT_EQ(frequency_->PageStep(), expected.pageStep);
        EXPECT_EQ(WindowProbe::Frekvence(*window_), expected.min);
        EXPECT_EQ(frequencyBox_->text(), QString::number(expected.min));
        EXPECT_EQ(Restarts().size(), index + 1);
        EXPECT_EQ(Restarts().back(), RateOf(expected.min));
    }

    // Going down from the top of the range: 100 Hz to 1 kHz while 5000 Hz plays.
    Enter(frequencyBox_, QStringLiteral("5000"));
    ChooseRange(2);
    EXPECT_EQ(frequency_->Min(), 100);
    EXPECT_EQ(frequency_->Max(), 1000);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("100"));
    ExpectTone(100, 2000);
}

TEST_F(FrequencyAmplitudeTest, ATextThatIsNoRangeOnlyRestartsTheTone) {
    range_->setFocus();
    range_->lineEdit()->end(false);
    QTest::keyClick(range_, Qt::Key_X);
    EXPECT_EQ(range_->ItemIndex(), -1);
    EXPECT_EQ(frequency_->Min(), 11);
    EXPECT_EQ(frequency_->Max(), 15000);
    EXPECT_EQ(Restarts(), std::vector<std::int64_t>{RateOf(500)});
}

TEST_F(FrequencyAmplitudeTest, ArrowAndTroughStepsOfTheOneToTenKilohertzRange) {
    ChooseRange(3);
    QTest::mouseClick(frequency_, Qt::LeftButton, {},
                      PartOf(*frequency_, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(frequency_->Position(), 1500);
    QTest::mouseClick(frequency_, Qt::LeftButton, {},
                      PartOf(*frequency_, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(frequency_->Position(), 1550);
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 1550);
    EXPECT_EQ(Restarts(), (std::vector<std::int64_t>{RateOf(1000), RateOf(1500), RateOf(1550)}));
}

TEST_F(FrequencyAmplitudeTest, AfterANarrowRangeTheFrequencyBoxWidensItAgain) {
    ChooseRange(1);
    const std::size_t restarts = Restarts().size();
    auto* panel9 = Control<Panel>("Panel9");
    panel9->SetBevelOuter(Panel::Bevel::Lowered);

    Click(frequencyBox_);
    EXPECT_EQ(frequency_->Min(), 11);
    EXPECT_EQ(frequency_->Max(), 15000);
    EXPECT_EQ(frequency_->ArrowStep(), 10);
    EXPECT_EQ(frequencyBox_->text(), QString());
    EXPECT_EQ(range_->currentText(), QStringLiteral("11 Hz až 15 kHz"));
    EXPECT_EQ(panel9->BevelOuter(), Panel::Bevel::Raised);
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:11"));
    EXPECT_EQ(Restarts().size(), restarts); // focus and click restart nothing
}

TEST_F(FrequencyAmplitudeTest, TabbingIntoTheFrequencyBoxTakesItsNumberWithoutARestart) {
    const auto tabInto = [this](const QString& text) {
        frequencyBox_->setText(text);
        amplitude_->setFocus();
        QTest::keyClick(amplitude_, Qt::Key_Tab);
        EXPECT_TRUE(frequencyBox_->hasFocus());
    };
    tabInto(QStringLiteral("20000"));
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 15000);
    EXPECT_EQ(frequency_->Position(), 15000);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("15000"));
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:15000"));

    tabInto(QStringLiteral("abc")); // not a number: the slider's, and Frekvence kept
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("15000"));
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 15000);

    tabInto(QString()); // empty counts as 0, clamped to 11
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 11);
    EXPECT_EQ(frequencyBox_->text(), QStringLiteral("11"));
    EXPECT_TRUE(Restarts().empty());
}

TEST_F(FrequencyAmplitudeTest, TheAutomaticChoiceShowsTheSweepRowAndLeavesAn11HzTone) {
    window_->move(40, 0);
    ChooseRange(5);
    EXPECT_EQ(window_->width(), 796);
    EXPECT_EQ(window_->x(), 0);
    for (const char* shown : {"Panel4", "PanelHraj", "PanelAuto", "PlayGenerujAuto"}) {
        EXPECT_FALSE(Control<QWidget>(shown)->isHidden()) << shown;
    }
    for (const char* hidden : {"PanelF", "PanelFce", "Play"}) {
        EXPECT_TRUE(Control<QWidget>(hidden)->isHidden()) << hidden;
    }
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:"));
    EXPECT_EQ(frequency_->Min(), 11);
    EXPECT_EQ(frequency_->Max(), 15000);
    EXPECT_EQ(frequency_->ArrowStep(), 10);
    EXPECT_EQ(frequency_->PageStep(), 1);
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 11);
    ExpectTone(11, 2000);
    // The 500 Hz tone was closed before the 11 Hz one opened.
    const auto close = std::find_if(calls_.begin(), calls_.end(),
                                    [](const auto& call) { return call.name == "waveOutClose"; });
    const auto open = std::find_if(calls_.begin(), calls_.end(),
                                   [](const auto& call) { return call.name == "waveOutOpen"; });
    EXPECT_LT(close, open);
    EXPECT_EQ(Restarts(), std::vector<std::int64_t>{RateOf(11)});

    // A range item leaves automatic mode.
    ChooseRange(0);
    EXPECT_TRUE(Control<QWidget>("Panel4")->isHidden());
    EXPECT_TRUE(Control<QWidget>("PanelHraj")->isHidden());
}

TEST_F(FrequencyAmplitudeTest, PanelHrajIsDraggedByTheLeftButtonInItsStrip) {
    ChooseRange(5);
    auto* panel = Control<Panel>("PanelHraj");
    const QPoint start = panel->pos();
    const QPoint strip = InWindow(panel, {42, 8}); // right of the start button

    Press(Qt::RightButton, strip);
    Move(strip + QPoint(-30, 7));
    Release(Qt::RightButton, strip + QPoint(-30, 7));
    EXPECT_EQ(panel->pos(), start);

    Press(Qt::LeftButton, strip);
    Move(strip + QPoint(-30, 7));
    Move(strip + QPoint(-100, 12));
    Release(Qt::LeftButton, strip + QPoint(-100, 12));
    EXPECT_EQ(panel->pos(), start + QPoint(-100, 12));

    // After the release the panel stays, and a press on the start button drags nothing.
    Move(strip + QPoint(-50, 0));
    const QPoint moved = panel->pos();
    const QPoint button = InWindow(Control<QWidget>("PlayGenerujAuto"), {10, 8});
    Press(Qt::LeftButton, button);
    Move(button + QPoint(20, 20));
    Release(Qt::LeftButton, button + QPoint(20, 20));
    EXPECT_EQ(panel->pos(), moved);
}

TEST_F(FrequencyAmplitudeTest, TheAmplitudeSliderRestartsAtTheEndOfEachAction) {
    amplitude_->setFocus();
    QTest::keyClick(amplitude_, Qt::Key_End);
    EXPECT_EQ(WindowProbe::Amplituda(*window_), 32767);
    EXPECT_EQ(amplitudeBox_->text(), QStringLiteral("32767"));
    ExpectTone(500, 32767);

    QTest::keyClick(amplitude_, Qt::Key_Home);
    QWheelEvent notch({10, 9}, amplitude_->mapToGlobal(QPointF(10, 9)), {}, {0, -120}, Qt::NoButton,
                      {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(amplitude_, &notch);
    EXPECT_EQ(WindowProbe::Amplituda(*window_), 100);
    ExpectTone(500, 100);
    EXPECT_EQ(Restarts().size(), 3u);
}

TEST_F(FrequencyAmplitudeTest, OutsideManualModeTheSlidersOnlyMove) {
    Control<SpeedButton>("SpeedButtonAuto")->SetDown(true);
    frequency_->setFocus();
    QTest::keyClick(frequency_, Qt::Key_Right);
    const QRect thumb = PartOf(*frequency_, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(frequency_, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(frequency_, thumb.center() + QPoint(50, 0));
    QTest::mouseRelease(frequency_, Qt::LeftButton, {}, thumb.center() + QPoint(50, 0));
    EXPECT_GT(frequency_->Position(), 600);
    EXPECT_EQ(frequencyBox_->text(), QString::number(frequency_->Position()));
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 500);
    EXPECT_TRUE(Restarts().empty());
    ExpectTone(500, 2000);
}

TEST_F(FrequencyAmplitudeTest, RadioButton5WidensTheRangeAndTakesTheCheck) {
    // It lies in containers that are never shown; shown, it works.
    for (const char* container : {"PanelLeft", "PanelLF"}) {
        Control<QWidget>(container)->show();
    }
    ChooseRange(3);
    const std::size_t restarts = Restarts().size();

    QTest::mouseClick(Control<RadioButton>("RadioButton5"), Qt::LeftButton);
    EXPECT_TRUE(Control<RadioButton>("RadioButton5")->isChecked());
    EXPECT_FALSE(Control<RadioButton>("RadioButton2")->isChecked());
    EXPECT_EQ(frequency_->Min(), 11);
    EXPECT_EQ(frequency_->Max(), 15000);
    EXPECT_EQ(frequency_->ArrowStep(), 500);
    EXPECT_EQ(frequency_->Position(), 1000);
    EXPECT_EQ(Restarts().size(), restarts);
}

} // namespace
