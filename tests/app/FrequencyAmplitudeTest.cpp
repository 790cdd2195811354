#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "tests/app/QtPrinters.h"
#include "tests/app/WindowFixture.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class FrequencyAmplitudeTest : public OpenWindowFixture {
protected:
    void SetUp() override {
        OpenWindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        frequency = Control<ScrollBar>("TrackBarLF");
        amplitude = Control<ScrollBar>("TrackBarA");
        frequencyBox = Control<Edit>("EditFrekvence");
        amplitudeBox = Control<Edit>("EditAmplituda");
        range = Control<ComboBox>("ComboBox1");
    }

    // Mouse events through the window, so that they reach whatever control lies at the place,
    // as the user's would. `place` is in `control`'s coordinates.
    QPoint InWindow(const QWidget* control, QPoint place) const {
        return control->mapTo(window.get(), place);
    }
    void Press(Qt::MouseButton button, QPoint place) {
        QTest::mousePress(window->windowHandle(), button, {}, place);
    }
    void Move(QPoint place) { QTest::mouseMove(window->windowHandle(), place); }
    void Release(Qt::MouseButton button, QPoint place) {
        QTest::mouseRelease(window->windowHandle(), button, {}, place);
    }
    void Click(const QWidget* control) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          InWindow(control, control->rect().center()));
    }

    ScrollBar* frequency = nullptr;
    ScrollBar* amplitude = nullptr;
    Edit* frequencyBox = nullptr;
    Edit* amplitudeBox = nullptr;
    ComboBox* range = nullptr;
};

TEST_F(FrequencyAmplitudeTest, TheNumberBoxesFollowTheSliders) {
    frequency->SetPosition(1234);
    EXPECT_EQ(frequencyBox->text(), QStringLiteral("1234"));
    amplitude->setFocus();
    QTest::keyClick(amplitude, Qt::Key_End);
    EXPECT_EQ(amplitudeBox->text(), QStringLiteral("32767"));
    // Neither field changes with them.
    EXPECT_EQ(window->GetFrekvence(), 500);
    EXPECT_EQ(window->GetAmplituda(), 2000);
}

TEST_F(FrequencyAmplitudeTest, ClickingIntoTheFrequencyBoxWidensTheRangeAndEmptiesTheBox) {
    auto* panel9 = Control<Panel>("Panel9");
    panel9->SetBevelOuter(Panel::Bevel::Lowered);
    frequency->SetMax(100); // a narrower range, as a range choice leaves it
    frequency->SetArrowStep(10);

    Click(frequencyBox);
    EXPECT_EQ(frequency->Min(), 11);
    EXPECT_EQ(frequency->Max(), 15000);
    EXPECT_EQ(frequency->ArrowStep(), 10);
    EXPECT_EQ(frequencyBox->text(), QString());
    EXPECT_EQ(range->currentText(), QStringLiteral("11 Hz až 15 kHz"));
    EXPECT_EQ(range->ItemIndex(), 0);
    EXPECT_EQ(panel9->BevelOuter(), Panel::Bevel::Raised);
    // The focus took the box's 100 (the slider's, clamped) before the click emptied it.
    EXPECT_EQ(window->GetFrekvence(), 100);
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:100"));
}

TEST_F(FrequencyAmplitudeTest, TabbingIntoTheFrequencyBoxTakesItsNumber) {
    const auto tabInto = [this](const QString& text) {
        frequencyBox->setText(text);
        amplitude->setFocus();
        QTest::keyClick(amplitude, Qt::Key_Tab);
        EXPECT_TRUE(frequencyBox->hasFocus());
    };
    tabInto(QStringLiteral("20000"));
    EXPECT_EQ(window->GetFrekvence(), 15000);
    EXPECT_EQ(frequency->Position(), 15000);
    EXPECT_EQ(frequencyBox->text(), QStringLiteral("15000"));
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:15000"));

    tabInto(QStringLiteral("abc")); // not a number: the slider's, and Frekvence kept
    EXPECT_EQ(frequencyBox->text(), QStringLiteral("15000"));
    EXPECT_EQ(window->GetFrekvence(), 15000);

    tabInto(QString()); // empty counts as 0, clamped to 11
    EXPECT_EQ(window->GetFrekvence(), 11);
    EXPECT_EQ(frequencyBox->text(), QStringLiteral("11"));

    tabInto(QStringLiteral("-1")); // low 16 bits 65535, clamped to 15000
    EXPECT_EQ(window->GetFrekvence(), 15000);
}

TEST_F(FrequencyAmplitudeTest, ClickingIntoTheAmplitudeBoxEmptiesIt) {
    Click(amplitudeBox);
    EXPECT_EQ(amplitudeBox->text(), QString());
    EXPECT_EQ(window->GetAmplituda(), 2000);
    EXPECT_EQ(amplitude->Position(), 2000);
}

TEST_F(FrequencyAmplitudeTest, PanelHrajIsDraggedByTheLeftButtonInItsStrip) {
    auto* panel = Control<Panel>("PanelHraj");
    panel->show();
    panel->raise();
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

TEST_F(FrequencyAmplitudeTest, RadioButton5WidensTheRangeAndTakesTheCheck) {
    // It lies in containers that are never shown, below the strip; shown, it works.
    for (const char* container : {"PanelLeft", "PanelLF"}) {
        Control<QWidget>(container)->show();
    }
    frequency->SetMin(1000);
    frequency->SetMax(10000);
    frequency->SetArrowStep(500);

    QTest::mouseClick(Control<RadioButton>("RadioButton5"), Qt::LeftButton);
    EXPECT_TRUE(Control<RadioButton>("RadioButton5")->isChecked());
    EXPECT_FALSE(Control<RadioButton>("RadioButton2")->isChecked());
    EXPECT_EQ(frequency->Min(), 11);
    EXPECT_EQ(frequency->Max(), 15000);
    EXPECT_EQ(frequency->ArrowStep(), 500);
    EXPECT_EQ(frequency->Position(), 1000);
}

} // namespace
