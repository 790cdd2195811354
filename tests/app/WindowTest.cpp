#include "app/ProgGenerator.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "app/controls/UpDown.h"
#include "tests/app/WindowFixture.h"
#include "tests/app/WindowProbe.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using WindowTest = OpenWindowFixture;

TEST_F(WindowTest, CaptionAndFontAreThoseOfTheStrip) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("GENERÁTOR SINUS-VORTAL") +
                                          QString(85, QLatin1Char(' ')) +
                                          QStringLiteral("číselná nastavení "));
    EXPECT_EQ(window_->font().pixelSize(), 11);
    EXPECT_EQ(window_->windowIcon().availableSizes().size(), 6) << "the icon's six sizes";
}

TEST_F(WindowTest, OpensAtTheTopLeftWithTheClientAreaOfThe800By72Strip) {
    EXPECT_EQ(window_->pos(), QPoint(0, 0));
    EXPECT_EQ(window_->size(), QSize(792, 45));
    // FormResize has placed the column for client width 792.
    EXPECT_EQ(Control<QLineEdit>("EditAmplituda")->x(), 628);
    EXPECT_EQ(Control<QPushButton>("Button1")->x(), 675);
    EXPECT_EQ(Control<ScrollBar>("TrackBarA")->width(), 629);
}

TEST_F(WindowTest, AtClientWidth796TheColumnStandsWhereTheResourceHasIt) {
    window_->resize(796, window_->height());
    std::ifstream places(CONTROL_PLACES);
    ASSERT_TRUE(places) << CONTROL_PLACES;
    int checked = 0;
    std::vector<std::pair<std::string, int>> rightColumn; // name and left at 796
    for (std::string line; std::getline(places, line);) {
        std::istringstream row(line);
        std::string name, parent, moves;
        int left = 0, top = 0, width = 0, height = 0;
        if (line.starts_with('#') || !(row >> name >> parent >> left >> top >> width >> height)) {
            continue;
        }
        EXPECT_EQ(Control<QWidget>(name.c_str())->geometry(), QRect(left, top, width, height))
            << name;
        if (row >> moves && moves == "right") {
            rightColumn.emplace_back(name, left);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 24) << "rows of " << CONTROL_PLACES;

    window_->resize(806, window_->height()); // ten pixels wider: the column moves by ten
    EXPECT_EQ(Control<QLineEdit>("EditFrekvence")->x(), 642);
    EXPECT_EQ(Control<QComboBox>("ComboBox1")->x(), 687);
    EXPECT_EQ(Control<ScrollBar>("TrackBarLF")->width(), 643);
    EXPECT_EQ(Control<Panel>("Panel4")->width(), 633);
    EXPECT_EQ(rightColumn.size(), 5U);
    for (const auto& [name, left] : rightColumn) {
        EXPECT_EQ(Control<QWidget>(name.c_str())->x(), left + 10) << name;
    }
}

TEST_F(WindowTest, StartsWithTheSlidersAndNumberBoxesOfA500HzToneAtAmplitude2000) {
    const auto* frequency = Control<ScrollBar>("TrackBarLF");
    EXPECT_EQ(frequency->Min(), 11);
    EXPECT_EQ(frequency->Max(), 15000);
    EXPECT_EQ(frequency->Position(), 500);
    EXPECT_EQ(frequency->ArrowStep(), 100);
    EXPECT_EQ(frequency->PageStep(), 1);
    const auto* amplitude = Control<ScrollBar>("TrackBarA");
    EXPECT_EQ(amplitude->Max(), 32767);
    EXPECT_EQ(amplitude->Position(), 2000);
    EXPECT_EQ(WindowProbe::Frekvence(*window_), 500);
    EXPECT_EQ(WindowProbe::Amplituda(*window_), 2000);

    EXPECT_EQ(Control<QLineEdit>("EditFrekvence")->text(), QStringLiteral("500"));
    EXPECT_EQ(Control<QLineEdit>("EditAmplituda")->text(), QStringLiteral("2000"));
    EXPECT_EQ(Control<Label>("LabelF")->text(), QStringLiteral("Frekvence:500 Hz"));
    EXPECT_EQ(Control<Label>("LabelA")->text(), QStringLiteral("Amplituda:2000"));
    const auto* range = Control<QComboBox>("ComboBox1");
    EXPECT_EQ(range->currentText(), QStringLiteral("11 Hz až 15 kHz "));
    EXPECT_EQ(range->currentIndex(), -1);
    EXPECT_EQ(range->count(), 6);
    EXPECT_EQ(range->itemText(5), QStringLiteral("   automaticky"));
}

TEST_F(WindowTest, CaptionsAndHintsKeepTheirBlanks) {
    EXPECT_EQ(Control<Panel>("Panel7")->Caption(),
              QStringLiteral(" minimální frekvence                  Hz"));
    EXPECT_EQ(Control<Panel>("Panel6")->Caption(),
              QStringLiteral(" maximální frekvence                 Hz"));
    EXPECT_EQ(Control<Panel>("Panel5")->Caption(),
              QStringLiteral(" krok změny                  Hz"));
    EXPECT_EQ(Control<Panel>("Panel8")->Caption(), QStringLiteral("prodleva               ms"));
    EXPECT_EQ(Control<Label>("LabelNastaveni")->text(), QStringLiteral("   Nastaveni   "));
    EXPECT_EQ(Control<SpeedButton>("PlayGenerujAuto")->text(), QStringLiteral(" start"));
    EXPECT_EQ(Control<UpDown>("UpDownWaveL")->toolTip(),
              QStringLiteral("Wave hlasitost  pro levý kanál"));
    EXPECT_EQ(Control<Panel>("PanelAuxL")->toolTip(),
              QStringLiteral("Vystupní hlasitost  pro levý kanál"));
    EXPECT_EQ(Control<QComboBox>("ComboBox1")->toolTip(),
              QStringLiteral("volba rozsahu a možnost automatické změny frekvence "));
    EXPECT_EQ(Control<QPushButton>("Button1")->text(), QStringLiteral("regulace výst. napětí"));
}

TEST_F(WindowTest, HiddenControlsExistWithTheStateTheHandlersRead) {
    for (const char* name : {"Panel4", "PanelHraj", "Play", "Pause", "Panel9", "PanelLImage",
                             "PanelLeft", "PanelLF", "RadioButtonPila", "Panel1", "Panel2"}) {
        EXPECT_TRUE(Control<QWidget>(name)->isHidden()) << name;
    }
    EXPECT_FALSE(Control<Panel>("Panel9")->isEnabled());
    EXPECT_EQ(Control<Panel>("Panel9")->BevelOuter(), Panel::Bevel::Raised);
    EXPECT_TRUE(Control<SpeedButton>("SpeedButtonManual")->Down());
    EXPECT_FALSE(Control<SpeedButton>("SpeedButtonAuto")->Down());
    EXPECT_TRUE(Control<RadioButton>("RadioButtonSin")->isChecked());
    EXPECT_TRUE(Control<RadioButton>("RadioButton2")->isChecked());
    EXPECT_EQ(Control<ScrollBar>("ScrollBarProdleva")->Position(), 5);
    EXPECT_EQ(Control<ScrollBar>("ScrollBarKrok")->Min(), 1);
    EXPECT_EQ(Control<QLineEdit>("EditProdleva")->text(), QStringLiteral("500"));
}

TEST_F(WindowTest, TabMovesThroughTheVisibleControlsInTheResourceOrder) {
    const auto tabOrder = [this] {
        QStringList names;
        Control<ScrollBar>("TrackBarLF")->setFocus();
        for (int i = 0; i < 12; ++i) {
            names.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return names;
    };
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));

    const QStringList manual = {"TrackBarLF",    "TrackBarA", "EditFrekvence",
                                "EditAmplituda", "ComboBox1", "Button1"};
    EXPECT_EQ(tabOrder(), manual + manual);

    Control<Panel>("Panel4")->show();
    EXPECT_EQ(tabOrder().mid(0, 11),
              (QStringList{"TrackBarLF", "TrackBarA", "EditFrekvence", "EditAmplituda", "ComboBox1",
                           "EditminF", "EditMaxF", "EditKrok", "EditProdleva", "ScrollBarProdleva",
                           "Button1"}));
}

} // namespace
